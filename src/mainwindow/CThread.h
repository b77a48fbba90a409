#pragma once

#include <QObject>

#include <atomic>

class CCheckUpdateUI;
class QThread;

// The update-check worker. It lives on a thread of its own and only hands each start
// of a check over to the GUI thread, which owns the update dialog and its network access.
class CThread : public QObject
{
    Q_OBJECT

public:
    explicit CThread(QObject* parent = nullptr);
    // Stops and deletes m_pThread. Call from the thread that created the worker.
    ~CThread() override;

    // The thread the worker lives on; started by the main window on the first check.
    QThread* m_pThread = nullptr;
    // The dialog whose check the worker starts, written by the GUI thread before each
    // sig_StartCheck and read on the worker's thread.
    std::atomic<CCheckUpdateUI*> m_pUpdateUI{nullptr};

signals:
    void sig_StartCheck();

public slots:
    // Has the dialog's requestVersion run on the dialog's own thread.
    void slot_Checkupdate();
};
