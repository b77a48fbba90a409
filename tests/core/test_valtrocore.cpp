#include "core/ValtroCore.h"
#include "core/ValtroPortal.h"

#include "TestEnvironment.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <thread>

namespace {
const QString kKey = QStringLiteral("E3A95C07B1D84F62A0C7395E1B6D8F24");

std::atomic<int> g_iCallbackCalls{0};
std::atomic<bool> g_isCallbackOnCaller{false};
std::thread::id g_callerThread;

void onBrowserActive()
{
    ++g_iCallbackCalls;
    g_isCallbackOnCaller = std::this_thread::get_id() == g_callerThread;
}
} // namespace

class TestValtroCore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { orbisk::test::prepareTestEnvironment(); }

    void versionsAndIdentity()
    {
        ValtroCore core(kKey, 1, nullptr);
        QString sCore, sBuild, sProtocol;
        QCOMPARE(core.GetAppVersion(sCore, sBuild, sProtocol), 0);
        QCOMPARE(sCore, QString("1.0.0"));
        QVERIFY(!sBuild.isEmpty());
        QCOMPARE(sProtocol, QString("1"));

        const QString sUuid = core.Get_Deviceuuid();
        QVERIFY(!QUuid::fromString(sUuid).isNull());
        QCOMPARE(core.Get_Deviceuuid(), sUuid);
        QCOMPARE(ValtroCore(kKey, 1, nullptr).Get_Deviceuuid(), sUuid);
    }

    void activeSideFollowsCallsFromAnyThread()
    {
        ValtroCore core(kKey, 1, nullptr);
        ValtroPortal portal(&core, nullptr);
        QCOMPARE(portal.status().activeSide, orbisk::ActiveSide::None);
        QVERIFY(!core.notifyBrowserActive());
        QCOMPARE(portal.status().activeSide, orbisk::ActiveSide::Browser);
        QCOMPARE(core.CloseActiveApp(19), 0);
        QCOMPARE(portal.status().activeSide, orbisk::ActiveSide::Client);

        core.RegisterBrowserActive(onBrowserActive);
        bool isNotified = false;
        std::thread caller([&] {
            g_callerThread = std::this_thread::get_id();
            isNotified = core.notifyBrowserActive();
        });
        caller.join();
        QVERIFY(isNotified);
        QCOMPARE(g_iCallbackCalls.load(), 1);
        QVERIFY(g_isCallbackOnCaller);
        QCOMPARE(portal.status().activeSide, orbisk::ActiveSide::Browser);

        core.RegisterBrowserActive(nullptr);
        QVERIFY(!core.notifyBrowserActive());
        QCOMPARE(g_iCallbackCalls.load(), 1);
    }

    void languageChangeArrivesOnOwnerThread()
    {
        ValtroCore core(kKey, 1, nullptr);
        QThread* pReceiverThread = nullptr;
        connect(&core, &ValtroCore::sig_languageChanged, this, [&] { pReceiverThread = QThread::currentThread(); });
        QSignalSpy spy(&core, &ValtroCore::sig_languageChanged);
        std::thread([&] { core.postLanguageChange(1); }).join();
        QVERIFY(spy.isEmpty());
        QVERIFY(spy.wait(5000));
        QCOMPARE(spy.takeFirst().at(0).toInt(), 1);
        QCOMPARE(pReceiverThread, QThread::currentThread());
    }

    void portalReportsClientVersion_data()
    {
        QTest::addColumn<QString>("applicationVersion");
        QTest::addColumn<QString>("reported");
        QTest::newRow("not set") << QString() << "3.0.0 Build 26";
        QTest::newRow("set") << "4.1.0 Build 2"
                             << "4.1.0 Build 2";
    }
    void portalReportsClientVersion()
    {
        QFETCH(QString, applicationVersion);
        QFETCH(QString, reported);
        QCoreApplication::setApplicationVersion(applicationVersion);
        ValtroCore core(kKey, 1, nullptr);
        const orbisk::LocalServiceStatus status = ValtroPortal(&core, nullptr).status();
        QCoreApplication::setApplicationVersion(QString());
        QCOMPARE(status.sClientVersion, reported);
        QCOMPARE(status.sApplication, QString("Orbisk Client"));
        QCOMPARE(status.sCoreVersion, QString("1.0.0"));
    }
};

QTEST_GUILESS_MAIN(TestValtroCore)
#include "test_valtrocore.moc"
