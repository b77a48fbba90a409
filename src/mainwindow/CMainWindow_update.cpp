// CMainWindow: starting the update check.
#include "mainwindow/CMainWindow.h"

#include "ui/DialogPlacement.h"
#include "update/CCheckUpdateUI.h"
#include "web/SignIn.h"

#include <QAuthenticator>
#include <QNetworkProxy>

void CMainWindow::slot_checkupdate(bool checkType)
{
    if (!m_pCheckUpdateUI) {
        auto* dialog = new CCheckUpdateUI(shownTexts(), checkType, nullptr);
        dialog->setManifestUrl(m_managed.updateManifestUrl);
        // The web engine runs an administrator's proxy script for the page; the update
        // check runs it itself. An explicit proxy wins over the script, as for the page.
        if (m_managed.proxyHost.isEmpty() && m_managed.proxyPacUrl.isValid())
            dialog->setProxyScript(m_managed.proxyPacUrl);
        m_pCheckUpdateUI = dialog;
        // A proxy that asks for sign-in: a check the user started may ask, a quiet one
        // only uses what is remembered and otherwise fails quietly.
        connect(&dialog->m_manager, &QNetworkAccessManager::proxyAuthenticationRequired, this,
            [this, dialog](const QNetworkProxy& proxy, QAuthenticator* pAuthenticator) {
                m_pSignIn->answerProxy(proxy, pAuthenticator, !dialog->m_checkType);
            });
        connect(this, &QObject::destroyed, [dialog] { delete dialog; });
    }
    m_pCheckUpdateUI->move(dialogPosition(dialogReference()->geometry(), m_pCheckUpdateUI->size()));
    if (!m_managed.updateCheck) {
        m_pCheckUpdateUI->showManaged();
        return;
    }
    // Started once the event loop runs again, so the menu that asked has closed first.
    QMetaObject::invokeMethod(m_pCheckUpdateUI, &CCheckUpdateUI::requestVersion, Qt::QueuedConnection);
}
