#pragma once

#include <QPointer>
#include <QWebEnginePage>

class CertificateGuard;
class QWebEngineCertificateError;
class QWebEngineProfile;

// The page of the web view: console messages go to the debug log, and certificate
// errors are decided by the certificate guard (a certificate the system does not
// trust loads only once the user trusted it).
// Windows the page opens go to the system's web browser, and the page is never
// replaced by a local file.
class CWebEnginePage : public QWebEnginePage
{
    Q_OBJECT

public:
    CWebEnginePage(QWebEngineProfile* profile, QObject* parent);
    ~CWebEnginePage() override;

    // Without a guard every certificate error refuses the request.
    void setCertificateGuard(CertificateGuard* pGuard);

protected:
    void javaScriptConsoleMessage(
        JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber, const QString& sourceID) override;
    bool certificateError(const QWebEngineCertificateError& certificateError) override;
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;

private:
    QPointer<CertificateGuard> m_pCertificateGuard;
};
