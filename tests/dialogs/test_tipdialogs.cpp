// The tip frame and the switch-mode confirmation: the frame's look shared by every
// dialog built on it, and what Cancel, the close button and OK do to the client.
#include "dialogs/CSwitchModeUI.h"
#include "login/CCombox.h"
#include "login/CLoginUI.h"
#include "mainwindow/CMainWindow.h"
#include "ui/CTipUI.h"
#include "ui/LanguageTexts.h"

#include "ClientWindows.h"
#include "LayoutCheck.h"
#include "TestEnvironment.h"
#include "WidgetHelpers.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <memory>

using namespace orbisk::test;

namespace {

const ServerEntry kOffice{QStringLiteral("Office"), QStringLiteral("https://office.example"), false};

// The buttons of the confirmation as the user finds them: by their text, and the
// close button as the one that shows a picture and no text.
enum class Button { Cancel, Close, Ok };

QPushButton* button(const QWidget* dialog, Button which)
{
    const LanguageTexts& texts = g_pMainWindow->shownTexts();
    switch (which) {
    case Button::Cancel:
        return childWithText<QPushButton>(dialog, texts.Cancel);
    case Button::Close:
        return childWithText<QPushButton>(dialog, QString());
    case Button::Ok:
        return childWithText<QPushButton>(dialog, texts.OK);
    }
    return nullptr;
}

// Records, at every show of a widget, whether the client was in browser mode then.
class ShowWatcher : public QObject
{
public:
    QList<bool> browserModeAtShow;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            browserModeAtShow << g_isBrowserMode;
        return false;
    }
};

} // namespace

Q_DECLARE_METATYPE(Button)

class TestTipDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void everyDialogHasTheTipFrame_data();
    void everyDialogHasTheTipFrame();
    void cancelAndCloseChangeNothing_data();
    void cancelAndCloseChangeNothing();
    void okLeavesTheServerBeforeBrowserMode();
    void loginWindowRunsTheConfirmationCentred();

private:
    void enterBrowserMode();
    // Asks to leave browser mode as the login window's link does and answers the
    // confirmation with the button.
    void answerConfirmation(Button which);

    ClientWindows m_client;
};

void TestTipDialogs::initTestCase()
{
    prepareTestEnvironment();
    useClientFont();
}

void TestTipDialogs::init()
{
    removeClientFiles();
    writeServerFile({kOffice});
    m_client.start();
}

void TestTipDialogs::cleanup()
{
    m_client.stop();
}

void TestTipDialogs::enterBrowserMode()
{
    // As after a browser-active notification: menu bar on the login window, browser mode.
    m_client.login->setMenuBar(m_client.window->m_pMenuBar);
    m_client.login->setBrowserModel(true);
    QVERIFY(showExposed(m_client.login));
}

void TestTipDialogs::everyDialogHasTheTipFrame_data()
{
    QTest::addColumn<bool>("switchMode");
    QTest::newRow("tip frame") << false;
    QTest::newRow("switch-mode confirmation") << true;
}

// The frame's look, the confirmation's texts and buttons, and every text whole.
void TestTipDialogs::everyDialogHasTheTipFrame()
{
    QFETCH(bool, switchMode);

    const LanguageTexts& texts = m_client.window->shownTexts();
    const std::unique_ptr<CTipUI> dialog(switchMode ? new CSwitchModeUI(texts, nullptr) : new CTipUI(texts, nullptr));
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
    QVERIFY(dialog->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(childWithText<QLabel>(dialog.get(), texts.Tip));
    bool hasWarningIcon = false;
    for (const QLabel* label : dialog->findChildren<QLabel*>())
        hasWarningIcon |= label->pixmap(Qt::ReturnByValue).size() == QSize(24, 24);
    QVERIFY(hasWarningIcon);
    if (switchMode) {
        const QLabel* message = childWithText<QLabel>(dialog.get(), texts.SwitchModelTip);
        QVERIFY(message);
        QVERIFY(message->wordWrap());
        QVERIFY(button(dialog.get(), Button::Cancel));
        QVERIFY(button(dialog.get(), Button::Ok));
    }

    QVERIFY(showExposed(dialog.get()));
    const QStringList faults = layoutFaults(dialog.get());
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    // The frame paints white with the grey border.
    const QImage picture = dialog->grab().toImage();
    QCOMPARE(QColor(picture.pixel(0, dialog->height() / 2)), QColor(0xcc, 0xcc, 0xcc));
    QCOMPARE(QColor(picture.pixel(dialog->width() - 1, dialog->height() / 2)), QColor(0xcc, 0xcc, 0xcc));
    QCOMPARE(QColor(picture.pixel(200, 15)), QColor(Qt::white));

    // The close button closes it.
    QTest::mouseClick(button(dialog.get(), Button::Close), Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
}

void TestTipDialogs::cancelAndCloseChangeNothing_data()
{
    QTest::addColumn<Button>("which");
    QTest::newRow("Cancel") << Button::Cancel;
    QTest::newRow("close button") << Button::Close;
}

void TestTipDialogs::cancelAndCloseChangeNothing()
{
    QFETCH(Button, which);

    enterBrowserMode();
    answerConfirmation(which);

    QVERIFY(g_isBrowserMode);
    QVERIFY(m_client.login->m_isBrowserModel);
    QVERIFY(m_client.login->isVisible());
    QVERIFY(!m_client.login->m_pBtnExitBrowser->isHidden());
}

void TestTipDialogs::okLeavesTheServerBeforeBrowserMode()
{
    enterBrowserMode();
    // Leaving the server shows the login window; it must still be in browser mode then.
    m_client.login->hide();
    ShowWatcher watcher;
    m_client.login->installEventFilter(&watcher);

    answerConfirmation(Button::Ok);

    QCOMPARE(watcher.browserModeAtShow, QList<bool>{true});
    QVERIFY(!g_isBrowserMode);
    QVERIFY(!m_client.login->m_isBrowserModel);
    QVERIFY(m_client.login->isVisible());
    QVERIFY(!m_client.window->isVisible());
    QVERIFY(!m_client.window->m_isPageShown);
    // With a known server the login window offers the drop-down again.
    QVERIFY(m_client.login->m_pComboServer->isVisible());
    QVERIFY(m_client.login->m_pBtnExitBrowser->isHidden());
}

void TestTipDialogs::answerConfirmation(Button which)
{
    QTimer::singleShot(0, this, [which] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(qobject_cast<CSwitchModeUI*>(dialog));
        QTest::mouseClick(button(dialog, which), Qt::LeftButton);
    });
    m_client.login->slot_exitBrowserModel();
    QVERIFY(!QApplication::activeModalWidget());
}

void TestTipDialogs::loginWindowRunsTheConfirmationCentred()
{
    enterBrowserMode();
    m_client.login->move(200, 100);
    QRect dialogGeometry;
    bool wasModal = false;
    QTimer::singleShot(0, this, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(qobject_cast<CSwitchModeUI*>(dialog));
        wasModal = true;
        dialogGeometry = dialog->geometry();
        QTest::mouseClick(button(dialog, Button::Ok), Qt::LeftButton);
    });

    QTest::mouseClick(m_client.login->m_pBtnExitBrowser, Qt::LeftButton);

    QVERIFY(wasModal);
    const QRect login = m_client.login->geometry();
    QCOMPARE(dialogGeometry.x(), login.x() + login.width() / 2 - dialogGeometry.width() / 2);
    QCOMPARE(dialogGeometry.y(), login.y() + login.height() / 2 - dialogGeometry.height() / 2 - 30);
    QVERIFY(!g_isBrowserMode);
    QVERIFY(!QApplication::activeModalWidget());
}

ORBISK_WEBENGINE_TEST_MAIN(TestTipDialogs)
#include "test_tipdialogs.moc"
