#include "DemoSecondServer.h"

#include "DemoCertificate.h"
#include "DemoSite.h"

#include <httplib.h>

#include <memory>
#include <thread>

namespace {
constexpr const char* kHost = "127.0.0.1";
} // namespace

namespace {
// Serves the demo pages on the server from a thread of its own until the process ends.
int serve(const std::shared_ptr<httplib::SSLServer>& server, int port,
    const std::function<void(const std::string&)>& log, std::string& sError)
{
    server->Get(".*", [log](const httplib::Request& request, httplib::Response& response) {
        log("request " + request.method + " " + request.target);
        const DemoResponse answer = demoResponse(
            request.path, request.get_param_value("uuid"), {}, request.get_header_value("Authorization"));
        response.status = answer.status;
        if (!answer.wwwAuthenticate.empty())
            response.set_header("WWW-Authenticate", answer.wwwAuthenticate);
        response.set_header("Cache-Control", "no-store");
        response.set_content(answer.body, "text/html; charset=utf-8");
    });
    const int boundPort = port == 0 ? server->bind_to_any_port(kHost) : (server->bind_to_port(kHost, port) ? port : -1);
    if (boundPort <= 0) {
        sError = "cannot listen on " + std::string(kHost) + ":" + std::to_string(port);
        return -1;
    }
    std::thread([server] { server->listen_after_bind(); }).detach();
    return boundPort;
}
} // namespace

int startSecondServer(
    const std::string& sCertDir, int port, const std::function<void(const std::string&)>& log, std::string& sError)
{
    DemoCertificate certificate;
    if (!ensureDemoCertificate(sCertDir + "/second", certificate, sError))
        return -1;
    auto server = std::make_shared<httplib::SSLServer>(certificate.certPath.c_str(), certificate.keyPath.c_str());
    if (!server->is_valid()) {
        sError = "cannot use " + certificate.certPath + " and " + certificate.keyPath;
        return -1;
    }
    return serve(server, port, log, sError);
}

int startClientCertificateServer(const std::string& sCertDir, const std::string& sClientCaFile, int port,
    const std::function<void(const std::string&)>& log, std::string& sError)
{
    DemoCertificate certificate;
    if (!ensureDemoCertificate(sCertDir, certificate, sError))
        return -1;
    // With a client authority, the server asks for a certificate and ends a handshake
    // that brings none.
    auto server = std::make_shared<httplib::SSLServer>(
        certificate.certPath.c_str(), certificate.keyPath.c_str(), sClientCaFile.c_str());
    if (!server->is_valid()) {
        sError = "cannot use " + certificate.certPath + " with the client authority " + sClientCaFile;
        return -1;
    }
    return serve(server, port, log, sError);
}
