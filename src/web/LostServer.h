#pragma once

#include <QObject>
#include <QTimer>
#include <QUrl>

class QTcpSocket;
class QWebEnginePage;

// Watches a page that was shown for its server going away. When a load of the page
// itself fails (a reload, a navigation inside the application) and the server does not
// take a connection, the server counts as lost: lost() counts down to the next try,
// whose delay doubles from kFirstRetryS up to kMaxRetryS; once the server takes a
// connection again the page is reloaded, and back() follows its load. A failed load
// while the server answers (a cancelled navigation, a download) changes nothing.
class LostServer : public QObject
{
    Q_OBJECT

public:
    static constexpr int kFirstRetryS = 2;
    static constexpr int kMaxRetryS = 60;

    // A child of pPage; sServerUrl names the server the page came from.
    LostServer(QWebEnginePage* pPage, const QUrl& serverUrl);

    // The wait before the try after iFailedTries failed ones: 2, 4, 8 ... 60 s.
    static int retryDelayS(int iFailedTries);

signals:
    // The server is lost; the next try comes in iSeconds.
    void lost(int iSeconds);
    // The page has loaded again.
    void back();

public slots:
    // Reloads the page at once instead of waiting.
    void tryNow();

private:
    void onLoadFinished(bool isSuccess);
    void probe();
    void onProbeResult(bool isConnected);
    void tick();

    QWebEnginePage* m_pPage;
    const QUrl m_serverUrl;
    QTcpSocket* m_pProbe = nullptr;
    QTimer m_countdown;
    bool m_isLost = false;
    int m_iFailedTries = 0;
    int m_iRemainingS = 0;
};
