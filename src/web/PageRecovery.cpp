#include "web/PageRecovery.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <memory>

PageRecovery::PageRecovery(QWebEnginePage* pPage, Clock clock)
    : QObject(pPage)
    , m_pPage(pPage)
    , m_clock(std::move(clock))
{
    if (!m_clock) {
        auto timer = std::make_shared<QElapsedTimer>();
        timer->start();
        m_clock = [timer] { return timer->elapsed(); };
    }
    connect(pPage, &QWebEnginePage::renderProcessTerminated, this, &PageRecovery::slot_terminated);
}

void PageRecovery::slot_terminated(QWebEnginePage::RenderProcessTerminationStatus status, int iExitCode)
{
    qWarning() << "the page's renderer process ended: status" << status << "exit code" << iExitCode;
    if (status == QWebEnginePage::NormalTerminationStatus || m_hasGivenUp)
        return;
    const qint64 now = m_clock();
    m_terminations.erase(std::remove_if(m_terminations.begin(), m_terminations.end(),
                             [now](qint64 at) { return now - at >= kRestartWindowMs; }),
        m_terminations.end());
    m_terminations.append(now);
    // Never inside the engine's handler: the page and its process are still being torn down.
    if (m_terminations.size() > kMaxRestarts) {
        m_hasGivenUp = true;
        qWarning() << "the page stopped" << m_terminations.size() << "times within five minutes; not reloaded";
        QTimer::singleShot(0, this, &PageRecovery::gaveUp);
        return;
    }
    QTimer::singleShot(kReloadDelayMs, this, [this] {
        m_pPage->triggerAction(QWebEnginePage::Reload);
        emit reloaded();
    });
}
