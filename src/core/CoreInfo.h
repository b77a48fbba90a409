// Names, versions and fixed values of the core services, shared by the core and its callers.
#pragma once

#include <QString>

namespace orbisk {

// The application as it names itself to pages on this machine.
inline constexpr const char kApplicationName[] = "Orbisk Client";

// The core's own version, its build identifier and the version of the local service protocol.
inline constexpr const char kCoreVersion[] = "1.0.0";
inline constexpr const char kCoreBuildId[] = "1";
inline constexpr const char kLocalProtocolVersion[] = "1";

// The client version reported when the application sets none (QCoreApplication::applicationVersion()).
inline constexpr const char kDefaultClientVersion[] = "3.0.0 Build 26";

// The local HTTP service listens on the loopback interface only, on this port.
inline constexpr const char kLocalServiceHost[] = "127.0.0.1";
inline constexpr quint16 kLocalServicePort = 9887;

// The core interface level that this core implements (the integer given to the ValtroCore constructor).
inline constexpr int kCoreInterfaceLevel = 1;

// Which side on this machine currently drives the service: nobody yet, the client, or a web browser.
enum class ActiveSide { None, Client, Browser };

// "none", "client" or "browser", as the local service reports it.
QString activeSideName(ActiveSide side);

// The application's version text if it set one, else kDefaultClientVersion.
QString clientVersionText();

} // namespace orbisk
