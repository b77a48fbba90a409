#include "ui/HighDpi.h"

#include <QCoreApplication>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>

namespace orbisk {

void enableHighDpiScaling()
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
}

QPixmap imagePixmap(const QString& path)
{
    // An icon made from a file also takes the "@2x" file beside it, and hands out the
    // rendering that suits the screens' pixel ratio.
    return QIcon(path).pixmap(QImageReader(path).size());
}

} // namespace orbisk
