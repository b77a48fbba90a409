#pragma once

#include <string>

// The demo server's self-signed certificate for 127.0.0.1 and localhost.
struct DemoCertificate
{
    std::string certPath;
    std::string keyPath;
};

// Uses cert.pem and key.pem in sDir, or creates both (an EC P-256 key and a
// certificate valid for ten years) when either is missing. Creates sDir if needed.
// On failure returns false and says why in sError.
bool ensureDemoCertificate(const std::string& sDir, DemoCertificate& certificate, std::string& sError);
