// The local service driving the running client: the client runs on without it while its
// port is taken; a page's requests, sent from threads other than the GUI thread, close the
// client's page, switch the login window to browser mode and re-apply the language in the
// shown page; the client's take-over is reported.
#include "core/LocalServiceStarter.h"
#include "core/ValtroCore.h"
#include "core/ValtroHttpd.h"
#include "dialogs/CSwitchModeUI.h"
#include "login/CLoginUI.h"
#include "mainwindow/CMainWindow.h"
#include "storage/AppPaths.h"
#include "web/CWebEngineView.h"

#include "ClientWindows.h"
#include "TestEnvironment.h"
#include "TrustedDemoServer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QWebEnginePage>

#include <httplib.h>

#include <thread>

namespace {
// The engine starts slowly on a small, busy machine.
const int kEngineTimeoutMs = 60000;

// The port of the client's local service: one of this test's own, so the test passes
// beside a client the user runs and beside other tests.
quint16 g_iPort = 0;

struct Reply
{
    int status = 0;
    QJsonObject json;
};

// Sends a request to the client's local service from a thread of its own, as a browser
// page on origin sOrigin would, and waits for that thread.
Reply requestFromOtherThread(const char* sMethod, const char* sPath, const QString& sOrigin, const std::string& body)
{
    Reply reply;
    std::thread client([&] {
        httplib::Client http("127.0.0.1", g_iPort);
        http.set_read_timeout(30);
        httplib::Request request;
        request.method = sMethod;
        request.path = sPath;
        request.headers = {{"Origin", sOrigin.toStdString()}};
        if (!body.empty()) {
            request.headers.emplace("Content-Type", "application/json");
            request.body = body;
        }
        if (const httplib::Result result = http.send(request)) {
            reply.status = result->status;
            reply.json = QJsonDocument::fromJson(QByteArray::fromStdString(result->body)).object();
        }
    });
    client.join();
    return reply;
}
} // namespace

class TestLocalServiceClient : public QObject
{
    Q_OBJECT

    orbisk::test::TrustedDemoServer m_server{[] { return g_pMainWindow->visibleWindow(); }};
    orbisk::test::ClientWindows m_client;
    CMainWindow* m_window = nullptr;
    CLoginUI* m_login = nullptr;
    QVariant m_pageLanguage;
    int m_iPageAnswers = 0;

    // Asks the page for its language; the answer arrives later in m_pageLanguage.
    void askPageLanguage()
    {
        if (m_window->m_pWebView)
            m_window->m_pWebView->page()->runJavaScript(QStringLiteral("currentLang"), [this](const QVariant& value) {
                m_pageLanguage = value;
                ++m_iPageAnswers;
            });
    }

private slots:
    void initTestCase()
    {
        orbisk::test::prepareTestEnvironment();
        g_iPort = orbisk::test::unusedLocalPort();
        qputenv(ValtroHttpd::kPortVariable, QByteArray::number(g_iPort));
        QVERIFY2(m_server.start(), qPrintable(m_server.errorString()));
        orbisk::test::writeServerFile({{QStringLiteral("demo"), m_server.baseUrl(), false}});

        m_client.start();
        m_window = m_client.window;
        m_login = m_client.login;
        m_window->setCertificateGuard(m_server.guard());
    }

    void cleanupTestCase()
    {
        if (m_window && m_window->m_pHttpd)
            m_window->m_pHttpd->StopHttpdServer();
        m_client.stop();
    }

    void clientRunsOnWhileThePortIsTaken()
    {
        QTcpServer blocker;
        QVERIFY(blocker.listen(QHostAddress::LocalHost, g_iPort));
        m_window->startCoreServices();
        QVERIFY(!m_window->m_pHttpd->isListening());
        QCOMPARE(m_window->m_pHttpd->StartHttpdServer(1000), int(ValtroHttpd::StartCannotListen));
        // The start gives up on a port that stays taken.
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->m_pHttpdStarter->isTrying(), kEngineTimeoutMs);
        QVERIFY(!m_window->m_pHttpd->isListening());

        // The client works without the service, and the service can start once the port is free.
        m_window->handle_load(QStringLiteral("demo"), m_server.baseUrl(), true);
        QTRY_VERIFY_WITH_TIMEOUT(m_window->m_isPageShown, kEngineTimeoutMs);
        blocker.close();
        QCOMPARE(m_window->m_pHttpd->StartHttpdServer(1000), 0);
        QCOMPARE(m_window->m_pHttpd->StartHttpdServer(1000), int(ValtroHttpd::StartAlreadyRunning));
    }

    void languageRequestReachesThePage()
    {
        QVERIFY(QFile::remove(AppPaths::settingsFile()));
        askPageLanguage();
        QTRY_COMPARE_WITH_TIMEOUT(m_iPageAnswers, 1, kEngineTimeoutMs);
        QVERIFY2(m_pageLanguage.toString().isEmpty(), qPrintable(m_pageLanguage.toString()));

        const Reply reply = requestFromOtherThread("POST", "/api/language", m_server.baseUrl(), "{\"language\": 1}");
        QCOMPARE(reply.status, 202);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(AppPaths::settingsFile()), 30000);
        QCOMPARE(QSettings(AppPaths::settingsFile(), QSettings::IniFormat).value("Language").toInt(), 0);
        m_pageLanguage.clear();
        // The page runs changeLang('en') after the settings are written; ask until it has.
        QTRY_VERIFY_WITH_TIMEOUT((askPageLanguage(), m_pageLanguage.toString() == QLatin1String("en")), 30000);
    }

    void browserActiveSwitchesToBrowserMode()
    {
        QVERIFY(m_window->m_pWebView);
        QVERIFY(!g_isBrowserMode);
        QThread* pSlotThread = nullptr;
        connect(
            m_window, &CMainWindow::sig_return, m_window, [&pSlotThread] { pSlotThread = QThread::currentThread(); },
            Qt::DirectConnection);
        QSignalSpy returned(m_window, &CMainWindow::sig_return);

        const Reply reply = requestFromOtherThread("POST", "/api/browser-active", m_server.baseUrl(), "{}");
        QCOMPARE(reply.status, 200);
        QCOMPARE(reply.json.value("activeSide").toString(), QString("browser"));
        QCOMPARE(reply.json.value("deviceId").toString(), m_window->m_pCore->Get_Deviceuuid());

        // Delivered later on the GUI thread, never on the service's thread.
        QTRY_COMPARE_WITH_TIMEOUT(returned.count(), 1, 30000);
        QCOMPARE(pSlotThread, QThread::currentThread());
        QVERIFY(!m_window->m_pWebView);
        QVERIFY(!m_window->m_isPageShown);
        QVERIFY(!m_window->isVisible());
        QVERIFY(m_login->m_isBrowserModel);
        QVERIFY(g_isBrowserMode);
    }

    void clientTakeOverIsReported()
    {
        // "Exit browser mode", confirmed.
        QTimer::singleShot(0, this, [] {
            auto* dialog = qobject_cast<CSwitchModeUI*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->slot_ButtonOK();
        });
        m_login->slot_exitBrowserModel();
        QVERIFY(!g_isBrowserMode);
        QVERIFY(m_login->isVisible());

        const Reply reply = requestFromOtherThread("GET", "/api/status", m_server.baseUrl(), {});
        QCOMPARE(reply.status, 200);
        QCOMPARE(reply.json.value("activeSide").toString(), QString("client"));
    }

    void foreignPageChangesNothing()
    {
        const Reply reply = requestFromOtherThread("POST", "/api/browser-active", "https://evil.example", "{}");
        QCOMPARE(reply.status, 403);
        QCOMPARE(m_window->m_pCore->activeSide(), orbisk::ActiveSide::Client);
        QCoreApplication::processEvents();
        QVERIFY(!g_isBrowserMode);
    }
};

ORBISK_WEBENGINE_TEST_MAIN(TestLocalServiceClient)

#include "test_localservice_client.moc"
