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

Setting decide(const QByteArray& portValue, const QByteArray& engineValue)
{
    Setting setting;
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

void configure()
{
    const Setting setting = decide(qgetenv(kPortVariable), qgetenv(kEngineVariable));
    if (!setting.sProblem.isEmpty())
        qWarning().noquote() << setting.sProblem;
    if (!setting.engineValue.isEmpty())
        qputenv(kEngineVariable, setting.engineValue);
}

bool isRequested()
{
    return !qEnvironmentVariableIsEmpty(kEngineVariable);
}

} // namespace RemoteDebugging
