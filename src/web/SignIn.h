#pragma once

#include "web/KeychainCredentials.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>

class QAuthenticator;
class QNetworkProxy;
class QUrl;
class QWebEnginePage;

// Sign-in for proxies and servers that ask for a user name and password. Credentials
// given once are used again for the rest of the run; "Remember" keeps them in the
// system's secret store. Credentials that come back refused are forgotten and asked
// for again, with the user name filled in.
class SignIn : public QObject
{
    Q_OBJECT

public:
    enum class Kind { None, Proxy, Server };

    // What the user is asked.
    struct Request
    {
        Kind kind = Kind::Server;
        QString sWho; // "host:port" of a proxy, the host of a server
        QString sRealm;
        QString sUser; // filled in when earlier credentials were refused
        bool isRefused = false;
        bool canRemember = false;
    };
    // The user's answer: false for Cancel.
    using Asker
        = std::function<bool(const Request& request, KeychainCredentials::Credentials* pCredentials, bool* pRemember)>;

    // The store may be null: then nothing is remembered across runs.
    SignIn(KeychainCredentials* pStore, Asker asker, QObject* parent = nullptr);

    // Answers the page's requests for proxy and server sign-in.
    void watch(QWebEnginePage* pPage);

    // Fills the authenticator for one of the engine's requests; a null authenticator
    // when the user cancelled or may not be asked (mayAsk false: remembered credentials only).
    void answer(Kind kind, const QString& sWho, QAuthenticator* pAuthenticator, bool mayAsk = true);
    // The same for a network access manager's proxy, whose authenticator stays without
    // credentials instead.
    void answerProxy(const QNetworkProxy& proxy, QAuthenticator* pAuthenticator, bool mayAsk);

    // What the last sign-in the user cancelled was for, until the next answer; the
    // failed load then names it.
    Kind cancelled() const { return m_cancelled; }

private:
    // Puts credentials into the authenticator; false when the user cancelled or may
    // not be asked and nothing is remembered.
    bool fill(Kind kind, const QString& sWho, QAuthenticator* pAuthenticator, bool mayAsk);
    QString keyOf(Kind kind, const QString& sWho, const QString& sRealm) const;
    std::optional<KeychainCredentials::Credentials> known(const QString& sKey) const;

    KeychainCredentials* m_pStore;
    Asker m_asker;
    // Credentials given in this run, by key.
    QHash<QString, KeychainCredentials::Credentials> m_given;
    // Keys whose credentials went to the engine; asked again means refused.
    QSet<QString> m_supplied;
    // A proxy's "host:port" key whose credentials were found under its host alone.
    QHash<QString, QString> m_hostKeys;
    Kind m_cancelled = Kind::None;
};
