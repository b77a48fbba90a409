// A server that asks for a client certificate, in the real engine: the certificate the
// user picks from their NSS database gets in, none is refused, and the choice is asked
// once per server.
#include "login/CLoginUI.h"
#include "mainwindow/CMainWindow.h"
#include "ui/LanguageTexts.h"

#include "ClientWindows.h"
#include "TestEnvironment.h"
#include "TrustedDemoServer.h"
#include "WebEngineTestMain.h"
#include "WebTestSupport.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using orbisk::test::kEngineTimeoutMs;

class TestClientCertificate : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void serverAsksForACertificate_data();
    void serverAsksForACertificate();

private:
    orbisk::test::TrustedDemoServer m_server;
    orbisk::test::ClientWindows m_client;
};

void TestClientCertificate::initTestCase()
{
    orbisk::test::prepareTestEnvironment();
    const QString sDir = orbisk::test::scratchDir(QStringLiteral("client-certificate"));
    QString sError = orbisk::test::runTool(QStringLiteral(ORBISK_MAKE_CLIENT_CERTIFICATE), {sDir});
    QString sDatabase;
    if (sError.isEmpty())
        sError = orbisk::test::newHomeNssDatabase(&sDatabase);
    if (sError.isEmpty())
        sError = orbisk::test::runTool(QStringLiteral("pk12util"),
            {"-i", sDir + QStringLiteral("/client.p12"), "-d", sDatabase, "-W", "orbisk-demo", "-K", ""});
    QVERIFY2(sError.isEmpty(), qPrintable(sError));

    m_server.setClientAuthority(sDir + QStringLiteral("/ca.pem"));
    QVERIFY2(m_server.start(), qPrintable(m_server.errorString()));
    QVERIFY(m_server.clientCertificatePort() != 0);
}

void TestClientCertificate::serverAsksForACertificate_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("choice");
    QTest::addColumn<bool>("shown");

    // The engine keeps a choice for the server for the whole process: a host per row.
    QTest::newRow("the offered certificate") << "127.0.0.1" << 0 << true;
    QTest::newRow("none") << "localhost" << -1 << false;
}

void TestClientCertificate::serverAsksForACertificate()
{
    QFETCH(QString, host);
    QFETCH(int, choice);
    QFETCH(bool, shown);
    const quint16 port = m_server.clientCertificatePort();
    m_server.trustAs(host, port);
    orbisk::test::removeClientFiles();
    m_client.start();
    CMainWindow* window = m_client.window;
    window->setCertificateGuard(m_server.guard());
    QStringList asked;
    window->setCertificateChooser([&](const QString& sServer, const QList<QSslCertificate>& certificates) {
        asked.append(sServer);
        for (const QSslCertificate& certificate : certificates)
            asked.append(certificate.subjectDisplayName());
        return choice;
    });

    const QString sUrl = QStringLiteral("https://%1:%2").arg(host).arg(port);
    for (int attempt = 0; attempt < 2; ++attempt) {
        QVERIFY(m_client.loadSettled(QStringLiteral("certificate"), sUrl, kEngineTimeoutMs));
        QCOMPARE(window->m_isPageShown, shown);
        if (shown)
            break;
        QCOMPARE(window->m_pLoginUI->m_pLabelTip->text(), window->shownTexts().ConnectFailed);
    }
    // Asked once, with the certificate of the user's store.
    QCOMPARE(asked, (QStringList{host + QLatin1Char(':') + QString::number(port), QStringLiteral("Orbisk Demo User")}));
    m_client.stop();
}

ORBISK_WEBENGINE_TEST_MAIN(TestClientCertificate)
#include "test_clientcertificate.moc"
