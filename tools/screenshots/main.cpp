// Writes PNG pictures of the login window in each mode and with each message, of the
// main window while a page loads, of every dialog and of the downloads window, for
// people to look at after a change of the look:
//     orbisk-screenshots [output folder [cn]]      (default: ./screenshots)
// With "cn" the windows show the Chinese catalogue, which the client carries but does
// not apply, so its longer or wider texts can be checked against the layouts too.
// Runs headless with QT_QPA_PLATFORM=offscreen; with QT_SCALE_FACTOR=2 it shows the
// windows at 200 %, as on a 192 DPI screen. The client's files go to a temporary
// home, so the user's own server list and settings are never read or written.
#include "core/ValtroCore.h"
#include "dialogs/CAboutUI.h"
#include "dialogs/CClientCertificateUI.h"
#include "dialogs/CCredentialsUI.h"
#include "dialogs/CDownloadsUI.h"
#include "dialogs/CMachineCodeUI.h"
#include "dialogs/CPermissionUI.h"
#include "dialogs/CSetting.h"
#include "dialogs/CSwitchModeUI.h"
#include "login/CLoginUI.h"
#include "mainwindow/CMainWindow.h"
#include "mainwindow/LoadProgressBar.h"
#include "servers/ServerListFile.h"
#include "storage/AppPaths.h"
#include "ui/CTipUI.h"
#include "ui/HighDpi.h"
#include "ui/LanguageTexts.h"
#include "ui/MessageBar.h"
#include "ui/Resources.h"
#include "ui/ServerLostPanel.h"
#include "update/CCheckUpdateUI.h"
#include "web/CCertificateUI.h"
#include "web/CertificateQuestion.h"
#include "web/DownloadManager.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTranslator>

#include <cstdio>

namespace {

const char kCoreKey[] = "E3A95C07B1D84F62A0C7395E1B6D8F24";

bool save(QWidget* widget, const QDir& folder, const QString& name)
{
    widget->show();
    const QString path = folder.filePath(name + QStringLiteral(".png"));
    const bool saved = widget->grab().save(path);
    QTextStream(stdout) << (saved ? "wrote " : "could not write ") << path << Qt::endl;
    return saved;
}

// The login window in new-server mode after Continue with the given fields.
bool saveContinueAnswer(
    CLoginUI* login, const QDir& folder, const QString& name, const QString& address, const QString& alias)
{
    login->setBrowserModel(false);
    login->switchServerMode(true);
    login->m_pEditAddress->setText(address);
    login->m_pEditAlias->setText(alias);
    login->m_pBtnContinue->click();
    return save(login, folder, name);
}

} // namespace

int main(int argc, char* argv[])
{
    QTemporaryDir home;
    if (!home.isValid()) {
        std::fprintf(stderr, "no temporary folder for the client's files\n");
        return 1;
    }
    for (const char* variable : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
        qputenv(variable, QFile::encodeName(home.path() + QLatin1Char('/') + QString::fromLatin1(variable)));

    orbisk::initResources();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    orbisk::enableHighDpiScaling();
    QApplication application(argc, argv);
    QApplication::setWindowIcon(orbisk::applicationIcon());
    QFont font(QStringLiteral("Microsoft YaHei"));
    font.setPixelSize(14);
    QApplication::setFont(font);

    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots"));
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "cannot make the output folder\n");
        return 1;
    }

    // Two known servers, so that select mode has something to show.
    AppPaths::ensureDataDir();
    ServerListFile::write(AppPaths::serverListFile(),
        {{QStringLiteral("Office"), QStringLiteral("https://files.example.com"), false},
            {QStringLiteral("Lab (west)"), QStringLiteral("https://lab.example.com:8443"), true}});

    // The start sequence up to the first language switch; the event loop never runs,
    // so the web engine is never started.
    g_pMainWindow = new CMainWindow(nullptr);
    // Installed after the main window's own translators, so it is asked first.
    QTranslator chinese;
    if (argc > 2 && qstrcmp(argv[2], "cn") == 0) {
        if (!chinese.load(QStringLiteral(":/resource/translator/ValtroEnterpriseCN.qm"))) {
            std::fprintf(stderr, "cannot load the Chinese catalogue\n");
            return 1;
        }
        QCoreApplication::installTranslator(&chinese);
    }
    auto* login = new CLoginUI(nullptr);
    g_pMainWindow->setLoginUI(login);
    g_pMainWindow->initWebArea();
    g_pMainWindow->slot_switch_language(g_pMainWindow->settings().language);
    g_pMainWindow->m_pCore = new ValtroCore(QString::fromLatin1(kCoreKey), 1, g_pMainWindow);
    login->setMenuBar(g_pMainWindow->m_pMenuBar);
    const LanguageTexts& texts = g_pMainWindow->shownTexts();

    bool ok = true;
    login->setBrowserModel(false);
    ok &= save(login, folder, QStringLiteral("login-select-server"));
    login->switchServerMode(true);
    ok &= save(login, folder, QStringLiteral("login-new-server"));
    login->setBrowserModel(true);
    ok &= save(login, folder, QStringLiteral("login-browser"));

    ok &= saveContinueAnswer(
        login, folder, QStringLiteral("login-missing-alias"), QStringLiteral("files.example.com"), QString());
    ok &= saveContinueAnswer(login, folder, QStringLiteral("login-invalid-address"),
        QStringLiteral("files.example.com:port"), QStringLiteral("Office"));
    ok &= saveContinueAnswer(login, folder, QStringLiteral("login-http-address"),
        QStringLiteral("http://files.example.com"), QStringLiteral("Office"));
    login->setTipText(texts.ConnectFailed);
    ok &= save(login, folder, QStringLiteral("login-connect-failed"));
    login->hide();

    // The main window as a load chosen from the server menu shows it: the menu bar and
    // the progress bar along the top of the (still empty) page area.
    g_pMainWindow->setMenuBar(g_pMainWindow->m_pMenuBar);
    g_pMainWindow->resize(800, 600);
    g_pMainWindow->m_pLoadProgress->setValue(40);
    g_pMainWindow->m_pLoadProgress->show();
    ok &= save(g_pMainWindow, folder, QStringLiteral("main-window-loading"));
    g_pMainWindow->m_pLoadProgress->hide();
    // What the page area shows after a renderer crash and while its server is gone.
    g_pMainWindow->m_pMessageBar->showMessage(texts.PageReloaded);
    ok &= save(g_pMainWindow, folder, QStringLiteral("main-window-page-reloaded"));
    g_pMainWindow->m_pMessageBar->hide();
    g_pMainWindow->m_pServerLost->showLost(texts, QStringLiteral("files.example.com"), 8);
    ok &= save(g_pMainWindow, folder, QStringLiteral("main-window-server-lost"));
    g_pMainWindow->hide();

    CAboutUI about(texts, nullptr);
    ok &= save(&about, folder, QStringLiteral("about-dialog"));
    CSetting setting(texts, g_pMainWindow->settings(), nullptr);
    ok &= save(&setting, folder, QStringLiteral("settings-dialog"));
    CMachineCodeUI machineCode(texts, g_pMainWindow->m_pCore->Get_Deviceuuid(), nullptr);
    ok &= save(&machineCode, folder, QStringLiteral("device-code-dialog"));
    CSwitchModeUI switchMode(texts, nullptr);
    ok &= save(&switchMode, folder, QStringLiteral("switch-mode-dialog"));
    CPermissionUI permission(texts, QUrl(QStringLiteral("https://files.example.com")), nullptr);
    ok &= save(&permission, folder, QStringLiteral("notification-permission-dialog"));
    CCredentialsUI signIn(texts, texts.ProxyAsksSignIn.arg(QStringLiteral("proxy.corp.example:3128")),
        QStringLiteral("Corp proxy"), QStringLiteral("alice"), texts.CredentialsRefused, false, nullptr);
    ok &= save(&signIn, folder, QStringLiteral("sign-in-dialog"));
    const QList<QSslCertificate> certificates
        = QSslCertificate::fromPath(QStringLiteral(ORBISK_SOURCE_DIR "/tools/screenshots/client-certificates.pem"));
    CClientCertificateUI certificate(texts, QStringLiteral("files.example.com:443"), certificates, nullptr);
    ok &= save(&certificate, folder, QStringLiteral("client-certificate-dialog"));

    // The update dialog with the texts each outcome of a check gives it.
    CCheckUpdateUI update(texts, false, nullptr);
    ok &= save(&update, folder, QStringLiteral("check-update-latest"));
    update.m_pLabelMessage->setText(texts.FindNewVerIsDown);
    update.m_pLabelVersion->setText(QStringLiteral("3.0.1"));
    ok &= save(&update, folder, QStringLiteral("check-update-newer"));
    update.m_pLabelMessage->setText(texts.CheckUpdateFailed);
    update.m_pLabelVersion->clear();
    ok &= save(&update, folder, QStringLiteral("check-update-failed"));

    // The certificate question, first time and for a changed certificate.
    CertificateQuestion question;
    question.sServer = QStringLiteral("files.example.com:443");
    question.sHost = QStringLiteral("files.example.com");
    question.problem = CertificateQuestion::Problem::SelfSigned;
    question.sIssuedTo = QStringLiteral("files.example.com (Example Ltd)");
    question.sIssuedBy = question.sIssuedTo;
    question.validFrom = QDateTime(QDate(2026, 1, 1), QTime(9, 0), Qt::UTC);
    question.validUntil = QDateTime(QDate(2027, 1, 1), QTime(9, 0), Qt::UTC);
    question.sFingerprint = QStringLiteral("C0:2B:49:6E:13:13:1C:FC:58:22:96:01:D1:4D:64:5F:7A:8F:C5:D4:A0:67:E8:68:"
                                           "47:B3:F2:9E:10:E5:79:22");
    CCertificateUI untrusted(question, texts, nullptr);
    ok &= save(&untrusted, folder, QStringLiteral("certificate-untrusted"));
    question.isChanged = true;
    CCertificateUI changed(question, texts, nullptr);
    ok &= save(&changed, folder, QStringLiteral("certificate-changed"));

    // The downloads window as it first opens, before any download.
    DownloadManager downloads;
    CDownloadsUI downloadsWindow(&downloads);
    downloadsWindow.updateTexts(texts);
    ok &= save(&downloadsWindow, folder, QStringLiteral("downloads-window"));

    g_pMainWindow->releaseWebEngineViews();
    return ok ? 0 : 1;
}
