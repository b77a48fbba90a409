#pragma once

#include <QWebEnginePage>

class QWebEngineCertificateError;
class QWebEngineProfile;

// The page of the web view: console messages go to the debug log, and certificate
// errors never stop a load (transfer servers commonly run on self-signed certificates).
class CWebEnginePage : public QWebEnginePage
{
    Q_OBJECT

public:
    CWebEnginePage(QWebEngineProfile* profile, QObject* parent);
    ~CWebEnginePage() override;

protected:
    void javaScriptConsoleMessage(
        JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber, const QString& sourceID) override;
    bool certificateError(const QWebEngineCertificateError& certificateError) override;
};
