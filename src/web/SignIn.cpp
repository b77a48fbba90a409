#include "web/SignIn.h"

#include <QAuthenticator>
#include <QDebug>
#include <QNetworkProxy>
#include <QUrl>
#include <QWebEnginePage>

namespace {
// "host:port" of the proxy the request goes through, as the proxy set-up names it; the
// engine tells the host only.
QString proxyName(const QUrl& requestUrl, const QString& sHost)
{
    const QList<QNetworkProxy> proxies = QNetworkProxyFactory::proxyForQuery(QNetworkProxyQuery(requestUrl));
    for (const QNetworkProxy& proxy : proxies) {
        if (proxy.hostName().compare(sHost, Qt::CaseInsensitive) == 0 && proxy.port() != 0)
            return sHost + QLatin1Char(':') + QString::number(proxy.port());
    }
    return sHost;
}
} // namespace

SignIn::SignIn(KeychainCredentials* pStore, Asker asker, QObject* parent)
    : QObject(parent)
    , m_pStore(pStore)
    , m_asker(std::move(asker))
{ }

void SignIn::watch(QWebEnginePage* pPage)
{
    connect(pPage, &QWebEnginePage::authenticationRequired, this,
        [this](const QUrl& requestUrl, QAuthenticator* pAuthenticator) {
            answer(Kind::Server, requestUrl.host(), pAuthenticator);
        });
    connect(pPage, &QWebEnginePage::proxyAuthenticationRequired, this,
        [this](const QUrl& requestUrl, QAuthenticator* pAuthenticator, const QString& sProxyHost) {
            answer(Kind::Proxy, proxyName(requestUrl, sProxyHost), pAuthenticator);
        });
}

void SignIn::answerProxy(const QNetworkProxy& proxy, QAuthenticator* pAuthenticator, bool mayAsk)
{
    // A network access manager takes an authenticator left without credentials as
    // "cancel"; a null one it would take as new and ask the proxy again, without end.
    fill(Kind::Proxy, proxy.hostName() + QLatin1Char(':') + QString::number(proxy.port()), pAuthenticator, mayAsk);
}

QString SignIn::keyOf(Kind kind, const QString& sWho, const QString& sRealm) const
{
    return (kind == Kind::Proxy ? QStringLiteral("proxy ") : QStringLiteral("server ")) + sWho.toLower()
        + QStringLiteral(" realm ") + sRealm;
}

void SignIn::answer(Kind kind, const QString& sWho, QAuthenticator* pAuthenticator, bool mayAsk)
{
    // The engine takes a null authenticator as "cancel".
    if (!fill(kind, sWho, pAuthenticator, mayAsk))
        *pAuthenticator = QAuthenticator();
}

bool SignIn::fill(Kind kind, const QString& sWho, QAuthenticator* pAuthenticator, bool mayAsk)
{
    const QString sRealm = pAuthenticator->realm();
    const QString sKey = keyOf(kind, sWho, sRealm);
    Request request{kind, sWho, sRealm, QString(), false, false};

    if (m_supplied.remove(sKey)) {
        // Asked again for what was just given: refused.
        request.isRefused = true;
        request.sUser = m_given.take(sKey).sUser;
        if (m_pStore)
            m_pStore->forget(sKey);
    } else {
        std::optional<KeychainCredentials::Credentials> known;
        if (m_given.contains(sKey))
            known = m_given.value(sKey);
        else if (m_pStore)
            known = m_pStore->read(sKey);
        if (known) {
            m_given.insert(sKey, *known);
            m_supplied.insert(sKey);
            pAuthenticator->setUser(known->sUser);
            pAuthenticator->setPassword(known->sPassword);
            m_cancelled = Kind::None;
            return true;
        }
    }

    KeychainCredentials::Credentials credentials;
    bool isRemembered = false;
    request.canRemember = m_pStore && m_pStore->isAvailable();
    if (!mayAsk || !m_asker(request, &credentials, &isRemembered)) {
        m_cancelled = mayAsk ? kind : Kind::None;
        return false;
    }
    m_cancelled = Kind::None;
    m_given.insert(sKey, credentials);
    m_supplied.insert(sKey);
    if (isRemembered && request.canRemember)
        m_pStore->write(sKey, credentials);
    pAuthenticator->setUser(credentials.sUser);
    pAuthenticator->setPassword(credentials.sPassword);
    return true;
}
