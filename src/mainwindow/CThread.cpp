#include "mainwindow/CThread.h"

#include "update/CCheckUpdateUI.h"

#include <QThread>

CThread::CThread(QObject* parent)
    : QObject(parent)
{ }

CThread::~CThread()
{
    if (m_pThread) {
        m_pThread->quit();
        m_pThread->wait();
        delete m_pThread;
    }
}

void CThread::slot_Checkupdate()
{
    if (CCheckUpdateUI* updateUI = m_pUpdateUI.load())
        QMetaObject::invokeMethod(updateUI, &CCheckUpdateUI::requestVersion, Qt::QueuedConnection);
}
