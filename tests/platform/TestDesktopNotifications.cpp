// The desktop's notification service as the client uses it, against a stand-in
// service on a private bus of the test's own dbus-daemon.
#include "platform/DesktopNotifications.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
} // namespace

// The service's side: records what it was asked and answers as a desktop does.
class FakeNotificationService : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QStringList capabilities;
    QVariantList lastNotify;
    QList<uint> closedIds;

public slots:
    QStringList GetCapabilities() { return capabilities; }
    uint Notify(const QString& app, uint replacesId, const QString& icon, const QString& summary, const QString& body,
        const QStringList& actions, const QVariantMap& hints, int timeout)
    {
        lastNotify
            = {app, replacesId, icon, summary, body, actions, hints.value(QStringLiteral("desktop-entry")), timeout};
        return replacesId != 0 ? replacesId : m_nextId++;
    }
    void CloseNotification(uint id) { closedIds.append(id); }

private:
    uint m_nextId = 41;
};

class TestDesktopNotifications : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void notificationsGoToTheServiceAndComeBack_data();
    void notificationsGoToTheServiceAndComeBack();

private:
    void emitFromService(const QString& sSignal, const QVariantList& arguments);

    QProcess m_daemon;
    QString m_sAddress;
};

void TestDesktopNotifications::initTestCase()
{
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    QVERIFY2(!daemon.isEmpty(), "dbus-daemon is not installed (scripts/install-deps installs it)");
    m_daemon.start(
        daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    QVERIFY(m_daemon.waitForReadyRead(10000));
    m_sAddress = QString::fromLatin1(m_daemon.readLine()).trimmed();
    QVERIFY(!m_sAddress.isEmpty());
}

void TestDesktopNotifications::cleanupTestCase()
{
    m_daemon.kill();
    m_daemon.waitForFinished();
}

void TestDesktopNotifications::cleanup()
{
    for (const QString& name : {QStringLiteral("service"), QStringLiteral("client")})
        QDBusConnection::disconnectFromBus(name);
}

void TestDesktopNotifications::emitFromService(const QString& sSignal, const QVariantList& arguments)
{
    QDBusMessage signal = QDBusMessage::createSignal(kPath, kService, sSignal);
    signal.setArguments(arguments);
    QDBusConnection(QStringLiteral("service")).send(signal);
}

void TestDesktopNotifications::notificationsGoToTheServiceAndComeBack_data()
{
    QTest::addColumn<QStringList>("capabilities");
    QTest::addColumn<QString>("body");

    // A page's text never becomes markup on a desktop that renders it.
    QTest::newRow("markup service") << QStringList{QStringLiteral("body"), QStringLiteral("body-markup")}
                                    << QStringLiteral("a &lt;b&gt; &amp; c\nhost");
    QTest::newRow("plain-text service") << QStringList{QStringLiteral("body")} << QStringLiteral("a <b> & c\nhost");
}

void TestDesktopNotifications::notificationsGoToTheServiceAndComeBack()
{
    QFETCH(QStringList, capabilities);
    QFETCH(QString, body);

    // Without a service (or a bus) there is nowhere to show a notification.
    const QDBusConnection client = QDBusConnection::connectToBus(m_sAddress, QStringLiteral("client"));
    DesktopNotifications notifications(client);
    QVERIFY(!notifications.isAvailable());
    QVERIFY(!DesktopNotifications(QDBusConnection(QStringLiteral("never connected"))).isAvailable());

    QDBusConnection service = QDBusConnection::connectToBus(m_sAddress, QStringLiteral("service"));
    FakeNotificationService fake;
    fake.capabilities = capabilities;
    QVERIFY(service.registerObject(kPath, &fake, QDBusConnection::ExportAllSlots));
    QVERIFY(service.registerService(kService));
    QVERIFY(notifications.isAvailable());
    QSignalSpy clicked(&notifications, &DesktopNotifications::clicked);
    QSignalSpy closed(&notifications, &DesktopNotifications::closed);

    notifications.show(7, QStringLiteral("Done"), QStringLiteral("a <b> & c\nhost"));
    QTRY_VERIFY(!fake.lastNotify.isEmpty());
    QCOMPARE(fake.lastNotify,
        (QVariantList{QStringLiteral("Orbisk Client"), 0u, QString(), QStringLiteral("Done"), body,
            QStringList{QStringLiteral("default"), QString()}, QStringLiteral("orbisk-client"), -1}));

    // Shown again under the same id: the service replaces its notification.
    QTRY_VERIFY(notifications.isShown(7));
    notifications.show(7, QStringLiteral("Again"), QString());
    QTRY_COMPARE(fake.lastNotify.at(3).toString(), QStringLiteral("Again"));
    QCOMPARE(fake.lastNotify.at(1).toUInt(), 41u);

    emitFromService(QStringLiteral("ActionInvoked"), {41u, QStringLiteral("other")});
    emitFromService(QStringLiteral("ActionInvoked"), {99u, QStringLiteral("default")});
    emitFromService(QStringLiteral("ActionInvoked"), {41u, QStringLiteral("default")});
    QTRY_COMPARE(clicked.count(), 1);
    QCOMPARE(clicked.first().first().toInt(), 7);

    notifications.show(8, QStringLiteral("Second"), QString());
    QTRY_VERIFY(notifications.isShown(8));
    emitFromService(QStringLiteral("NotificationClosed"), {42u, 2u});
    QTRY_COMPARE(closed.count(), 1);
    QCOMPARE(closed.first().first().toInt(), 8);

    notifications.close(7);
    notifications.close(8);
    QTRY_COMPARE(fake.closedIds, QList<uint>{41u});
    service.unregisterService(kService);
}

QTEST_GUILESS_MAIN(TestDesktopNotifications)
#include "TestDesktopNotifications.moc"
