// Sign-in to a server that asks for a user name and password, in the real engine
// against the demo server's sign-in area: right, refused and cancelled answers.
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
using Answer = KeychainCredentials::Credentials;

namespace {
// An answer the user does not give: Cancel.
const QString kCancel = QStringLiteral("<cancel>");
} // namespace

class TestSignIn : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        orbisk::test::prepareTestEnvironment();
        QVERIFY2(m_server.start(), qPrintable(m_server.errorString()));
    }
    void serverSignIn_data();
    void serverSignIn();

private:
    orbisk::test::TrustedDemoServer m_server;
    orbisk::test::ClientWindows m_client;
};

void TestSignIn::serverSignIn_data()
{
    QTest::addColumn<QStringList>("users"); // one per question, kCancel for Cancel
    QTest::addColumn<bool>("shown");

    // The engine keeps accepted credentials for the rest of the process and sends them
    // without asking, so the row that gets in comes last.
    QTest::newRow("cancelled") << QStringList{kCancel} << false;
    QTest::newRow("refused, then cancelled") << QStringList{QStringLiteral("wrong"), kCancel} << false;
    QTest::newRow("refused, then right") << QStringList{QStringLiteral("wrong"), QStringLiteral("demo")} << true;
}

void TestSignIn::serverSignIn()
{
    QFETCH(QStringList, users);
    QFETCH(bool, shown);
    orbisk::test::removeClientFiles();
    m_client.start();
    CMainWindow* window = m_client.window;
    window->setCertificateGuard(m_server.guard());
    QList<SignIn::Request> asked;
    window->setCredentialsAsker([&](const SignIn::Request& request, Answer* pAnswer, bool* pRemember) {
        asked.append(request);
        const QString sUser = users.value(asked.size() - 1, kCancel);
        *pAnswer = {sUser, QStringLiteral("orbisk-demo")};
        *pRemember = false;
        return sUser != kCancel;
    });

    QVERIFY(m_client.loadSettled(
        QStringLiteral("signin"), m_server.baseUrl() + QStringLiteral("/signin"), kEngineTimeoutMs));

    QCOMPARE(window->m_isPageShown, shown);
    QCOMPARE(asked.size(), users.size());
    for (int i = 0; i < asked.size(); ++i) {
        QCOMPARE(asked.at(i).kind, SignIn::Kind::Server);
        QCOMPARE(asked.at(i).sWho, QStringLiteral("127.0.0.1"));
        QCOMPARE(asked.at(i).sRealm, QStringLiteral("Orbisk demo"));
        // A refusal comes back with what was typed.
        QCOMPARE(asked.at(i).isRefused, i > 0);
        QCOMPARE(asked.at(i).sUser, i > 0 ? users.at(i - 1) : QString());
    }
    if (!shown)
        QCOMPARE(window->m_pLoginUI->m_pLabelTip->text(), window->shownTexts().ServerSignInRequired);
    m_client.stop();
}

ORBISK_WEBENGINE_TEST_MAIN(TestSignIn)
#include "test_signin.moc"
