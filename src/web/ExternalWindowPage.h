#pragma once

#include <QWebEnginePage>

// The page the engine gets when the server's page asks for a new window. Nothing is
// ever shown in it: its first navigation is handed to the system's web browser when
// it is an http or https address, refused otherwise, and the page then deletes
// itself. A window that never navigates is deleted after a while.
class ExternalWindowPage : public QWebEnginePage
{
    Q_OBJECT

public:
    // How long a new window may wait for its first navigation.
    static constexpr int kFirstNavigationTimeoutMs = 10000;

    ExternalWindowPage(QWebEngineProfile* profile, QObject* parent);
    ~ExternalWindowPage() override;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;

private:
    bool m_isDone = false;
};
