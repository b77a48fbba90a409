#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class ValtroHttpd;

// Starts the local service and, while its port cannot be bound, tries again every
// kRetryIntervalMs for at most kRetryWindowMs. A client restarted at once can find the port
// still held: on Windows an exclusive listener cannot bind while connections that the
// previous run accepted are still closing. A port that stays taken (on a terminal server,
// by the client of another session) leaves the client running without the service. The
// tries run on the starter's thread (the GUI thread) between its events, never blocking it.
class LocalServiceStarter : public QObject
{
    Q_OBJECT

public:
    static constexpr int kRetryIntervalMs = 250;
    static constexpr int kRetryWindowMs = 3000;

    // pHttpd must outlive the starter; iTimeoutMs goes to every ValtroHttpd::StartHttpdServer.
    LocalServiceStarter(ValtroHttpd* pHttpd, int iTimeoutMs, QObject* pParent = nullptr);

    // Tries at once, so that a free port is served when this returns. finished follows once,
    // with the ValtroHttpd::StartResult of the last try: at once unless the port was taken.
    void start();
    // No further tries, and no finished.
    void cancel();
    bool isTrying() const;

signals:
    void finished(int iResult);

private:
    void tryStart();

    ValtroHttpd* const m_pHttpd;
    const int m_iTimeoutMs;
    QTimer m_retryTimer;
    QElapsedTimer m_sinceStart;
};
