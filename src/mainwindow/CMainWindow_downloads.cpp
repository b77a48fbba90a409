// CMainWindow: the downloads window and its entry in the help menu.
#include "mainwindow/CMainWindow.h"

#include "dialogs/CDownloadsUI.h"
#include "dialogs/CMiniTray.h"
#include "ui/DialogPlacement.h"
#include "ui/LanguageTexts.h"
#include "web/DownloadManager.h"
#include "web/NotificationCenter.h"

#include <QAction>
#include <QWebEngineProfile>

void CMainWindow::setDownloadManager(DownloadManager* pDownloads)
{
    m_pDownloads = pDownloads;
    m_pActDownloads->setVisible(true);
    if (m_pTray) {
        connect(pDownloads, &DownloadManager::downloadCompleted, m_pTray, &CMiniTray::slot_downloadCompleted);
        connect(pDownloads, &DownloadManager::downloadFailed, m_pTray, &CMiniTray::slot_downloadFailed);
    }
}

QWebEngineProfile* CMainWindow::webProfile()
{
    // Asking for the profile starts the engine, so it is asked for only where a page is
    // made; a browser-mode start that loads no server then runs no engine at all.
    QWebEngineProfile* pProfile = QWebEngineProfile::defaultProfile();
    if (m_pDownloads && !m_isProfileWatched) {
        m_pDownloads->watch(pProfile);
        m_isProfileWatched = true;
    }
    if (!m_isPresenterInstalled) {
        m_pNotifications->install(pProfile);
        m_isPresenterInstalled = true;
    }
    return pProfile;
}

void CMainWindow::slot_downloadsUI()
{
    if (!m_pDownloads)
        return;
    // Made when first asked for: most starts never open it.
    if (!m_pDownloadsUI) {
        m_pDownloadsUI = new CDownloadsUI(m_pDownloads, nullptr);
        m_pDownloadsUI->updateTexts(shownTexts());
    }
    // Placed like the dialogs the first time; afterwards it stays where the user put it.
    if (!m_pDownloadsUI->testAttribute(Qt::WA_Moved)) {
        m_pDownloadsUI->move(dialogPosition(dialogReference()->geometry(), m_pDownloadsUI->size()));
    }
    m_pDownloadsUI->showNormal();
    m_pDownloadsUI->raise();
    m_pDownloadsUI->activateWindow();
}
