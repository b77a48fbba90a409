// The demo transfer server: serves a small web application over HTTPS on 127.0.0.1
// so the client's whole road (login page, title test, drops, language) can be seen
// and tested without a real transfer server.
#include "DemoCertificate.h"
#include "DemoSecondServer.h"
#include "DemoSite.h"

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

namespace {

constexpr const char* kHost = "127.0.0.1";
constexpr int kDefaultPort = 9443;
constexpr int kMaxPort = 65535;

std::mutex g_outputMutex;

void printLine(const std::string& sLine)
{
    std::lock_guard<std::mutex> lock(g_outputMutex);
    std::fputs(sLine.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int usage(const char* sProgram, const std::string& sProblem)
{
    std::fprintf(stderr, "%s: %s\nusage: %s --cert-dir DIR [--port PORT] [--second-port PORT] [--stop-on-stdin-eof]\n",
        sProgram, sProblem.c_str(), sProgram);
    std::fprintf(stderr, "  --cert-dir DIR  folder of cert.pem and key.pem; both are created when missing\n");
    std::fprintf(stderr, "  --port PORT     port on 127.0.0.1 (default %d; 0 picks a free one)\n", kDefaultPort);
    std::fprintf(stderr,
        "  --second-port PORT  also serve on this port with another self-signed certificate\n"
        "                  (kept in CERT_DIR/second; 0 picks a free one)\n");
    std::fprintf(stderr, "  --stop-on-stdin-eof  quit when standard input ends (the parent closed it or died)\n");
    return 2;
}

bool parsePort(const char* sText, int& port)
{
    if (!*sText || std::strlen(sText) > 5 || std::strspn(sText, "0123456789") != std::strlen(sText))
        return false;
    port = std::atoi(sText);
    return port <= kMaxPort;
}

} // namespace

int main(int argc, char** argv)
{
    std::string sCertDir;
    int port = kDefaultPort;
    int secondPort = -1;
    bool isStopOnStdinEof = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--cert-dir" || arg == "--port" || arg == "--second-port") && i + 1 >= argc)
            return usage(argv[0], arg + " needs a value");
        if (arg == "--cert-dir") {
            sCertDir = argv[++i];
        } else if (arg == "--port") {
            if (!parsePort(argv[++i], port))
                return usage(argv[0], std::string("not a port number: ") + argv[i]);
        } else if (arg == "--second-port") {
            if (!parsePort(argv[++i], secondPort))
                return usage(argv[0], std::string("not a port number: ") + argv[i]);
        } else if (arg == "--stop-on-stdin-eof") {
            isStopOnStdinEof = true;
        } else {
            return usage(argv[0], "unknown argument " + arg);
        }
    }
    if (sCertDir.empty())
        return usage(argv[0], "--cert-dir is required");

    DemoCertificate certificate;
    std::string sError;
    if (!ensureDemoCertificate(sCertDir, certificate, sError)) {
        std::fprintf(stderr, "%s: certificate: %s\n", argv[0], sError.c_str());
        return 1;
    }

    httplib::SSLServer server(certificate.certPath.c_str(), certificate.keyPath.c_str());
    if (!server.is_valid()) {
        std::fprintf(stderr, "%s: cannot use %s and %s; delete them to have new ones made\n", argv[0],
            certificate.certPath.c_str(), certificate.keyPath.c_str());
        return 1;
    }

    server.Get(".*", [](const httplib::Request& request, httplib::Response& response) {
        printLine("request " + request.method + " " + request.target);
        const DemoResponse answer = demoResponse(request.path, request.get_param_value("uuid"));
        if (answer.delayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(answer.delayMs));
        response.status = answer.status;
        response.set_header("Cache-Control", "no-store");
        response.set_content(answer.body, "text/html; charset=utf-8");
    });

    const int boundPort = port == 0 ? server.bind_to_any_port(kHost) : (server.bind_to_port(kHost, port) ? port : -1);
    if (boundPort <= 0) {
        std::fprintf(stderr, "%s: cannot listen on %s:%d\n", argv[0], kHost, port);
        return 1;
    }
    if (secondPort >= 0) {
        const int boundSecond = startSecondServer(sCertDir, secondPort, printLine, sError);
        if (boundSecond < 0) {
            std::fprintf(stderr, "%s: second port: %s\n", argv[0], sError.c_str());
            return 1;
        }
        printLine("listening-second " + std::string(kHost) + ":" + std::to_string(boundSecond));
    }
    printLine("listening " + std::string(kHost) + ":" + std::to_string(boundPort));

    // A test fixture that crashes cannot stop its server; the end of the pipe it
    // holds open still tells the server to go.
    std::thread stdinWatcher;
    if (isStopOnStdinEof) {
        stdinWatcher = std::thread([&server] {
            while (std::fgetc(stdin) != EOF) { }
            server.stop();
        });
        stdinWatcher.detach();
    }
    return server.listen_after_bind() ? 0 : 1;
}
