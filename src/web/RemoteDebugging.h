#pragma once

#include <QByteArray>
#include <QString>

// Whether the web engine serves its remote-debugging protocol on a TCP port. It never
// does unless asked: a web developer sets ORBISK_REMOTE_DEBUGGING_PORT (bound to the
// loopback address only), or sets the engine's own QTWEBENGINE_REMOTE_DEBUGGING, which
// is then left exactly as given.
namespace RemoteDebugging {

constexpr const char* kPortVariable = "ORBISK_REMOTE_DEBUGGING_PORT";
constexpr const char* kEngineVariable = "QTWEBENGINE_REMOTE_DEBUGGING";

struct Setting
{
    // The value the engine's variable must hold; empty when it stays as it is.
    QByteArray engineValue;
    // Why a request was not followed; empty when there is nothing to say.
    QString sProblem;
    // The engine's variable must go: an administrator turned remote debugging off.
    bool isEngineCleared = false;
};

// Decides from the two variables' values; an empty value counts as unset. Where
// isAllowed is false (an administrator's choice) neither is followed.
Setting decide(const QByteArray& portValue, const QByteArray& engineValue, bool isAllowed = true);

// Applies decide() to the process environment. Must run before the first web engine
// view or page of the process exists; the engine reads the variable once.
void configure(bool isAllowed = true);

// Whether the engine will open (or has opened) a remote-debugging port.
bool isRequested();

} // namespace RemoteDebugging
