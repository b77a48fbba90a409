#include "core/ListenSocket.h"

#include <sys/socket.h>

namespace orbisk {

// SO_REUSEADDR only allows binding over connections left in TIME_WAIT; unlike
// httplib's default SO_REUSEPORT it never lets two sockets listen on one port.
void configureListenSocket(::socket_t sock)
{
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
}

} // namespace orbisk
