// Server certificates in the real engine: a certificate that the system does not
// trust loads only once the user trusted it in the certificate question, is then
// remembered, and a changed one is asked about again with a plain warning. A
// certificate that the system trusts (a test authority in the test home's NSS
// database) loads without a question. The administrator's trust lets a listed
// certificate load without a question, and with exceptions off the question offers
// only Cancel and the user's remembered certificate is not used.
#include "core/ValtroCore.h"
#include "login/CLoginUI.h"
#include "mainwindow/CMainWindow.h"
#include "ui/LanguageTexts.h"
#include "web/CCertificateUI.h"
#include "web/CWebEnginePage.h"
#include "web/CertificateGuard.h"
#include "web/CertificateTrustStore.h"

#include "ClientWindows.h"
#include "DemoServer.h"
#include "TestEnvironment.h"
#include "WebTestSupport.h"

#include <QLabel>
#include <QPushButton>
#include <QTranslator>
#include <QWebEngineProfile>

#include <memory>

using orbisk::test::kEngineTimeoutMs;

namespace {

const QString kChangedFingerprint
    = QStringLiteral("00:11:22:33:44:55:66:77:88:99:AA:BB:CC:DD:EE:FF:00:11:22:33:44:55:66:77:88:99:AA:BB:CC:DD:EE:FF");

// A test certificate authority and a server certificate for 127.0.0.1 that it signed,
// as cert.pem and key.pem in sDir; the authority's certificate as ca.pem.
QString makeAuthorityAndServerCertificate(const QString& sDir)
{
    const QString sExtensions = sDir + QStringLiteral("/server.ext");
    QFile extensions(sExtensions);
    if (!extensions.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write ") + sExtensions;
    extensions.write("subjectAltName=IP:127.0.0.1,DNS:localhost\nbasicConstraints=critical,CA:FALSE\n"
                     "keyUsage=critical,digitalSignature\nextendedKeyUsage=serverAuth\n");
    extensions.close();
    const QString sOpenSsl = QStringLiteral("openssl");
    const QStringList steps[] = {
        {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
            QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:P-256"), QStringLiteral("-nodes"),
            QStringLiteral("-keyout"), sDir + QStringLiteral("/ca.key"), QStringLiteral("-out"),
            sDir + QStringLiteral("/ca.pem"), QStringLiteral("-days"), QStringLiteral("30"), QStringLiteral("-subj"),
            QStringLiteral("/O=Orbisk tests/CN=Orbisk Test Authority"), QStringLiteral("-addext"),
            QStringLiteral("basicConstraints=critical,CA:TRUE"), QStringLiteral("-addext"),
            QStringLiteral("keyUsage=critical,keyCertSign,cRLSign")},
        {QStringLiteral("req"), QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
            QStringLiteral("ec_paramgen_curve:P-256"), QStringLiteral("-nodes"), QStringLiteral("-keyout"),
            sDir + QStringLiteral("/key.pem"), QStringLiteral("-out"), sDir + QStringLiteral("/server.csr"),
            QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1")},
        {QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"), sDir + QStringLiteral("/server.csr"),
            QStringLiteral("-CA"), sDir + QStringLiteral("/ca.pem"), QStringLiteral("-CAkey"),
            sDir + QStringLiteral("/ca.key"), QStringLiteral("-CAcreateserial"), QStringLiteral("-out"),
            sDir + QStringLiteral("/cert.pem"), QStringLiteral("-days"), QStringLiteral("30"),
            QStringLiteral("-extfile"), sExtensions},
    };
    for (const QStringList& step : steps) {
        const QString sError = orbisk::test::runTool(sOpenSsl, step);
        if (!sError.isEmpty())
            return sError;
    }
    return QString();
}

// Makes the authority trusted in the NSS database of the test's own home, which the
// engine reads as the system's trust on Linux.
QString trustAuthorityInHome(const QString& sAuthorityPem)
{
    QString sDatabase;
    QString sError = orbisk::test::newHomeNssDatabase(&sDatabase);
    if (sError.isEmpty())
        sError = orbisk::test::runTool(QStringLiteral("certutil"),
            {QStringLiteral("-A"), QStringLiteral("-d"), sDatabase, QStringLiteral("-n"),
                QStringLiteral("Orbisk Test Authority"), QStringLiteral("-t"), QStringLiteral("C,,"),
                QStringLiteral("-i"), sAuthorityPem});
    return sError;
}

QString labelText(const CCertificateUI* dialog, const char* sName)
{
    const auto* label = dialog->findChild<QLabel*>(QLatin1String(sName));
    return label ? label->text() : QString();
}

} // namespace

class TestCertificates : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void untrustedCertificateIsAskedAboutAndRefused_data();
    void untrustedCertificateIsAskedAboutAndRefused();
    void trustedCertificateLoadsNowAndOnLaterStarts();
    void changedCertificateSaysSoAndLoadsNothing();
    void sameCertificateIsAskedAboutOnce();
    void noVisibleWindowRefusesQuietly();
    void systemTrustedCertificateAsksNothing();
    void refusalInTheClientShowsConnectFailed();
    void managedTrustDecidesWithoutTheUser();

private:
    // A page of the client on a profile of its own, so the engine remembers no
    // earlier answer; it asks through the test's guard.
    CWebEnginePage* newPage();
    // The page's demo login URL, with a query that marks this load in the server's log.
    QString loginUrl(const QString& sMark) const;
    bool serverSaw(const QString& sMark) { return !m_server.requests().filter(sMark).isEmpty(); }
    CCertificateUI* question() const;
    void restartStore();

    orbisk::test::DemoServer m_server;
    std::unique_ptr<orbisk::test::DemoServer> m_pSystemServer;
    QString m_sTrustFile;
    QWidget m_window;
    QTranslator m_english;
    bool m_isWindowOffered = true;
    std::unique_ptr<CertificateTrustStore> m_pStore;
    std::unique_ptr<CertificateGuard> m_pGuard;
    QList<QWebEngineProfile*> m_profiles;
    QList<CWebEnginePage*> m_pages;
};

void TestCertificates::initTestCase()
{
    orbisk::test::prepareTestEnvironment();
    // Before the engine starts: it opens the NSS database once.
    const QString sAuthorityDir = orbisk::test::scratchDir(QStringLiteral("authority"));
    QString sError = makeAuthorityAndServerCertificate(sAuthorityDir);
    QVERIFY2(sError.isEmpty(), qPrintable(sError));
    sError = trustAuthorityInHome(sAuthorityDir + QStringLiteral("/ca.pem"));
    QVERIFY2(sError.isEmpty(), qPrintable(sError));

    QVERIFY2(m_server.start(), qPrintable(m_server.errorString()));
    m_pSystemServer = std::make_unique<orbisk::test::DemoServer>(sAuthorityDir);
    QVERIFY2(m_pSystemServer->start(), qPrintable(m_pSystemServer->errorString()));
    m_sTrustFile = orbisk::test::scratchDir(QStringLiteral("trust")) + QStringLiteral("/TrustedCertificates.json");
    m_window.resize(640, 480);
    // Without a main window the question takes its words from the installed catalogue.
    QVERIFY(m_english.load(QStringLiteral(":/resource/translator/ValtroEnterpriseEN.qm")));
    QCoreApplication::installTranslator(&m_english);
}

void TestCertificates::init()
{
    QFile::remove(m_sTrustFile);
    m_isWindowOffered = true;
    m_window.show();
    restartStore();
}

void TestCertificates::cleanup()
{
    qDeleteAll(m_pages);
    m_pages.clear();
    qDeleteAll(m_profiles);
    m_profiles.clear();
    m_pGuard.reset();
    m_pStore.reset();
}

void TestCertificates::restartStore()
{
    m_pGuard.reset();
    m_pStore = std::make_unique<CertificateTrustStore>(m_sTrustFile);
    m_pStore->load();
    m_pGuard = std::make_unique<CertificateGuard>(
        m_pStore.get(), [this]() -> QWidget* { return m_isWindowOffered ? &m_window : nullptr; });
}

CWebEnginePage* TestCertificates::newPage()
{
    auto* profile = new QWebEngineProfile(static_cast<QObject*>(nullptr));
    auto* page = new CWebEnginePage(profile, nullptr);
    page->setCertificateGuard(m_pGuard.get());
    m_profiles.append(profile);
    m_pages.append(page);
    return page;
}

QString TestCertificates::loginUrl(const QString& sMark) const
{
    return m_server.baseUrl() + QStringLiteral("/app/login?uuid=") + sMark;
}

CCertificateUI* TestCertificates::question() const
{
    CCertificateUI* dialog = m_pGuard->currentDialog();
    return dialog && dialog->isVisible() ? dialog : nullptr;
}

void TestCertificates::untrustedCertificateIsAskedAboutAndRefused_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("Cancel") << "cancel";
    QTest::newRow("Escape") << "escape";
    QTest::newRow("Enter") << "enter";
    QTest::newRow("Enter with the focus on Trust") << "enter-on-trust";
    QTest::newRow("close button") << "close";
    QTest::newRow("page gone before an answer") << "page-gone";
}

void TestCertificates::untrustedCertificateIsAskedAboutAndRefused()
{
    QFETCH(QString, answer);
    const QString sMark = QStringLiteral("refused-") + answer;
    CWebEnginePage* page = newPage();
    QSignalSpy loaded(page, &QWebEnginePage::loadFinished);
    page->setUrl(QUrl(loginUrl(sMark)));

    QTRY_VERIFY_WITH_TIMEOUT(question(), kEngineTimeoutMs);
    CCertificateUI* dialog = question();
    QCOMPARE(dialog->parentWidget(), &m_window);
    QVERIFY(dialog->isModal());
    QCOMPARE(labelText(dialog, "certificateTitle"), QStringLiteral("Untrusted server certificate"));
    const QString sMessage = labelText(dialog, "certificateMessage");
    QVERIFY2(sMessage.contains(m_server.server()), qPrintable(sMessage));
    QVERIFY2(!sMessage.contains(QStringLiteral("intercept")), qPrintable(sMessage));
    QCOMPARE(labelText(dialog, "certificateFingerprint").replace(QLatin1Char('\n'), QLatin1Char(':')),
        m_server.fingerprint());
    QCOMPARE(dialog->m_pBtnCancel->text(), QStringLiteral("Cancel"));
    QCOMPARE(dialog->m_pBtnTrust->text(), QStringLiteral("Trust this certificate"));
    QVERIFY(dialog->m_pBtnCancel->isDefault());
    // The request waits for the answer: the server has not seen it.
    QVERIFY(loaded.isEmpty());
    QVERIFY(!serverSaw(sMark));

    if (answer == QLatin1String("cancel")) {
        QTest::mouseClick(dialog->m_pBtnCancel, Qt::LeftButton);
    } else if (answer == QLatin1String("escape")) {
        QTest::keyClick(dialog, Qt::Key_Escape);
    } else if (answer == QLatin1String("enter")) {
        QTest::keyClick(dialog, Qt::Key_Return);
    } else if (answer == QLatin1String("enter-on-trust")) {
        dialog->m_pBtnTrust->setFocus();
        QTest::keyClick(dialog->m_pBtnTrust, Qt::Key_Return);
    } else if (answer == QLatin1String("close")) {
        QTest::mouseClick(dialog->findChild<QPushButton*>(QString(), Qt::FindDirectChildrenOnly), Qt::LeftButton);
    } else {
        m_pages.removeOne(page);
        delete page;
        QVERIFY(!question());
        QVERIFY(!serverSaw(sMark));
        QVERIFY(m_pStore->fingerprints(m_server.server()).isEmpty());
        QVERIFY(!QFile::exists(m_sTrustFile));
        return;
    }

    QVERIFY(!question());
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty(), kEngineTimeoutMs);
    QCOMPARE(loaded.first().first().toBool(), false);
    // No part of the server's page exists: its request was never sent.
    QVERIFY(!serverSaw(sMark));
    QVERIFY(!page->title().contains(QStringLiteral("Orbisk")));
    QVERIFY(m_pStore->fingerprints(m_server.server()).isEmpty());
    QVERIFY(!QFile::exists(m_sTrustFile));
}

void TestCertificates::trustedCertificateLoadsNowAndOnLaterStarts()
{
    CWebEnginePage* page = newPage();
    QSignalSpy loaded(page, &QWebEnginePage::loadFinished);
    page->setUrl(QUrl(loginUrl(QStringLiteral("trusted-first"))));
    QTRY_VERIFY_WITH_TIMEOUT(question(), kEngineTimeoutMs);
    QTest::mouseClick(question()->m_pBtnTrust, Qt::LeftButton);

    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty(), kEngineTimeoutMs);
    QCOMPARE(loaded.first().first().toBool(), true);
    QVERIFY(page->title().contains(QStringLiteral("Orbisk")));
    QCOMPARE(m_pStore->fingerprints(m_server.server()), QStringList{m_server.fingerprint()});

    // A later start reads the file and asks nothing, also with no window to ask over
    // (the unattended start with the system).
    restartStore();
    m_isWindowOffered = false;
    m_window.hide();
    CWebEnginePage* later = newPage();
    QSignalSpy laterLoaded(later, &QWebEnginePage::loadFinished);
    later->setUrl(QUrl(loginUrl(QStringLiteral("trusted-later"))));
    QTRY_VERIFY_WITH_TIMEOUT(!laterLoaded.isEmpty(), kEngineTimeoutMs);
    QCOMPARE(laterLoaded.first().first().toBool(), true);
    QVERIFY(!m_pGuard->currentDialog());
    QVERIFY(serverSaw(QStringLiteral("trusted-later")));
}

void TestCertificates::changedCertificateSaysSoAndLoadsNothing()
{
    m_pStore->trust(m_server.server(), kChangedFingerprint);
    QVERIFY(m_pStore->save());
    restartStore();

    CWebEnginePage* page = newPage();
    QSignalSpy loaded(page, &QWebEnginePage::loadFinished);
    page->setUrl(QUrl(loginUrl(QStringLiteral("changed"))));
    QTRY_VERIFY_WITH_TIMEOUT(question(), kEngineTimeoutMs);
    CCertificateUI* dialog = question();
    QCOMPARE(labelText(dialog, "certificateTitle"), QStringLiteral("The server's certificate has changed"));
    const QString sMessage = labelText(dialog, "certificateMessage");
    QVERIFY2(sMessage.contains(QStringLiteral("is not the one you trusted before")), qPrintable(sMessage));
    QVERIFY2(sMessage.contains(QStringLiteral("someone is intercepting the connection")), qPrintable(sMessage));
    QVERIFY(loaded.isEmpty());
    QVERIFY(!serverSaw(QStringLiteral("changed")));

    QTest::keyClick(dialog, Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty(), kEngineTimeoutMs);
    QCOMPARE(loaded.first().first().toBool(), false);
    QVERIFY(!serverSaw(QStringLiteral("changed")));
    // The certificate trusted before stays the only one.
    restartStore();
    QCOMPARE(m_pStore->fingerprints(m_server.server()), QStringList{kChangedFingerprint});
}

void TestCertificates::sameCertificateIsAskedAboutOnce()
{
    CWebEnginePage* first = newPage();
    CWebEnginePage* second = newPage();
    QSignalSpy firstLoaded(first, &QWebEnginePage::loadFinished);
    QSignalSpy secondLoaded(second, &QWebEnginePage::loadFinished);
    first->setUrl(QUrl(loginUrl(QStringLiteral("once-a"))));
    QTRY_VERIFY_WITH_TIMEOUT(question(), kEngineTimeoutMs);
    second->setUrl(QUrl(loginUrl(QStringLiteral("once-b"))));

    // One answer serves both pages.
    QTest::mouseClick(question()->m_pBtnTrust, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!firstLoaded.isEmpty() && !secondLoaded.isEmpty(), kEngineTimeoutMs);
    QCOMPARE(firstLoaded.first().first().toBool(), true);
    QCOMPARE(secondLoaded.first().first().toBool(), true);
    QVERIFY(!m_pGuard->currentDialog());
}

void TestCertificates::noVisibleWindowRefusesQuietly()
{
    m_isWindowOffered = false;
    m_window.hide();
    CWebEnginePage* page = newPage();
    QSignalSpy loaded(page, &QWebEnginePage::loadFinished);
    page->setUrl(QUrl(loginUrl(QStringLiteral("no-window"))));
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty(), kEngineTimeoutMs);
    QCOMPARE(loaded.first().first().toBool(), false);
    QVERIFY(!m_pGuard->currentDialog());
    QVERIFY(!serverSaw(QStringLiteral("no-window")));
    QVERIFY(m_pStore->fingerprints(m_server.server()).isEmpty());
}

void TestCertificates::systemTrustedCertificateAsksNothing()
{
    CWebEnginePage* page = newPage();
    QSignalSpy loaded(page, &QWebEnginePage::loadFinished);
    page->setUrl(QUrl(m_pSystemServer->baseUrl() + QStringLiteral("/app/login?uuid=system")));
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty() || question(), kEngineTimeoutMs);
    QVERIFY(!question());
    QCOMPARE(loaded.first().first().toBool(), true);
    QVERIFY(page->title().contains(QStringLiteral("Orbisk")));
    QVERIFY(m_pStore->fingerprints(m_pSystemServer->server()).isEmpty());
}

void TestCertificates::refusalInTheClientShowsConnectFailed()
{
    orbisk::test::ClientWindows client;
    client.start();
    CMainWindow* window = client.window;
    CLoginUI* login = client.login;
    restartStore();
    m_pGuard = std::make_unique<CertificateGuard>(m_pStore.get(), [window] { return window->visibleWindow(); });
    window->setCertificateGuard(m_pGuard.get());
    ValtroCore core(QStringLiteral("E3A95C07B1D84F62A0C7395E1B6D8F24"), 1, nullptr);
    window->m_pCore = &core;
    login->show();
    m_window.hide();

    window->handle_load(QStringLiteral("demo"), m_server.baseUrl(), true);
    QTRY_VERIFY_WITH_TIMEOUT(question(), kEngineTimeoutMs);
    // Asked over the window the user sees.
    QCOMPARE(question()->parentWidget(), login);
    QCOMPARE(login->m_pLabelTip->text(), QStringLiteral("loading..."));
    // A language switch while it waits words it anew.
    QTranslator chinese;
    QVERIFY(chinese.load(QStringLiteral(":/resource/translator/ValtroEnterpriseCN.qm")));
    QCoreApplication::installTranslator(&chinese);
    window->slot_switch_language(window->settings().language);
    QCOMPARE(labelText(question(), "certificateTitle"), QStringLiteral("不受信任的服务器证书"));
    QCOMPARE(question()->m_pBtnTrust->text(), QStringLiteral("信任此证书"));
    QCoreApplication::removeTranslator(&chinese);
    window->slot_switch_language(window->settings().language);
    QCOMPARE(labelText(question(), "certificateTitle"), QStringLiteral("Untrusted server certificate"));
    QTest::keyClick(question(), Qt::Key_Escape);

    QTRY_VERIFY_WITH_TIMEOUT(!window->m_isLoading, kEngineTimeoutMs);
    QCOMPARE(login->m_pLabelTip->text(), window->shownTexts().ConnectFailed);
    QVERIFY(login->m_pBtnContinue->isEnabled());
    QVERIFY(!window->m_isPageShown);
    QVERIFY(!window->isVisible());
    QVERIFY(window->serverBook().servers().isEmpty());
    QVERIFY(m_pStore->fingerprints(m_server.server()).isEmpty());

    window->m_pCore = nullptr;
    client.stop();
}

void TestCertificates::managedTrustDecidesWithoutTheUser()
{
    const auto trustFile = [this] {
        QFile file(m_sTrustFile);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    m_pStore->trust(m_server.server(), m_server.fingerprint());
    QVERIFY(m_pStore->save());
    const QByteArray remembered = trustFile();
    QVERIFY(!remembered.isEmpty());
    restartStore();

    // Exceptions off: the remembered certificate counts for nothing and only Cancel is offered.
    m_pGuard->setManagedTrust({{}, {}, false});
    CWebEnginePage* page = newPage();
    QSignalSpy loaded(page, &QWebEnginePage::loadFinished);
    page->setUrl(QUrl(loginUrl(QStringLiteral("managed-off"))));
    QTRY_VERIFY_WITH_TIMEOUT(question(), kEngineTimeoutMs);
    CCertificateUI* dialog = question();
    QVERIFY(!dialog->m_pBtnTrust);
    QCOMPARE(dialog->findChildren<QPushButton*>().size(), 2); // Cancel and the close button
    QCOMPARE(labelText(dialog, "certificateManaged"), QStringLiteral("Set by your administrator"));
    QCOMPARE(labelText(dialog, "certificateTitle"), QStringLiteral("Untrusted server certificate"));
    QTest::keyClick(dialog, Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty(), kEngineTimeoutMs);
    QCOMPARE(loaded.first().first().toBool(), false);
    QVERIFY(!serverSaw(QStringLiteral("managed-off")));
    QCOMPARE(trustFile(), remembered);

    // The server's certificate listed: it loads with no question, exceptions off or not.
    m_pGuard->setManagedTrust({{m_server.fingerprint()}, {}, false});
    CWebEnginePage* listed = newPage();
    QSignalSpy listedLoaded(listed, &QWebEnginePage::loadFinished);
    listed->setUrl(QUrl(loginUrl(QStringLiteral("managed-listed"))));
    QTRY_VERIFY_WITH_TIMEOUT(!listedLoaded.isEmpty() || question(), kEngineTimeoutMs);
    QVERIFY(!question());
    QCOMPARE(listedLoaded.first().first().toBool(), true);
    QVERIFY(serverSaw(QStringLiteral("managed-listed")));
}

ORBISK_WEBENGINE_TEST_MAIN(TestCertificates)
#include "test_certificates.moc"
