// CMainWindow: the help menu's information dialogs and the browser-mode question, each
// run modally and centred on whichever of the two windows is visible.
#include "mainwindow/CMainWindow.h"

#include "core/ValtroCore.h"
#include "dialogs/CAboutUI.h"
#include "dialogs/CMachineCodeUI.h"
#include "dialogs/CSetting.h"
#include "dialogs/CSwitchModeUI.h"
#include "login/CLoginUI.h"
#include "ui/DialogPlacement.h"
#include "ui/LanguageTexts.h"

const QWidget* CMainWindow::dialogReference() const
{
    return isVisible() || !m_pLoginUI ? static_cast<const QWidget*>(this) : m_pLoginUI;
}

void CMainWindow::runCentred(QDialog& dialog) const
{
    dialog.move(dialogPosition(dialogReference()->geometry(), dialog.size()));
    dialog.exec();
}

void CMainWindow::slot_aboutUI()
{
    CAboutUI dialog(shownTexts(), nullptr);
    runCentred(dialog);
}

void CMainWindow::slot_settingUI()
{
    CSetting dialog(shownTexts(), m_settings, nullptr);
    dialog.lockManaged(m_managed.startWithSystem, m_managed.minimizeToTray);
    runCentred(dialog);
}

void CMainWindow::slot_machineCode()
{
    CMachineCodeUI dialog(shownTexts(), m_pCore ? m_pCore->Get_Deviceuuid() : QString(), nullptr);
    runCentred(dialog);
}

void CMainWindow::slot_exitBrowserModel()
{
    CSwitchModeUI dialog(shownTexts(), nullptr);
    dialog.move(dialogPosition(m_pLoginUI->geometry(), dialog.size()));
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Leave the server first, so the login window shows its controls on a client that
    // no longer holds a page.
    slot_exitServer();
    m_pLoginUI->setBrowserModel(false);
}
