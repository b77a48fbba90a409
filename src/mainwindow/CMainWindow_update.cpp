// CMainWindow: starting the update check.
#include "mainwindow/CMainWindow.h"

#include "ui/DialogPlacement.h"
#include "update/CCheckUpdateUI.h"

void CMainWindow::slot_checkupdate(bool checkType)
{
    if (!m_pCheckUpdateUI) {
        auto* dialog = new CCheckUpdateUI(shownTexts(), checkType, nullptr);
        dialog->setManifestUrl(m_managed.updateManifestUrl);
        m_pCheckUpdateUI = dialog;
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
