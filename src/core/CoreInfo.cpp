#include "core/CoreInfo.h"

#include <QCoreApplication>

namespace orbisk {

QString activeSideName(ActiveSide side)
{
    switch (side) {
    case ActiveSide::Client:
        return QStringLiteral("client");
    case ActiveSide::Browser:
        return QStringLiteral("browser");
    case ActiveSide::None:
        break;
    }
    return QStringLiteral("none");
}

QString clientVersionText()
{
    const QString sVersion = QCoreApplication::applicationVersion();
    return sVersion.isEmpty() ? QString::fromLatin1(kDefaultClientVersion) : sVersion;
}

} // namespace orbisk
