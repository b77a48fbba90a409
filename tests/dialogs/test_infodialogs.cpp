// The help menu's information dialogs: where the main window puts them, what they
// show, and what the settings, the about and the device code dialog do to the client.
#include "app/LanguageTexts.h"
#include "core/ValtroCore.h"
#include "dialogs/CAboutUI.h"
#include "dialogs/CMachineCodeUI.h"
#include "dialogs/CSetting.h"
#include "login/CLoginUI.h"
#include "mainwindow/AppPaths.h"
#include "mainwindow/CMainWindow.h"
#include "mainwindow/ClientSettings.h"
#include "platform/autostart.h"

#include "ClientWindows.h"
#include "TestEnvironment.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTimer>

#include <functional>
#include <limits>

using namespace orbisk::test;

namespace {

const char kCoreKey[] = "E3A95C07B1D84F62A0C7395E1B6D8F24";
const char kOtherCoreKey[] = "0123456789ABCDEF0123456789ABCDEF";

enum class Dialog { About, Setting, MachineCode };

template <typename T> T* childAt(const QWidget* dialog, const QRect& geometry)
{
    for (T* child : dialog->findChildren<T*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child->geometry() == geometry)
            return child;
    }
    return nullptr;
}

// Catches the URLs that would go to the system's file browser.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    UrlCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openUrl"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    QList<QUrl> urls;

public slots:
    void openUrl(const QUrl& url) { urls << url; }
};

bool autostartRegistered()
{
    return orbisk::platform::isStartWithSystemRegistered(QCoreApplication::applicationName());
}

void setAutostartRegistered(bool registered)
{
    QVERIFY(orbisk::platform::setStartWithSystem(
        registered, QCoreApplication::applicationName(), QCoreApplication::applicationFilePath()));
}

} // namespace

Q_DECLARE_METATYPE(Dialog)

class TestInfoDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void dialogsAreCentredOnTheVisibleWindow_data();
    void dialogsAreCentredOnTheVisibleWindow();

    void settingShowsTheFlagsAndCatalogueTexts_data();
    void settingShowsTheFlagsAndCatalogueTexts();
    void settingStoresOnlyWhatChanged_data();
    void settingStoresOnlyWhatChanged();
    void settingCancelStoresNothing_data();
    void settingCancelStoresNothing();

    void aboutShowsVersionLogoAndBrand();
    void aboutLogButtonIsCentredByItsText_data();
    void aboutLogButtonIsCentredByItsText();
    void aboutLogButtonOpensTheDataFolder();

    void machineCodeShowsTheDeviceCode();
    void machineCodeFitsTheFrame_data();
    void machineCodeFitsTheFrame();
    void machineCodeCopyPutsExactlyTheCode();
    void machineCodeCloseLeavesTheClipboard();
    void machineCodeContextMenuCopiesAndStays();
    void machineCodeIsFetchedAtEveryOpening();

    void renderDialogs();

private:
    // Runs one of the main window's dialog slots; drive gets the modal dialog while it runs.
    void runDialog(Dialog dialog, const std::function<void(QDialog*)>& drive);

    ClientWindows m_client;
};

void TestInfoDialogs::initTestCase()
{
    prepareTestEnvironment();
}

void TestInfoDialogs::init()
{
    // The client's own font; a test may replace it.
    QFont font(QStringLiteral("Microsoft YaHei"));
    font.setPixelSize(14);
    QApplication::setFont(font);
    removeClientFiles();
    m_client.start();
    m_client.window->m_pCore = new ValtroCore(QString::fromLatin1(kCoreKey), 1, m_client.window);
}

void TestInfoDialogs::cleanup()
{
    m_client.stop();
}

void TestInfoDialogs::runDialog(Dialog dialog, const std::function<void(QDialog*)>& drive)
{
    QPointer<QDialog> running;
    bool driven = false;
    QTimer::singleShot(0, this, [&] {
        running = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!running)
            return;
        drive(running);
        driven = true;
        // Whatever the drive left open is closed, so the modal run always ends.
        if (running && running->isVisible())
            running->reject();
    });

    switch (dialog) {
    case Dialog::About:
        m_client.window->slot_aboutUI();
        break;
    case Dialog::Setting:
        m_client.window->slot_settingUI();
        break;
    case Dialog::MachineCode:
        m_client.window->slot_machineCode();
        break;
    }

    QVERIFY2(driven, "the slot ran no modal dialog");
    QVERIFY2(!running, "the dialog outlived its slot");
    QVERIFY(!QApplication::activeModalWidget());
}

void TestInfoDialogs::dialogsAreCentredOnTheVisibleWindow_data()
{
    QTest::addColumn<Dialog>("dialog");
    QTest::addColumn<bool>("pageShown");
    QTest::addColumn<QRect>("reference");
    QTest::addColumn<QPoint>("expected");

    // The login window is 500 x 593; the main window is sized per row.
    const QRect login(200, 100, 500, 593);
    QTest::newRow("about on login") << Dialog::About << false << login << QPoint(285, 159);
    QTest::newRow("settings on login") << Dialog::Setting << false << login << QPoint(265, 281);
    QTest::newRow("device code on login") << Dialog::MachineCode << false << login << QPoint(295, 281);
    const QRect page(40, 60, 1001, 701);
    QTest::newRow("about on page") << Dialog::About << true << page << QPoint(375, 173);
    QTest::newRow("settings on page") << Dialog::Setting << true << page << QPoint(355, 295);
    QTest::newRow("device code on page") << Dialog::MachineCode << true << page << QPoint(385, 295);
    // Larger than the window: left of and above it, no clamping.
    const QRect small(400, 300, 200, 100);
    QTest::newRow("about larger than page") << Dialog::About << true << small << QPoint(335, 113);
    QTest::newRow("settings wider than page") << Dialog::Setting << true << small << QPoint(315, 235);
}

void TestInfoDialogs::dialogsAreCentredOnTheVisibleWindow()
{
    QFETCH(Dialog, dialog);
    QFETCH(bool, pageShown);
    QFETCH(QRect, reference);
    QFETCH(QPoint, expected);

    // Both windows are placed; only the one that is shown counts.
    m_client.login->setGeometry(pageShown ? QRect(QPoint(0, 0), m_client.login->size()) : reference);
    m_client.window->setGeometry(pageShown ? reference : QRect(0, 0, 800, 600));
    if (pageShown) {
        m_client.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_client.window));
        m_client.window->setGeometry(reference);
    } else {
        m_client.login->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_client.login));
    }
    QCOMPARE((pageShown ? static_cast<QWidget*>(m_client.window) : m_client.login)->geometry(), reference);

    QPoint position;
    bool modal = false;
    bool parentless = false;
    runDialog(dialog, [&](QDialog* running) {
        position = running->geometry().topLeft();
        modal = running->isModal() && running->windowModality() == Qt::ApplicationModal;
        parentless = !running->parent();
    });

    QCOMPARE(position, expected);
    QVERIFY(modal);
    QVERIFY(parentless);
}

void TestInfoDialogs::settingShowsTheFlagsAndCatalogueTexts_data()
{
    QTest::addColumn<bool>("autoStart");
    QTest::addColumn<bool>("miniTray");
    QTest::newRow("both on") << true << true;
    QTest::newRow("only start with system") << true << false;
    QTest::newRow("only tray") << false << true;
    QTest::newRow("both off") << false << false;
}

void TestInfoDialogs::settingShowsTheFlagsAndCatalogueTexts()
{
    QFETCH(bool, autoStart);
    QFETCH(bool, miniTray);
    m_client.window->m_isAutoStart = autoStart;
    m_client.window->m_isMiniTray = miniTray;
    const LanguageTexts& texts = *m_client.window->m_pTexts;

    CSetting dialog(nullptr);
    QCOMPARE(dialog.size(), QSize(370, 170));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(dialog.windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(dialog.objectName(), QStringLiteral("setting"));
    QCOMPARE(dialog.m_pCheckAutoStart->isChecked(), autoStart);
    QCOMPARE(dialog.m_pCheckMiniTray->isChecked(), miniTray);

    QCOMPARE(dialog.m_pCheckAutoStart->text(), texts.AutoStart);
    QCOMPARE(dialog.m_pCheckMiniTray->text(), texts.MiniTray);
    QCOMPARE(dialog.m_pCheckAutoStart->geometry(), QRect(31, 61, 370, 26));
    QCOMPARE(dialog.m_pCheckMiniTray->geometry(), QRect(31, 90, 370, 26));
    const QLabel* title = childAt<QLabel>(&dialog, QRect(26, 19, 200, 26));
    QVERIFY(title);
    QCOMPARE(title->text(), texts.Setting);
    const QPushButton* ok = childAt<QPushButton>(&dialog, QRect(272, 127, 68, 30));
    QVERIFY(ok);
    QCOMPARE(ok->text(), texts.OK);
    QCOMPARE(370 - ok->geometry().right() - 1, 30);
    QCOMPARE(ok->cursor().shape(), Qt::PointingHandCursor);
    const QPushButton* close = childAt<QPushButton>(&dialog, QRect(344, 8, 18, 18));
    QVERIFY(close);
    QVERIFY(close->text().isEmpty());

    // The English texts end inside the frame, though the boxes reach past it.
    dialog.ensurePolished();
    for (const QCheckBox* box : {dialog.m_pCheckAutoStart, dialog.m_pCheckMiniTray}) {
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        const int textLeft = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box).left();
        const int textRight = box->x() + textLeft + box->fontMetrics().horizontalAdvance(box->text());
        QVERIFY2(textRight <= 370 - 1, qPrintable(QStringLiteral("%1 ends at %2").arg(box->text()).arg(textRight)));
    }
}

void TestInfoDialogs::settingStoresOnlyWhatChanged_data()
{
    QTest::addColumn<bool>("autoStartBefore");
    QTest::addColumn<bool>("miniTrayBefore");
    QTest::addColumn<bool>("autoStartChosen");
    QTest::addColumn<bool>("miniTrayChosen");

    QTest::newRow("nothing changed, both on") << true << true << true << true;
    QTest::newRow("nothing changed, both off") << false << false << false << false;
    QTest::newRow("tray off") << true << true << true << false;
    QTest::newRow("tray on") << false << false << false << true;
    QTest::newRow("start with system off") << true << true << false << true;
    QTest::newRow("start with system on") << false << false << true << false;
    QTest::newRow("both changed") << true << false << false << true;
}

void TestInfoDialogs::settingStoresOnlyWhatChanged()
{
    QFETCH(bool, autoStartBefore);
    QFETCH(bool, miniTrayBefore);
    QFETCH(bool, autoStartChosen);
    QFETCH(bool, miniTrayChosen);
    const bool autoStartChanged = autoStartChosen != autoStartBefore;
    const bool anyChanged = autoStartChanged || miniTrayChosen != miniTrayBefore;

    m_client.window->m_isAutoStart = autoStartBefore;
    m_client.window->m_isMiniTray = miniTrayBefore;
    // Traps: no settings file, and a start-with-system entry that contradicts the
    // current choice, so any needless write of either shows.
    QVERIFY(QFile::remove(AppPaths::settingsFile()));
    setAutostartRegistered(autoStartChanged ? autoStartBefore : !autoStartBefore);

    runDialog(Dialog::Setting, [&](QDialog* running) {
        auto* dialog = qobject_cast<CSetting*>(running);
        QVERIFY(dialog);
        dialog->m_pCheckAutoStart->setChecked(autoStartChosen);
        dialog->m_pCheckMiniTray->setChecked(miniTrayChosen);
        QTest::mouseClick(childAt<QPushButton>(dialog, QRect(272, 127, 68, 30)), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
    });

    QCOMPARE(m_client.window->m_isAutoStart, autoStartChosen);
    QCOMPARE(m_client.window->m_isMiniTray, miniTrayChosen);
    QCOMPARE(autostartRegistered(), autoStartChanged ? autoStartChosen : !autoStartBefore);
    QCOMPARE(QFile::exists(AppPaths::settingsFile()), anyChanged);
    if (anyChanged) {
        const ClientSettings stored = ClientSettings::read(AppPaths::settingsFile());
        QCOMPARE(stored.autoStart, autoStartChosen);
        QCOMPARE(stored.miniTray, miniTrayChosen);
        QCOMPARE(stored.language, 0);
    }
}

void TestInfoDialogs::settingCancelStoresNothing_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("close button") << false;
    QTest::newRow("Escape") << true;
}

void TestInfoDialogs::settingCancelStoresNothing()
{
    QFETCH(bool, escape);
    QVERIFY(QFile::remove(AppPaths::settingsFile()));
    QVERIFY(autostartRegistered());

    runDialog(Dialog::Setting, [&](QDialog* running) {
        auto* dialog = qobject_cast<CSetting*>(running);
        QVERIFY(dialog);
        dialog->m_pCheckAutoStart->setChecked(false);
        dialog->m_pCheckMiniTray->setChecked(false);
        if (escape)
            QTest::keyClick(dialog, Qt::Key_Escape);
        else
            QTest::mouseClick(childAt<QPushButton>(dialog, QRect(344, 8, 18, 18)), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
    });

    QVERIFY(m_client.window->m_isAutoStart);
    QVERIFY(m_client.window->m_isMiniTray);
    QVERIFY(autostartRegistered());
    QVERIFY(!QFile::exists(AppPaths::settingsFile()));
}

void TestInfoDialogs::aboutShowsVersionLogoAndBrand()
{
    CAboutUI dialog(nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.size(), QSize(330, 414));
    QVERIFY(dialog.windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(dialog.objectName(), QStringLiteral("about"));

    QCOMPARE(m_client.window->m_pTexts->Version, QStringLiteral("Version"));
    const QLabel* version = childAt<QLabel>(&dialog, QRect(0, 184, 330, 23));
    QVERIFY(version);
    QCOMPARE(version->text(), QStringLiteral("Version:3.0.0 Build 26"));
    QCOMPARE(version->alignment(), Qt::AlignCenter);

    const QLabel* logo = childAt<QLabel>(&dialog, QRect(127, 74, 76, 76));
    QVERIFY(logo);
    QCOMPARE(logo->pixmap(Qt::ReturnByValue).size(), QSize(64, 64));
    const QLabel* brand = childAt<QLabel>(&dialog, QRect(65, 348, 200, 40));
    QVERIFY(brand);
    QCOMPARE(brand->pixmap(Qt::ReturnByValue).size(), QSize(200, 40));

    const QLabel* title = dialog.findChildren<QLabel*>().value(0);
    QCOMPARE(title->text(), m_client.window->m_pTexts->About);
    QCOMPARE(title->pos(), QPoint(36, 20));
    QVERIFY(title->width() >= title->fontMetrics().horizontalAdvance(title->text()));

    // Only the title, the close button, the logo, the version, the log button and the
    // brand show; the web-site and notice rows are hidden.
    QStringList shown;
    for (const QWidget* child : dialog.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child->isVisible())
            shown << QStringLiteral("%1@%2,%3").arg(child->metaObject()->className()).arg(child->x()).arg(child->y());
    }
    const QStringList expected{QStringLiteral("QLabel@36,20"), QStringLiteral("QPushButton@300,8"),
        QStringLiteral("QLabel@127,74"), QStringLiteral("QLabel@0,184"),
        QStringLiteral("QPushButton@%1,246").arg(dialog.findChildren<QPushButton*>().value(1)->x()),
        QStringLiteral("QLabel@65,348")};
    QCOMPARE(shown, expected);

    QTest::mouseClick(childAt<QPushButton>(&dialog, QRect(300, 8, 18, 18)), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
}

void TestInfoDialogs::aboutLogButtonIsCentredByItsText_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("longer texts") << QStringList{QStringLiteral("Log"), QStringLiteral("System Log"),
        QStringLiteral("Open the data folder"), QStringLiteral("Open the folder that holds the client's settings")};
}

void TestInfoDialogs::aboutLogButtonIsCentredByItsText()
{
    QFETCH(QStringList, texts);

    int previousLeft = std::numeric_limits<int>::max();
    int previousWidth = 0;
    for (const QString& text : texts) {
        m_client.window->m_pTexts->TransferLog = text;
        CAboutUI dialog(nullptr);
        const QPushButton* log = nullptr;
        for (const QPushButton* button : dialog.findChildren<QPushButton*>()) {
            if (button->text() == text)
                log = button;
        }
        QVERIFY2(log, qPrintable(text));
        const QRect geometry = log->geometry();
        QCOMPARE(geometry.y(), 246);
        QCOMPARE(geometry.height(), 23);
        // The button paints its text at the style sheet's 14 pixels and has room for it.
        QCOMPARE(log->font().pixelSize(), 14);
        QVERIFY2(geometry.width() >= log->fontMetrics().horizontalAdvance(text) + 12, qPrintable(text));
        QVERIFY2(qAbs(geometry.x() + geometry.width() / 2 - 165) <= 1, qPrintable(text));
        QVERIFY2(geometry.x() < previousLeft && geometry.width() > previousWidth, qPrintable(text));
        previousLeft = geometry.x();
        previousWidth = geometry.width();
    }
}

void TestInfoDialogs::aboutLogButtonOpensTheDataFolder()
{
    UrlCatcher catcher;
    // A data folder removed while the client runs is made again before it is opened.
    removeClientFiles();

    CAboutUI dialog(nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QPushButton* log = nullptr;
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->text() == m_client.window->m_pTexts->TransferLog)
            log = button;
    }
    QVERIFY(log);
    QCOMPARE(log->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(log, Qt::LeftButton);
    QTest::mouseClick(log, Qt::LeftButton);

    const QUrl folder = QUrl::fromLocalFile(appDataDir());
    QCOMPARE(catcher.urls, (QList<QUrl>{folder, folder}));
    QVERIFY(QFileInfo(folder.toLocalFile()).isDir());
    QVERIFY(dialog.isVisible());
}

void TestInfoDialogs::machineCodeShowsTheDeviceCode()
{
    const LanguageTexts& texts = *m_client.window->m_pTexts;
    CMachineCodeUI dialog(nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.size(), QSize(310, 170));

    const QString code = m_client.window->m_pCore->Get_Deviceuuid();
    QVERIFY(!code.isEmpty());
    QCOMPARE(dialog.m_pLabelCode->text(), code);
    QCOMPARE(dialog.m_pLabelCode->geometry(), QRect(26, 79, 310, 28));
    QVERIFY(dialog.m_pLabelCode->wordWrap());

    const QLabel* prompt = childAt<QLabel>(&dialog, QRect(26, 56, 250, 23));
    QVERIFY(prompt);
    QCOMPARE(prompt->text(), texts.MachineCodeIs);
    const QPushButton* copy = childAt<QPushButton>(&dialog, QRect(212, 125, 68, 32));
    QVERIFY(copy);
    QCOMPARE(copy->text(), texts.Copy);
    QCOMPARE(copy->cursor().shape(), Qt::PointingHandCursor);
}

void TestInfoDialogs::machineCodeFitsTheFrame_data()
{
    QTest::addColumn<QString>("family");
    // A wide and a narrow face: the code shrinks in the one and keeps its size in the other.
    QTest::newRow("DejaVu Sans") << QStringLiteral("DejaVu Sans");
    QTest::newRow("DejaVu Sans Condensed") << QStringLiteral("DejaVu Sans Condensed");
    QTest::newRow("Microsoft YaHei") << QStringLiteral("Microsoft YaHei");
}

void TestInfoDialogs::machineCodeFitsTheFrame()
{
    QFETCH(QString, family);
    QFont font(family);
    font.setPixelSize(14);
    QApplication::setFont(font);

    CMachineCodeUI dialog(nullptr);
    dialog.ensurePolished();
    const QLabel* label = dialog.m_pLabelCode;
    const QString code = label->text();
    QFont usual = label->font();
    usual.setPixelSize(14);
    const bool fitsAtUsualSize = QFontMetrics(usual).horizontalAdvance(code) <= 310 - 26 - 1;

    // The whole code lies on one line inside the frame, at the usual size when it fits.
    QVERIFY2(label->fontMetrics().horizontalAdvance(code) <= 310 - 26 - 1,
        qPrintable(QString::number(label->fontMetrics().horizontalAdvance(code))));
    QCOMPARE(label->geometry(), QRect(26, 79, 310, 28));
    QVERIFY(label->heightForWidth(310) <= 28);
    if (fitsAtUsualSize) {
        QCOMPARE(label->font().pixelSize(), 14);
        QCOMPARE(label->styleSheet(),
            QStringLiteral("left: 1071px;top: 304px;width: 250px;height: 23px;line-height: 20px;"
                           "color: rgba(51, 51, 51, 1);font-size: 14px;text-align: center;"));
    } else {
        QVERIFY(label->font().pixelSize() < 14);
    }
}

void TestInfoDialogs::machineCodeCopyPutsExactlyTheCode()
{
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    QString shown;
    runDialog(Dialog::MachineCode, [&](QDialog* running) {
        auto* dialog = qobject_cast<CMachineCodeUI*>(running);
        QVERIFY(dialog);
        shown = dialog->m_pLabelCode->text();
        QTest::mouseClick(childAt<QPushButton>(dialog, QRect(212, 125, 68, 32)), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
    });
    QCOMPARE(QGuiApplication::clipboard()->text(), m_client.window->m_pCore->Get_Deviceuuid());
    QCOMPARE(shown, m_client.window->m_pCore->Get_Deviceuuid());
}

void TestInfoDialogs::machineCodeCloseLeavesTheClipboard()
{
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    runDialog(Dialog::MachineCode, [&](QDialog* running) {
        QTest::mouseClick(childAt<QPushButton>(running, QRect(280, 8, 18, 18)), Qt::LeftButton);
        QVERIFY(!running->isVisible());
    });
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
}

void TestInfoDialogs::machineCodeContextMenuCopiesAndStays()
{
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    CMachineCodeUI dialog(nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QCOMPARE(dialog.m_pLabelCode->contextMenuPolicy(), Qt::CustomContextMenu);
    emit dialog.m_pLabelCode->customContextMenuRequested(QPoint(10, 10));
    QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
    QPointer<QMenu> menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QCOMPARE(menu->actions().size(), 1);
    QCOMPARE(menu->actions().first()->text(), m_client.window->m_pTexts->Copy);
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(menu->actions().first()).center());

    QCOMPARE(QGuiApplication::clipboard()->text(), m_client.window->m_pCore->Get_Deviceuuid());
    QVERIFY(dialog.isVisible());
    // The menu goes with its closing.
    QTRY_VERIFY(!menu);
}

void TestInfoDialogs::machineCodeIsFetchedAtEveryOpening()
{
    QStringList shown;
    const auto capture
        = [&](QDialog* running) { shown << qobject_cast<CMachineCodeUI*>(running)->m_pLabelCode->text(); };
    const QString first = m_client.window->m_pCore->Get_Deviceuuid();
    runDialog(Dialog::MachineCode, capture);

    // A core with another identity: the next opening shows that one.
    m_client.window->m_pCore = new ValtroCore(QString::fromLatin1(kOtherCoreKey), 1, m_client.window);
    const QString second = m_client.window->m_pCore->Get_Deviceuuid();
    QVERIFY(second != first);
    runDialog(Dialog::MachineCode, capture);

    QCOMPARE(shown, (QStringList{first, second}));
}

void TestInfoDialogs::renderDialogs()
{
    QVERIFY(QDir().mkpath(QStringLiteral(ORBISK_SCREENSHOT_DIR)));
    CAboutUI about(nullptr);
    CSetting setting(nullptr);
    CMachineCodeUI machineCode(nullptr);
    const QList<QPair<QDialog*, QString>> dialogs{{&about, QStringLiteral("about-dialog.png")},
        {&setting, QStringLiteral("settings-dialog.png")}, {&machineCode, QStringLiteral("device-code-dialog.png")}};
    for (const auto& entry : dialogs) {
        entry.first->show();
        QVERIFY(QTest::qWaitForWindowExposed(entry.first));
        const QString path = QStringLiteral(ORBISK_SCREENSHOT_DIR "/") + entry.second;
        QVERIFY2(entry.first->grab().save(path), qPrintable(path));
    }
}

ORBISK_WEBENGINE_TEST_MAIN(TestInfoDialogs)
#include "test_infodialogs.moc"
