#pragma once

// The listening socket of the local service on Windows. Plain Win32, no Qt.

#include <winsock2.h>

namespace orbisk::platform::win {

// Makes the port exclusive to sock, to be called before bind: while sock is open no
// other socket, of this or any other process, can bind the port, not even one that
// asks for SO_REUSEADDR (which on Windows would otherwise let it take the port's
// connections over). False if the system refused the option.
bool makeAddressExclusive(SOCKET sock);

} // namespace orbisk::platform::win
