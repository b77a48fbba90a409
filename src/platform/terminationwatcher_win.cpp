#include "platform/terminationwatcher.h"

#include <QGuiApplication>
#include <QSessionManager>

namespace orbisk::platform {

// A Windows GUI process receives no POSIX signals; the end of the user's session
// reaches it as the session manager's commit request.
TerminationWatcher::TerminationWatcher(QObject* parent)
    : QObject(parent)
{
    auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!application)
        return;
    connect(application, &QGuiApplication::commitDataRequest, this,
        [this](QSessionManager&) { emit terminationRequested(); });
    m_isActive = true;
}

TerminationWatcher::~TerminationWatcher() = default;

bool TerminationWatcher::isActive() const
{
    return m_isActive;
}

} // namespace orbisk::platform
