// Saving on a full disk, for the tests of every file the client rewrites.
#pragma once

#include <QString>

#include <functional>

namespace orbisk::test {

// How the disk is made full.
enum class FullDisk {
    // RLIMIT_FSIZE far below the new file's size: a write stops part-way (EFBIG).
    FileSizeLimit,
    // A small tmpfs filled to the last page: writes fail (ENOSPC). Needs a mount
    // namespace, which not every machine grants.
    SmallTmpfs,
};

enum class FullDiskOutcome {
    Held,
    Broken,
    Unavailable,
};

// Runs a save on a full disk in a child process, so that neither the limit nor the
// mount reaches the test itself. In the child, prepare(dir) writes the old files while
// there is still room, then the disk is made full and check(dir) saves and checks the
// result; it returns whether everything held and tells why not with qWarning.
// dir is an empty folder under scratch (or on the tmpfs mounted there).
FullDiskOutcome runOnFullDisk(FullDisk kind, const QString& scratch, const std::function<void(const QString&)>& prepare,
    const std::function<bool(const QString&)>& check);

} // namespace orbisk::test
