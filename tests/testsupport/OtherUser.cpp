#include "OtherUser.h"

#include <grp.h>
#include <unistd.h>

namespace orbisk::test {

QString otherUserUnavailableReason()
{
    return ::geteuid() == 0
        ? QString()
        : QStringLiteral("acting as another user (nobody) needs root; run the tests as root, as CI does");
}

bool becomeNobody()
{
    return ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
}

} // namespace orbisk::test
