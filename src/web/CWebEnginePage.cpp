#include "web/CWebEnginePage.h"

#include "web/CertificateGuard.h"

#include <QDebug>
#include <QWebEngineCertificateError>
#include <QWebEngineProfile>

CWebEnginePage::CWebEnginePage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent)
{ }

CWebEnginePage::~CWebEnginePage()
{
    // Requests still waiting for the user's answer are refused while the page exists.
    if (m_pCertificateGuard)
        m_pCertificateGuard->releasePage(this);
}

void CWebEnginePage::setCertificateGuard(CertificateGuard* pGuard)
{
    m_pCertificateGuard = pGuard;
}

void CWebEnginePage::javaScriptConsoleMessage(
    JavaScriptConsoleMessageLevel, const QString& message, int, const QString&)
{
    // Every level gives the same line; the level, line and source are left out on purpose.
    qDebug() << "javaScriptConsoleMessage:" << message;
}

bool CWebEnginePage::certificateError(const QWebEngineCertificateError& certificateError)
{
    return m_pCertificateGuard && m_pCertificateGuard->check(this, certificateError);
}
