#include "web/DropScripts.h"

#include "web/JsStringLiteral.h"

#include <QFileInfo>

QStringList dropScripts(const QList<QUrl>& urls)
{
    static const QString sTemplate = QStringLiteral("ValtroDrage('%1','%2')");
    QStringList scripts;
    scripts.reserve(urls.size());
    for (const QUrl& url : urls) {
        const QString sPath = url.toLocalFile();
        const QString sKind = QFileInfo(sPath).isDir() ? QStringLiteral("folder") : QStringLiteral("file");
        scripts.append(sTemplate.arg(escapeJsStringLiteral(sKind)).arg(escapeJsStringLiteral(sPath)));
    }
    return scripts;
}
