#include "core/LocalServiceHandler.h"

#include "core/LocalServiceBackend.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

namespace orbisk {

namespace {
const char kJsonType[] = "application/json";
const char kPreflightMaxAgeSeconds[] = "600";

std::string lowerTrimmed(const std::string& sText)
{
    const auto isSpace = [](char c) { return c == ' ' || c == '\t'; };
    const auto first = std::find_if_not(sText.begin(), sText.end(), isSpace);
    const auto last = std::find_if_not(sText.rbegin(), sText.rend(), isSpace).base();
    std::string sResult(first, first < last ? last : first);
    std::transform(sResult.begin(), sResult.end(), sResult.begin(),
        [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    return sResult;
}

// The values of every header called sName; names compare without regard to case.
std::vector<std::string> headerValues(const LocalRequest& request, const char* sName)
{
    const std::string sWanted = lowerTrimmed(sName);
    std::vector<std::string> values;
    for (const auto& header : request.headers) {
        if (lowerTrimmed(header.first) == sWanted)
            values.push_back(header.second);
    }
    return values;
}

// Whether the request has exactly one sName header and its value, trimmed and in lower
// case, is sExpected.
bool hasHeader(const LocalRequest& request, const char* sName, const std::string& sExpected)
{
    const std::vector<std::string> values = headerValues(request, sName);
    return values.size() == 1 && lowerTrimmed(values.front()) == sExpected;
}

// application/json, with or without parameters such as "; charset=utf-8".
bool isJsonContentType(const LocalRequest& request)
{
    const std::vector<std::string> values = headerValues(request, "Content-Type");
    return values.size() == 1 && lowerTrimmed(values.front().substr(0, values.front().find(';'))) == kJsonType;
}

std::string joined(const std::vector<std::string>& items)
{
    std::string sResult;
    for (const std::string& sItem : items)
        sResult += (sResult.empty() ? "" : ", ") + sItem;
    return sResult;
}

LocalResponse jsonResponse(int iStatus, const QJsonObject& object)
{
    LocalResponse response;
    response.status = iStatus;
    response.contentType = kJsonType;
    response.body = QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
    return response;
}

LocalResponse errorResponse(int iStatus, const QString& sMessage)
{
    return jsonResponse(iStatus, {{QStringLiteral("error"), sMessage}});
}

QString refusalMessage(int iStatus)
{
    switch (iStatus) {
    case 400:
        return QStringLiteral("bad request");
    case 413:
        return QStringLiteral("request body too large");
    case 414:
        return QStringLiteral("request target too long");
    case 416:
        return QStringLiteral("range not satisfiable");
    default:
        return QStringLiteral("request refused");
    }
}
} // namespace

struct LocalServiceHandler::Route
{
    const char* path;
    std::vector<std::string> methods; // besides OPTIONS, which every path answers as a preflight
    bool isStateChanging;
    LocalResponse (LocalServiceHandler::*answer)(const QJsonObject& body, const CallerOrigin& origin) const;
};

LocalServiceHandler::LocalServiceHandler(LocalServiceBackend& backend, OriginSource allowedOrigins, quint16 iPort)
    : m_backend(backend)
    , m_allowedOrigins(std::move(allowedOrigins))
    , m_iPort(iPort)
{ }

LocalResponse LocalServiceHandler::handle(const LocalRequest& request) const
{
    CallerOrigin origin;
    LocalResponse response;
    if (!isHostAllowed(request)) {
        response = errorResponse(403, QStringLiteral("host not allowed"));
    } else {
        origin = callerOrigin(request);
        response = origin.kind == OriginKind::Refused ? errorResponse(403, QStringLiteral("origin not allowed"))
                                                      : answer(request, origin);
    }
    finish(response, origin);
    return response;
}

LocalResponse LocalServiceHandler::refusal(const LocalRequest& request, int iStatus) const
{
    const CallerOrigin origin = isHostAllowed(request) ? callerOrigin(request) : CallerOrigin();
    LocalResponse response = errorResponse(iStatus, refusalMessage(iStatus));
    finish(response, origin);
    return response;
}

LocalResponse LocalServiceHandler::callerRefusal(bool isUserKnown)
{
    LocalResponse response = errorResponse(403,
        isUserKnown ? QStringLiteral("this client belongs to another user of this computer")
                    : QStringLiteral("the user of the asking program cannot be determined"));
    finish(response, {});
    return response;
}

bool LocalServiceHandler::isHostAllowed(const LocalRequest& request) const
{
    const std::string sPort = ":" + std::to_string(m_iPort);
    const std::vector<std::string> hosts = headerValues(request, "Host");
    if (hosts.size() != 1)
        return false;
    const std::string sHost = lowerTrimmed(hosts.front());
    return sHost == "127.0.0.1" + sPort || sHost == "localhost" + sPort;
}

LocalServiceHandler::CallerOrigin LocalServiceHandler::callerOrigin(const LocalRequest& request) const
{
    const std::vector<std::string> values = headerValues(request, "Origin");
    if (values.empty())
        return {};
    const QString sOrigin = values.size() == 1 ? originOfHeader(QString::fromStdString(values.front())) : QString();
    if (sOrigin.isEmpty() || !m_allowedOrigins || !m_allowedOrigins().contains(sOrigin))
        return {OriginKind::Refused, {}};
    return {OriginKind::Allowed, sOrigin};
}

LocalResponse LocalServiceHandler::answer(const LocalRequest& request, const CallerOrigin& origin) const
{
    static const Route kRoutes[] = {
        // HEAD answers like GET; the server adapter leaves out the body.
        {"/api/status", {"GET", "HEAD"}, false, &LocalServiceHandler::status},
        {"/api/browser-active", {"POST"}, true, &LocalServiceHandler::browserActive},
        {"/api/language", {"POST"}, true, &LocalServiceHandler::language},
    };

    if (request.body.size() > kMaxBodyBytes)
        return errorResponse(413, QStringLiteral("request body too large"));
    const auto pRoute = std::find_if(
        std::begin(kRoutes), std::end(kRoutes), [&request](const Route& route) { return request.path == route.path; });
    if (pRoute == std::end(kRoutes))
        return errorResponse(404, QStringLiteral("not found"));
    if (request.method == "OPTIONS")
        return preflight(request, *pRoute, origin);
    if (std::find(pRoute->methods.begin(), pRoute->methods.end(), request.method) == pRoute->methods.end()) {
        LocalResponse response = errorResponse(405, QStringLiteral("method not allowed"));
        response.headers.emplace_back("Allow", joined(pRoute->methods) + ", OPTIONS");
        return response;
    }
    if (!pRoute->isStateChanging)
        return (this->*pRoute->answer)({}, origin);

    // A browser always sends the Origin of a POST; a request without one comes from a
    // program that is not a web page and may only read.
    if (origin.kind != OriginKind::Allowed)
        return errorResponse(403, QStringLiteral("an Origin header naming one of the user's servers is required"));
    // A page may send text/plain without asking first; application/json makes the
    // browser ask (preflight), which only the user's servers pass.
    if (!isJsonContentType(request))
        return errorResponse(415, QStringLiteral("Content-Type must be application/json"));
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(request.body), &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return errorResponse(400,
            QStringLiteral("malformed JSON at offset %1: %2").arg(parseError.offset).arg(parseError.errorString()));
    if (!document.isObject())
        return errorResponse(400, QStringLiteral("the body must be a JSON object"));
    return (this->*pRoute->answer)(document.object(), origin);
}

LocalResponse LocalServiceHandler::preflight(
    const LocalRequest& request, const Route& route, const CallerOrigin& origin)
{
    if (origin.kind != OriginKind::Allowed)
        return errorResponse(
            403, QStringLiteral("a preflight needs an Origin header naming one of the user's servers"));
    LocalResponse response;
    response.status = 204;
    response.headers = {
        {"Access-Control-Allow-Methods", joined(route.methods)},
        {"Access-Control-Allow-Headers", "Content-Type"},
        {"Access-Control-Max-Age", kPreflightMaxAgeSeconds},
    };
    // Private Network Access: a page on a public address asks before it may call loopback.
    if (hasHeader(request, "Access-Control-Request-Private-Network", "true"))
        response.headers.emplace_back("Access-Control-Allow-Private-Network", "true");
    return response;
}

void LocalServiceHandler::finish(LocalResponse& response, const CallerOrigin& origin)
{
    if (origin.kind == OriginKind::Allowed)
        response.headers.emplace_back("Access-Control-Allow-Origin", origin.sOrigin.toStdString());
    response.headers.emplace_back("Vary", "Origin");
    response.headers.emplace_back("Cache-Control", "no-store");
    response.headers.emplace_back("X-Content-Type-Options", "nosniff");
}

LocalResponse LocalServiceHandler::status(const QJsonObject&, const CallerOrigin& origin) const
{
    const LocalServiceStatus current = m_backend.status();
    QJsonObject json{
        {QStringLiteral("application"), current.sApplication},
        {QStringLiteral("clientVersion"), current.sClientVersion},
        {QStringLiteral("coreVersion"), current.sCoreVersion},
        {QStringLiteral("protocolVersion"), current.sProtocolVersion},
        {QStringLiteral("activeSide"), activeSideName(current.activeSide)},
    };
    if (origin.kind == OriginKind::Allowed)
        json.insert(QStringLiteral("deviceId"), m_backend.deviceId());
    return jsonResponse(200, json);
}

LocalResponse LocalServiceHandler::browserActive(const QJsonObject& body, const CallerOrigin& origin) const
{
    m_backend.announceBrowserActive();
    return status(body, origin);
}

LocalResponse LocalServiceHandler::language(const QJsonObject& body, const CallerOrigin&) const
{
    const QJsonValue value = body.value(QStringLiteral("language"));
    const double dLanguage = value.toDouble(-1);
    if (!value.isDouble() || dLanguage < 0 || dLanguage > INT_MAX || std::floor(dLanguage) != dLanguage)
        return errorResponse(400, QStringLiteral("\"language\" must be a whole number from 0 to %1").arg(INT_MAX));
    const int iLanguage = int(dLanguage);
    m_backend.requestLanguage(iLanguage);
    return jsonResponse(202, {{QStringLiteral("language"), iLanguage}});
}

} // namespace orbisk
