#pragma once

#include "core/ManagedConfig.h"
#include "servers/ServerBook.h"
#include "storage/ClientSettings.h"
#include "web/SignIn.h"

#include <QList>
#include <QMainWindow>
#include <QSslCertificate>
#include <QString>

#include <functional>
#include <memory>

class CCheckUpdateUI;
class CertificateGuard;
class CDownloadsUI;
class ClientCertificates;
class CLoginUI;
class CMiniTray;
class CWebEngineView;
class DesktopNotifications;
class KeychainCredentials;
class SignIn;
class DownloadManager;
class NotificationCenter;
class PagePermissions;
class PermissionStore;
class LoadProgressBar;
class LocalServiceStarter;
class FindBar;
class MessageBar;
class QPrinter;
class ServerLostPanel;
class QAction;
class QActionGroup;
class QDialog;
class QMenu;
class QMenuBar;
class QSplitter;
class QTimer;
class QTranslator;
class QWebEngineProfile;
class QWebEngineView;
class ValtroCore;
class ValtroHttpd;
class ValtroPortal;
struct LanguageTexts;

// The controller of the whole client: owns the core services, the settings, the
// server book, the menus, the web area and the tray icon, wires the windows' and
// dialogs' requests to what carries them out, and is the only place where the
// application ends.
class CMainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit CMainWindow(QWidget* parent = nullptr);
    // With what an administrator manages: servers, locked settings, update check,
    // developer tools.
    explicit CMainWindow(const orbisk::ManagedConfig& managed, QWidget* parent = nullptr);
    ~CMainWindow() override;

    // Hands over the login window and connects what it asks for.
    void setLoginUI(CLoginUI* pLoginUI);
    // The guard that decides the certificate errors of every page the window creates.
    void setCertificateGuard(CertificateGuard* pGuard);
    // The window a question goes over: the main window while it is visible, else the
    // login window while it is visible; null while the client shows neither.
    QWidget* visibleWindow() const;
    // The window the user is working in: this one while it shows a server's page,
    // otherwise the login window.
    QWidget* currentWindow();
    // Shows the current window in front of the others; returns it.
    QWidget* bringCurrentWindowToFront();
    // Shows the manager's downloads in the downloads window, reached from the help
    // menu's "Downloads" entry, and reports finished ones through the tray icon.
    // Without a manager the entry stays hidden. Call after initWebArea.
    void setDownloadManager(DownloadManager* pDownloads);
    void initWebArea();
    void startCoreServices();
    // Starts the web engine once the event loop runs, ahead of the first page, and with
    // isDefaultPreloaded the default server's page out of sight.
    void startWebEngine(bool isDefaultPreloaded = false);
    // For a start with this many command-line arguments that joins the default server:
    // starts the engine and the default server's page at once, out of sight. Call after
    // initWebArea, startCoreServices and setDownloadManager, before the login window and
    // the texts are made, so that their making overlaps the page's load.
    void preloadAtStart(int argumentCount);
    // Starts the 100 ms timer whose first timeout runs slot_delayLogin.
    void startDelayLogin();

    // The first presentation for a start with this many command-line arguments (the
    // program path included); handle_show passes the process's own count.
    void presentForArguments(int argumentCount);

    // Ends the application: page released, tray icon removed, local service stopped,
    // the active session closed, the event loop quit.
    void handle_exit_application();
    // Whether closing a window ends the application: with minimise-to-tray off, or
    // when no tray is there to bring a hidden window back.
    bool closingQuits() const;

    // Asks where and how to print over parent; the system's print dialog unless
    // replaced (tests print to a file).
    using PrintChooser = std::function<bool(QPrinter& printer, QWidget* parent)>;
    void setPrintChooser(PrintChooser chooser) { m_printChooser = std::move(chooser); }
    // Asks for a proxy's or server's user name and password; the sign-in dialog unless
    // replaced (tests answer for the user).
    // Asks which certificate to show a server that asks for one (-1: none); the
    // certificate dialog unless replaced (tests answer for the user).
    void setCertificateChooser(std::function<int(const QString&, const QList<QSslCertificate>&)> chooser)
    {
        m_certificateChooser = std::move(chooser);
    }
    void setCredentialsAsker(
        std::function<bool(const SignIn::Request&, KeychainCredentials::Credentials*, bool*)> asker)
    {
        m_credentialsAsker = std::move(asker);
    }

    // Deletes every web engine view and page. Called once the event loop has ended,
    // so no page outlives the application object and the web profile.
    void releaseWebEngineViews();

    void readSettings();
    void writeSettings();
    void updateAutoStart();
    void readServerList();

    // The user's own settings, as their file holds them.
    ClientSettings& settings() { return m_settings; }
    // What the administrator manages.
    const orbisk::ManagedConfig& managed() const { return m_managed; }
    // The settings in effect: a managed value wins over the user's.
    bool isMiniTray() const { return m_managed.minimizeToTray.value_or(m_settings.miniTray); }
    bool isAutoStart() const { return m_managed.startWithSystem.value_or(m_settings.autoStart); }
    // The one owner of the server list.
    orbisk::ServerBook& serverBook() { return *m_pServerBook; }
    // The catalogue texts now shown; empty texts before the first language switch.
    const LanguageTexts& shownTexts() const;

signals:
    void sig_return();
    void sig_browserActive();

public slots:
    // Loads a server's login page (isLogin) or test page into the page view.
    void handle_load(QString sName, QString sUrl, bool isLogin);
    // The page's loadFinished: accepts the page by its title and shows it.
    void Slot_LoadUrlFinish(bool isSuccess);
    // The delayed-login timer's first timeout: connects to the first default server.
    void slot_delayLogin();
    void handle_show();
    void slot_return();
    void slot_switch_language(int iLan);
    // A server action of the server menu: leaves the current server and loads that one.
    void slot_actServer();
    void slot_exitServer();
    void slot_browserActive();
    // Starts an update check; checkType true shows the dialog only when a newer release
    // is found.
    void slot_checkupdate(bool checkType);
    // Runs the about dialog modally, centred on the visible window.
    void slot_aboutUI();
    // Runs the settings dialog modally, centred on the visible window.
    void slot_settingUI();
    // Runs the device code dialog modally, centred on the visible window.
    void slot_machineCode();
    // Shows the downloads window and brings it to the front.
    void slot_downloadsUI();
    // Prints the page shown (Ctrl+P, or the page's window.print()).
    void slot_print();
    // Zooms the page shown one step in (direction > 0) or out, or back to 100 % (0),
    // and remembers the zoom for its server.
    void slot_zoom(int direction);
    // Opens the find bar over the page shown.
    void slot_find();
    // The login window's request to leave browser mode: asks the user to confirm.
    void slot_exitBrowserModel();

protected:
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void initMenus();
    // Zoom, find and print keys, which act in this window only.
    void initPageShortcuts();
    // The zoom the user chose for the server of sUrl, 1 when none.
    double zoomFor(const QString& sUrl) const;
    void addServerAction(const ServerEntry& entry);
    void removeServerActions(const QString& sUrl);
    void checkShownServerAction(const QString& sText);
    void showPageWindow();
    // Starts loading the default server's login page before the delayed login asks
    // for it; that load's result then becomes the delayed login's.
    void preloadDefaultServer();
    // Loads sTarget for the server of sUrl, making the page view on first use.
    void loadIntoView(const QString& sUrl, const QString& sTarget);
    void releaseWebView();
    void showConnectFailed();
    // The page stopped too often: back to the login window with the message.
    void giveUpPage();
    void giveDebugViewHeight(int debugHeight);
    // Runs a dialog modally, centred on the visible window.
    void runCentred(QDialog& dialog) const;
    // The window a dialog is centred on: this one while visible, else the login window.
    const QWidget* dialogReference() const;
    // The engine's profile, watched for downloads and presenting the pages'
    // notifications from the first time it is asked for.
    QWebEngineProfile* webProfile();
    // The pages' notifications and the answers about them, read from their file.
    void initNotifications();
    // Sign-in for proxies and servers, remembered in the system's secret store.
    void initSignIn();
    // The client-certificate dialog over the visible window.
    int chooseCertificate(const QString& sServer, const QList<QSslCertificate>& certificates);
    // The sign-in dialog over the visible window.
    bool askCredentials(
        const SignIn::Request& request, KeychainCredentials::Credentials* pCredentials, bool* pRemember);
    // Why the last load failed, as the login window says it.
    QString failureText() const;
    // Puts a page's notification on the desktop: the desktop's notification service
    // where one runs, else the tray's balloon.
    void showNotification(int id, const QString& sTitle, const QString& sBody, const QString& sServer);
    // Asks the user whether the page's server may show notifications.
    void askNotificationPermission(PagePermissions* pPermissions, const QUrl& origin);

public:
    // Public for start-up and for the tests that look at the windows' state and parts.
    CLoginUI* m_pLoginUI = nullptr;
    CWebEngineView* m_pWebView = nullptr;
    ValtroCore* m_pCore = nullptr;
    ValtroHttpd* m_pHttpd = nullptr;
    LocalServiceStarter* m_pHttpdStarter = nullptr;
    QMenuBar* m_pMenuBar = nullptr;
    QMenu* m_pMenuServer = nullptr;
    QAction* m_pActExitServer = nullptr;
    CMiniTray* m_pTray = nullptr;
    bool m_isPageShown = false;
    bool m_isLoading = false;
    QString m_sCurUrl;
    QString m_sCurName;
    // Over the top of the page area while a page loads.
    LoadProgressBar* m_pLoadProgress = nullptr;
    // Over the top of the page area: what happened to the page.
    MessageBar* m_pMessageBar = nullptr;
    // In place of the page while its server cannot be reached.
    ServerLostPanel* m_pServerLost = nullptr;
    FindBar* m_pFindBar = nullptr;
    QSplitter* m_pSplitter = nullptr;
    QWebEngineView* m_pDebugView = nullptr;
    QActionGroup* m_pServerGroup = nullptr;
    QMenu* m_pMenuHelp = nullptr;
    QAction* m_pActDownloads = nullptr;
    QTimer* m_pDelayTimer = nullptr;
    CCheckUpdateUI* m_pCheckUpdateUI = nullptr;
    CDownloadsUI* m_pDownloadsUI = nullptr;
    // The pages' notifications, whatever shows them.
    NotificationCenter* m_pNotifications = nullptr;

private:
    orbisk::ServerBook* m_pServerBook = nullptr;
    ValtroPortal* m_pPortal = nullptr;
    std::unique_ptr<LanguageTexts> m_pTexts;
    ClientSettings m_settings;
    const orbisk::ManagedConfig m_managed;
    QTranslator* m_pTranslatorQt = nullptr;
    QTranslator* m_pTranslatorApp = nullptr;
    QString m_sTranslatorQtFile;
    QString m_sTranslatorAppFile;
    QAction* m_pActAbout = nullptr;
    QAction* m_pActSetting = nullptr;
    QAction* m_pActMachineCode = nullptr;
    QAction* m_pActCheckUpdate = nullptr;
    CertificateGuard* m_pCertificateGuard = nullptr;
    DownloadManager* m_pDownloads = nullptr;
    bool m_isProfileWatched = false;
    bool m_isPresenterInstalled = false;
    DesktopNotifications* m_pDesktopNotifications = nullptr;
    std::unique_ptr<PermissionStore> m_pPermissions;
    std::unique_ptr<KeychainCredentials> m_pKeychain;
    SignIn* m_pSignIn = nullptr;
    ClientCertificates* m_pClientCertificates = nullptr;
    std::function<int(const QString&, const QList<QSslCertificate>&)> m_certificateChooser;
    std::function<bool(const SignIn::Request&, KeychainCredentials::Credentials*, bool*)> m_credentialsAsker;
    PrintChooser m_printChooser;
    // The default server's page loaded ahead of the delayed login, and how that went.
    enum class Preload { None, Loading, Succeeded, Failed };
    Preload m_preload = Preload::None;
    QString m_sPreloadTarget;
    // Lives until the engine has printed.
    std::unique_ptr<QPrinter> m_pPrinter;
};

// The one main window, set by start-up right after its construction and never cleared.
extern CMainWindow* g_pMainWindow;

// Registered with the core; may run on any thread.
void onBrowserActive();
