#include "core/LocalServiceHandler.h"

#include "core/LocalServiceBackend.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <string>
#include <vector>

namespace orbisk {

namespace {
const char kJsonType[] = "application/json";

struct Route
{
    const char* path;
    LocalResponse (LocalServiceHandler::*answer)() const;
    std::vector<std::string> methods;
};

std::string allowHeader(const Route& route)
{
    std::string allow;
    for (const std::string& method : route.methods)
        allow += (allow.empty() ? "" : ", ") + method;
    return allow;
}

LocalResponse jsonResponse(int iStatus, const QJsonObject& object)
{
    LocalResponse response;
    response.status = iStatus;
    response.contentType = kJsonType;
    response.headers = {{"Cache-Control", "no-store"}, {"X-Content-Type-Options", "nosniff"}};
    response.body = QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
    return response;
}
} // namespace

LocalServiceHandler::LocalServiceHandler(const LocalServiceBackend& backend)
    : m_backend(backend)
{ }

LocalResponse LocalServiceHandler::handle(const LocalRequest& request) const
{
    // HEAD answers like GET; the server adapter leaves out the body.
    static const Route kRoutes[] = {
        {"/api/status", &LocalServiceHandler::status, {"GET", "HEAD"}},
    };

    for (const Route& route : kRoutes) {
        if (request.path != route.path)
            continue;
        if (std::find(route.methods.begin(), route.methods.end(), request.method) == route.methods.end()) {
            LocalResponse response = errorResponse(405, "method not allowed");
            response.headers.emplace_back("Allow", allowHeader(route));
            return response;
        }
        return (this->*route.answer)();
    }
    return errorResponse(404, "not found");
}

LocalResponse LocalServiceHandler::errorResponse(int iStatus, const char* sMessage)
{
    return jsonResponse(iStatus, {{QStringLiteral("error"), QString::fromUtf8(sMessage)}});
}

LocalResponse LocalServiceHandler::status() const
{
    const LocalServiceStatus current = m_backend.status();
    return jsonResponse(200,
        {
            {QStringLiteral("application"), current.sApplication},
            {QStringLiteral("clientVersion"), current.sClientVersion},
            {QStringLiteral("coreVersion"), current.sCoreVersion},
            {QStringLiteral("protocolVersion"), current.sProtocolVersion},
            {QStringLiteral("activeSide"), activeSideName(current.activeSide)},
        });
}

} // namespace orbisk
