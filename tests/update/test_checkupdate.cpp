// The update check from the main window's slot to the dialog, against a manifest
// served on a free local port: the request on the GUI thread, the show rule, the texts, the placement and the download.
#include "login/CLoginUI.h"
#include "mainwindow/CMainWindow.h"
#include "ui/DialogPlacement.h"
#include "update/CCheckUpdateUI.h"
#include "update/ReleaseManifest.h"

#include "DemoServer.h"
#include "LayoutCheck.h"
#include "OpenedUrls.h"
#include "TestEnvironment.h"
#include "WidgetHelpers.h"

#include <httplib.h>

#include <QLabel>
#include <QNetworkReply>
#include <QPointer>
#include <QPushButton>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

using namespace orbisk::test;

namespace {

const int kTimeoutMs = 30000;
const int kShortLimitMs = 500;
const QString kNewer = QStringLiteral("Find a new version, download it?");
const QString kLatest = QStringLiteral("You are using the latest version");
const QString kFailed = QStringLiteral("Check update failed");
const QRect kOkButton(212, 125, 68, 30);
const QRect kCloseButton(280, 8, 18, 18);
const std::string kManifestPath = "/enterprise/release/3.0/version.json";
const std::string kHeldPath = "/held/version.json";
const std::string kEndlessPath = "/endless/version.json";

QByteArray manifest(const QString& sVersion, const QString& sDownloadUrl = QString(),
    const QString& sKey = QLatin1String(ReleaseManifest::kReleaseKey))
{
    return QStringLiteral(R"({"%3":{"version":"%1","downloadUrl":"%2"}})").arg(sVersion, sDownloadUrl, sKey).toUtf8();
}

QPushButton* buttonAt(const QWidget* dialog, const QRect& geometry)
{
    for (QPushButton* button : dialog->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (button->geometry() == geometry)
            return button;
    }
    return nullptr;
}

// Serves the manifest on 127.0.0.1. The manifest path answers with the configured
// status and body; the held path answers only once released; the endless path sends
// blanks until the client goes away.
class ManifestServer
{
public:
    bool start()
    {
        m_server.set_keep_alive_timeout(1);
        m_server.Get(kManifestPath, [this](const httplib::Request&, httplib::Response& res) {
            std::lock_guard<std::mutex> lock(m_mutex);
            ++m_requests;
            res.status = m_status;
            res.set_content(m_body.constData(), size_t(m_body.size()), "application/json");
        });
        m_server.Get(kHeldPath, [this](const httplib::Request&, httplib::Response& res) {
            std::unique_lock<std::mutex> lock(m_mutex);
            ++m_requests;
            m_released.wait(lock, [this] { return m_isReleased; });
            res.set_content(manifest(QStringLiteral("9.9.9")).toStdString(), "application/json");
        });
        m_server.Get(kEndlessPath, [](const httplib::Request&, httplib::Response& res) {
            res.set_chunked_content_provider("application/json", [](size_t, httplib::DataSink& sink) {
                const std::string blanks(16 * 1024, ' ');
                return sink.write(blanks.data(), blanks.size());
            });
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        if (m_port <= 0)
            return false;
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        return true;
    }

    void stop()
    {
        release();
        m_server.stop();
        if (m_thread.joinable())
            m_thread.join();
    }

    void answer(int status, const QByteArray& body)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_status = status;
        m_body = body;
        m_isReleased = false;
        m_requests = 0;
    }

    void release()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_isReleased = true;
        m_released.notify_all();
    }

    int requests()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_requests;
    }

    QString url(const std::string& path = kManifestPath) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(QString::fromStdString(path));
    }

private:
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
    std::mutex m_mutex;
    std::condition_variable m_released;
    bool m_isReleased = false;
    int m_status = 200;
    QByteArray m_body;
    int m_requests = 0;
};

// Watches the update dialog: at every show it records what the user sees and then,
// from inside the modal run, presses OK and/or the close button.
class DialogDriver : public QObject
{
public:
    enum Action {
        PressClose,
        PressOkThenCloseIfOpen,
    };

    DialogDriver(CCheckUpdateUI* dialog, Action action)
        : m_dialog(dialog)
        , m_action(action)
    {
        dialog->installEventFilter(this);
    }

    int shows = 0;
    bool wasModal = false;
    bool wasOnGuiThread = false;
    QPoint position;
    QString message;
    QString version;
    bool isOpenAfterOk = false;
    // What would look wrong in the shown dialog (text cut, drawn outside, no text).
    QStringList layoutFaults;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            ++shows;
            QTimer::singleShot(0, this, [this] { act(); });
        }
        return false;
    }

private:
    void act()
    {
        wasModal = QApplication::activeModalWidget() == m_dialog;
        wasOnGuiThread = QThread::currentThread() == qApp->thread();
        position = m_dialog->pos();
        message = m_dialog->m_pLabelMessage->text();
        version = m_dialog->m_pLabelVersion->text();
        layoutFaults << orbisk::test::layoutFaults(m_dialog);
        if (m_action == PressOkThenCloseIfOpen) {
            QTest::mouseClick(buttonAt(m_dialog, kOkButton), Qt::LeftButton);
            isOpenAfterOk = m_dialog->isVisible();
        }
        if (m_dialog->isVisible())
            QTest::mouseClick(buttonAt(m_dialog, kCloseButton), Qt::LeftButton);
    }

    CCheckUpdateUI* m_dialog;
    Action m_action;
};

// Warnings about threads mean an object was used off its own thread.
QStringList g_threadWarnings;
QtMessageHandler g_previousHandler = nullptr;

void recordThreadWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.contains(QLatin1String("thread"), Qt::CaseInsensitive))
        g_threadWarnings << message;
    g_previousHandler(type, context, message);
}

enum class Address {
    Manifest,
    Endless,
    Silent,
    ClosedPort,
    NotHttp,
};

} // namespace

Q_DECLARE_METATYPE(Address)

class TestCheckUpdate : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void checkShowsTheOutcome_data();
    void checkShowsTheOutcome();
    void okOpensOnlyAWebDownloadAddress_data();
    void okOpensOnlyAWebDownloadAddress();
    void secondCheckReusesTheDialog();
    void dialogCentresOnTheVisibleWindow_data();
    void dialogCentresOnTheVisibleWindow();
    void checkFinishAppliesTheShowRule_data();
    void checkFinishAppliesTheShowRule();
    void mainWindowTakesTheDialogAlong();
    void administratorManagesTheUpdates();
    void untrustedCertificateFailsTheCheck();

private:
    void useAddress(const QString& sUrl);
    void buildWindows(const orbisk::ManagedConfig& managed);
    // Waits until the manager has finished the given number of replies; the dialog's
    // evaluation of the last one has run by then.
    void waitForReplies(CCheckUpdateUI* dialog, QSignalSpy& finished, int count);

    ManifestServer m_server;
    // Stands in for the system's web browser.
    OpenedUrls m_browser{{QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("file")}};
    CMainWindow* m_window = nullptr;
    CLoginUI* m_login = nullptr;
};

void TestCheckUpdate::initTestCase()
{
    prepareTestEnvironment();
    useClientFont();
    qRegisterMetaType<QNetworkReply*>();
    g_previousHandler = qInstallMessageHandler(recordThreadWarnings);
    QVERIFY(m_server.start());
}

void TestCheckUpdate::cleanupTestCase()
{
    m_server.stop();
    qInstallMessageHandler(g_previousHandler);
}

void TestCheckUpdate::init()
{
    // Never the maker's server: every test names its own address.
    useAddress(m_server.url());
    g_threadWarnings.clear();
    m_browser.urls.clear();

    buildWindows({});
}

void TestCheckUpdate::buildWindows(const orbisk::ManagedConfig& managed)
{
    delete m_login;
    delete m_window;
    m_window = new CMainWindow(managed, nullptr);
    g_pMainWindow = m_window;
    m_login = new CLoginUI(nullptr);
    m_window->setLoginUI(m_login);
    m_window->slot_switch_language(m_window->settings().language);
    m_login->move(200, 100);
    QVERIFY(showExposed(m_login));
}

// Turned off, the check asks nobody and says why; a mirror is asked instead of the
// address the environment names.
void TestCheckUpdate::administratorManagesTheUpdates()
{
    orbisk::ManagedConfig managed;
    managed.updateCheck = false;
    buildWindows(managed);
    m_server.answer(200, manifest(QStringLiteral("3.0.0")));
    QString shown;
    QTimer::singleShot(0, this, [&shown] {
        auto* dialog = qobject_cast<CCheckUpdateUI*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        shown = dialog->m_pLabelMessage->text();
        dialog->close();
    });
    m_window->slot_checkupdate(false);
    QCOMPARE(shown, m_window->shownTexts().UpdatesManaged);
    QCOMPARE(m_server.requests(), 0);

    managed.updateCheck = true;
    managed.updateManifestUrl = QUrl(m_server.url());
    buildWindows(managed);
    useAddress(QStringLiteral("http://127.0.0.1:%1/version.json").arg(unusedLocalPort()));
    m_window->slot_checkupdate(true);
    QTRY_COMPARE_WITH_TIMEOUT(m_server.requests(), 1, kTimeoutMs);
}

void TestCheckUpdate::cleanup()
{
    m_server.release();
    if (m_window && m_window->m_pCheckUpdateUI)
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->m_pCheckUpdateUI->m_pReply, kTimeoutMs);
    delete m_login;
    delete m_window;
    m_login = nullptr;
    m_window = nullptr;
    g_pMainWindow = nullptr;
    QCOMPARE(g_threadWarnings, QStringList());
}

void TestCheckUpdate::useAddress(const QString& sUrl)
{
    QVERIFY(qputenv(ReleaseManifest::kOverrideVariable, sUrl.toUtf8()));
}

void TestCheckUpdate::waitForReplies(CCheckUpdateUI* dialog, QSignalSpy& finished, int count)
{
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), count, kTimeoutMs);
    QVERIFY(!dialog->m_pReply);
}

void TestCheckUpdate::checkShowsTheOutcome_data()
{
    QTest::addColumn<Address>("address");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("checkType");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("isNewVersion");

    const QByteArray newer = manifest(QStringLiteral("3.0.1 Build 30"), QStringLiteral("https://dl.example/a.exe"));
    const QByteArray same = manifest(QStringLiteral("3.0.0 Build 99"));
    const QByteArray notJson = "<html>maintenance</html>";
    // A manifest that is read; it names a newer release when the message says so.
    const auto read = [](const char* name, const QByteArray& body, bool quiet, bool shown, const QString& message,
                          const char* version) {
        QTest::newRow(name) << Address::Manifest << 200 << body << quiet << shown << message
                            << QString::fromUtf8(version) << (message == kNewer);
    };
    const auto fails
        = [](const char* name, Address address, int status, const QByteArray& body, bool quiet, bool shown) {
              QTest::newRow(name) << address << status << body << quiet << shown << kFailed << QString() << false;
          };
    const Address served = Address::Manifest;

    read("newer, asked", newer, false, true, kNewer, "3.0.1");
    read("newer, quiet", newer, true, true, kNewer, "3.0.1");
    read("same version, asked", same, false, true, kLatest, "3.0.0");
    read("same version, quiet", same, true, false, kLatest, "3.0.0");
    read("numeric comparison", manifest(QStringLiteral("10.0.0")), true, true, kNewer, "10.0.0");
    read("fourth component ignored", manifest(QStringLiteral("3.0.0.9")), false, true, kLatest, "3.0.0");
    read("letter counts as 0", manifest(QStringLiteral("3.x.5")), true, true, kNewer, "3.x.5");
    read("rich text stays text", manifest(QStringLiteral("4.0.<b>1</b>")), true, true, kNewer, "4.0.<b>1</b>");
    // A check the user asked for always ends with an answer: a manifest that says
    // nothing usable for this system is a failed check.
    fails("two components, asked", served, 200, manifest(QStringLiteral("3.1")), false, true);
    fails("two components, quiet", served, 200, manifest(QStringLiteral("3.1")), true, false);
    fails("no release entry, asked", served, 200, R"({"version":"9.0.0"})", false, true);
    fails("only another system's release, asked", served, 200,
        manifest(QStringLiteral("9.0.0"), QStringLiteral("https://dl.example/other"), QStringLiteral("other-system")),
        false, true);
    fails("empty release entry, asked", served, 200, R"({"linux":{},"win32":{}})", false, true);
    fails("not an object, asked", served, 200, "[1,2,3]", false, true);
    fails("not JSON, asked", served, 200, notJson, false, true);
    fails("not JSON, quiet", served, 200, notJson, true, false);
    fails("no answer in time, asked", Address::Silent, 200, QByteArray(), false, true);
    fails("404 with a manifest body, asked", served, 404, newer, false, true);
    fails("500 with a manifest body, quiet", served, 500, newer, true, false);
    fails("oversized body, asked", served, 200, newer + QByteArray(70 * 1024, ' '), false, true);
    fails("endless body, asked", Address::Endless, 200, QByteArray(), false, true);
    fails("closed port, asked", Address::ClosedPort, 200, newer, false, true);
    fails("closed port, quiet", Address::ClosedPort, 200, newer, true, false);
    fails("override not http, asked", Address::NotHttp, 200, newer, false, true);
}

void TestCheckUpdate::checkShowsTheOutcome()
{
    QFETCH(Address, address);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(bool, checkType);
    QFETCH(bool, shown);
    QFETCH(QString, message);
    QFETCH(QString, version);
    QFETCH(bool, isNewVersion);

    m_server.answer(status, body);
    if (address == Address::Endless)
        useAddress(m_server.url(kEndlessPath));
    if (address == Address::Silent)
        useAddress(m_server.url(kHeldPath));
    if (address == Address::ClosedPort)
        useAddress(QStringLiteral("http://127.0.0.1:%1/version.json").arg(unusedLocalPort()));
    if (address == Address::NotHttp) {
        useAddress(QStringLiteral("file:///etc/hostname"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^ORBISK_UPDATE_MANIFEST_URL .*")));
    }

    if (address == Address::Silent) {
        // The check's own limit, shortened: the answer is held back beyond it.
        m_window->slot_checkupdate(checkType);
        m_window->m_pCheckUpdateUI->m_iRequestTimeoutMs = kShortLimitMs;
        m_window->m_pCheckUpdateUI->requestVersion();
    } else {
        m_window->slot_checkupdate(checkType);
    }
    CCheckUpdateUI* dialog = m_window->m_pCheckUpdateUI;
    QVERIFY(dialog);
    QCOMPARE(dialog->m_checkType, checkType);
    DialogDriver driver(dialog, DialogDriver::PressClose);
    QSignalSpy finished(&dialog->m_manager, &QNetworkAccessManager::finished);

    if (address == Address::Silent)
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->m_pReply, kTimeoutMs);
    else
        waitForReplies(dialog, finished, 1);
    if (address != Address::Endless && address != Address::Silent)
        QCOMPARE(m_server.requests(), address == Address::Manifest ? 1 : 0);
    QCOMPARE(driver.shows, shown ? 1 : 0);
    QCOMPARE(dialog->m_pLabelMessage->text(), message);
    QCOMPARE(dialog->m_pLabelVersion->text(), version);
    QCOMPARE(dialog->m_isNewVersion, isNewVersion);
    QVERIFY(!dialog->isVisible());
    if (shown) {
        QVERIFY(driver.wasModal);
        QVERIFY(driver.wasOnGuiThread);
        QCOMPARE(driver.message, message);
        QCOMPARE(driver.version, version);
        QCOMPARE(driver.position, dialogPosition(m_login->geometry(), QSize(310, 170)));
        QVERIFY2(driver.layoutFaults.isEmpty(), qPrintable(driver.layoutFaults.join(QLatin1Char('\n'))));
    }
    if (!isNewVersion)
        QVERIFY(m_browser.urls.isEmpty());
}

void TestCheckUpdate::okOpensOnlyAWebDownloadAddress_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("downloadUrl");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("opened");

    const QString https = QStringLiteral("https://downloads.example/orbisk-3.0.1.exe");
    const QString http = QStringLiteral("http://downloads.example/orbisk-3.0.1.exe");
    QTest::newRow("https") << QStringLiteral("3.0.1") << https << https << https;
    QTest::newRow("http") << QStringLiteral("3.0.1") << http << http << http;
    QTest::newRow("empty address") << QStringLiteral("3.0.1") << QString() << QString() << QString();
    QTest::newRow("local file refused") << QStringLiteral("3.0.1") << QStringLiteral("file:///etc/passwd") << QString()
                                        << QString();
    QTest::newRow("script refused") << QStringLiteral("3.0.1") << QStringLiteral("javascript:alert(1)") << QString()
                                    << QString();
    QTest::newRow("not newer") << QStringLiteral("3.0.0") << https << https << QString();
}

void TestCheckUpdate::okOpensOnlyAWebDownloadAddress()
{
    QFETCH(QString, version);
    QFETCH(QString, downloadUrl);
    QFETCH(QString, kept);
    QFETCH(QString, opened);

    m_server.answer(200, manifest(version, downloadUrl));
    m_window->slot_checkupdate(false);
    CCheckUpdateUI* dialog = m_window->m_pCheckUpdateUI;
    DialogDriver driver(dialog, DialogDriver::PressOkThenCloseIfOpen);
    QSignalSpy finished(&dialog->m_manager, &QNetworkAccessManager::finished);

    waitForReplies(dialog, finished, 1);
    QCOMPARE(driver.shows, 1);
    QCOMPARE(dialog->m_sDownloadUrl, kept);
    // OK closes the dialog unless a newer release has no usable address; then only
    // the close button does.
    const bool isNewer = version != QLatin1String("3.0.0");
    QCOMPARE(driver.isOpenAfterOk, isNewer && kept.isEmpty());
    QCOMPARE(m_browser.urls, opened.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(opened)});
    QVERIFY(!dialog->isVisible());
}

void TestCheckUpdate::secondCheckReusesTheDialog()
{
    // The first check's answer is held back, so the second starts before it arrives.
    useAddress(m_server.url(kHeldPath));
    m_server.answer(200, manifest(QStringLiteral("3.0.0 Build 30")));
    m_window->slot_checkupdate(false);
    CCheckUpdateUI* dialog = m_window->m_pCheckUpdateUI;
    QVERIFY(dialog);
    QCOMPARE(dialog->m_manager.thread(), QThread::currentThread());

    DialogDriver driver(dialog, DialogDriver::PressClose);
    QSignalSpy finished(&dialog->m_manager, &QNetworkAccessManager::finished);
    QTRY_COMPARE_WITH_TIMEOUT(m_server.requests(), 1, kTimeoutMs);
    QVERIFY(dialog->m_pReply);

    useAddress(m_server.url());
    m_window->slot_checkupdate(true);
    QCOMPARE(m_window->m_pCheckUpdateUI, dialog);
    // The dialog keeps the first check's flag.
    QVERIFY(!dialog->m_checkType);

    // The first reply is abandoned, the second evaluated and shown once.
    waitForReplies(dialog, finished, 2);
    m_server.release();
    QCOMPARE(driver.shows, 1);
    QCOMPARE(driver.message, kLatest);
    QCOMPARE(driver.version, QStringLiteral("3.0.0"));
    QVERIFY(!dialog->m_isNewVersion);
}

void TestCheckUpdate::dialogCentresOnTheVisibleWindow_data()
{
    QTest::addColumn<bool>("mainWindowShown");
    QTest::newRow("login window") << false;
    QTest::newRow("main window") << true;
}

void TestCheckUpdate::dialogCentresOnTheVisibleWindow()
{
    QFETCH(bool, mainWindowShown);

    if (mainWindowShown) {
        m_login->hide();
        m_window->setGeometry(40, 60, 1001, 701);
        QVERIFY(showExposed(m_window));
    }
    m_server.answer(200, manifest(QStringLiteral("3.0.0")));
    m_window->slot_checkupdate(true);
    CCheckUpdateUI* dialog = m_window->m_pCheckUpdateUI;
    const QRect reference = mainWindowShown ? m_window->geometry() : m_login->geometry();
    QCOMPARE(dialog->pos(), dialogPosition(reference, QSize(310, 170)));
    QVERIFY(!dialog->isVisible());

    QSignalSpy finished(&dialog->m_manager, &QNetworkAccessManager::finished);
    waitForReplies(dialog, finished, 1);
    QVERIFY(!dialog->isVisible());
}

void TestCheckUpdate::checkFinishAppliesTheShowRule_data()
{
    QTest::addColumn<bool>("checkType");
    QTest::addColumn<bool>("isNewVersion");
    QTest::addColumn<bool>("shown");

    QTest::newRow("asked, not newer") << false << false << true;
    QTest::newRow("asked, newer") << false << true << true;
    QTest::newRow("quiet, not newer") << true << false << false;
    QTest::newRow("quiet, newer") << true << true << true;
}

void TestCheckUpdate::checkFinishAppliesTheShowRule()
{
    QFETCH(bool, checkType);
    QFETCH(bool, isNewVersion);
    QFETCH(bool, shown);

    CCheckUpdateUI dialog(m_window->shownTexts(), checkType, nullptr);
    QCOMPARE(dialog.size(), QSize(310, 170));
    QCOMPARE(dialog.objectName(), QStringLiteral("checkupdate"));
    QCOMPARE(dialog.m_pLabelMessage->text(), kLatest);
    QCOMPARE(dialog.m_pLabelVersion->text(), QStringLiteral("3.0.0 Build 26"));
    QCOMPARE(buttonAt(&dialog, kOkButton)->text(), QStringLiteral("OK"));

    dialog.m_isNewVersion = isNewVersion;
    DialogDriver driver(&dialog, DialogDriver::PressClose);
    dialog.slot_checkFinish();
    QCOMPARE(driver.shows, shown ? 1 : 0);
    QVERIFY(!dialog.isVisible());
}

void TestCheckUpdate::mainWindowTakesTheDialogAlong()
{
    m_server.answer(200, manifest(QStringLiteral("3.0.0")));
    m_window->slot_checkupdate(true);
    QPointer<CCheckUpdateUI> dialog = m_window->m_pCheckUpdateUI;
    QSignalSpy finished(&dialog->m_manager, &QNetworkAccessManager::finished);
    waitForReplies(dialog, finished, 1);

    delete m_window;
    m_window = nullptr;
    g_pMainWindow = nullptr;
    QVERIFY(!dialog);
}

// The check keeps Qt's strict certificate checking: a manifest behind a self-signed
// certificate (the demo server's) is never read, however valid it is.
void TestCheckUpdate::untrustedCertificateFailsTheCheck()
{
    DemoServer demo;
    QVERIFY2(demo.start(), qPrintable(demo.errorString()));
    const QString sCertificate = demo.certificateDir();
    httplib::SSLServer server((sCertificate + QStringLiteral("/cert.pem")).toLocal8Bit().constData(),
        (sCertificate + QStringLiteral("/key.pem")).toLocal8Bit().constData());
    QVERIFY(server.is_valid());
    std::atomic<int> requests{0};
    server.Get(kManifestPath, [&requests](const httplib::Request&, httplib::Response& res) {
        ++requests;
        res.set_content(manifest(QStringLiteral("9.0.0"), QStringLiteral("https://dl.example/a.exe")).toStdString(),
            "application/json");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    QVERIFY(port > 0);
    std::thread thread([&server] { server.listen_after_bind(); });
    useAddress(QStringLiteral("https://127.0.0.1:%1%2").arg(port).arg(QString::fromStdString(kManifestPath)));

    m_window->slot_checkupdate(false);
    CCheckUpdateUI* dialog = m_window->m_pCheckUpdateUI;
    DialogDriver driver(dialog, DialogDriver::PressClose);
    QSignalSpy finished(&dialog->m_manager, &QNetworkAccessManager::finished);
    waitForReplies(dialog, finished, 1);
    server.stop();
    thread.join();

    QCOMPARE(requests.load(), 0);
    QCOMPARE(dialog->m_pLabelMessage->text(), kFailed);
    QVERIFY(!dialog->m_isNewVersion);
}

QTEST_MAIN(TestCheckUpdate)
#include "test_checkupdate.moc"
