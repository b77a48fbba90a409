#pragma once

// The network choices an administrator makes for the page and the update check: an
// explicit proxy, a proxy auto-configuration script and the hosts the page may sign in
// to with the user's system logon.

#include "core/ManagedConfig.h"

#include <QByteArray>

namespace orbisk {

// The engine's variable of extra Chromium switches.
inline constexpr char kEngineFlagsVariable[] = "QTWEBENGINE_CHROMIUM_FLAGS";

// sCurrent (the variable's value as found) with the switches the managed choices need.
QByteArray managedEngineFlags(const QByteArray& current, const ManagedConfig& managed);

// Sets the managed proxy as the application's proxy (the engine and every network
// access manager use it) and the engine's switches. Must run before the engine starts.
void applyManagedNetwork(const ManagedConfig& managed);

} // namespace orbisk
