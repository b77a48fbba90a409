// The client at 200 % (QT_SCALE_FACTOR=2, as on a 192 DPI screen): images come in
// their "@2x" renderings, and the layouts of the login window and the dialogs still
// show every text and check box whole and clear of the frame, in English and Chinese.
#include "dialogs/CAboutUI.h"
#include "dialogs/CMachineCodeUI.h"
#include "dialogs/CSetting.h"
#include "dialogs/CSwitchModeUI.h"
#include "login/CLoginUI.h"
#include "mainwindow/CMainWindow.h"
#include "ui/HighDpi.h"
#include "ui/Resources.h"
#include "update/CCheckUpdateUI.h"
#include "web/CCertificateUI.h"

#include "LayoutCheck.h"
#include "TestEnvironment.h"
#include "WidgetHelpers.h"

#include <QtTest>

#include <QIcon>
#include <QPixmap>
#include <QTranslator>

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
    void layoutsShowEveryTextWhole_data();
    void layoutsShowEveryTextWhole();
    void cleanup();

private:
    CMainWindow* m_window = nullptr;
    CLoginUI* m_login = nullptr;
    QTranslator m_chinese;
};

void TestHighDpi::initTestCase()
{
    orbisk::test::prepareTestEnvironment();
    QCOMPARE(qApp->devicePixelRatio(), kScale);
    orbisk::test::useClientFont();
    m_window = new CMainWindow(nullptr);
    g_pMainWindow = m_window;
    m_login = new CLoginUI(nullptr);
    m_window->setLoginUI(m_login);
    m_window->slot_switch_language(m_window->settings().language);
    QVERIFY(m_chinese.load(QStringLiteral(":/resource/translator/ValtroEnterpriseCN.qm")));
}

// Back to the English texts after a Chinese row.
void TestHighDpi::cleanup()
{
    if (QCoreApplication::removeTranslator(&m_chinese))
        m_window->slot_switch_language(m_window->settings().language);
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

void TestHighDpi::layoutsShowEveryTextWhole_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<bool>("chinese");
    for (const bool chinese : {false, true}) {
        for (const char* window : {"login new server", "login select server", "login browser mode", "about", "settings",
                 "device code", "switch mode", "update", "certificate untrusted", "certificate changed"})
            QTest::addRow("%s, %s", window, chinese ? "Chinese" : "English") << QString::fromLatin1(window) << chinese;
    }
}

void TestHighDpi::layoutsShowEveryTextWhole()
{
    QFETCH(QString, window);
    QFETCH(bool, chinese);
    if (chinese) {
        QCoreApplication::installTranslator(&m_chinese);
        m_window->slot_switch_language(m_window->settings().language);
    }

    std::unique_ptr<QWidget> dialog;
    QWidget* shown = m_login;
    if (window.startsWith(QLatin1String("login"))) {
        m_login->setBrowserModel(window.endsWith(QLatin1String("browser mode")));
        if (!m_login->m_isBrowserModel)
            m_login->switchServerMode(window.endsWith(QLatin1String("new server")));
    } else if (window == QLatin1String("about")) {
        dialog = std::make_unique<CAboutUI>(m_window->shownTexts(), nullptr);
    } else if (window == QLatin1String("settings")) {
        dialog = std::make_unique<CSetting>(m_window->shownTexts(), m_window->settings(), nullptr);
    } else if (window == QLatin1String("device code")) {
        dialog = std::make_unique<CMachineCodeUI>(m_window->shownTexts(), QString(), nullptr);
    } else if (window == QLatin1String("switch mode")) {
        dialog = std::make_unique<CSwitchModeUI>(m_window->shownTexts(), nullptr);
    } else if (window.startsWith(QLatin1String("certificate"))) {
        CertificateQuestion question;
        question.sServer = QStringLiteral("files.example.com:8443");
        question.sHost = QStringLiteral("files.example.com");
        question.isChanged = window.endsWith(QLatin1String("changed"));
        question.problem = CertificateQuestion::Problem::SelfSigned;
        question.sIssuedTo = QStringLiteral("files.example.com (Example Ltd)");
        question.sIssuedBy = QStringLiteral("Example Certificate Authority (Example Ltd)");
        question.validFrom = QDateTime(QDate(2026, 1, 1), QTime(9, 0), Qt::UTC);
        question.validUntil = QDateTime(QDate(2027, 1, 1), QTime(9, 0), Qt::UTC);
        question.sFingerprint = QStringLiteral(
            "C0:2B:49:6E:13:13:1C:FC:58:22:96:01:D1:4D:64:5F:7A:8F:C5:D4:A0:67:E8:68:47:B3:F2:9E:10:E5:79:22");
        dialog = std::make_unique<CCertificateUI>(question, m_window->shownTexts(), nullptr);
    } else {
        dialog = std::make_unique<CCheckUpdateUI>(m_window->shownTexts(), false, nullptr);
    }
    if (dialog)
        shown = dialog.get();
    QVERIFY(orbisk::test::showExposed(shown));
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
