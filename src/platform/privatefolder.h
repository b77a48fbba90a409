#pragma once

#include <QString>

namespace orbisk::platform {

// Whether a folder belongs to the current user and no other user may enter it, so
// that nothing in it can have been put there, or be reached, by someone else.
bool isPrivateFolder(const QString& path);

} // namespace orbisk::platform
