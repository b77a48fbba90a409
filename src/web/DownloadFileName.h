#pragma once

#include <QString>

#include <functional>

// The rule that turns the file name a server suggests for a download into the name
// the client stores it under.
namespace DownloadFileName {

// The name used when nothing of the suggestion is left.
extern const QString kFallbackName;

// Reduces a suggested name to a plain file name that every system accepts: only the
// part after the last '/' or '\', without control and text-direction characters,
// with <>:"|?* replaced by '_', without leading dots (no hidden files) and without
// leading or trailing spaces and trailing dots; a name Windows reserves for a device
// (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with any extension) gets a leading '_'. A
// name too long for the file systems is shortened, keeping its extension. An empty
// result becomes kFallbackName.
QString plainFileName(const QString& sSuggested);

// The first of "name.ext", "name (1).ext", "name (2).ext", ... for which isTaken
// returns false. A ".tar.*" ending counts as one extension.
QString uniqueFileName(const QString& sName, const std::function<bool(const QString&)>& isTaken);

} // namespace DownloadFileName
