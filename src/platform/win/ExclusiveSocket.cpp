#include "platform/win/ExclusiveSocket.h"

namespace orbisk::platform::win {

bool makeAddressExclusive(SOCKET sock)
{
    const BOOL yes = TRUE;
    return setsockopt(sock, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&yes), sizeof(yes)) == 0;
}

} // namespace orbisk::platform::win
