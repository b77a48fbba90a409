#include "core/LocalServiceBackend.h"
#include "core/LocalServiceHandler.h"

#include "TestEnvironment.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using orbisk::ActiveSide;
using orbisk::LocalRequest;
using orbisk::LocalResponse;

namespace {
class FakeBackend : public orbisk::LocalServiceBackend
{
public:
    orbisk::LocalServiceStatus status() const override { return {"App", "2.0 Build 3", "9.9.9", "7", side}; }
    ActiveSide side = ActiveSide::None;
};

QString headerOf(const LocalResponse& response, const std::string& name)
{
    for (const auto& header : response.headers) {
        if (header.first == name)
            return QString::fromStdString(header.second);
    }
    return {};
}

QJsonObject jsonOf(const LocalResponse& response)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(response.body)).object();
}
} // namespace

Q_DECLARE_METATYPE(ActiveSide)

class TestLocalServiceHandler : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { orbisk::test::prepareTestEnvironment(); }

    void routing_data()
    {
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("allow");
        QTest::newRow("status") << QByteArray("GET") << QByteArray("/api/status") << 200 << QString();
        QTest::newRow("status head") << QByteArray("HEAD") << QByteArray("/api/status") << 200 << QString();
        for (const char* method : {"POST", "PUT", "DELETE", "PATCH", "OPTIONS", "get", ""})
            QTest::addRow("status %s", method) << QByteArray(method) << QByteArray("/api/status") << 405 << "GET, HEAD";
        QTest::newRow("root") << QByteArray("GET") << QByteArray("/") << 404 << QString();
        QTest::newRow("empty path") << QByteArray("GET") << QByteArray() << 404 << QString();
        QTest::newRow("trailing slash") << QByteArray("GET") << QByteArray("/api/status/") << 404 << QString();
        QTest::newRow("other case") << QByteArray("GET") << QByteArray("/API/status") << 404 << QString();
        QTest::newRow("query kept in path") << QByteArray("GET") << QByteArray("/api/status?a=1") << 404 << QString();
        QTest::newRow("unknown path, wrong method") << QByteArray("POST") << QByteArray("/x") << 404 << QString();
        QTest::newRow("nul byte") << QByteArray("GET") << QByteArray("/api/status\0", 12) << 404 << QString();
        QTest::newRow("long path") << QByteArray("GET") << QByteArray(100000, '/') << 404 << QString();
    }
    void routing()
    {
        QFETCH(QByteArray, method);
        QFETCH(QByteArray, path);
        QFETCH(int, status);
        QFETCH(QString, allow);
        const FakeBackend backend;
        const LocalResponse response
            = orbisk::LocalServiceHandler(backend).handle({method.toStdString(), path.toStdString(), {}, "x"});
        QCOMPARE(response.status, status);
        QCOMPARE(headerOf(response, "Allow"), allow);
        QCOMPARE(response.contentType, std::string("application/json"));
        QCOMPARE(headerOf(response, "Cache-Control"), QString("no-store"));
        QCOMPARE(headerOf(response, "X-Content-Type-Options"), QString("nosniff"));
        if (status != 200)
            QVERIFY(!jsonOf(response).value("error").toString().isEmpty());
    }

    void statusReportsBackend_data()
    {
        QTest::addColumn<ActiveSide>("side");
        QTest::addColumn<QString>("name");
        QTest::newRow("none") << ActiveSide::None << "none";
        QTest::newRow("client") << ActiveSide::Client << "client";
        QTest::newRow("browser") << ActiveSide::Browser << "browser";
    }
    void statusReportsBackend()
    {
        QFETCH(ActiveSide, side);
        QFETCH(QString, name);
        FakeBackend backend;
        backend.side = side;
        const QJsonObject json = jsonOf(orbisk::LocalServiceHandler(backend).handle({"GET", "/api/status", {}, {}}));
        QCOMPARE(json,
            QJsonObject({{"application", "App"}, {"clientVersion", "2.0 Build 3"}, {"coreVersion", "9.9.9"},
                {"protocolVersion", "7"}, {"activeSide", name}}));
    }
};

QTEST_GUILESS_MAIN(TestLocalServiceHandler)
#include "test_localservicehandler.moc"
