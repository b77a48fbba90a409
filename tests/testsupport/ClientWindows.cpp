#include "ClientWindows.h"

#include "DemoServer.h"
#include "TestEnvironment.h"

#include "login/CCombox.h"
#include "login/CLoginUI.h"
#include "login/ItemWidgetFile.h"
#include "mainwindow/CMainWindow.h"
#include "servers/ServerListFile.h"
#include "storage/AppPaths.h"
#include "web/CertificateGuard.h"
#include "web/CertificateTrustStore.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

namespace orbisk::test {

ClientWindows::~ClientWindows()
{
    stop();
}

void ClientWindows::start()
{
    window = new CMainWindow(managed, nullptr);
    g_pMainWindow = window;
    login = new CLoginUI(nullptr);
    window->setLoginUI(login);
    trustStore = new CertificateTrustStore(AppPaths::trustedCertificatesFile());
    trustStore->load();
    guard = new CertificateGuard(trustStore, [this] { return window->visibleWindow(); });
    window->setCertificateGuard(guard);
    window->initWebArea();
    window->slot_switch_language(window->settings().language);
}

void ClientWindows::present()
{
    window->presentForArguments(1);
}

void ClientWindows::stop()
{
    if (window)
        window->releaseWebEngineViews();
    delete guard;
    delete trustStore;
    delete login;
    delete window;
    guard = nullptr;
    trustStore = nullptr;
    login = nullptr;
    window = nullptr;
    g_pMainWindow = nullptr;
    g_isBrowserMode = false;
}

void ClientWindows::trust(const DemoServer& server)
{
    trustStore->trust(server.server(), server.fingerprint());
    QVERIFY(trustStore->save());
}

bool ClientWindows::loadSettled(const QString& sName, const QString& sUrl, int timeoutMs)
{
    window->handle_load(sName, sUrl, true);
    return waitUntil([this] { return window->m_isPageShown || login->m_pBtnContinue->isEnabled(); }, timeoutMs);
}

void ClientWindows::restart()
{
    stop();
    start();
}

void removeClientFiles()
{
    QDir(AppPaths::dataDir()).removeRecursively();
}

void writeServerFile(const ServerList& servers)
{
    QVERIFY(AppPaths::ensureDataDir());
    QVERIFY(ServerListFile::write(AppPaths::serverListFile(), servers));
}

ServerList readServerFile()
{
    return ServerListFile::read(AppPaths::serverListFile());
}

bool serverFileExists()
{
    return QFile::exists(AppPaths::serverListFile());
}

QStringList rowTexts(const CLoginUI* login)
{
    QStringList texts;
    for (int i = 0; i < login->m_pListWidget->count(); ++i) {
        const auto* row
            = qobject_cast<ItemWidgetFile*>(login->m_pListWidget->itemWidget(login->m_pListWidget->item(i)));
        texts << (row ? row->text() : QStringLiteral("<no row>"));
    }
    return texts;
}

ItemWidgetFile* rowOf(const CLoginUI* login, const QString& url)
{
    for (int i = 0; i < login->m_pListWidget->count(); ++i) {
        auto* row = qobject_cast<ItemWidgetFile*>(login->m_pListWidget->itemWidget(login->m_pListWidget->item(i)));
        if (row && row->accessibleName() == url)
            return row;
    }
    return nullptr;
}

QList<QAction*> serverActions(const CMainWindow* window)
{
    QList<QAction*> actions = window->m_pMenuServer->actions();
    if (!actions.isEmpty() && actions.last() == window->m_pActExitServer)
        actions.removeLast();
    return actions;
}

QStringList serverActionTexts(const CMainWindow* window)
{
    QStringList texts;
    for (const QAction* action : serverActions(window))
        texts << action->text();
    return texts;
}

QString checkedServerAction(const CMainWindow* window)
{
    for (const QAction* action : serverActions(window)) {
        if (action->isChecked())
            return action->text();
    }
    return QString();
}

QStringList shownControls(const CLoginUI* login)
{
    const QList<QPair<QString, const QWidget*>> controls{{QStringLiteral("tip"), login->m_pLabelTip},
        {QStringLiteral("logo"), login->m_pLabelLogo}, {QStringLiteral("title"), login->m_pLabelTitle},
        {QStringLiteral("addressCaption"), login->m_pLabelAddress},
        {QStringLiteral("aliasCaption"), login->m_pLabelAlias}, {QStringLiteral("address"), login->m_pEditAddress},
        {QStringLiteral("combo"), login->m_pComboServer}, {QStringLiteral("alias"), login->m_pEditAlias},
        {QStringLiteral("default"), login->m_pCheckDefault}, {QStringLiteral("continue"), login->m_pBtnContinue},
        {QStringLiteral("newServerLink"), login->m_pBtnNewServer},
        {QStringLiteral("selectServerLink"), login->m_pBtnSelectServer},
        {QStringLiteral("smallLogo"), login->m_pLabelSmallLogo},
        {QStringLiteral("copyright"), login->m_pLabelCopyright},
        {QStringLiteral("browserSentence"), login->m_pLabelBrowser},
        {QStringLiteral("browserLink"), login->m_pBtnExitBrowser}};
    QStringList shown;
    for (const auto& control : controls) {
        if (!control.second->isHidden())
            shown << control.first;
    }
    return shown;
}

} // namespace orbisk::test

namespace {
QString describe(const ServerEntry& entry)
{
    return QStringLiteral("{%1, %2, %3}").arg(entry.name, entry.url, entry.isDefault ? "default" : "-");
}
} // namespace

char* toString(const ServerEntry& entry)
{
    return qstrdup(describe(entry).toUtf8().constData());
}

char* toString(const ServerList& servers)
{
    QStringList parts;
    for (const ServerEntry& entry : servers)
        parts << describe(entry);
    return qstrdup(QStringLiteral("[%1]").arg(parts.join(QStringLiteral(", "))).toUtf8().constData());
}
