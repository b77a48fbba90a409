#pragma once

#include "DemoFiles.h"

#include <string>
#include <vector>

// One answer of the demo web application.
struct DemoResponse
{
    int status = 200;
    std::string body;
    int delayMs = 0;
    // A challenge for the WWW-Authenticate header; empty for none.
    std::string wwwAuthenticate;
};

// The sign-in area's user name and password, shown on its page and in the README.
constexpr const char* kDemoSignInUser = "demo";
constexpr const char* kDemoSignInPassword = "orbisk-demo";

// Where a stored file is downloaded from: this prefix and the percent-encoded name.
constexpr const char* kDownloadPathPrefix = "/app/download/";

// The demo web application as a pure function of the request path, the "uuid" query
// value and the stored files. The pages are /app/login (shows the uuid), /app/files
// (the stored files with download links, an upload form and an upload drop zone),
// /app/unguarded (a page that leaves drops to the browser), /qz4n-test and /. A path may start with one prefix that
// changes how the server behaves, so tests choose a behaviour through the server URL they give the client:
//   /valtro        page titles contain "valtro-enterprise" instead of "Orbisk"
//   /VALTRO        page titles contain "VALTRO-ENTERPRISE"
//   /other         page titles contain neither accepted word
//   /slow/MS       the answer is delayed by MS milliseconds (at most 60000)
//   /status/CODE   the answer carries HTTP status CODE (400 to 599)
//   /signin        Basic authentication: without kDemoSignInUser and kDemoSignInPassword in
//                  sAuthorization (the request's Authorization header) the answer is 401
// Repeated leading slashes count as one, so a server URL with a trailing slash works.
DemoResponse demoResponse(const std::string& sPath, const std::string& sUuid, const std::vector<DemoFile>& files,
    const std::string& sAuthorization = std::string());

// kDownloadPathPrefix followed by the name, percent-encoded.
std::string demoDownloadPath(const std::string& sName);

// The text with &, <, >, " and ' replaced by character references.
std::string htmlEscape(const std::string& sText);
