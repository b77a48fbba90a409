#pragma once

#include <QObject>
#include <QVector>
#include <QWebEnginePage>

#include <functional>

// Brings a page back after its renderer process ended abnormally (a crash, an
// out-of-memory kill): logs why, reloads the page a moment later and says so with
// reloaded(). Past kMaxRestarts within kRestartWindowMs it stops reloading and
// gives up instead. Both signals come after the engine's handler has returned.
class PageRecovery : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMaxRestarts = 3;
    static constexpr qint64 kRestartWindowMs = 5 * 60 * 1000;
    static constexpr int kReloadDelayMs = 500;

    // A monotonic clock in milliseconds; replaced in tests.
    using Clock = std::function<qint64()>;

    explicit PageRecovery(QWebEnginePage* pPage, Clock clock = {});

signals:
    // The page is being loaded again.
    void reloaded();
    // The page stopped too often; it is not reloaded.
    void gaveUp();

public slots:
    void slot_terminated(QWebEnginePage::RenderProcessTerminationStatus status, int iExitCode);

private:
    QWebEnginePage* m_pPage;
    Clock m_clock;
    QVector<qint64> m_terminations;
    bool m_hasGivenUp = false;
};
