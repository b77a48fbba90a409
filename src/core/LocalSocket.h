// Socket options of the local service's listening socket; one implementation per system.
#pragma once

#include <httplib.h>

namespace orbisk {

// Makes the port exclusive to this socket: a second listener, of this or any other
// process, fails to bind it instead of sharing or taking over its connections. A port
// whose last listener has just closed can be bound again at once.
void configureListenSocket(::socket_t sock);

} // namespace orbisk
