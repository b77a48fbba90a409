#include "ui/Resources.h"

#include <QIcon>
#include <QtGlobal>

static void initResourcesOutsideNamespace()
{
    Q_INIT_RESOURCE(resources);
}

static void cleanupResourcesOutsideNamespace()
{
    Q_CLEANUP_RESOURCE(resources);
}

namespace orbisk {

void initResources()
{
    initResourcesOutsideNamespace();
}

void cleanupResources()
{
    cleanupResourcesOutsideNamespace();
}

QIcon applicationIcon()
{
    // The "@2x" file beside it is taken in as the larger size.
    return QIcon(QStringLiteral(":/resource/image/orbisk/orbisk64.png"));
}

} // namespace orbisk
