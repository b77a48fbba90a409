#include "servers/ServerOrigins.h"

#include "servers/ServerListCodec.h"

#include <QFile>

namespace orbisk {

OriginSet serverOrigins(const ServerList& servers)
{
    OriginSet origins;
    for (const ServerEntry& server : servers) {
        const QString sOrigin = webOriginOf(server.url);
        if (!sOrigin.isEmpty())
            origins.insert(sOrigin);
    }
    return origins;
}

OriginSet serverListFileOrigins(const QString& sPath)
{
    QFile file(sPath);
    if (!file.open(QIODevice::ReadOnly) || file.size() > ServerListCodec::kMaxDocumentBytes)
        return {};
    return serverOrigins(ServerListCodec::parse(file.readAll()));
}

} // namespace orbisk
