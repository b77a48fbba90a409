#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// A small file of the client's own, read and saved whole (the certificate exceptions,
// the pages' permissions). Reading never takes more than such a file can hold, and a file
// the client cannot take is moved aside (see MalformedFile) rather than lost at the next save.
namespace OwnFile {

// Far more than any such file holds; a bigger one is not one of ours.
constexpr qint64 kMaxBytes = 1024 * 1024;

// Gives the bytes of the file at path to parse. A missing or unreadable file is read as
// nothing: parse is not called and the result is true. A file over kMaxBytes, or one
// that parse refuses, is moved aside and the result is false: the caller starts empty.
bool read(const QString& path, const std::function<bool(const QByteArray&)>& parse);

// Replaces the file at path with bytes (AtomicFile), making its folder first: a fresh
// account may have none. False when nothing was saved, also for an empty path.
bool save(const QString& path, const QByteArray& bytes);

} // namespace OwnFile
