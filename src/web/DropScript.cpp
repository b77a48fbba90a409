#include "web/DropScript.h"

#include "web/JsStringLiteral.h"

#include <QFileInfo>

QString dropScript(const QUrl& url)
{
    static const QString sTemplate = QStringLiteral("ValtroDrage('%1','%2')");
    const QString sPath = url.toLocalFile();
    const QString sKind = QFileInfo(sPath).isDir() ? QStringLiteral("folder") : QStringLiteral("file");
    return sTemplate.arg(escapeJsStringLiteral(sKind)).arg(escapeJsStringLiteral(sPath));
}
