#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// The one way the client rewrites a file of its own. The new content goes to a
// temporary file beside the target; only when every byte was written and flushed
// without error is it renamed over the target. On any shortfall (a full disk, a
// file-size limit, a read-only folder) the temporary file is removed, the old file
// stays exactly as it was, and the call returns false.
//
// Qt 5.15's QSaveFile alone is not enough: it commits even when its final flush
// fails, which on a full disk leaves an empty or cut file behind a "success".
namespace AtomicFile {

// Checks the bytes about to be committed; returning false refuses the save.
using Verifier = std::function<bool(const QByteArray&)>;

// Replaces the file at path with bytes. When verify is given, the bytes are checked
// first and nothing is written unless it accepts them. Logs the reason of a failure.
bool write(const QString& path, const QByteArray& bytes, const Verifier& verify = {});

} // namespace AtomicFile
