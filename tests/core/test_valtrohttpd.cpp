// The local HTTP service over real loopback connections: what it answers whom, what it
// changes, its limits, and starting and stopping it.
#include "core/LocalHttpServer.h"
#include "core/LocalServiceHandler.h"
#include "core/LocalServiceStarter.h"
#include "core/ValtroCore.h"
#include "core/ValtroHttpd.h"
#include "core/ValtroPortal.h"
#include "servers/ServerListCodec.h"
#include "servers/ServerOriginCache.h"
#include "storage/AppPaths.h"

#include "ClientWindows.h"
#include "HostileClients.h"
#include "OtherUser.h"
#include "OtherUserClient.h"
#include "TestEnvironment.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <sys/resource.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace {
const QString kKey = QStringLiteral("E3A95C07B1D84F62A0C7395E1B6D8F24");
const QByteArray kServer = "https://files.example.com:8443";

std::atomic<int> g_iCallbackCalls{0};
std::atomic<bool> g_isCallbackOffTestThread{false};
std::thread::id g_testThread;

void onBrowserActive()
{
    ++g_iCallbackCalls;
    g_isCallbackOffTestThread = std::this_thread::get_id() != g_testThread;
}

struct Answer
{
    int status = 0; // 0: no answer
    QMap<QByteArray, QByteArray> headers; // names in lower case
    QByteArray body;

    QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
};

Answer parseAnswer(const QByteArray& data);

// Sends raw bytes and reads until the service closes the connection (it answers one
// request per connection). Blocking socket calls only: no event loop runs meanwhile.
Answer exchange(quint16 iPort, const QByteArray& request, int iTimeoutMs = 15000)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, iPort);
    if (!socket.waitForConnected(5000))
        return {};
    socket.write(request);
    QElapsedTimer elapsed;
    elapsed.start();
    QByteArray data;
    while (socket.state() == QAbstractSocket::ConnectedState && elapsed.elapsed() < iTimeoutMs) {
        socket.waitForReadyRead(200);
        data += socket.readAll();
    }
    data += socket.readAll();
    return parseAnswer(data);
}

// An answer as read from the connection; status 0 when it is none.
Answer parseAnswer(const QByteArray& data)
{
    Answer answer;
    const int iHeaderEnd = data.indexOf("\r\n\r\n");
    const QList<QByteArray> lines = data.left(iHeaderEnd).split('\n');
    if (iHeaderEnd < 0 || !lines.first().startsWith("HTTP/1.1 "))
        return {};
    answer.status = lines.first().mid(9, 3).toInt();
    for (const QByteArray& line : lines.mid(1)) {
        const int iColon = line.indexOf(':');
        answer.headers.insert(line.left(iColon).trimmed().toLower(), line.mid(iColon + 1).trimmed());
    }
    answer.body = data.mid(iHeaderEnd + 4);
    return answer;
}

// A request with the given headers (each line "Name: value"); {port} names the service's port.
QByteArray rawRequest(
    const QByteArray& method, const QByteArray& path, QList<QByteArray> headers, const QByteArray& body, quint16 iPort)
{
    QByteArray request = method + " " + path + " HTTP/1.1\r\n";
    if (!body.isEmpty())
        headers << "Content-Length: " + QByteArray::number(body.size());
    for (const QByteArray& header : qAsConst(headers))
        request += QByteArray(header).replace("{port}", QByteArray::number(iPort)) + "\r\n";
    return request + "\r\n" + body;
}

// The status request of a local program.
QByteArray statusRequest(quint16 iPort)
{
    return rawRequest("GET", "/api/status", {"Host: 127.0.0.1:{port}"}, {}, iPort);
}

// Raises this process's limit of open files to at least iFiles, if the hard limit allows.
bool raiseFileLimit(std::size_t iFiles)
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return false;
    if (limit.rlim_cur >= iFiles)
        return true;
    if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < iFiles)
        return false;
    limit.rlim_cur = iFiles;
    return ::setrlimit(RLIMIT_NOFILE, &limit) == 0;
}
} // namespace

class TestValtroHttpd : public QObject
{
    Q_OBJECT

    ValtroCore* m_pCore = nullptr;
    ValtroPortal* m_pPortal = nullptr;
    ValtroHttpd* m_pHttpd = nullptr;
    QList<int> m_languages;
    bool m_isLanguageOnTestThread = true;

private slots:
    void initTestCase()
    {
        orbisk::test::prepareTestEnvironment();
        g_testThread = std::this_thread::get_id();
        orbisk::test::writeServerFile({{"files", QString::fromLatin1(kServer) + "/app", true}});
        m_pCore = new ValtroCore(kKey, 1, this);
        m_pPortal = new ValtroPortal(m_pCore, this);
        m_pCore->RegisterBrowserActive(onBrowserActive);
        connect(m_pCore, &ValtroCore::sig_languageChanged, this, [this](int iLan) {
            m_languages << iLan;
            m_isLanguageOnTestThread = m_isLanguageOnTestThread && QThread::currentThread() == thread();
        });
        m_pHttpd = new ValtroHttpd(m_pCore, m_pPortal);
        m_pHttpd->setAllowedOrigins(orbisk::ServerOriginCache::sourceFor(AppPaths::serverListFile()));
        m_pHttpd->setPort(orbisk::test::unusedLocalPort());
        QCOMPARE(m_pHttpd->StartHttpdServer(1000), 0);
    }

    void cleanupTestCase() { delete m_pHttpd; }

    void security_data()
    {
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QList<QByteArray>>("headers");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("isCors"); // Access-Control-Allow-Origin names the page's origin
        QTest::addColumn<QString>("change"); // "", "browser" or "language"

        const QByteArray host = "Host: 127.0.0.1:{port}";
        const QByteArray origin = "Origin: " + kServer;
        const QByteArray json = "Content-Type: application/json";
        const QByteArray status = "/api/status", active = "/api/browser-active", language = "/api/language";
        const QByteArray preflightMethod = "Access-Control-Request-Method: POST";
        const QByteArray privateNetwork = "Access-Control-Request-Private-Network: true";
        using H = QList<QByteArray>;

        const auto row = [](const char* name, const char* method, const QByteArray& path, const H& headers,
                             const QByteArray& body, int code, bool isCors, const char* change = "") {
            QTest::newRow(name) << QByteArray(method) << path << headers << body << code << isCors
                                << QString::fromLatin1(change);
        };
        const QByteArray evil = "Origin: https://evil.example";
        const QByteArray oversized
            = "{\"language\": 1}" + QByteArray(int(orbisk::LocalServiceHandler::kMaxBodyBytes), ' ');

        row("local program reads status", "GET", status, {host}, {}, 200, false);
        row("user's server reads status", "GET", status, {host, origin}, {}, 200, true);
        row("localhost name", "GET", status, {"Host: localhost:{port}", origin}, {}, 200, true);
        row("rebound host name", "GET", status, {"Host: evil.example:{port}", origin}, {}, 403, false);
        row("other port in host", "GET", status, {"Host: 127.0.0.1:9", origin}, {}, 403, false);
        row("no host", "GET", status, {origin}, {}, 403, false);
        row("foreign page reads status", "GET", status, {host, evil}, {}, 403, false);
        row("preflight with private network", "OPTIONS", active, {host, origin, preflightMethod, privateNetwork}, {},
            204, true);
        row("foreign preflight", "OPTIONS", active, {host, evil, preflightMethod, privateNetwork}, {}, 403, false);
        row("browser active", "POST", active, {host, origin, json}, "{}", 200, true, "browser");
        row("browser active, foreign page", "POST", active, {host, evil, json}, "{}", 403, false);
        row("browser active, opaque origin", "POST", active, {host, "Origin: null", json}, "{}", 403, false);
        row("browser active, local program", "POST", active, {host, json}, "{}", 403, false);
        row("browser active, simple form post", "POST", active, {host, origin, "Content-Type: text/plain"}, "{}", 415,
            true);
        row("browser active, rebound host", "POST", active, {"Host: evil.example:{port}", origin, json}, "{}", 403,
            false);
        row("language", "POST", language, {host, origin, json}, "{\"language\": 1}", 202, true, "language");
        row("language, malformed JSON", "POST", language, {host, origin, json}, "{\"language\": ", 400, true);
        row("language, wrong type", "POST", language, {host, origin, json}, "{\"language\": \"en\"}", 400, true);
        row("language, body over 64 KiB", "POST", language, {host, origin, json}, oversized, 413, true);
        row("announced body over 64 KiB, none sent", "POST", language,
            {host, origin, json, "Content-Length: 100000000"}, {}, 413, true);
        row("unknown path", "GET", "/api/other", {host, origin}, {}, 404, true);
        row("wrong method", "DELETE", status, {host, origin}, {}, 405, true);
        row("unknown method", "BREW", status, {host, origin}, {}, 400, false);
    }
    void security()
    {
        QFETCH(QByteArray, method);
        QFETCH(QByteArray, path);
        QFETCH(QList<QByteArray>, headers);
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(bool, isCors);
        QFETCH(QString, change);

        m_pCore->CloseActiveApp(19);
        g_iCallbackCalls = 0;
        g_isCallbackOffTestThread = false;
        m_languages.clear();

        const Answer answer = exchange(m_pHttpd->port(), rawRequest(method, path, headers, body, m_pHttpd->port()));
        QCOMPARE(answer.status, status);
        QCOMPARE(answer.headers.value("access-control-allow-origin"), isCors ? kServer : QByteArray());
        QCOMPARE(answer.headers.value("access-control-allow-private-network"),
            status == 204 ? QByteArray("true") : QByteArray());
        QVERIFY(!answer.headers.contains("access-control-allow-origin") || answer.headers.value("vary") == "Origin");
        QCOMPARE(answer.headers.value("connection"), QByteArray("close"));
        if (status >= 400)
            QVERIFY2(!answer.json().value("error").toString().isEmpty(), answer.body.constData());
        if (status == 200 && path == "/api/status")
            QCOMPARE(answer.json().contains("deviceId"), isCors);

        // Refused requests change nothing; accepted ones reach the core from the service's thread.
        const bool isBrowser = change == "browser";
        QCOMPARE(m_pCore->activeSide(), isBrowser ? orbisk::ActiveSide::Browser : orbisk::ActiveSide::Client);
        QCOMPARE(g_iCallbackCalls.load(), int(isBrowser));
        QCOMPARE(g_isCallbackOffTestThread.load(), isBrowser);
        if (change == "language") {
            QTRY_COMPARE_WITH_TIMEOUT(m_languages, QList<int>{1}, 10000);
            QVERIFY(m_isLanguageOnTestThread);
        } else {
            QCoreApplication::processEvents();
            QVERIFY(m_languages.isEmpty());
        }
    }

    // Another user's page or program reaches this user's client on a shared computer: it
    // is refused whatever it sends, and changes and learns nothing.
    void otherUsersAreRefused_data()
    {
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("body");

        QTest::newRow("page switched off")
            << QByteArray("POST") << QByteArray("/api/browser-active") << QByteArray("{}");
        QTest::newRow("language") << QByteArray("POST") << QByteArray("/api/language")
                                  << QByteArray("{\"language\": 1}");
        QTest::newRow("device identity") << QByteArray("GET") << QByteArray("/api/status") << QByteArray();
        QTest::newRow("preflight") << QByteArray("OPTIONS") << QByteArray("/api/browser-active") << QByteArray();
    }
    void otherUsersAreRefused()
    {
        QFETCH(QByteArray, method);
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, body);
        const QString sReason = orbisk::test::otherUserUnavailableReason();
        if (!sReason.isEmpty())
            QSKIP(qPrintable(sReason));

        m_pCore->CloseActiveApp(19);
        g_iCallbackCalls = 0;
        m_languages.clear();
        const QByteArray request = rawRequest(method, path,
            {"Host: 127.0.0.1:{port}", "Origin: " + kServer, "Content-Type: application/json",
                "Access-Control-Request-Method: POST"},
            body, m_pHttpd->port());
        orbisk::test::OtherUserClient client(m_pHttpd->port(), request, false);
        QVERIFY(client.isConnected());
        const Answer answer = parseAnswer(client.finish());

        QCOMPARE(answer.status, 403);
        QCOMPARE(answer.json().value("error").toString(),
            QStringLiteral("this client belongs to another user of this computer"));
        QCOMPARE(answer.json().keys(), QStringList{"error"});
        QVERIFY(!answer.headers.contains("access-control-allow-origin"));
        QCOMPARE(answer.headers.value("connection"), QByteArray("close"));
        QCOMPARE(answer.headers.value("cache-control"), QByteArray("no-store"));
        QCOMPARE(m_pCore->activeSide(), orbisk::ActiveSide::Client);
        QCOMPARE(g_iCallbackCalls.load(), 0);
        QCoreApplication::processEvents();
        QVERIFY(m_languages.isEmpty());

        // This user's own request right after it is answered as before.
        const Answer own = exchange(m_pHttpd->port(),
            rawRequest("POST", "/api/browser-active",
                {"Host: 127.0.0.1:{port}", "Origin: " + kServer, "Content-Type: application/json"}, "{}",
                m_pHttpd->port()));
        QCOMPARE(own.status, 200);
        QCOMPARE(m_pCore->activeSide(), orbisk::ActiveSide::Browser);
    }

    void newlySavedServerCountsAtOnce()
    {
        const QByteArray request = rawRequest("GET", "/api/status",
            {"Host: 127.0.0.1:{port}", "Origin: https://new.example"}, QByteArray(), m_pHttpd->port());
        QCOMPARE(exchange(m_pHttpd->port(), request).status, 403);
        orbisk::test::writeServerFile(
            {{"files", QString::fromLatin1(kServer), true}, {"new", "https://new.example:443/", false}});
        const Answer answer = exchange(m_pHttpd->port(), request);
        QCOMPARE(answer.status, 200);
        QCOMPARE(answer.json().value("deviceId").toString(), m_pCore->Get_Deviceuuid());
        orbisk::test::writeServerFile({{"files", QString::fromLatin1(kServer) + "/app", true}});
        QCOMPARE(exchange(m_pHttpd->port(), request).status, 403);
    }

    void answersOnTheLoopbackAddressOnly()
    {
        QVERIFY(exchange(m_pHttpd->port(), statusRequest(0)).status);
        // Other loopback addresses reach this machine too; a service bound to every
        // interface would answer there.
        for (const QHostAddress& address : {QHostAddress("127.0.0.2"), QHostAddress(QHostAddress::LocalHostIPv6)}) {
            QTcpSocket socket;
            socket.connectToHost(address, m_pHttpd->port());
            QVERIFY2(!socket.waitForConnected(3000), qPrintable(address.toString()));
        }
    }

    void slowClientsDoNotBlockOthers()
    {
        // Twice as many clients as workers trickle a request that never ends, a byte
        // at a time, each byte well within the timeout of the previous one.
        std::atomic<bool> isDone{false};
        std::atomic<int> iCutOff{0};
        std::vector<std::thread> slowClients;
        const quint16 iPort = m_pHttpd->port();
        for (int i = 0; i < 2 * ValtroHttpd::kWorkerThreads; ++i) {
            slowClients.emplace_back([&isDone, &iCutOff, iPort] {
                QTcpSocket socket;
                socket.connectToHost(QHostAddress::LocalHost, iPort);
                if (!socket.waitForConnected(5000))
                    return;
                socket.write("GET /api/status HTTP/1.1\r\nX-Slow: ");
                while (!isDone && socket.state() == QAbstractSocket::ConnectedState) {
                    socket.write("a");
                    // Paces the trickle and notices at once when the service hangs up.
                    socket.waitForReadyRead(200);
                }
                iCutOff += socket.state() != QAbstractSocket::ConnectedState;
            });
        }
        QElapsedTimer elapsed;
        elapsed.start();
        const Answer answer = exchange(iPort, statusRequest(iPort));
        const qint64 iAnsweredAfterMs = elapsed.elapsed();
        QTRY_COMPARE_WITH_TIMEOUT(iCutOff.load(), 2 * ValtroHttpd::kWorkerThreads, 20000);
        isDone = true;
        for (std::thread& client : slowClients)
            client.join();
        QCOMPARE(answer.status, 200);
        // The timeout is one second; a stuck worker would have held the answer back for good.
        QVERIFY2(iAnsweredAfterMs < 10000, qPrintable(QString::number(iAnsweredAfterMs)));

        // A client that connects and sends nothing is cut off as well.
        QTcpSocket silent;
        silent.connectToHost(QHostAddress::LocalHost, iPort);
        QVERIFY(silent.waitForConnected(5000));
        QVERIFY(silent.waitForDisconnected(10000));
    }

    void head()
    {
        const quint16 iPort = m_pHttpd->port();
        const Answer full = exchange(iPort, statusRequest(iPort));
        QCOMPARE(full.headers.value("content-type"), QByteArray("application/json"));
        const Answer head = exchange(iPort, rawRequest("HEAD", "/api/status", {"Host: 127.0.0.1:{port}"}, {}, iPort));
        QCOMPARE(head.status, 200);
        QVERIFY(head.body.isEmpty());
    }

    void rangesAreNeverHonoured_data()
    {
        QTest::addColumn<QByteArray>("host");
        QTest::addColumn<QByteArray>("range");
        QTest::addColumn<int>("status");

        QTest::newRow("first bytes") << QByteArray("127.0.0.1:{port}") << QByteArray("bytes=0-3") << 200;
        QTest::newRow("several parts") << QByteArray("127.0.0.1:{port}") << QByteArray("bytes=0-1,5-9") << 200;
        QTest::newRow("suffix") << QByteArray("127.0.0.1:{port}") << QByteArray("bytes=-4") << 200;
        QTest::newRow("malformed") << QByteArray("127.0.0.1:{port}") << QByteArray("bytes=9-1") << 200;
        QTest::newRow("other unit") << QByteArray("127.0.0.1:{port}") << QByteArray("lines=0-1") << 200;
        QTest::newRow("refusal cut short") << QByteArray("evil.example:{port}") << QByteArray("bytes=0-3") << 403;
    }
    void rangesAreNeverHonoured()
    {
        QFETCH(QByteArray, host);
        QFETCH(QByteArray, range);
        QFETCH(int, status);
        const quint16 iPort = m_pHttpd->port();
        const QByteArray request = rawRequest("GET", "/api/status", {"Host: " + host}, {}, iPort);
        const Answer full = exchange(iPort, request);
        QCOMPARE(full.status, status);
        const Answer ranged
            = exchange(iPort, rawRequest("GET", "/api/status", {"Host: " + host, "Range: " + range}, {}, iPort));
        QCOMPARE(ranged.status, status);
        QVERIFY(!ranged.headers.contains("content-range"));
        QCOMPARE(ranged.body, full.body);
        QVERIFY(!ranged.json().isEmpty());
    }

    void idleAndTricklingClientsDoNotStarveOthers()
    {
        // Clients that hold connections open without finishing a request, and open new
        // ones as soon as the service cuts them off.
        const quint16 iPort = m_pHttpd->port();
        orbisk::test::HostileClients hostile(iPort, 200, 50);
        QTRY_VERIFY_WITH_TIMEOUT(hostile.connected() == 250, 20000);

        // Over several deadlines of the hostile connections.
        QElapsedTimer during;
        during.start();
        int iRequests = 0;
        while (during.elapsed() < 3000 || hostile.closedByService() < 250) {
            QElapsedTimer elapsed;
            elapsed.start();
            const Answer answer = exchange(iPort, statusRequest(iPort), 10000);
            QCOMPARE(answer.status, 200);
            // The service answers in milliseconds; one deadline of the hostile connections
            // (one second) is what a service that lets them hold workers would cost.
            QVERIFY2(elapsed.elapsed() < 3000, qPrintable(QString::number(elapsed.elapsed())));
            ++iRequests;
            QVERIFY(during.elapsed() < 60000);
        }
        QVERIFY(iRequests > 10);
    }

    void connectionsBeyondTheLimitCloseTheOldest()
    {
        if (!raiseFileLimit(3 * orbisk::LocalHttpServer::kMaxConnections))
            QSKIP("the file descriptor limit is too low for this many connections");
        // A timeout far longer than the test: only the limit closes connections here.
        ValtroHttpd httpd(m_pCore, m_pPortal);
        httpd.setPort(orbisk::test::unusedLocalPort());
        QCOMPARE(httpd.StartHttpdServer(ValtroHttpd::kMaxTimeoutMs), 0);

        const int iOverLimit = 40;
        const int iIdle = int(orbisk::LocalHttpServer::kMaxConnections) + iOverLimit;
        orbisk::test::HostileClients hostile(httpd.port(), iIdle, 0, false);
        QTRY_COMPARE_WITH_TIMEOUT(hostile.connected() + hostile.closedByService(), iIdle, 20000);
        // The oldest idle connections made room for newer ones; a request still gets its turn.
        const Answer answer = exchange(httpd.port(), statusRequest(httpd.port()));
        QCOMPARE(answer.status, 200);
        QTRY_COMPARE_WITH_TIMEOUT(hostile.closedByService(), iOverLimit + 1, 20000);
        QCOMPARE(hostile.lastClosedSlot(), iOverLimit);
    }

    void stopClosesEveryConnectionAtOnce()
    {
        // With a timeout far longer than the test, nothing but the stop ends these connections.
        ValtroHttpd httpd(m_pCore, m_pPortal);
        httpd.setAllowedOrigins(orbisk::ServerOriginCache::sourceFor(AppPaths::serverListFile()));
        httpd.setPort(orbisk::test::unusedLocalPort());
        QCOMPARE(httpd.StartHttpdServer(ValtroHttpd::kMaxTimeoutMs), 0);
        orbisk::test::HostileClients hostile(httpd.port(), 100, 20, false);
        // Requests whose chunked body never ends hold every worker.
        std::vector<std::unique_ptr<QTcpSocket>> chunked;
        for (int i = 0; i < 2 * ValtroHttpd::kWorkerThreads; ++i) {
            chunked.push_back(std::make_unique<QTcpSocket>());
            chunked.back()->connectToHost(QHostAddress::LocalHost, httpd.port());
            QVERIFY(chunked.back()->waitForConnected(5000));
            chunked.back()->write(rawRequest("POST", "/api/language",
                                      {"Host: 127.0.0.1:{port}", "Origin: " + kServer, "Content-Type: application/json",
                                          "Transfer-Encoding: chunked"},
                                      {}, httpd.port())
                + "1\r\n{\r\n");
            QVERIFY(chunked.back()->waitForBytesWritten(5000));
        }
        QTRY_VERIFY_WITH_TIMEOUT(hostile.connected() == 120, 20000);

        QElapsedTimer stopping;
        stopping.start();
        httpd.StopHttpdServer();
        QVERIFY2(stopping.elapsed() < 2000, qPrintable(QString::number(stopping.elapsed())));
        QTRY_COMPARE_WITH_TIMEOUT(hostile.closedByService(), 120, 10000);
        for (const auto& socket : chunked) {
            if (socket->state() != QAbstractSocket::UnconnectedState)
                socket->waitForDisconnected(5000);
            QVERIFY2(socket->state() == QAbstractSocket::UnconnectedState, qPrintable(socket->errorString()));
        }
    }

    void parallelRequestsAllAnswered()
    {
        std::atomic<int> iAnswered{0};
        std::vector<std::thread> clients;
        const quint16 iPort = m_pHttpd->port();
        for (int i = 0; i < 3 * ValtroHttpd::kWorkerThreads; ++i) {
            clients.emplace_back([&iAnswered, iPort] {
                const QByteArray request = rawRequest("POST", "/api/browser-active",
                    {"Host: localhost:{port}", "Origin: " + kServer, "Content-Type: application/json"}, "{}", iPort);
                iAnswered += exchange(iPort, request).status == 200;
            });
        }
        for (std::thread& client : clients)
            client.join();
        QCOMPARE(iAnswered.load(), 3 * ValtroHttpd::kWorkerThreads);
    }

    void portConflicts()
    {
        ValtroHttpd first(m_pCore, m_pPortal);
        first.setPort(orbisk::test::unusedLocalPort());
        QCOMPARE(first.StartHttpdServer(1000), 0);
        QCOMPARE(first.StartHttpdServer(1000), int(ValtroHttpd::StartAlreadyRunning));
        ValtroHttpd second(m_pCore, m_pPortal);
        second.setPort(first.port());
        QCOMPARE(second.StartHttpdServer(1000), int(ValtroHttpd::StartCannotListen));
        QVERIFY(!second.isListening());
        const QByteArray request = statusRequest(first.port());
        QCOMPARE(exchange(first.port(), request).status, 200);

        first.StopHttpdServer();
        QCOMPARE(exchange(first.port(), request).status, 0);
        QTcpServer other;
        QVERIFY(other.listen(QHostAddress::LocalHost, first.port()));
        QCOMPARE(first.StartHttpdServer(1000), int(ValtroHttpd::StartCannotListen));
        other.close();
        QCOMPARE(first.StartHttpdServer(1000), 0);
        QCOMPARE(exchange(first.port(), request).status, 200);
    }

    // The start tries again while the port is taken: a port freed meanwhile is served. (One
    // that stays taken is given up after the retry time: test_clientprocess.)
    void starterServesAPortFreedWhileTrying()
    {
        ValtroHttpd httpd(m_pCore, m_pPortal);
        httpd.setPort(orbisk::test::unusedLocalPort());
        auto blocker = std::make_unique<QTcpServer>();
        QVERIFY(blocker->listen(QHostAddress::LocalHost, httpd.port()));
        LocalServiceStarter starter(&httpd, 1000);
        QSignalSpy finished(&starter, &LocalServiceStarter::finished);
        starter.start();
        QVERIFY(starter.isTrying() && !httpd.isListening());
        blocker.reset();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, LocalServiceStarter::kRetryWindowMs);
        QCOMPARE(finished.at(0).at(0).toInt(), int(ValtroHttpd::StartListening));
        QVERIFY(httpd.isListening() && !starter.isTrying());
    }

    void stopIsHarmlessAndRestartable()
    {
        ValtroHttpd httpd(m_pCore, m_pPortal);
        httpd.StopHttpdServer();
        httpd.setPort(orbisk::test::unusedLocalPort());
        // Stopping right after starting must not miss the listener while it is still starting.
        for (int i = 0; i < 20; ++i) {
            QCOMPARE(httpd.StartHttpdServer(1000), 0);
            httpd.StopHttpdServer();
            QVERIFY(!httpd.isListening());
        }
        QCOMPARE(httpd.StartHttpdServer(1000), 0);
        QCOMPARE(exchange(httpd.port(), statusRequest(httpd.port())).status, 200);
        httpd.StopHttpdServer();
    }

    void refusesBadArguments()
    {
        ValtroCore otherCore(kKey, 1, nullptr);
        for (int iTimeout : {0, -1, ValtroHttpd::kMaxTimeoutMs + 1})
            QCOMPARE(ValtroHttpd(m_pCore, m_pPortal).StartHttpdServer(iTimeout), int(ValtroHttpd::StartInvalidTimeout));
        QCOMPARE(ValtroHttpd(m_pCore, nullptr).StartHttpdServer(1000), int(ValtroHttpd::StartMissingServices));
        QCOMPARE(ValtroHttpd(&otherCore, m_pPortal).StartHttpdServer(1000), int(ValtroHttpd::StartMissingServices));
    }
};

QTEST_GUILESS_MAIN(TestValtroHttpd)
#include "test_valtrohttpd.moc"
