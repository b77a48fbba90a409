#pragma once

#include <QString>

#include <optional>

// User name and password pairs kept in the system's secret store (Secret Service on
// Linux, Credential Manager on Windows) under the client's name, never in a file of
// ours. Calls wait for the store, at most a few seconds, inside a local event loop.
class KeychainCredentials
{
public:
    struct Credentials
    {
        QString sUser;
        QString sPassword;
    };

    // sService names the client in the store; tests pass a name of their own.
    explicit KeychainCredentials(const QString& sService = QStringLiteral("Orbisk Client"));

    // Whether a store answered the last call (or, before any call, a probe now). A
    // desktop without a keyring and a headless machine have none.
    bool isAvailable();

    std::optional<Credentials> read(const QString& sKey);
    // False where nothing could be stored.
    bool write(const QString& sKey, const Credentials& credentials);
    void forget(const QString& sKey);

private:
    QString m_sService;
    std::optional<bool> m_isAvailable;
};
