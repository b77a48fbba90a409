// The demo transfer server: serves a small web application over HTTPS on 127.0.0.1
// so the client's whole road (login page, title test, drops, language, downloads and
// uploads) can be seen and tested without a real transfer server.
#include "DemoCertificate.h"
#include "DemoFiles.h"
#include "DemoSecondServer.h"
#include "DemoSite.h"

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace {

constexpr const char* kHost = "127.0.0.1";
constexpr int kDefaultPort = 9443;
constexpr int kMaxPort = 65535;
// Downloads are paced so that a few megabytes take long enough to watch the progress.
constexpr double kDownloadBytesPerSecond = 2.0 * 1024 * 1024;
constexpr std::size_t kDownloadChunkBytes = 64 * 1024;
// A stalled download sends one byte this often until the client gives up.
constexpr auto kStallInterval = std::chrono::milliseconds(200);
constexpr std::size_t kMaxUploadBytes = 256 * 1024 * 1024;

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
    std::fprintf(stderr,
        "%s: %s\nusage: %s --cert-dir DIR [--files-dir DIR] [--port PORT] [--second-port PORT] [--client-ca FILE "
        "[--client-cert-port PORT]] [--stop-on-stdin-eof]\n",
        sProgram, sProblem.c_str(), sProgram);
    std::fprintf(stderr, "  --cert-dir DIR  folder of cert.pem and key.pem; both are created when missing\n");
    std::fprintf(stderr,
        "  --files-dir DIR folder of the files offered for download and of uploads\n"
        "                  (default: CERT_DIR/files; a sample is made when it is empty)\n");
    std::fprintf(stderr, "  --port PORT     port on 127.0.0.1 (default %d; 0 picks a free one)\n", kDefaultPort);
    std::fprintf(stderr,
        "  --second-port PORT  also serve on this port with another self-signed certificate\n"
        "                  (kept in CERT_DIR/second; 0 picks a free one)\n"
        "  --client-ca FILE  also serve on a port that asks for a client certificate issued by\n"
        "                  the authority in FILE (PEM)\n"
        "  --client-cert-port PORT  that port (default 0: a free one)\n");
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

// Sends a stored file as an attachment, paced. "as" names the file differently in the
// Content-Disposition header; "stall" stops the pace after that many bytes and then
// sends one byte at a time, slowly, so a client has a running download to cancel.
void serveDownload(const std::string& sFilesDir, const httplib::Request& request, httplib::Response& response)
{
    const std::string sPath = demoFilePath(sFilesDir, request.matches[1]);
    auto file = std::make_shared<std::ifstream>(sPath, std::ios::binary);
    if (sPath.empty() || !*file) {
        response.status = 404;
        response.set_content(demoResponse("/missing", std::string(), {}).body, "text/html; charset=utf-8");
        return;
    }
    file->seekg(0, std::ios::end);
    const auto size = static_cast<std::size_t>(file->tellg());
    file->seekg(0);

    const std::string sName = request.has_param("as") ? request.get_param_value("as") : std::string(request.matches[1]);
    std::size_t stallAt = size;
    if (request.has_param("stall"))
        stallAt = std::min<std::size_t>(size, std::strtoull(request.get_param_value("stall").c_str(), nullptr, 10));

    response.set_header("Cache-Control", "no-store");
    response.set_header("Content-Disposition", attachmentDisposition(sName));
    const auto start = std::chrono::steady_clock::now();
    response.set_content_provider(size, "application/octet-stream",
        [file, stallAt, start](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            std::size_t chunk = std::min(length, kDownloadChunkBytes);
            if (offset >= stallAt) {
                std::this_thread::sleep_for(kStallInterval);
                chunk = 1;
            } else {
                chunk = std::min(chunk, stallAt - offset);
                std::this_thread::sleep_until(
                    start + std::chrono::duration<double>(double(offset) / kDownloadBytesPerSecond));
            }
            std::string buffer(chunk, '\0');
            file->seekg(std::streamoff(offset));
            if (!file->read(buffer.data(), std::streamsize(chunk)))
                return false;
            return sink.write(buffer.data(), buffer.size());
        });
}

// Stores every part named "file" of a multipart upload and answers with the file list.
void receiveUpload(const std::string& sFilesDir, const httplib::Request& request, httplib::Response& response)
{
    std::size_t stored = 0;
    for (auto it = request.files.find("file"); it != request.files.end() && it->first == "file"; ++it) {
        std::string sError;
        const std::string sName = storeDemoFile(sFilesDir, it->second.filename, it->second.content, sError);
        if (sName.empty()) {
            printLine("upload failed: " + sError);
            response.status = 500;
            response.set_content("cannot store the upload\n", "text/plain; charset=utf-8");
            return;
        }
        printLine("stored " + sName);
        ++stored;
    }
    if (stored == 0) {
        response.status = 400;
        response.set_content("the upload holds no part named \"file\"\n", "text/plain; charset=utf-8");
        return;
    }
    response.set_redirect("/app/files", 303);
}

} // namespace

int main(int argc, char** argv)
{
    std::string sCertDir;
    std::string sFilesDir;
    int port = kDefaultPort;
    int secondPort = -1;
    std::string sClientCaFile;
    int clientCertPort = 0;
    bool isStopOnStdinEof = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--cert-dir" || arg == "--files-dir" || arg == "--port" || arg == "--second-port"
                || arg == "--client-ca" || arg == "--client-cert-port")
            && i + 1 >= argc)
            return usage(argv[0], arg + " needs a value");
        if (arg == "--cert-dir") {
            sCertDir = argv[++i];
        } else if (arg == "--files-dir") {
            sFilesDir = argv[++i];
        } else if (arg == "--port") {
            if (!parsePort(argv[++i], port))
                return usage(argv[0], std::string("not a port number: ") + argv[i]);
        } else if (arg == "--second-port") {
            if (!parsePort(argv[++i], secondPort))
                return usage(argv[0], std::string("not a port number: ") + argv[i]);
        } else if (arg == "--client-ca") {
            sClientCaFile = argv[++i];
        } else if (arg == "--client-cert-port") {
            if (!parsePort(argv[++i], clientCertPort))
                return usage(argv[0], std::string("not a port number: ") + argv[i]);
        } else if (arg == "--stop-on-stdin-eof") {
            isStopOnStdinEof = true;
        } else {
            return usage(argv[0], "unknown argument " + arg);
        }
    }
    if (sCertDir.empty())
        return usage(argv[0], "--cert-dir is required");
    if (sFilesDir.empty())
        sFilesDir = sCertDir + "/files";

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

    if (!ensureDemoFiles(sFilesDir, sError)) {
        std::fprintf(stderr, "%s: files: %s\n", argv[0], sError.c_str());
        return 1;
    }
    server.set_payload_max_length(kMaxUploadBytes);

    server.Get(std::string(kDownloadPathPrefix) + "(.+)",
        [&sFilesDir](const httplib::Request& request, httplib::Response& response) {
            printLine("request " + request.method + " " + request.target);
            serveDownload(sFilesDir, request, response);
        });
    server.Post("/app/upload", [&sFilesDir](const httplib::Request& request, httplib::Response& response) {
        printLine("request " + request.method + " " + request.target);
        receiveUpload(sFilesDir, request, response);
    });
    server.Get(".*", [&sFilesDir](const httplib::Request& request, httplib::Response& response) {
        printLine("request " + request.method + " " + request.target);
        const DemoResponse answer = demoResponse(request.path, request.get_param_value("uuid"),
            listDemoFiles(sFilesDir), request.get_header_value("Authorization"));
        if (answer.delayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(answer.delayMs));
        response.status = answer.status;
        if (!answer.wwwAuthenticate.empty())
            response.set_header("WWW-Authenticate", answer.wwwAuthenticate);
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
    if (!sClientCaFile.empty()) {
        const int boundClient
            = startClientCertificateServer(sCertDir, sClientCaFile, clientCertPort, printLine, sError);
        if (boundClient < 0) {
            std::fprintf(stderr, "%s: client certificate port: %s\n", argv[0], sError.c_str());
            return 1;
        }
        printLine("listening-client-cert " + std::string(kHost) + ":" + std::to_string(boundClient));
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
