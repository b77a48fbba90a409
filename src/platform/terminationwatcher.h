#pragma once

#include <QObject>

namespace orbisk::platform {

// Turns the system's requests to end the process (SIGTERM and SIGINT on Linux, the
// end of the session on Windows) into a signal on the GUI thread, so the client can
// stop through its normal exit path instead of being killed mid-way.
class TerminationWatcher : public QObject
{
    Q_OBJECT

public:
    explicit TerminationWatcher(QObject* parent = nullptr);
    ~TerminationWatcher() override;

    // Whether the watcher is active (its handlers are installed).
    bool isActive() const;

signals:
    void terminationRequested();

private:
    bool m_isActive = false;
    bool m_ownsHandlers = false;
};

} // namespace orbisk::platform
