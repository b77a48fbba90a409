#include "web/KeychainCredentials.h"

#include <qt5keychain/keychain.h>

#include <QDebug>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

namespace {
// A store that takes longer than this is treated as absent for this call.
const int kStoreTimeoutMs = 5000;
const QString kProbeKey = QStringLiteral("store probe");

// Runs the job to its end; false when the store did not finish in time.
bool run(QKeychain::Job& job)
{
    job.setAutoDelete(false);
    QEventLoop loop;
    bool isFinished = false;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, [&loop, &isFinished] {
        isFinished = true;
        loop.quit();
    });
    QTimer::singleShot(kStoreTimeoutMs, &loop, &QEventLoop::quit);
    job.start();
    if (!isFinished)
        loop.exec();
    return isFinished;
}

// Whether an error means that no store is there at all.
bool isAbsent(QKeychain::Error error)
{
    return error == QKeychain::NoBackendAvailable || error == QKeychain::NotImplemented
        || error == QKeychain::OtherError;
}
} // namespace

KeychainCredentials::KeychainCredentials(const QString& sService)
    : m_sService(sService)
{ }

bool KeychainCredentials::isAvailable()
{
    if (!m_isAvailable)
        read(kProbeKey);
    return m_isAvailable.value_or(false);
}

std::optional<KeychainCredentials::Credentials> KeychainCredentials::read(const QString& sKey)
{
    QKeychain::ReadPasswordJob job(m_sService);
    job.setKey(sKey);
    const bool isFinished = run(job);
    m_isAvailable = isFinished && !isAbsent(job.error());
    if (!isFinished || job.error() != QKeychain::NoError)
        return std::nullopt;
    const QJsonObject stored = QJsonDocument::fromJson(job.binaryData()).object();
    if (!stored.value(QStringLiteral("user")).isString() || !stored.value(QStringLiteral("password")).isString())
        return std::nullopt;
    return Credentials{
        stored.value(QStringLiteral("user")).toString(), stored.value(QStringLiteral("password")).toString()};
}

bool KeychainCredentials::write(const QString& sKey, const Credentials& credentials)
{
    QKeychain::WritePasswordJob job(m_sService);
    job.setKey(sKey);
    job.setBinaryData(QJsonDocument(
        QJsonObject{{QStringLiteral("user"), credentials.sUser}, {QStringLiteral("password"), credentials.sPassword}})
                          .toJson(QJsonDocument::Compact));
    const bool isFinished = run(job);
    m_isAvailable = isFinished && !isAbsent(job.error());
    if (!isFinished || job.error() != QKeychain::NoError) {
        // The store's message, never the credentials.
        qWarning() << "sign-in for" << sKey << "not remembered:" << (isFinished ? job.errorString() : "no answer");
        return false;
    }
    return true;
}

void KeychainCredentials::forget(const QString& sKey)
{
    QKeychain::DeletePasswordJob job(m_sService);
    job.setKey(sKey);
    run(job);
}
