#include "app/Resources.h"

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

} // namespace orbisk
