#include "web/RemoteDebugging.h"

#include <QDebug>

namespace RemoteDebugging {

namespace {
const int kMaxPort = 65535;
const QByteArray kLoopback = "127.0.0.1:";

// A decimal port number 1-65535 with no sign, blanks or other characters; 0 otherwise.
int parsePort(const QByteArray& value)
{
    if (value.isEmpty() || value.size() > 5)
        return 0;
    for (const char c : value) {
        if (c < '0' || c > '9')
            return 0;
    }
    const int port = value.toInt();
    return port <= kMaxPort ? port : 0;
}
} // namespace

Setting decide(const QByteArray& portValue, const QByteArray& engineValue, bool isAllowed)
{
    Setting setting;
    if (!isAllowed) {
        setting.isEngineCleared = !engineValue.isEmpty();
        if (!engineValue.isEmpty() || !portValue.isEmpty())
            setting.sProblem = QStringLiteral("remote debugging is turned off by the administrator: %1 and %2 refused")
                                   .arg(QLatin1String(kPortVariable), QLatin1String(kEngineVariable));
        return setting;
    }
    if (!engineValue.isEmpty() || portValue.isEmpty())
        return setting;
    const int port = parsePort(portValue);
    if (port == 0) {
        setting.sProblem = QStringLiteral("%1 is not a port number from 1 to 65535: \"%2\"; remote debugging stays off")
                               .arg(QLatin1String(kPortVariable), QString::fromLocal8Bit(portValue));
        return setting;
    }
    setting.engineValue = kLoopback + QByteArray::number(port);
    return setting;
}

void configure(bool isAllowed)
{
    const Setting setting = decide(qgetenv(kPortVariable), qgetenv(kEngineVariable), isAllowed);
    if (!setting.sProblem.isEmpty())
        qWarning().noquote() << setting.sProblem;
    if (setting.isEngineCleared)
        qunsetenv(kEngineVariable);
    if (!setting.engineValue.isEmpty())
        qputenv(kEngineVariable, setting.engineValue);
}

bool isRequested()
{
    return !qEnvironmentVariableIsEmpty(kEngineVariable);
}

} // namespace RemoteDebugging
