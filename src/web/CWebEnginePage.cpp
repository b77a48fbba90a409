#include "web/CWebEnginePage.h"

#include "web/CertificateGuard.h"
#include "web/ExternalWindowPage.h"
#include "web/ServerPage.h"

#include <QDebug>
#include <QWebEngineCertificateError>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

CWebEnginePage::CWebEnginePage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent)
{
    // A script may open a window only while the user acts (a click), as a browser's
    // pop-up blocker allows; otherwise a page could flood the system browser.
    settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    // The application may put text on the clipboard (its "copy link" buttons); reading
    // the clipboard stays refused, since that needs the paste permission as well.
    settings()->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, true);
}

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

bool CWebEnginePage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    if (!ServerPage::mayNavigateTo(url)) {
        qDebug() << "refused navigation to" << url;
        return false;
    }
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

QWebEnginePage* CWebEnginePage::createWindow(WebWindowType)
{
    return new ExternalWindowPage(profile(), this);
}
