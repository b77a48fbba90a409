#pragma once

#include <QString>

// What the client does with a file of its own that it cannot read: it is read as
// empty, but first moved aside, so the next save (which replaces the file) cannot
// destroy what a person could still recover.
namespace MalformedFile {

// path + ".bad", or ".bad.2", ".bad.3", ... when that name is taken.
QString asidePath(const QString& path);

// Renames the file at path to asidePath(path) and logs where, so the next read does
// not find it again; returns whether it was moved.
bool moveAside(const QString& path);

} // namespace MalformedFile
