// The client at 200 % (QT_SCALE_FACTOR=2, as on a 192 DPI screen): images come in
// their "@2x" renderings, and the fixed layouts of the login window and the dialogs
// still show every text and check box whole.
#include "app/HighDpi.h"
#include "app/Resources.h"
#include "dialogs/CAboutUI.h"
#include "dialogs/CMachineCodeUI.h"
#include "dialogs/CSetting.h"
#include "dialogs/CSwitchModeUI.h"
#include "login/CLoginUI.h"
#include "mainwindow/CMainWindow.h"
#include "update/CCheckUpdateUI.h"

#include "LayoutCheck.h"
#include "TestEnvironment.h"

#include <QtTest>

#include <QIcon>
#include <QPixmap>

#include <memory>

namespace {
const qreal kScale = 2.0;
} // namespace

class TestHighDpi : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void imagesComeInTheirDoubleRendering_data();
    void imagesComeInTheirDoubleRendering();
    void applicationIconHasBothSizes();
    void fixedLayoutsShowEveryTextWhole_data();
    void fixedLayoutsShowEveryTextWhole();

private:
    CMainWindow* m_window = nullptr;
    CLoginUI* m_login = nullptr;
};

void TestHighDpi::initTestCase()
{
    orbisk::test::prepareTestEnvironment();
    QCOMPARE(qApp->devicePixelRatio(), kScale);
    QFont font(QStringLiteral("Microsoft YaHei"));
    font.setPixelSize(14);
    QApplication::setFont(font);
    m_window = new CMainWindow(nullptr);
    g_pMainWindow = m_window;
    m_login = new CLoginUI(nullptr);
    m_window->setLoginUI(m_login);
    m_window->slot_switch_language(m_window->m_iLanguage);
}

void TestHighDpi::cleanupTestCase()
{
    delete m_login;
    delete m_window;
    g_pMainWindow = nullptr;
}

void TestHighDpi::imagesComeInTheirDoubleRendering_data()
{
    QTest::addColumn<QString>("file");
    for (const char* file : {"close.png", "check.png", "uncheck.png", "drop-down.png", "warning.png",
             "orbisk/orbisk330x170.png", "orbisk/orbisk200x40.png", "orbisk/orbisk64.png"})
        QTest::newRow(file) << QStringLiteral(":/resource/image/") + QLatin1String(file);
}

void TestHighDpi::imagesComeInTheirDoubleRendering()
{
    QFETCH(QString, file);

    const QImage single(file);
    QVERIFY(!single.isNull());
    const QPixmap pixmap = orbisk::imagePixmap(file);
    QCOMPARE(pixmap.devicePixelRatio(), kScale);
    QCOMPARE(pixmap.size(), single.size() * 2);
    // Laid out at the single image's size.
    QCOMPARE(pixmap.size() / pixmap.devicePixelRatio(), single.size());
}

void TestHighDpi::applicationIconHasBothSizes()
{
    const QList<QSize> sizes = orbisk::applicationIcon().availableSizes();
    QVERIFY(sizes.contains(QSize(64, 64)));
    QVERIFY(sizes.contains(QSize(128, 128)));
}

void TestHighDpi::fixedLayoutsShowEveryTextWhole_data()
{
    QTest::addColumn<QString>("window");
    for (const char* window : {"login new server", "login select server", "login browser mode", "about", "settings",
             "device code", "switch mode", "update"})
        QTest::newRow(window) << QString::fromLatin1(window);
}

void TestHighDpi::fixedLayoutsShowEveryTextWhole()
{
    QFETCH(QString, window);

    std::unique_ptr<QWidget> dialog;
    QWidget* shown = m_login;
    if (window.startsWith(QLatin1String("login"))) {
        m_login->setBrowserModel(window.endsWith(QLatin1String("browser mode")));
        if (!m_login->m_isBrowserModel)
            m_login->switchServerMode(window.endsWith(QLatin1String("new server")));
    } else if (window == QLatin1String("about")) {
        dialog = std::make_unique<CAboutUI>(nullptr);
    } else if (window == QLatin1String("settings")) {
        dialog = std::make_unique<CSetting>(nullptr);
    } else if (window == QLatin1String("device code")) {
        dialog = std::make_unique<CMachineCodeUI>(nullptr);
    } else if (window == QLatin1String("switch mode")) {
        dialog = std::make_unique<CSwitchModeUI>(nullptr);
    } else {
        dialog = std::make_unique<CCheckUpdateUI>(false, nullptr);
    }
    if (dialog)
        shown = dialog.get();
    shown->show();
    QVERIFY(QTest::qWaitForWindowExposed(shown));
    QCOMPARE(shown->devicePixelRatioF(), kScale);

    const QStringList faults = orbisk::test::layoutFaults(shown);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    shown->hide();
}

int main(int argc, char** argv)
{
    // Set before the application object, as a 200 % screen would be.
    qputenv("QT_SCALE_FACTOR", "2");
    orbisk::enableHighDpiScaling();
    QApplication application(argc, argv);
    TestHighDpi test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_highdpi.moc"
