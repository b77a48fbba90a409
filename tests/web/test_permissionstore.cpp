// The answers about notifications: their file, and which requests of a page are
// granted, refused or asked.
#include "web/PagePermissions.h"
#include "web/PermissionStore.h"

#include "TestEnvironment.h"

#include <QFile>
#include <QUrl>
#include <QtTest>

using Decision = PagePermissions::Decision;
Q_DECLARE_METATYPE(QWebEnginePage::Feature)
Q_DECLARE_METATYPE(PagePermissions::Decision)

class TestPermissionStore : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void answersSurviveTheFileAndADamagedFileIsKeptAside();
    void decide_data();
    void decide();
};

void TestPermissionStore::parse_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");

    QTest::newRow("empty object") << QByteArray("{}") << true;
    QTest::newRow("allowed and denied") << QByteArray(
        R"({"https://a.example:443": {"notifications": true}, "http://[::1]:8080": {"notifications": false}})")
                                        << true;
    QTest::newRow("empty file") << QByteArray() << false;
    QTest::newRow("cut short") << QByteArray(R"({"https://a.example:443": {"notif)") << false;
    QTest::newRow("no port") << QByteArray(R"({"https://a.example": {"notifications": true}})") << false;
    QTest::newRow("upper-case host") << QByteArray(R"({"https://A.example:443": {"notifications": true}})") << false;
    QTest::newRow("a path") << QByteArray(R"({"https://a.example:443/x": {"notifications": true}})") << false;
    QTest::newRow("file scheme") << QByteArray(R"({"file://a.example:443": {"notifications": true}})") << false;
    QTest::newRow("answer as text") << QByteArray(R"({"https://a.example:443": {"notifications": "yes"}})") << false;
    QTest::newRow("unknown feature") << QByteArray(R"({"https://a.example:443": {"camera": true}})") << false;
    QTest::newRow("array at the top") << QByteArray("[]") << false;
}

void TestPermissionStore::parse()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    QMap<QString, bool> entries{{QStringLiteral("before"), true}};
    QCOMPARE(PermissionStore::parse(bytes, &entries), valid);
    if (valid)
        QCOMPARE(PermissionStore::parse(PermissionStore::serialize(entries), &entries), true);
    else
        QCOMPARE(entries.keys(), QStringList{QStringLiteral("before")});
}

void TestPermissionStore::answersSurviveTheFileAndADamagedFileIsKeptAside()
{
    const QString sPath = orbisk::test::scratchDir(QStringLiteral("permissions")) + QStringLiteral("/Permissions.json");
    PermissionStore store(sPath);
    store.setNotifications(QUrl(QStringLiteral("https://A.example/files")), true);
    store.setNotifications(QUrl(QStringLiteral("https://b.example:8443")), false);
    QVERIFY(store.save());

    PermissionStore later(sPath);
    later.load();
    QCOMPARE(later.notifications(QUrl(QStringLiteral("https://a.example:443"))), PermissionStore::Answer::Allowed);
    QCOMPARE(later.notifications(QUrl(QStringLiteral("https://b.example:8443/x"))), PermissionStore::Answer::Denied);
    QCOMPARE(later.notifications(QUrl(QStringLiteral("https://b.example"))), PermissionStore::Answer::None);

    // A damaged file asks again, and what was in it stays for a person to recover.
    QVERIFY(orbisk::test::writeFileContent(sPath, "{\"https://a.example:443\": {\"notifications\": tru"));
    PermissionStore damaged(sPath);
    damaged.load();
    QCOMPARE(damaged.notifications(QUrl(QStringLiteral("https://a.example"))), PermissionStore::Answer::None);
    QVERIFY(!QFile::exists(sPath));
    QVERIFY(orbisk::test::fileContent(sPath + QStringLiteral(".bad")).startsWith("{\"https://a.example:443\""));
}

void TestPermissionStore::decide_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("origin");
    QTest::addColumn<QWebEnginePage::Feature>("feature");
    QTest::addColumn<Decision>("decision");

    const QString own = QStringLiteral("https://own.example/login");
    const QWebEnginePage::Feature notifications = QWebEnginePage::Notifications;
    QTest::newRow("own server, not asked yet") << own << "https://own.example" << notifications << Decision::Ask;
    QTest::newRow("own server, allowed") << "https://allowed.example/x"
                                         << "https://allowed.example" << notifications << Decision::Grant;
    QTest::newRow("own server, not allowed") << "https://denied.example"
                                             << "https://denied.example" << notifications << Decision::Deny;
    QTest::newRow("other origin, allowed before")
        << own << "https://allowed.example" << notifications << Decision::Deny;
    QTest::newRow("own host, other port") << own << "https://own.example:8443" << notifications << Decision::Deny;
    QTest::newRow("no server yet") << QString() << "https://own.example" << notifications << Decision::Deny;
    QTest::newRow("camera") << own << "https://own.example" << QWebEnginePage::MediaVideoCapture << Decision::Deny;
    QTest::newRow("microphone") << own << "https://own.example" << QWebEnginePage::MediaAudioCapture << Decision::Deny;
    QTest::newRow("screen") << own << "https://own.example" << QWebEnginePage::DesktopVideoCapture << Decision::Deny;
    QTest::newRow("location") << own << "https://own.example" << QWebEnginePage::Geolocation << Decision::Deny;
    QTest::newRow("mouse lock") << own << "https://own.example" << QWebEnginePage::MouseLock << Decision::Deny;
}

void TestPermissionStore::decide()
{
    QFETCH(QString, server);
    QFETCH(QString, origin);
    QFETCH(QWebEnginePage::Feature, feature);
    QFETCH(Decision, decision);
    PermissionStore store;
    store.setNotifications(QUrl(QStringLiteral("https://allowed.example")), true);
    store.setNotifications(QUrl(QStringLiteral("https://denied.example")), false);
    QCOMPARE(PagePermissions::decide(QUrl(server), QUrl(origin), feature, store), decision);
}

QTEST_GUILESS_MAIN(TestPermissionStore)
#include "test_permissionstore.moc"
