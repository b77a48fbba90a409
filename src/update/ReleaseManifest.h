#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QUrl>

#include <optional>

// The release manifest: the JSON document on the maker's update server that names the
// current release of the client and where to download it.
struct ReleaseManifest
{
    // The top-level release object of this system (kReleaseKey) as read: empty when
    // absent or not an object.
    QJsonObject release;
    // Its "version" and "downloadUrl"; a missing key or a value that is not a string
    // reads as an empty string.
    QString sVersion;
    QString sDownloadUrl;

    // Reads a manifest from a reply body, up to its first zero byte, taking the release
    // under the given key. Empty when the body is not JSON or its top level is not an object.
    static std::optional<ReleaseManifest> fromJson(const QByteArray& body, const QString& sReleaseKey);
    // fromJson with this system's key.
    static std::optional<ReleaseManifest> fromJson(const QByteArray& body);

    // Where the manifest is fetched from: the override when one is given (see
    // kOverrideVariable), otherwise the maker's update server. An override that is
    // not an absolute http or https address yields an invalid URL, so the check
    // fails instead of asking some other server or reading a local file.
    static QUrl location(const QString& sOverride);
    // location() with the override from the environment.
    static QUrl location();

    // Whether an address may be handed to the system's web browser as a download:
    // only absolute http and https addresses with a host are.
    static bool isDownloadAddress(const QString& sUrl);

    // The manifest key of this system's release: "win32" on Windows, "linux" on Linux
    // (chosen by the build), so a client is never offered another system's download.
    static constexpr const char* kReleaseKey = ORBISK_RELEASE_KEY;
    // The update server. Change it here when the maker's server moves.
    static constexpr const char* kUpdateHost = "updates.orbisk.com";
    static constexpr const char* kManifestPath = "/enterprise/release/3.0/version.json";
    // Environment variable that replaces the whole manifest URL, for tests and for
    // administrators who mirror the manifest.
    static constexpr const char* kOverrideVariable = "ORBISK_UPDATE_MANIFEST_URL";
};
