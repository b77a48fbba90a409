#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The rule by which the update check decides whether a release is newer than the client.
namespace VersionRule {

// The version up to its first blank: "3.0.1 Build 30" gives "3.0.1". Whatever follows
// the blank, such as a build number, plays no part in the comparison.
QString cutAtFirstBlank(const QString& sVersion);

// The dot-separated components of a cut version, empty components kept: "3..1" has three.
QStringList components(const QString& sCutVersion);

// Whether the server's release is newer than the client, comparing the first three
// components as decimal integers from the left; later components are ignored. A
// component that is not a number counts as 0; numbers of any length compare by value,
// so a component too large for an int is still larger than any smaller one. Empty
// when either side has fewer than three components, so no comparison can be made.
std::optional<bool> isNewer(const QStringList& serverComponents, const QStringList& clientComponents);

} // namespace VersionRule
