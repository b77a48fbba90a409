// The tip frame and the switch-mode confirmation: the frame's look shared by every
// dialog built on it, and what Cancel, the close button and OK do to the client.
#include "app/LanguageTexts.h"
#include "dialogs/CSwitchModeUI.h"
#include "dialogs/CTipUI.h"
#include "login/CCombox.h"
#include "login/CLoginUI.h"
#include "mainwindow/CMainWindow.h"

#include "ClientWindows.h"
#include "TestEnvironment.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <memory>

using namespace orbisk::test;

namespace {

const ServerEntry kOffice{QStringLiteral("Office"), QStringLiteral("https://office.example"), false};

QPushButton* buttonAt(const QWidget* dialog, const QRect& geometry)
{
    for (QPushButton* button : dialog->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (button->geometry() == geometry)
            return button;
    }
    return nullptr;
}

QLabel* labelAt(const QWidget* dialog, const QRect& geometry)
{
    for (QLabel* label : dialog->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (label->geometry() == geometry)
            return label;
    }
    return nullptr;
}

const QRect kCloseButton(280, 8, 18, 18);
const QRect kCancelButton(124, 127, 68, 30);
const QRect kOkButton(212, 127, 68, 30);
const QRect kMessage(26, 46, 253, 80);

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

class TestTipDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void everyDialogHasTheTipFrame_data();
    void everyDialogHasTheTipFrame();
    void confirmationTextFitsItsArea();
    void cancelAndCloseChangeNothing_data();
    void cancelAndCloseChangeNothing();
    void okLeavesTheServerBeforeBrowserMode();
    void loginWindowRunsTheConfirmationCentred();
    void renderConfirmation();

private:
    void enterBrowserMode();

    ClientWindows m_client;
};

void TestTipDialogs::initTestCase()
{
    prepareTestEnvironment();
    QFont font(QStringLiteral("Microsoft YaHei"));
    font.setPixelSize(14);
    QApplication::setFont(font);
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
    m_client.login->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_client.login));
}

void TestTipDialogs::everyDialogHasTheTipFrame_data()
{
    QTest::addColumn<bool>("switchMode");
    QTest::newRow("tip frame") << false;
    QTest::newRow("switch-mode confirmation") << true;
}

void TestTipDialogs::everyDialogHasTheTipFrame()
{
    QFETCH(bool, switchMode);

    const std::unique_ptr<CTipUI> dialog(switchMode ? new CSwitchModeUI(nullptr) : new CTipUI(nullptr));
    QCOMPARE(dialog->size(), QSize(310, 170));
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
    QVERIFY(dialog->windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(dialog->objectName(), QStringLiteral("tipui"));
    QCOMPARE(dialog->styleSheet(), QStringLiteral("QWidget#tipui{background-color:#fff;border:1px solid #ccc}"));

    const QLabel* icon = labelAt(dialog.get(), QRect(26, 20, 24, 24));
    QVERIFY(icon);
    QCOMPARE(icon->pixmap(Qt::ReturnByValue).size(), QSize(24, 24));
    const QLabel* title = labelAt(dialog.get(), QRect(59, 19, 37, 26));
    QVERIFY(title);
    QCOMPARE(title->text(), m_client.window->m_pTexts->Tip);
    QVERIFY(buttonAt(dialog.get(), kCloseButton));
    QVERIFY(buttonAt(dialog.get(), kCloseButton)->text().isEmpty());

    // The frame paints white with the grey border.
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    const QImage picture = dialog->grab().toImage();
    QCOMPARE(QColor(picture.pixel(0, 85)), QColor(0xcc, 0xcc, 0xcc));
    QCOMPARE(QColor(picture.pixel(200, 15)), QColor(Qt::white));
}

void TestTipDialogs::confirmationTextFitsItsArea()
{
    CSwitchModeUI dialog(nullptr);
    const LanguageTexts& texts = *m_client.window->m_pTexts;
    const QLabel* message = labelAt(&dialog, kMessage);
    QVERIFY(message);
    QCOMPARE(message->text(), texts.SwitchModelTip);
    QVERIFY(message->wordWrap());
    QVERIFY2(message->heightForWidth(kMessage.width()) <= kMessage.height(),
        qPrintable(QString::number(message->heightForWidth(kMessage.width()))));
    QCOMPARE(buttonAt(&dialog, kCancelButton)->text(), texts.Cancel);
    QCOMPARE(buttonAt(&dialog, kOkButton)->text(), texts.OK);
}

void TestTipDialogs::cancelAndCloseChangeNothing_data()
{
    QTest::addColumn<QRect>("button");
    QTest::newRow("Cancel") << kCancelButton;
    QTest::newRow("close button") << kCloseButton;
}

void TestTipDialogs::cancelAndCloseChangeNothing()
{
    QFETCH(QRect, button);

    enterBrowserMode();
    CSwitchModeUI dialog(nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QTest::mouseClick(buttonAt(&dialog, button), Qt::LeftButton);

    QVERIFY(!dialog.isVisible());
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

    CSwitchModeUI dialog(nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(buttonAt(&dialog, kOkButton), Qt::LeftButton);

    QCOMPARE(watcher.browserModeAtShow, QList<bool>{true});
    QVERIFY(!g_isBrowserMode);
    QVERIFY(!m_client.login->m_isBrowserModel);
    QVERIFY(m_client.login->isVisible());
    QVERIFY(!m_client.window->isVisible());
    QVERIFY(!m_client.window->m_isPageShown);
    QVERIFY(!dialog.isVisible());
    // With a known server the login window offers the drop-down again.
    QVERIFY(m_client.login->m_pComboServer->isVisible());
    QVERIFY(m_client.login->m_pBtnExitBrowser->isHidden());
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
        QTest::mouseClick(buttonAt(dialog, kOkButton), Qt::LeftButton);
    });

    QTest::mouseClick(m_client.login->m_pBtnExitBrowser, Qt::LeftButton);

    QVERIFY(wasModal);
    const QRect login = m_client.login->geometry();
    QCOMPARE(dialogGeometry.x(), login.x() + login.width() / 2 - 310 / 2);
    QCOMPARE(dialogGeometry.y(), login.y() + login.height() / 2 - 170 / 2 - 30);
    QVERIFY(!g_isBrowserMode);
    QVERIFY(!QApplication::activeModalWidget());
}

void TestTipDialogs::renderConfirmation()
{
    CSwitchModeUI dialog(nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(QDir().mkpath(QStringLiteral(ORBISK_SCREENSHOT_DIR)));
    const QString path = QStringLiteral(ORBISK_SCREENSHOT_DIR "/switch-mode-dialog.png");
    QVERIFY2(dialog.grab().save(path), qPrintable(path));
}

ORBISK_WEBENGINE_TEST_MAIN(TestTipDialogs)
#include "test_tipdialogs.moc"
