#pragma once

// The network set-up of the page and the update check: the system's proxy unless an
// administrator set one (an explicit proxy or a proxy auto-configuration script), and
// the hosts the page may sign in to with the user's system logon: the administrator's
// list, else the hosts of the servers the client knows at start.

#include "core/ManagedConfig.h"

#include <QByteArray>

namespace orbisk {

// The engine's variable of extra Chromium switches.
inline constexpr char kEngineFlagsVariable[] = "QTWEBENGINE_CHROMIUM_FLAGS";

// The hosts the engine may sign in to with the user's logon: the administrator's list,
// else the servers' hosts, each once.
QStringList signOnHosts(const ManagedConfig& managed, const QStringList& serverHosts);

// current (the variable's value as found, kept first) with the switches the managed
// choices and the servers' hosts need.
QByteArray engineFlags(const QByteArray& current, const ManagedConfig& managed, const QStringList& serverHosts);

// Sets the managed proxy as the application's proxy, or else has the engine and every
// network access manager follow the system's proxy configuration; sets the engine's
// switches. Must run before the engine starts.
void applyNetwork(const ManagedConfig& managed, const QStringList& serverHosts);

} // namespace orbisk
