#pragma once

#include <functional>
#include <string>

// A second HTTPS port of the demo server with a self-signed certificate of its own
// (kept in CERT_DIR/second), serving the same pages. The client has not trusted that
// certificate, so joining this port shows its certificate question.
//
// Binds 127.0.0.1:port (0 picks a free port) and serves on a thread of its own until
// the process ends. Returns the bound port, or -1 with the reason in sError.
int startSecondServer(
    const std::string& sCertDir, int port, const std::function<void(const std::string&)>& log, std::string& sError);

// A third HTTPS port with the demo certificate of sCertDir that takes only connections
// presenting a client certificate issued by the authority in sClientCaFile, serving the
// same pages. Returns the bound port, or -1 with the reason in sError.
int startClientCertificateServer(const std::string& sCertDir, const std::string& sClientCaFile, int port,
    const std::function<void(const std::string&)>& log, std::string& sError);
