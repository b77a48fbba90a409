#include "web/CertificateTrustStore.h"

#include "storage/OwnFile.h"

#include <QCryptographicHash>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSslCertificate>
#include <QUrl>

namespace {

const int kMaxPort = 65535;

// 32 hex pairs joined by colons, in either letter case.
bool isFingerprint(const QString& sText)
{
    static const QRegularExpression pattern(QStringLiteral("^([0-9A-Fa-f]{2}:){31}[0-9A-Fa-f]{2}$"));
    return pattern.match(sText).hasMatch();
}

// A host (a name, an IPv4 address or a bracketed IPv6 address) and a port 1-65535.
bool isServer(const QString& sServer)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\[[0-9a-f:.]+\\]|[^\\s:/\\[\\]@]+):([0-9]{1,5})$"));
    const QRegularExpressionMatch match = pattern.match(sServer);
    if (!match.hasMatch() || match.captured(1) != match.captured(1).toLower())
        return false;
    const int port = match.captured(2).toInt();
    return port >= 1 && port <= kMaxPort;
}

} // namespace

CertificateTrustStore::CertificateTrustStore(const QString& sPath)
    : m_sPath(sPath)
{ }

void CertificateTrustStore::load()
{
    m_trusted.clear();
    if (!OwnFile::read(m_sPath, [this](const QByteArray& bytes) { return parse(bytes, &m_trusted); }))
        m_trusted.clear();
}

bool CertificateTrustStore::save() const
{
    return OwnFile::save(m_sPath, serialize(m_trusted));
}

CertificateTrustStore::Verdict CertificateTrustStore::verdict(const QString& sServer, const QString& sFingerprint) const
{
    const auto it = m_trusted.constFind(sServer);
    if (it == m_trusted.constEnd())
        return Verdict::Unknown;
    return it->contains(sFingerprint.toUpper()) ? Verdict::Trusted : Verdict::Changed;
}

void CertificateTrustStore::trust(const QString& sServer, const QString& sFingerprint)
{
    m_trusted.insert(sServer, {sFingerprint.toUpper()});
}

QString CertificateTrustStore::serverOf(const QUrl& url)
{
    const QString sHost = url.host(QUrl::FullyEncoded).toLower();
    if (sHost.isEmpty())
        return QString();
    const int defaultPort = url.scheme().compare(QLatin1String("http"), Qt::CaseInsensitive) == 0 ? 80 : 443;
    const QString sPort = QString::number(url.port(defaultPort));
    const bool isIpv6 = QHostAddress(sHost).protocol() == QAbstractSocket::IPv6Protocol;
    return (isIpv6 ? QLatin1Char('[') + sHost + QLatin1Char(']') : sHost) + QLatin1Char(':') + sPort;
}

QString CertificateTrustStore::fingerprintOf(const QSslCertificate& certificate)
{
    const QByteArray hex = certificate.digest(QCryptographicHash::Sha256).toHex().toUpper();
    QStringList pairs;
    for (int i = 0; i < hex.size(); i += 2)
        pairs.append(QString::fromLatin1(hex.mid(i, 2)));
    return pairs.join(QLatin1Char(':'));
}

bool CertificateTrustStore::parse(const QByteArray& bytes, QMap<QString, QStringList>* pEntries)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    QMap<QString, QStringList> entries;
    const QJsonObject object = document.object();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (!isServer(it.key()) || !it.value().isArray() || it.value().toArray().isEmpty())
            return false;
        QStringList fingerprints;
        const QJsonArray array = it.value().toArray();
        for (const QJsonValue& value : array) {
            if (!value.isString() || !isFingerprint(value.toString()))
                return false;
            fingerprints.append(value.toString().toUpper());
        }
        entries.insert(it.key(), fingerprints);
    }
    *pEntries = entries;
    return true;
}

QByteArray CertificateTrustStore::serialize(const QMap<QString, QStringList>& entries)
{
    QJsonObject object;
    for (auto it = entries.constBegin(); it != entries.constEnd(); ++it)
        object.insert(it.key(), QJsonArray::fromStringList(it.value()));
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}
