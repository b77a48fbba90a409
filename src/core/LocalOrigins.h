// Web origins as browsers serialise them, of URLs and of Origin request headers.
#pragma once

#include <QSet>
#include <QString>

namespace orbisk {

using OriginSet = QSet<QString>;

// The origin of an http or https URL as browsers serialise it: scheme://host[:port],
// scheme and host in lower case, the host in its ASCII (punycode) form, an IPv6 host in
// brackets, the port left out when it is the scheme's default. Path, query, fragment and
// user information do not count. Empty for anything else: no scheme or host, another
// scheme, a URL that does not parse.
QString webOriginOf(const QString& sUrl);

// The origin named by an Origin request header: the value must be an origin and nothing
// more (no path, query, fragment or user information); normalised like webOriginOf.
// Empty when it is none, including the opaque origin "null".
QString originOfHeader(const QString& sValue);

} // namespace orbisk
