#include "web/CWebEnginePage.h"

#include <QDebug>
#include <QWebEngineCertificateError>
#include <QWebEngineProfile>

CWebEnginePage::CWebEnginePage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent)
{ }

CWebEnginePage::~CWebEnginePage() = default;

void CWebEnginePage::javaScriptConsoleMessage(
    JavaScriptConsoleMessageLevel, const QString& message, int, const QString&)
{
    // Every level gives the same line; the level, line and source are left out on purpose.
    qDebug() << "javaScriptConsoleMessage:" << message;
}

bool CWebEnginePage::certificateError(const QWebEngineCertificateError&)
{
    return true;
}
