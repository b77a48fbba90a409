#pragma once

#include "servers/ServerOrigins.h"

#include <QString>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>

namespace orbisk {

// The origins of the servers in the server-list file, read again only when the file's
// size or modification time has changed (every save rewrites the file, so a server saved a
// moment ago counts at once). Asking costs one look at the file's metadata instead of
// reading and parsing a list that may hold thousands of servers. Thread-safe.
class ServerOriginCache
{
public:
    explicit ServerOriginCache(const QString& sPath);

    OriginSet origins();

    // A thread-safe source of the origins in the file at sPath, for the local service.
    static std::function<OriginSet()> sourceFor(const QString& sPath);

private:
    struct Stamp
    {
        bool isPresent = false;
        std::uintmax_t size = 0;
        std::filesystem::file_time_type modified;

        bool operator==(const Stamp& other) const;
    };
    Stamp stampNow() const;

    const std::filesystem::path m_path;
    const QString m_sPath;
    std::mutex m_mutex;
    bool m_isRead = false;
    Stamp m_stamp;
    OriginSet m_origins;
};

} // namespace orbisk
