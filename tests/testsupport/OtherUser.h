#pragma once

#include <QString>

#include <sys/types.h>

namespace orbisk::test {

// Tests that play another user of this computer take the user and group nobody.
constexpr uid_t kNobody = 65534;

// Why this process cannot act as another user; empty when it can (it runs as root, as CI does).
QString otherUserUnavailableReason();

// In a forked child: drops every supplementary group and takes the group and user nobody.
// Plain system calls only, safe after a fork of a threaded process.
bool becomeNobody();

} // namespace orbisk::test
