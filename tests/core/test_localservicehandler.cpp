// The local service's request handling as a pure function: every check and every answer,
// and that no refused request reaches the backend.
#include "core/LocalServiceBackend.h"
#include "core/LocalServiceHandler.h"

#include "TestEnvironment.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using orbisk::ActiveSide;
using orbisk::LocalRequest;
using orbisk::LocalResponse;
using orbisk::LocalServiceHandler;

namespace {
const quint16 kPort = 9887;
const char kServer[] = "https://files.example.com:8443";
const char kJson[] = "application/json";

class FakeBackend : public orbisk::LocalServiceBackend
{
public:
    orbisk::LocalServiceStatus status() const override { return {"App", "2.0 Build 3", "9.9.9", "7", side}; }
    QString deviceId() const override { return QStringLiteral("device-1"); }
    void announceBrowserActive() override
    {
        ++iAnnouncements;
        side = ActiveSide::Browser;
    }
    void requestLanguage(int iLan) override { languages << iLan; }
    void reset()
    {
        side = ActiveSide::None;
        iAnnouncements = 0;
        languages.clear();
    }

    ActiveSide side = ActiveSide::None;
    int iAnnouncements = 0;
    QList<int> languages;
};

QString headerOf(const LocalResponse& response, const std::string& name)
{
    QStringList values;
    for (const auto& header : response.headers) {
        if (header.first == name)
            values << QString::fromStdString(header.second);
    }
    return values.join(QLatin1Char('|'));
}

QJsonObject jsonOf(const LocalResponse& response)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(response.body)).object();
}

// A request as a browser page of kServer sends it, unless the row changes it.
LocalRequest pageRequest(const std::string& method, const std::string& path, const std::string& body = {})
{
    return {method, path, {{"Host", "127.0.0.1:9887"}, {"Origin", kServer}, {"Content-Type", kJson}}, body};
}

void setHeader(LocalRequest& request, const std::string& name, const QByteArray& value)
{
    auto& headers = request.headers;
    headers.erase(
        std::remove_if(headers.begin(), headers.end(), [&](const auto& h) { return h.first == name; }), headers.end());
    if (value != "<none>")
        headers.emplace_back(name, value.toStdString());
}
} // namespace

Q_DECLARE_METATYPE(ActiveSide)

class TestLocalServiceHandler : public QObject
{
    Q_OBJECT

    FakeBackend m_backend;
    int m_iOriginReads = 0;
    LocalServiceHandler m_handler{m_backend,
        [this] {
            ++m_iOriginReads;
            return orbisk::OriginSet{kServer, QStringLiteral("http://localhost:3000")};
        },
        kPort};

private slots:
    void initTestCase() { orbisk::test::prepareTestEnvironment(); }
    void init()
    {
        m_backend.reset();
        m_iOriginReads = 0;
    }

    // Each row starts from a well-formed page request and changes one thing.
    void checks_data()
    {
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("header"); // "" for none
        QTest::addColumn<QByteArray>("value"); // "<none>" removes the header
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error"); // start of the error text; empty for a success

        const QByteArray status = "/api/status", active = "/api/browser-active", language = "/api/language";
        const QByteArray empty = "{}";
        QTest::newRow("status") << QByteArray("GET") << status << QByteArray() << QByteArray() << QByteArray() << 200
                                << QString();
        QTest::newRow("browser-active") << QByteArray("POST") << active << QByteArray() << QByteArray() << empty << 200
                                        << QString();
        QTest::newRow("language") << QByteArray("POST") << language << QByteArray() << QByteArray()
                                  << QByteArray("{\"language\": 0}") << 202 << QString();

        // DNS rebinding: only the loopback names with the service's own port.
        for (const char* host : {"<none>", "", "evil.example:9887", "127.0.0.1", "127.0.0.1:80", "localhost:9888",
                 "127.0.0.2:9887", "[::1]:9887", "localhost.:9887", "127.0.0.1:9887 x", "localhost:9887@evil"})
            QTest::addRow("host '%s'", host) << QByteArray("POST") << active << QByteArray("Host") << QByteArray(host)
                                             << empty << 403 << "host not allowed";
        QTest::newRow("host in other case") << QByteArray("GET") << status << QByteArray("Host")
                                            << QByteArray("LocalHost:9887") << QByteArray() << 200 << QString();

        // Origins: only the servers of the list, byte for byte after normalisation.
        for (const char* origin : {"https://evil.example", "null", "", "https://files.example.com",
                 "http://files.example.com:8443", "https://files.example.com:8443/", "https://files.example.com:8443/x",
                 "https://user@files.example.com:8443", "https://files.example.com.evil:8443",
                 "https://files.example.com:8443, https://evil.example", "file://", "localhost:3000"})
            QTest::addRow("origin '%s'", origin) << QByteArray("GET") << status << QByteArray("Origin")
                                                 << QByteArray(origin) << QByteArray() << 403 << "origin not allowed";
        QTest::newRow("origin in upper case") << QByteArray("POST") << active << QByteArray("Origin")
                                              << QByteArray("http://LOCALHOST:3000") << empty << 200 << QString();

        // Requests that could change state need a page of the user's servers and JSON.
        QTest::newRow("post without origin") << QByteArray("POST") << active << QByteArray("Origin")
                                             << QByteArray("<none>") << empty << 403 << "an Origin header";
        QTest::newRow("language without origin")
            << QByteArray("POST") << language << QByteArray("Origin") << QByteArray("<none>")
            << QByteArray("{\"language\": 0}") << 403 << "an Origin header";
        for (const char* type : {"<none>", "text/plain", "application/x-www-form-urlencoded", "multipart/form-data",
                 "application/jsonp", "application/json-patch+json", ""})
            QTest::addRow("content type '%s'", type) << QByteArray("POST") << active << QByteArray("Content-Type")
                                                     << QByteArray(type) << empty << 415 << "Content-Type";
        QTest::newRow("content type with charset")
            << QByteArray("POST") << active << QByteArray("Content-Type")
            << QByteArray("Application/JSON; charset=utf-8") << empty << 200 << QString();

        for (const char* body : {"", "{", "[]", "null", "1", "\"x\"", "{} {}", "{\"a\":}", "\xff\xfe"})
            QTest::addRow("body '%s'", body)
                << QByteArray("POST") << active << QByteArray() << QByteArray() << QByteArray(body) << 400 << QString();
        for (const char* body : {"{}", "{\"language\": \"1\"}", "{\"language\": 1.5}", "{\"language\": -1}",
                 "{\"language\": 2147483648}", "{\"language\": true}", "{\"language\": null}", "{\"language\": [1]}"})
            QTest::addRow("language %s", body) << QByteArray("POST") << language << QByteArray() << QByteArray()
                                               << QByteArray(body) << 400 << "\"language\" must be";

        const QByteArray atLimit(int(LocalServiceHandler::kMaxBodyBytes), ' ');
        QTest::newRow("body at the limit") << QByteArray("POST") << active << QByteArray() << QByteArray()
                                           << QByteArray(atLimit).replace(0, 2, "{}") << 200 << QString();
        QTest::newRow("body over the limit") << QByteArray("POST") << active << QByteArray() << QByteArray()
                                             << atLimit + "{}" << 413 << "request body too large";

        // Routing.
        for (const char* method : {"POST", "PUT", "DELETE", "PATCH", "get", ""})
            QTest::addRow("status %s", method)
                << QByteArray(method) << status << QByteArray() << QByteArray() << empty << 405 << "method not allowed";
        for (const char* method : {"GET", "HEAD", "PUT"})
            QTest::addRow("browser-active %s", method)
                << QByteArray(method) << active << QByteArray() << QByteArray() << empty << 405 << "method not allowed";
        for (const char* path : {"/", "", "/api/status/", "/API/status", "/api/status?a=1", "/api//status",
                 "/api/browser-active/../status"})
            QTest::addRow("path '%s'", path) << QByteArray("GET") << QByteArray(path) << QByteArray() << QByteArray()
                                             << QByteArray() << 404 << "not found";
        QTest::newRow("nul in path") << QByteArray("GET") << QByteArray("/api/status\0", 12) << QByteArray()
                                     << QByteArray() << QByteArray() << 404 << "not found";
    }
    void checks()
    {
        QFETCH(QByteArray, method);
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, header);
        QFETCH(QByteArray, value);
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(QString, error);

        LocalRequest request = pageRequest(method.toStdString(), path.toStdString(), body.toStdString());
        if (!header.isEmpty())
            setHeader(request, header.toStdString(), value);
        const LocalResponse response = m_handler.handle(request);

        QCOMPARE(response.status, status);
        QCOMPARE(QString::fromStdString(response.contentType), QString(kJson));
        QCOMPARE(headerOf(response, "Cache-Control"), QString("no-store"));
        QCOMPARE(headerOf(response, "X-Content-Type-Options"), QString("nosniff"));
        QCOMPARE(headerOf(response, "Vary"), QString("Origin"));
        const QJsonObject json = jsonOf(response);
        if (status >= 400) {
            QVERIFY2(json.value("error").toString().startsWith(error), qPrintable(json.value("error").toString()));
            // A refused request changes nothing.
            QCOMPARE(m_backend.iAnnouncements, 0);
            QVERIFY(m_backend.languages.isEmpty());
        } else {
            QVERIFY(!json.contains("error"));
            QCOMPARE(m_backend.iAnnouncements, int(path == "/api/browser-active"));
            QCOMPARE(m_backend.languages.size(), int(path == "/api/language"));
        }
        if (status == 405)
            QVERIFY(headerOf(response, "Allow").endsWith(", OPTIONS"));
        // Never "*": the one allowed origin, normalised, or nothing.
        const QString sAllowOrigin = headerOf(response, "Access-Control-Allow-Origin");
        QVERIFY(sAllowOrigin.isEmpty() || sAllowOrigin == kServer || sAllowOrigin == "http://localhost:3000");
        const bool isAllowedPage
            = !(error == "host not allowed" || error == "origin not allowed" || error.startsWith("an Origin"));
        QCOMPARE(!sAllowOrigin.isEmpty(), isAllowedPage);
    }

    void statusShowsDeviceToAllowedOriginsOnly_data()
    {
        QTest::addColumn<QByteArray>("origin");
        QTest::addColumn<bool>("isShown");
        QTest::newRow("user's server") << QByteArray(kServer) << true;
        QTest::newRow("no origin, a local program") << QByteArray("<none>") << false;
    }
    void statusShowsDeviceToAllowedOriginsOnly()
    {
        QFETCH(QByteArray, origin);
        QFETCH(bool, isShown);
        for (ActiveSide side : {ActiveSide::None, ActiveSide::Client, ActiveSide::Browser}) {
            m_backend.side = side;
            LocalRequest request = pageRequest("GET", "/api/status");
            setHeader(request, "Origin", origin);
            QJsonObject expected{{"application", "App"}, {"clientVersion", "2.0 Build 3"}, {"coreVersion", "9.9.9"},
                {"protocolVersion", "7"}, {"activeSide", orbisk::activeSideName(side)}};
            if (isShown)
                expected.insert("deviceId", "device-1");
            QCOMPARE(jsonOf(m_handler.handle(request)), expected);
            request.method = "HEAD";
            QCOMPARE(m_handler.handle(request).status, 200);
        }
    }

    void postsReachTheBackend()
    {
        const LocalResponse active = m_handler.handle(pageRequest("POST", "/api/browser-active", "{\"tab\": 3}"));
        QCOMPARE(active.status, 200);
        QCOMPARE(jsonOf(active).value("activeSide").toString(), QString("browser"));
        QCOMPARE(jsonOf(active).value("deviceId").toString(), QString("device-1"));
        QCOMPARE(m_backend.iAnnouncements, 1);

        for (const char* body :
            {"{\"language\": 1}", "{\"language\": 2147483647, \"other\": 1}", "{\"language\": 1e1}"})
            QCOMPARE(m_handler.handle(pageRequest("POST", "/api/language", body)).status, 202);
        QCOMPARE(m_backend.languages, QList<int>({1, 2147483647, 10}));
        QCOMPARE(jsonOf(m_handler.handle(pageRequest("POST", "/api/language", "{\"language\": 4}"))),
            QJsonObject({{"language", 4}}));
    }

    void preflight_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("origin");
        QTest::addColumn<QByteArray>("privateNetwork");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("methods");
        QTest::addColumn<bool>("isPrivateNetworkAllowed");
        QTest::newRow("post") << QByteArray("/api/browser-active") << QByteArray(kServer) << QByteArray("<none>") << 204
                              << "POST" << false;
        QTest::newRow("post, private network")
            << QByteArray("/api/language") << QByteArray(kServer) << QByteArray("true") << 204 << "POST" << true;
        QTest::newRow("status, private network")
            << QByteArray("/api/status") << QByteArray(kServer) << QByteArray("TRUE") << 204 << "GET, HEAD" << true;
        QTest::newRow("private network not asked")
            << QByteArray("/api/status") << QByteArray(kServer) << QByteArray("false") << 204 << "GET, HEAD" << false;
        QTest::newRow("foreign origin") << QByteArray("/api/browser-active") << QByteArray("https://evil.example")
                                        << QByteArray("true") << 403 << QString() << false;
        QTest::newRow("no origin") << QByteArray("/api/browser-active") << QByteArray("<none>") << QByteArray("true")
                                   << 403 << QString() << false;
        QTest::newRow("unknown path") << QByteArray("/api/other") << QByteArray(kServer) << QByteArray("true") << 404
                                      << QString() << false;
    }
    void preflight()
    {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, origin);
        QFETCH(QByteArray, privateNetwork);
        QFETCH(int, status);
        QFETCH(QString, methods);
        QFETCH(bool, isPrivateNetworkAllowed);
        LocalRequest request = pageRequest("OPTIONS", path.toStdString());
        setHeader(request, "Origin", origin);
        setHeader(request, "Content-Type", "<none>");
        request.headers.emplace_back("Access-Control-Request-Method", "POST");
        request.headers.emplace_back("Access-Control-Request-Headers", "content-type");
        setHeader(request, "Access-Control-Request-Private-Network", privateNetwork);

        const LocalResponse response = m_handler.handle(request);
        QCOMPARE(response.status, status);
        QCOMPARE(headerOf(response, "Access-Control-Allow-Methods"), methods);
        QCOMPARE(headerOf(response, "Access-Control-Allow-Private-Network"),
            isPrivateNetworkAllowed ? QString("true") : QString());
        QCOMPARE(headerOf(response, "Access-Control-Allow-Origin"), origin == kServer ? QString(kServer) : QString());
        if (status == 204) {
            QCOMPARE(headerOf(response, "Access-Control-Allow-Headers"), QString("Content-Type"));
            QVERIFY(response.body.empty());
        }
        QCOMPARE(m_backend.iAnnouncements, 0);
    }

    void originsAreReadForEveryRequestThatNamesOne()
    {
        m_handler.handle(pageRequest("GET", "/api/status"));
        m_handler.handle(pageRequest("GET", "/api/status"));
        LocalRequest local = pageRequest("GET", "/api/status");
        setHeader(local, "Origin", "<none>");
        m_handler.handle(local);
        QCOMPARE(m_iOriginReads, 2);

        // Two Origin headers name no one origin.
        LocalRequest twice = pageRequest("GET", "/api/status");
        twice.headers.emplace_back("Origin", kServer);
        QCOMPARE(m_handler.handle(twice).status, 403);
        LocalRequest twoHosts = pageRequest("GET", "/api/status");
        twoHosts.headers.emplace_back("host", "127.0.0.1:9887");
        QCOMPARE(m_handler.handle(twoHosts).status, 403);

        // Without an origin source nothing is allowed.
        const LocalServiceHandler closed(m_backend, nullptr, kPort);
        QCOMPARE(closed.handle(pageRequest("GET", "/api/status")).status, 403);
        QCOMPARE(closed.handle(local).status, 200);
    }

    void refusalsCarryCorsForAllowedPagesOnly_data()
    {
        QTest::addColumn<QByteArray>("host");
        QTest::addColumn<QByteArray>("origin");
        QTest::addColumn<QString>("allowOrigin");
        QTest::newRow("allowed page") << QByteArray("127.0.0.1:9887") << QByteArray(kServer) << QString(kServer);
        QTest::newRow("foreign page") << QByteArray("127.0.0.1:9887") << QByteArray("https://evil.example")
                                      << QString();
        QTest::newRow("foreign host") << QByteArray("evil.example:9887") << QByteArray(kServer) << QString();
    }
    void refusalsCarryCorsForAllowedPagesOnly()
    {
        QFETCH(QByteArray, host);
        QFETCH(QByteArray, origin);
        QFETCH(QString, allowOrigin);
        LocalRequest request = pageRequest("POST", "/api/language");
        setHeader(request, "Host", host);
        setHeader(request, "Origin", origin);
        for (int iStatus : {400, 413, 414}) {
            const LocalResponse response = m_handler.refusal(request, iStatus);
            QCOMPARE(response.status, iStatus);
            QVERIFY(!jsonOf(response).value("error").toString().isEmpty());
            QCOMPARE(headerOf(response, "Access-Control-Allow-Origin"), allowOrigin);
        }
        QVERIFY(m_backend.languages.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLocalServiceHandler)
#include "test_localservicehandler.moc"
