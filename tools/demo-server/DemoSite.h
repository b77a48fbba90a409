#pragma once

#include <string>

// One answer of the demo web application.
struct DemoResponse
{
    int status = 200;
    std::string body;
    int delayMs = 0;
};

// The demo web application as a pure function of the request path and the "uuid"
// query value. The pages are /app/login (shows the uuid), /app/files, /qz4n-test
// and /. A path may start with one prefix that changes how the server behaves, so
// tests choose a behaviour through the server URL they give the client:
//   /valtro        page titles contain "valtro-enterprise" instead of "Orbisk"
//   /VALTRO        page titles contain "VALTRO-ENTERPRISE"
//   /other         page titles contain neither accepted word
//   /slow/MS       the answer is delayed by MS milliseconds (at most 60000)
//   /status/CODE   the answer carries HTTP status CODE (400 to 599)
// Repeated leading slashes count as one, so a server URL with a trailing slash works.
DemoResponse demoResponse(const std::string& sPath, const std::string& sUuid);

// The text with &, <, >, " and ' replaced by character references.
std::string htmlEscape(const std::string& sText);
