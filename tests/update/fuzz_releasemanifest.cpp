// libFuzzer target for the release manifest and the version rule of the update check.
// The input is a manifest body; its "version" is compared with the client's version,
// with its "downloadUrl" read as a version and with itself. Besides crashes and
// sanitizer findings it stops when the comparison stops being an order: a version
// newer than itself, two versions each newer than the other, a broken chain, or a
// comparison of small numbers that disagrees with plain integer comparison.
#include "update/ReleaseManifest.h"
#include "update/VersionRule.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {
void require(bool isKept, const char* sRule)
{
    if (!isKept) {
        std::fprintf(stderr, "broken rule: %s\n", sRule);
        std::abort();
    }
}

QStringList componentsOf(const QString& sVersion)
{
    return VersionRule::components(VersionRule::cutAtFirstBlank(sVersion));
}

// The first three components as integers, when each is a plain decimal number that fits
// an int; the comparison must then be the usual one.
std::optional<std::array<int, 3>> smallNumbers(const QStringList& components)
{
    std::array<int, 3> numbers{};
    for (int i = 0; i < 3; ++i) {
        const QString& sComponent = components.at(i);
        bool isNumber = !sComponent.isEmpty();
        for (const QChar c : sComponent)
            isNumber = isNumber && c >= QLatin1Char('0') && c <= QLatin1Char('9');
        numbers[size_t(i)] = isNumber ? sComponent.toInt(&isNumber) : 0;
        if (!isNumber)
            return std::nullopt;
    }
    return numbers;
}

void checkPair(const QStringList& a, const QStringList& b)
{
    const std::optional<bool> aNewer = VersionRule::isNewer(a, b);
    const std::optional<bool> bNewer = VersionRule::isNewer(b, a);
    const bool isComparable = a.size() >= 3 && b.size() >= 3;
    require(aNewer.has_value() == isComparable && bNewer.has_value() == isComparable,
        "a comparison is made exactly when both sides have three components");
    if (!isComparable)
        return;
    require(!(*aNewer && *bNewer), "never each newer than the other");
    const auto aNumbers = smallNumbers(a);
    const auto bNumbers = smallNumbers(b);
    if (aNumbers && bNumbers)
        require(*aNewer == (*aNumbers > *bNumbers), "small numbers compare as integers");
}
} // namespace

// Qt 5.15's QJsonDocument::fromJson leaks the first value of a key that an object repeats
// when that value is an array or an object. The leak is Qt's, a few bytes per such key, and
// all memory here is owned by Qt's value classes, so leaks reported inside Qt are set aside.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libQt5Core.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t size)
{
    const QByteArray body(reinterpret_cast<const char*>(pData), int(size));
    const std::optional<ReleaseManifest> manifest = ReleaseManifest::fromJson(body);
    if (!manifest)
        return 0;
    require(manifest->sVersion == manifest->release.value(QStringLiteral("version")).toString(),
        "the version is the release's \"version\" text");

    if (ReleaseManifest::isDownloadAddress(manifest->sDownloadUrl)) {
        const QUrl url(manifest->sDownloadUrl, QUrl::TolerantMode);
        require(
            (url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http")) && !url.host().isEmpty(),
            "only web addresses are handed to the browser");
    }

    const QStringList server = componentsOf(manifest->sVersion);
    const QStringList other = componentsOf(manifest->sDownloadUrl);
    const QStringList client = componentsOf(QStringLiteral("3.0.0 Build 26"));
    const std::optional<bool> selfNewer = VersionRule::isNewer(server, server);
    require(!selfNewer.value_or(false), "no version is newer than itself");
    checkPair(server, client);
    checkPair(server, other);
    checkPair(other, client);

    const std::array<const QStringList*, 3> versions{&server, &other, &client};
    for (const QStringList* a : versions) {
        for (const QStringList* b : versions) {
            for (const QStringList* c : versions) {
                if (VersionRule::isNewer(*a, *b).value_or(false) && VersionRule::isNewer(*b, *c).value_or(false))
                    require(VersionRule::isNewer(*a, *c).value_or(false), "newer than newer is newer");
            }
        }
    }
    return 0;
}
