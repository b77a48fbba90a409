// CMainWindow: starting the update check on its worker thread.
#include "mainwindow/CMainWindow.h"

#include "login/CLoginUI.h"
#include "mainwindow/CThread.h"
#include "mainwindow/DialogPlacement.h"
#include "update/CCheckUpdateUI.h"

#include <QThread>

void CMainWindow::slot_checkupdate(bool checkType)
{
    if (!m_pCheckWorker) {
        auto* worker = new CThread(nullptr);
        worker->m_pThread = new QThread(nullptr);
        worker->moveToThread(worker->m_pThread);
        worker->m_pThread->start(QThread::InheritPriority);
        connect(worker, SIGNAL(sig_StartCheck()), worker, SLOT(slot_Checkupdate()));
        m_pCheckWorker = worker;
        // The main window lives until the process ends; should it go earlier, the
        // worker's thread is stopped and the worker goes with it.
        connect(this, &QObject::destroyed, [worker] { delete worker; });
    }
    if (!m_pCheckUpdateUI) {
        auto* dialog = new CCheckUpdateUI(checkType, nullptr);
        m_pCheckUpdateUI = dialog;
        connect(this, &QObject::destroyed, [dialog] { delete dialog; });
    }

    const QWidget* reference = isVisible() || !m_pLoginUI ? static_cast<const QWidget*>(this) : m_pLoginUI;
    m_pCheckUpdateUI->move(dialogPosition(reference->geometry(), m_pCheckUpdateUI->size()));

    m_pCheckWorker->m_pUpdateUI = m_pCheckUpdateUI;
    emit m_pCheckWorker->sig_StartCheck();
}
