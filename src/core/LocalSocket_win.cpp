#include "core/ListenSocket.h"

namespace orbisk {

// On Windows SO_REUSEADDR would let another socket take the port over; SO_EXCLUSIVEADDRUSE
// forbids any other bind to it while this socket is open.
void configureListenSocket(::socket_t sock)
{
    BOOL yes = TRUE;
    setsockopt(sock, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&yes), sizeof(yes));
}

} // namespace orbisk
