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

std::optional<KeychainCredentials::Credentials> SignIn::known(const QString& sKey) const
{
    if (m_given.contains(sKey))
        return m_given.value(sKey);
    return m_pStore ? m_pStore->read(sKey) : std::nullopt;
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
        const QString sHostKey = m_hostKeys.take(sKey);
        m_given.remove(sHostKey);
        if (m_pStore) {
            m_pStore->forget(sKey);
            if (!sHostKey.isEmpty())
                m_pStore->forget(sHostKey);
        }
    } else {
        std::optional<KeychainCredentials::Credentials> known = this->known(sKey);
        // The page names a proxy that a proxy script chose by its host alone, and the
        // user's answer there is what the client's own requests through it need.
        const int portAt = sWho.lastIndexOf(QLatin1Char(':'));
        if (!known && kind == Kind::Proxy && portAt > 0) {
            const QString sHostKey = keyOf(kind, sWho.left(portAt), sRealm);
            known = this->known(sHostKey);
            if (known)
                m_hostKeys.insert(sKey, sHostKey);
        }
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
