#include "servers/ServerOriginCache.h"

#include <memory>

namespace orbisk {

std::function<OriginSet()> ServerOriginCache::sourceFor(const QString& sPath)
{
    auto pCache = std::make_shared<ServerOriginCache>(sPath);
    return [pCache] { return pCache->origins(); };
}

bool ServerOriginCache::Stamp::operator==(const Stamp& other) const
{
    return isPresent == other.isPresent && size == other.size && modified == other.modified;
}

ServerOriginCache::ServerOriginCache(const QString& sPath)
    : m_path(std::filesystem::u8path(sPath.toStdString()))
    , m_sPath(sPath)
{ }

ServerOriginCache::Stamp ServerOriginCache::stampNow() const
{
    Stamp stamp;
    std::error_code error;
    stamp.size = std::filesystem::file_size(m_path, error);
    if (error)
        return {};
    stamp.modified = std::filesystem::last_write_time(m_path, error);
    if (error)
        return {};
    stamp.isPresent = true;
    return stamp;
}

OriginSet ServerOriginCache::origins()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    // Looked at before the file is read: a save in between leaves a stamp older than what
    // was read, so the next request reads again.
    const Stamp stamp = stampNow();
    if (!m_isRead || !(stamp == m_stamp)) {
        m_origins = stamp.isPresent ? serverListFileOrigins(m_sPath) : OriginSet();
        m_stamp = stamp;
        m_isRead = true;
    }
    return m_origins;
}

} // namespace orbisk
