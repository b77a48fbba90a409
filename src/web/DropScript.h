#pragma once

#include <QString>
#include <QUrl>

// The script the drop bridge runs for one dropped URL: a call of the page's
// ValtroDrage(kind, path). The kind is "folder" for an existing directory and "file"
// otherwise (also for a missing path and for a URL that is not a local file, whose
// path is empty). Kind and path are escaped for the single-quoted literals of the
// call, so the page receives the path exactly as on disk.
QString dropScript(const QUrl& url);
