#pragma once

#include <QStringList>
#include <QtGlobal>

// What a running process shows the system, read from /proc (Linux).
namespace orbisk::test {

// The TCP addresses the process listens on, as "address:port" ("127.0.0.1:9887",
// "[::]:80"), sorted.
QStringList listeningTcpAddresses(qint64 pid);

// How many web engine helper processes (QtWebEngineProcess) descend from the process.
int engineProcessCount(qint64 pid);

} // namespace orbisk::test
