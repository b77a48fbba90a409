#pragma once

// A proxy auto-configuration (PAC) script for the client's own requests: fetched once,
// run in a JavaScript engine of its own on a worker thread, its FindProxyForURL answer
// turned into the proxy Qt's network access uses. The page does not need this: the web
// engine runs the script itself.

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QObject>
#include <QUrl>

#include <functional>
#include <optional>
#include <vector>

namespace orbisk {

class ProxyAutoConfig : public QObject
{
    Q_OBJECT

public:
    using Done = std::function<void(const QNetworkProxy&)>;

    // Larger scripts are refused: real ones are a few kilobytes.
    static constexpr qint64 kMaxScriptBytes = 1024 * 1024;
    // A script still running by then is stopped and counts as failed.
    static constexpr int kRunTimeoutMs = 5000;
    static constexpr int kFetchTimeoutMs = 10000;

    explicit ProxyAutoConfig(const QUrl& scriptUrl, QObject* parent = nullptr);
    ~ProxyAutoConfig() override;

    // Calls done on this object's thread with the proxy the script chooses for url, or
    // with QNetworkProxy::DefaultProxy (the client's proxy rule without a script) where
    // the script cannot be fetched or run, after one log line that says why. A fetched
    // script is kept for the rest of the run.
    void choose(const QUrl& url, Done done);

    // Runs script's FindProxyForURL for url on the calling thread. The first entry of its
    // answer that Qt can use, or nullopt with *pProblem set.
    static std::optional<QNetworkProxy> run(
        const QString& script, const QUrl& url, QString* pProblem, int timeoutMs = kRunTimeoutMs);

    // The first usable entry of an answer such as "PROXY a:3128; SOCKS5 b:1080; DIRECT".
    // HTTPS and SOCKS (version 4) proxies are passed over: Qt speaks neither.
    static std::optional<QNetworkProxy> firstUsable(const QString& answer);

private:
    void fetched(QNetworkReply* pReply);
    void runFor(const QUrl& url, Done done);
    void failWaiting(const QString& sProblem);
    void logUnused(const QString& sProblem) const;

    QUrl m_scriptUrl;
    QString m_script;
    QNetworkAccessManager m_manager;
    QNetworkReply* m_pFetch = nullptr;
    std::vector<std::pair<QUrl, Done>> m_waiting;
};

} // namespace orbisk
