// libFuzzer target for the local service's request handling: the Host and Origin checks
// against origins taken from a fuzzed server list, the preflight, and the JSON bodies.
//
// Input, like a raw request with the server list in front:
//   line 1      the server-list document (ServerConfig.xml) on one line
//   line 2      METHOD PATH
//   lines       Name: value headers, up to an empty line
//   the rest    the body
// Besides crashes and sanitizer findings it stops on any broken rule of the protocol.
#include "core/LocalServiceBackend.h"
#include "core/LocalServiceHandler.h"
#include "servers/ServerListCodec.h"
#include "servers/ServerOrigins.h"

#include <QJsonDocument>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

namespace {
class RecordingBackend : public orbisk::LocalServiceBackend
{
public:
    orbisk::LocalServiceStatus status() const override { return {"App", "1", "1", "1", orbisk::ActiveSide::None}; }
    QString deviceId() const override { return QStringLiteral("device"); }
    void announceBrowserActive() override { ++iChanges; }
    void requestLanguage(int) override { ++iChanges; }

    int iChanges = 0;
};

void require(bool isKept, const char* sRule)
{
    if (!isKept) {
        std::fprintf(stderr, "broken rule: %s\n", sRule);
        std::abort();
    }
}

// Cuts the next line (without its '\n') off the front of text.
std::string takeLine(std::string& text)
{
    const size_t iEnd = text.find('\n');
    std::string sLine = text.substr(0, iEnd);
    text.erase(0, iEnd == std::string::npos ? text.size() : iEnd + 1);
    return sLine;
}

std::string headerValue(const orbisk::LocalResponse& response, const char* sName)
{
    for (const auto& header : response.headers) {
        if (header.first == sName)
            return header.second;
    }
    return {};
}

void checkResponse(const orbisk::LocalResponse& response, const orbisk::OriginSet& allowed)
{
    static const std::set<int> kStatuses{200, 202, 204, 400, 403, 404, 405, 413, 414, 415};
    require(kStatuses.count(response.status) == 1, "a known status");
    const std::string sAllowOrigin = headerValue(response, "Access-Control-Allow-Origin");
    require(sAllowOrigin != "*", "never a wildcard origin");
    require(sAllowOrigin.empty() || allowed.contains(QString::fromStdString(sAllowOrigin)),
        "CORS only for an allowed origin");
    require(headerValue(response, "Access-Control-Allow-Private-Network").empty() || !sAllowOrigin.empty(),
        "private network access only for an allowed origin");
    if (response.status != 204) {
        QJsonParseError error;
        QJsonDocument::fromJson(QByteArray::fromStdString(response.body), &error);
        require(error.error == QJsonParseError::NoError, "a JSON body");
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t size)
{
    std::string text(reinterpret_cast<const char*>(pData), size);
    const orbisk::OriginSet allowed
        = orbisk::serverOrigins(ServerListCodec::parse(QByteArray::fromStdString(takeLine(text))));

    orbisk::LocalRequest request;
    const std::string sRequestLine = takeLine(text);
    const size_t iSpace = sRequestLine.find(' ');
    request.method = sRequestLine.substr(0, iSpace);
    request.path = iSpace == std::string::npos ? std::string() : sRequestLine.substr(iSpace + 1);
    for (std::string sLine = takeLine(text); !sLine.empty(); sLine = takeLine(text)) {
        const size_t iColon = sLine.find(':');
        request.headers.emplace_back(
            sLine.substr(0, iColon), iColon == std::string::npos ? std::string() : sLine.substr(iColon + 1));
    }
    request.body = text;

    RecordingBackend backend;
    const orbisk::LocalServiceHandler handler(
        backend, [&allowed] { return allowed; }, 9887);
    const orbisk::LocalResponse response = handler.handle(request);
    checkResponse(response, allowed);
    require(backend.iChanges == 0
            || (request.method == "POST" && (response.status == 200 || response.status == 202)
                && !headerValue(response, "Access-Control-Allow-Origin").empty()),
        "only an accepted POST of an allowed origin changes state");

    for (int iStatus : {400, 413, 414})
        checkResponse(handler.refusal(request, iStatus), allowed);
    return 0;
}
