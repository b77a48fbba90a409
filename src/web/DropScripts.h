#pragma once

#include <QList>
#include <QStringList>
#include <QUrl>

// The scripts the drop bridge runs for the URLs of one drop: one call of the page's
// ValtroDrage(kind, path) per URL, in the drop's order. The kind is "folder" for an
// existing directory and "file" otherwise (also for a missing path and for a URL
// that is not a local file, whose path is empty). Kind and path are escaped for the
// single-quoted literals of the call, so the page receives the path exactly as on disk.
QStringList dropScripts(const QList<QUrl>& urls);
