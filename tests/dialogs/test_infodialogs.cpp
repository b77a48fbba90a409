// The help menu's information dialogs: where the main window puts them, what they
// show, and what the settings, the about and the device code dialog do to the client.
#include "core/ValtroCore.h"
#include "dialogs/CAboutUI.h"
#include "dialogs/CMachineCodeUI.h"
#include "dialogs/CSetting.h"
#include "login/CLoginUI.h"
#include "mainwindow/CMainWindow.h"
#include "platform/autostart.h"
#include "storage/AppPaths.h"
#include "storage/ClientSettings.h"
#include "ui/LanguageTexts.h"

#include "ClientWindows.h"
#include "LayoutCheck.h"
#include "OpenedUrls.h"
#include "TestEnvironment.h"
#include "WidgetHelpers.h"

#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <limits>
#include <memory>

using namespace orbisk::test;

namespace {

const char kCoreKey[] = "E3A95C07B1D84F62A0C7395E1B6D8F24";
const char kOtherCoreKey[] = "0123456789ABCDEF0123456789ABCDEF";

enum class Dialog { About, Setting, MachineCode };

// The close button: the one button that shows a picture and no text.
QPushButton* closeButton(const QWidget* dialog)
{
    return childWithText<QPushButton>(dialog, QString());
}

QList<QSize> shownPictures(const QWidget* dialog)
{
    QList<QSize> sizes;
    for (const QLabel* label : dialog->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (label->isVisible() && !label->pixmap(Qt::ReturnByValue).isNull())
            sizes << label->pixmap(Qt::ReturnByValue).size();
    }
    return sizes;
}

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
    void settingKeepsTheAdministratorsChoiceOutOfTheFile();
    void settingStoresOnlyWhatChanged_data();
    void settingStoresOnlyWhatChanged();
    void settingCancelStoresNothing_data();
    void settingCancelStoresNothing();

    void aboutShowsVersionLogoAndBrand();
    void aboutLogButtonIsCentredByItsText();
    void aboutLogButtonOpensTheDataFolder();

    void machineCodeShowsTheDeviceCode();
    void machineCodeFitsTheFrame_data();
    void machineCodeFitsTheFrame();
    void machineCodeButtonsClose_data();
    void machineCodeButtonsClose();
    void machineCodeContextMenuCopiesAndStays();
    void machineCodeIsFetchedAtEveryOpening();

    void dialogsFitTheirFrame_data();
    void dialogsFitTheirFrame();

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
    // A test may replace the font.
    useClientFont();
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
    // Where the dialog's top left corner plus half its size (each half truncated) lands;
    // the settings dialog's width follows its texts' font.
    QTest::addColumn<QPoint>("expected");

    // The login window is 500 x 593; the main window is sized per row.
    const QRect login(200, 100, 500, 593);
    QTest::newRow("about on login") << Dialog::About << false << login << QPoint(450, 366);
    QTest::newRow("settings on login") << Dialog::Setting << false << login << QPoint(450, 366);
    QTest::newRow("device code on login") << Dialog::MachineCode << false << login << QPoint(450, 366);
    const QRect page(40, 60, 1001, 701);
    QTest::newRow("about on page") << Dialog::About << true << page << QPoint(540, 380);
    QTest::newRow("settings on page") << Dialog::Setting << true << page << QPoint(540, 380);
    QTest::newRow("device code on page") << Dialog::MachineCode << true << page << QPoint(540, 380);
    // Larger than the window: left of and above it, no clamping.
    const QRect small(400, 300, 200, 100);
    QTest::newRow("about larger than page") << Dialog::About << true << small << QPoint(500, 320);
    QTest::newRow("settings wider than page") << Dialog::Setting << true << small << QPoint(500, 320);
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
        QVERIFY(showExposed(m_client.window));
        m_client.window->setGeometry(reference);
    } else {
        QVERIFY(showExposed(m_client.login));
    }
    QCOMPARE((pageShown ? static_cast<QWidget*>(m_client.window) : m_client.login)->geometry(), reference);

    QPoint centre;
    bool modal = false;
    bool parentless = false;
    runDialog(dialog, [&](QDialog* running) {
        const QRect geometry = running->geometry();
        centre = geometry.topLeft() + QPoint(geometry.width() / 2, geometry.height() / 2);
        modal = running->isModal() && running->windowModality() == Qt::ApplicationModal;
        parentless = !running->parent();
    });

    QCOMPARE(centre, expected);
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

// A locked box shows the administrator's choice and OK stores only the user's own.
void TestInfoDialogs::settingKeepsTheAdministratorsChoiceOutOfTheFile()
{
    ClientSettings settings;
    CSetting dialog(m_client.window->shownTexts(), settings, nullptr);
    dialog.lockManaged(false, std::nullopt);
    QVERIFY(!dialog.m_pCheckAutoStart->isEnabled());
    QVERIFY(!dialog.m_pCheckAutoStart->isChecked());
    QCOMPARE(dialog.m_pCheckAutoStart->toolTip(), m_client.window->shownTexts().SetByAdministrator);
    QVERIFY(dialog.m_pCheckMiniTray->isEnabled());

    dialog.m_pCheckMiniTray->setChecked(false);
    dialog.slot_ButtonOK();
    const ClientSettings stored = ClientSettings::read(AppPaths::settingsFile());
    QVERIFY(settings.autoStart && stored.autoStart);
    QVERIFY(!settings.miniTray && !stored.miniTray);
}

void TestInfoDialogs::settingShowsTheFlagsAndCatalogueTexts()
{
    QFETCH(bool, autoStart);
    QFETCH(bool, miniTray);
    m_client.window->settings().autoStart = autoStart;
    m_client.window->settings().miniTray = miniTray;
    const LanguageTexts& texts = m_client.window->shownTexts();

    CSetting dialog(m_client.window->shownTexts(), m_client.window->settings(), nullptr);
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(dialog.windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(dialog.m_pCheckAutoStart->isChecked(), autoStart);
    QCOMPARE(dialog.m_pCheckMiniTray->isChecked(), miniTray);

    QCOMPARE(dialog.m_pCheckAutoStart->text(), texts.AutoStart);
    QCOMPARE(dialog.m_pCheckMiniTray->text(), texts.MiniTray);
    QVERIFY(childWithText<QLabel>(&dialog, texts.Setting));
    QVERIFY(childWithText<QPushButton>(&dialog, texts.OK));
    QVERIFY(closeButton(&dialog));
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

    m_client.window->settings().autoStart = autoStartBefore;
    m_client.window->settings().miniTray = miniTrayBefore;
    // Traps: no settings file, and a start-with-system entry that contradicts the
    // current choice, so any needless write of either shows.
    QVERIFY(QFile::remove(AppPaths::settingsFile()));
    setAutostartRegistered(autoStartChanged ? autoStartBefore : !autoStartBefore);

    runDialog(Dialog::Setting, [&](QDialog* running) {
        auto* dialog = qobject_cast<CSetting*>(running);
        QVERIFY(dialog);
        dialog->m_pCheckAutoStart->setChecked(autoStartChosen);
        dialog->m_pCheckMiniTray->setChecked(miniTrayChosen);
        QTest::mouseClick(childWithText<QPushButton>(dialog, m_client.window->shownTexts().OK), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
    });

    QCOMPARE(m_client.window->settings().autoStart, autoStartChosen);
    QCOMPARE(m_client.window->settings().miniTray, miniTrayChosen);
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
            QTest::mouseClick(closeButton(dialog), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
    });

    QVERIFY(m_client.window->settings().autoStart);
    QVERIFY(m_client.window->settings().miniTray);
    QVERIFY(autostartRegistered());
    QVERIFY(!QFile::exists(AppPaths::settingsFile()));
}

void TestInfoDialogs::aboutShowsVersionLogoAndBrand()
{
    const LanguageTexts& texts = m_client.window->shownTexts();
    CAboutUI dialog(m_client.window->shownTexts(), nullptr);
    QVERIFY(showExposed(&dialog));
    QVERIFY(dialog.windowFlags().testFlag(Qt::FramelessWindowHint));

    QCOMPARE(texts.Version, QStringLiteral("Version"));
    const QLabel* version = childWithText<QLabel>(&dialog, QStringLiteral("Version:3.0.0 Build 26"));
    QVERIFY(version);
    QVERIFY(version->isVisible());
    QVERIFY(childWithText<QLabel>(&dialog, texts.About)->isVisible());
    QVERIFY(childWithText<QPushButton>(&dialog, texts.TransferLog)->isVisible());

    // The icon and the brand show at their own size; the web-site and notice rows
    // are hidden, so nothing else shows.
    QCOMPARE(shownPictures(&dialog), (QList<QSize>{QSize(64, 64), QSize(200, 40)}));
    int shownTexts = 0;
    for (const QWidget* child : dialog.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        const auto* label = qobject_cast<const QLabel*>(child);
        shownTexts += child->isVisible() && label && !label->text().isEmpty() ? 1 : 0;
    }
    QCOMPARE(shownTexts, 2);

    QTest::mouseClick(closeButton(&dialog), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
}

// Ever longer texts: the button grows with its text and stays centred.
void TestInfoDialogs::aboutLogButtonIsCentredByItsText()
{
    const QStringList texts{QStringLiteral("Log"), QStringLiteral("System Log"), QStringLiteral("Open the data folder"),
        QStringLiteral("Open the folder that holds the client's settings")};
    int previousLeft = std::numeric_limits<int>::max();
    int previousWidth = 0;
    for (const QString& text : texts) {
        LanguageTexts shownTexts = m_client.window->shownTexts();
        shownTexts.TransferLog = text;
        CAboutUI dialog(shownTexts, nullptr);
        const QPushButton* log = childWithText<QPushButton>(&dialog, text);
        QVERIFY2(log, qPrintable(text));
        const QRect geometry = log->geometry();
        // The button has room for its text at the size it paints it, and stays centred.
        QVERIFY2(geometry.width() >= log->fontMetrics().horizontalAdvance(text) + 12, qPrintable(text));
        QVERIFY2(qAbs(geometry.x() + geometry.width() / 2 - dialog.width() / 2) <= 1, qPrintable(text));
        QVERIFY2(geometry.x() < previousLeft && geometry.width() > previousWidth, qPrintable(text));
        previousLeft = geometry.x();
        previousWidth = geometry.width();
    }
}

void TestInfoDialogs::aboutLogButtonOpensTheDataFolder()
{
    OpenedUrls catcher({QStringLiteral("file")});
    // A data folder removed while the client runs is made again before it is opened.
    removeClientFiles();

    CAboutUI dialog(m_client.window->shownTexts(), nullptr);
    QVERIFY(showExposed(&dialog));
    QPushButton* log = childWithText<QPushButton>(&dialog, m_client.window->shownTexts().TransferLog);
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
    const LanguageTexts& texts = m_client.window->shownTexts();
    CMachineCodeUI dialog(m_client.window->shownTexts(), m_client.window->m_pCore->Get_Deviceuuid(), nullptr);
    QVERIFY(showExposed(&dialog));

    const QString code = m_client.window->m_pCore->Get_Deviceuuid();
    QVERIFY(!code.isEmpty());
    QCOMPARE(dialog.m_pLabelCode->text(), code);
    QVERIFY(childWithText<QLabel>(&dialog, texts.MachineCodeIs)->isVisible());
    const QPushButton* copy = childWithText<QPushButton>(&dialog, texts.Copy);
    QVERIFY(copy);
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

    CMachineCodeUI dialog(m_client.window->shownTexts(), m_client.window->m_pCore->Get_Deviceuuid(), nullptr);
    dialog.ensurePolished();
    const QLabel* label = dialog.m_pLabelCode;
    const QString code = label->text();
    QFont usual = label->font();
    usual.setPixelSize(14);
    // The room ends a margin short of the frame.
    const int room = CMachineCodeUI::kCodeVisibleWidth;
    QVERIFY(room < dialog.width() - label->x());
    const bool fitsAtUsualSize = QFontMetrics(usual).horizontalAdvance(code) <= room;

    // The whole code lies on one line inside the room, at the usual size when it fits.
    QVERIFY2(label->fontMetrics().horizontalAdvance(code) <= room,
        qPrintable(QString::number(label->fontMetrics().horizontalAdvance(code))));
    QVERIFY(label->heightForWidth(label->width()) <= label->height());
    if (fitsAtUsualSize)
        QCOMPARE(label->font().pixelSize(), 14);
    else
        QVERIFY(label->font().pixelSize() < 14);
}

void TestInfoDialogs::machineCodeButtonsClose_data()
{
    QTest::addColumn<bool>("copy");
    QTest::newRow("Copy puts exactly the code") << true;
    QTest::newRow("close button leaves the clipboard") << false;
}

void TestInfoDialogs::machineCodeButtonsClose()
{
    QFETCH(bool, copy);
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    QString shown;
    runDialog(Dialog::MachineCode, [&](QDialog* running) {
        auto* dialog = qobject_cast<CMachineCodeUI*>(running);
        QVERIFY(dialog);
        shown = dialog->m_pLabelCode->text();
        QPushButton* pressed
            = copy ? childWithText<QPushButton>(dialog, m_client.window->shownTexts().Copy) : closeButton(dialog);
        QTest::mouseClick(pressed, Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
    });
    const QString code = m_client.window->m_pCore->Get_Deviceuuid();
    QCOMPARE(shown, code);
    QCOMPARE(QGuiApplication::clipboard()->text(), copy ? code : QStringLiteral("before"));
}

void TestInfoDialogs::machineCodeContextMenuCopiesAndStays()
{
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    CMachineCodeUI dialog(m_client.window->shownTexts(), m_client.window->m_pCore->Get_Deviceuuid(), nullptr);
    QVERIFY(showExposed(&dialog));

    QCOMPARE(dialog.m_pLabelCode->contextMenuPolicy(), Qt::CustomContextMenu);
    emit dialog.m_pLabelCode->customContextMenuRequested(QPoint(10, 10));
    QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
    QPointer<QMenu> menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QCOMPARE(menu->actions().size(), 1);
    QCOMPARE(menu->actions().first()->text(), m_client.window->shownTexts().Copy);
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

void TestInfoDialogs::dialogsFitTheirFrame_data()
{
    QTest::addColumn<Dialog>("dialog");
    QTest::newRow("about") << Dialog::About;
    QTest::newRow("settings") << Dialog::Setting;
    QTest::newRow("device code") << Dialog::MachineCode;
}

void TestInfoDialogs::dialogsFitTheirFrame()
{
    QFETCH(Dialog, dialog);

    std::unique_ptr<QDialog> shown;
    switch (dialog) {
    case Dialog::About:
        shown = std::make_unique<CAboutUI>(m_client.window->shownTexts(), nullptr);
        break;
    case Dialog::Setting:
        shown = std::make_unique<CSetting>(m_client.window->shownTexts(), m_client.window->settings(), nullptr);
        break;
    case Dialog::MachineCode:
        shown = std::make_unique<CMachineCodeUI>(
            m_client.window->shownTexts(), m_client.window->m_pCore->Get_Deviceuuid(), nullptr);
        break;
    }
    QVERIFY(showExposed(shown.get()));
    const QStringList faults = layoutFaults(shown.get());
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

ORBISK_WEBENGINE_TEST_MAIN(TestInfoDialogs)
#include "test_infodialogs.moc"
