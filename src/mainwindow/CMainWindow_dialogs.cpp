// CMainWindow: the help menu's information dialogs, each run modally and centred on
// whichever of the two windows is visible.
#include "mainwindow/CMainWindow.h"

#include "dialogs/CAboutUI.h"
#include "dialogs/CMachineCodeUI.h"
#include "dialogs/CSetting.h"
#include "login/CLoginUI.h"
#include "mainwindow/DialogPlacement.h"

namespace {

// Centres a freshly built dialog on the main window while it shows a page, else on
// the login window, and runs it modally; the result is of no interest.
void runCentred(const CMainWindow* window, QDialog& dialog)
{
    const QWidget* reference
        = window->isVisible() || !window->m_pLoginUI ? static_cast<const QWidget*>(window) : window->m_pLoginUI;
    dialog.move(dialogPosition(reference->geometry(), dialog.size()));
    dialog.exec();
}

} // namespace

void CMainWindow::slot_aboutUI()
{
    CAboutUI dialog(nullptr);
    runCentred(this, dialog);
}

void CMainWindow::slot_settingUI()
{
    CSetting dialog(nullptr);
    runCentred(this, dialog);
}

void CMainWindow::slot_machineCode()
{
    CMachineCodeUI dialog(nullptr);
    runCentred(this, dialog);
}
