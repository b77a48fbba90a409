#include "core/ValtroCore.h"
#include "core/ValtroHttpd.h"
#include "core/ValtroPortal.h"

#include "TestEnvironment.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QtTest>

#include <httplib.h>

#include <thread>
#include <vector>

namespace {
const QString kKey = QStringLiteral("E3A95C07B1D84F62A0C7395E1B6D8F24");

quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
}

httplib::Result request(
    quint16 iPort, const char* method, const std::string& path, const httplib::Headers& headers = {})
{
    httplib::Client client("127.0.0.1", iPort);
    client.set_connection_timeout(5);
    client.set_read_timeout(10);
    httplib::Request req;
    req.method = method;
    req.path = path;
    req.headers = headers;
    return client.send(req);
}

QString activeSideOverHttp(quint16 iPort)
{
    const httplib::Result result = request(iPort, "GET", "/api/status");
    return result ? QJsonDocument::fromJson(QByteArray::fromStdString(result->body))["activeSide"].toString()
                  : QString();
}
} // namespace

class TestValtroHttpd : public QObject
{
    Q_OBJECT

    ValtroCore* m_pCore = nullptr;
    ValtroPortal* m_pPortal = nullptr;

private slots:
    void initTestCase()
    {
        orbisk::test::prepareTestEnvironment();
        m_pCore = new ValtroCore(kKey, 1, this);
        m_pPortal = new ValtroPortal(m_pCore, this);
    }

    void answersOverLoopback()
    {
        ValtroHttpd httpd(m_pCore, m_pPortal);
        QCOMPARE(httpd.port(), orbisk::kLocalServicePort);
        httpd.setPort(freePort());
        QCOMPARE(httpd.StartHttpdServer(1000), 0);
        QVERIFY(httpd.isListening());

        const httplib::Result status = request(httpd.port(), "GET", "/api/status");
        QVERIFY(status);
        QCOMPARE(status->status, 200);
        QCOMPARE(status->get_header_value("Content-Type"), std::string("application/json"));
        const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(status->body)).object();
        QCOMPARE(json.value("application").toString(), QString("Orbisk Client"));
        QCOMPARE(json.value("clientVersion").toString(), QString("3.0.0 Build 26"));
        QCOMPARE(json.value("coreVersion").toString(), QString("1.0.0"));
        QCOMPARE(json.value("activeSide").toString(), QString("none"));

        // httplib serves a range of any body; the status must then say the body is partial.
        const httplib::Result range = request(httpd.port(), "GET", "/api/status", {{"Range", "bytes=0-3"}});
        QVERIFY(range);
        QCOMPARE(range->status, 206);
        QCOMPARE(QString::fromStdString(range->get_header_value("Content-Range")),
            QString("bytes 0-3/%1").arg(status->body.size()));
        QCOMPARE(range->body, status->body.substr(0, 4));

        m_pCore->notifyBrowserActive();
        QCOMPARE(activeSideOverHttp(httpd.port()), QString("browser"));
        m_pCore->CloseActiveApp(19);
        QCOMPARE(activeSideOverHttp(httpd.port()), QString("client"));

        const httplib::Result head = request(httpd.port(), "HEAD", "/api/status");
        QVERIFY(head && head->status == 200 && head->body.empty());
        const httplib::Result wrongMethod = request(httpd.port(), "DELETE", "/api/status");
        QVERIFY(wrongMethod && wrongMethod->status == 405);
        QCOMPARE(wrongMethod->get_header_value("Allow"), std::string("GET, HEAD"));
        // The body of a refused request is consumed: the kept-alive connection serves on.
        httplib::Client keptAlive("127.0.0.1", httpd.port());
        keptAlive.set_keep_alive(true);
        keptAlive.set_read_timeout(10);
        const httplib::Result unknown = keptAlive.Post("/nowhere", "GET /nowhere HTTP/1.1\r\n\r\n", "text/plain");
        QVERIFY(unknown && unknown->status == 404);
        QVERIFY(QJsonDocument::fromJson(QByteArray::fromStdString(unknown->body))["error"].isString());
        const httplib::Result next = keptAlive.Get("/api/status");
        QVERIFY(next && next->status == 200);
        // A path deep enough to exhaust a recursive pattern matcher is answered like any other.
        const httplib::Result longPath = request(httpd.port(), "GET", "/" + std::string(8000, 'a'));
        QVERIFY(longPath && longPath->status == 404);

        // An idle kept-alive connection delays the stop by the timeout at most.
        QElapsedTimer stopping;
        stopping.start();
        httpd.StopHttpdServer();
        QVERIFY2(stopping.elapsed() < 5000, qPrintable(QString::number(stopping.elapsed())));
    }

    void parallelRequestsAllAnswered()
    {
        ValtroHttpd httpd(m_pCore, m_pPortal);
        httpd.setPort(freePort());
        QCOMPARE(httpd.StartHttpdServer(1000), 0);
        std::atomic<int> iAnswered{0};
        std::vector<std::thread> clients;
        for (int i = 0; i < 3 * ValtroHttpd::kWorkerThreads; ++i) {
            clients.emplace_back([&] {
                const httplib::Result result = request(httpd.port(), "GET", "/api/status");
                iAnswered += result && result->status == 200;
            });
        }
        for (std::thread& client : clients)
            client.join();
        QCOMPARE(iAnswered.load(), 3 * ValtroHttpd::kWorkerThreads);
    }

    void portConflicts()
    {
        ValtroHttpd first(m_pCore, m_pPortal);
        first.setPort(freePort());
        QCOMPARE(first.StartHttpdServer(1000), 0);
        QCOMPARE(first.StartHttpdServer(1000), int(ValtroHttpd::StartAlreadyRunning));
        ValtroHttpd second(m_pCore, m_pPortal);
        second.setPort(first.port());
        QCOMPARE(second.StartHttpdServer(1000), int(ValtroHttpd::StartCannotListen));
        QVERIFY(!second.isListening());
        QVERIFY(request(first.port(), "GET", "/api/status"));

        first.StopHttpdServer();
        QVERIFY(!request(first.port(), "GET", "/api/status"));
        QTcpServer other;
        QVERIFY(other.listen(QHostAddress::LocalHost, first.port()));
        QCOMPARE(first.StartHttpdServer(1000), int(ValtroHttpd::StartCannotListen));
        other.close();
        QCOMPARE(first.StartHttpdServer(1000), 0);
        QVERIFY(request(first.port(), "GET", "/api/status"));
    }

    void stopIsHarmlessAndRestartable()
    {
        ValtroHttpd httpd(m_pCore, m_pPortal);
        httpd.StopHttpdServer();
        httpd.setPort(freePort());
        // Stopping right after starting must not miss the listener while it is still starting.
        for (int i = 0; i < 20; ++i) {
            QCOMPARE(httpd.StartHttpdServer(1000), 0);
            httpd.StopHttpdServer();
            QVERIFY(!httpd.isListening());
        }
        httpd.StopHttpdServer();
        QCOMPARE(httpd.StartHttpdServer(1000), 0);
        QVERIFY(request(httpd.port(), "GET", "/api/status"));
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
