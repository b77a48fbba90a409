#include "core/ManagedConfig.h"

#include "platform/managedsource.h"

#include <QDebug>
#include <QDir>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <functional>

namespace orbisk {

namespace {

// Why a value breaks its key's rule; empty when it keeps it.
using Problem = QString;

// A value as the rules read it: the text of a string, the entries of a list, the
// number of a DWORD.
enum class Kind { Text, List, Number, Other };

Kind kindOf(const QVariant& value)
{
    switch (static_cast<QMetaType::Type>(value.type())) {
    case QMetaType::QString:
        return Kind::Text;
    case QMetaType::QStringList:
        return Kind::List;
    case QMetaType::UInt:
    case QMetaType::Int:
        return Kind::Number;
    default:
        return Kind::Other;
    }
}

// A bool: true/false, yes/no or 1/0 as text (any case), or a number 0 or 1.
std::optional<bool> boolOf(const QVariant& value)
{
    if (kindOf(value) == Kind::Number) {
        const uint number = value.toUInt();
        if (number <= 1)
            return number == 1;
        return std::nullopt;
    }
    if (kindOf(value) != Kind::Text)
        return std::nullopt;
    const QString text = value.toString().trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("1") || text == QLatin1String("yes"))
        return true;
    if (text == QLatin1String("false") || text == QLatin1String("0") || text == QLatin1String("no"))
        return false;
    return std::nullopt;
}

// A text: a string, or a list of exactly one entry (an INI value that holds a comma
// reads as a list).
std::optional<QString> textOf(const QVariant& value)
{
    if (kindOf(value) == Kind::Text)
        return value.toString().trimmed();
    if (kindOf(value) == Kind::List && value.toStringList().size() == 1)
        return value.toStringList().first().trimmed();
    return std::nullopt;
}

// A list: a list, or one string as a list of one entry (none when it is empty). Blank
// entries are dropped.
std::optional<QStringList> listOf(const QVariant& value)
{
    QStringList entries;
    if (kindOf(value) == Kind::List)
        entries = value.toStringList();
    else if (kindOf(value) == Kind::Text)
        entries = value.toString().split(QLatin1Char('\n'));
    else
        return std::nullopt;
    QStringList result;
    for (const QString& entry : qAsConst(entries)) {
        if (!entry.trimmed().isEmpty())
            result.append(entry.trimmed());
    }
    return result;
}

// An https address with a host, nothing else.
bool isHttpsAddress(const QUrl& url)
{
    return url.isValid() && url.scheme() == QLatin1String("https") && !url.host().isEmpty() && url.userInfo().isEmpty();
}

// The text as a log line may show it: a user name and password in an address are left out.
QString shownValue(const QString& text)
{
    static const QRegularExpression kUserInfo(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*://)?[^/@]*@"));
    return QString(text).replace(kUserInfo, QStringLiteral("\\1"));
}

QString typeProblem(const char* expected)
{
    return QStringLiteral("the value is not %1").arg(QLatin1String(expected));
}

struct Rule
{
    const char* key;
    // Applies the value to the configuration, or says why it cannot.
    std::function<Problem(const QVariant&, ManagedConfig&, QString& shown)> apply;
};

Problem applyBool(const QVariant& value, bool& target, QString& shown)
{
    const std::optional<bool> flag = boolOf(value);
    if (!flag)
        return typeProblem("true/false or 1/0");
    target = *flag;
    shown = target ? QStringLiteral("true") : QStringLiteral("false");
    return {};
}

Problem applyOptionalBool(const QVariant& value, std::optional<bool>& target, QString& shown)
{
    bool flag = false;
    const Problem problem = applyBool(value, flag, shown);
    if (problem.isEmpty())
        target = flag;
    return problem;
}

Problem applyServers(const QVariant& value, ManagedConfig& config, QString& shown)
{
    const std::optional<QStringList> entries = listOf(value);
    if (!entries)
        return typeProblem("a list");
    QVector<ManagedServer> servers;
    QSet<QString> urls;
    for (int i = 0; i < entries->size(); ++i) {
        const QString& entry = entries->at(i);
        const int bar = entry.lastIndexOf(QLatin1Char('|'));
        if (bar < 0)
            return QStringLiteral("entry %1 is not \"name|https-address\"").arg(i + 1);
        const ManagedServer server{entry.left(bar).trimmed(), entry.mid(bar + 1).trimmed()};
        if (server.name.isEmpty())
            return QStringLiteral("entry %1 has no name").arg(i + 1);
        if (!isHttpsAddress(QUrl(server.url, QUrl::StrictMode)))
            return QStringLiteral("entry %1 (%2) is not an https address").arg(i + 1).arg(shownValue(server.url));
        if (urls.contains(server.url))
            return QStringLiteral("entry %1 repeats the address %2").arg(i + 1).arg(shownValue(server.url));
        urls.insert(server.url);
        servers.append(server);
    }
    if (servers.isEmpty())
        return QStringLiteral("the list is empty");
    config.servers = servers;
    shown = servers.size() == 1 ? QStringLiteral("1 server") : QStringLiteral("%1 servers").arg(servers.size());
    return {};
}

Problem applyDefaultServer(const QVariant& value, ManagedConfig& config, QString& shown)
{
    const std::optional<QString> text = textOf(value);
    if (!text)
        return typeProblem("a text");
    for (const ManagedServer& server : qAsConst(config.servers)) {
        if (server.name == *text || server.url == *text) {
            config.defaultServerUrl = server.url;
            shown = server.url;
            return {};
        }
    }
    return QStringLiteral("%1 is not a managed server").arg(*text);
}

Problem applyManifestUrl(const QVariant& value, ManagedConfig& config, QString& shown)
{
    const std::optional<QString> text = textOf(value);
    if (!text)
        return typeProblem("a text");
    const QUrl url(*text, QUrl::StrictMode);
    if (!isHttpsAddress(url))
        return QStringLiteral("%1 is not an https address").arg(shownValue(*text));
    config.updateManifestUrl = url;
    shown = url.toString();
    return {};
}

Problem applyFingerprints(const QVariant& value, ManagedConfig& config, QString& shown)
{
    const std::optional<QStringList> entries = listOf(value);
    if (!entries)
        return typeProblem("a list");
    static const QRegularExpression kHex(QStringLiteral("^[0-9A-F]{64}$"));
    QStringList fingerprints;
    for (int i = 0; i < entries->size(); ++i) {
        const QString hex = entries->at(i).toUpper().remove(QLatin1Char(':'));
        if (!kHex.match(hex).hasMatch())
            return QStringLiteral("entry %1 is not a SHA-256 fingerprint").arg(i + 1);
        QStringList pairs;
        for (int j = 0; j < hex.size(); j += 2)
            pairs.append(hex.mid(j, 2));
        fingerprints.append(pairs.join(QLatin1Char(':')));
    }
    if (fingerprints.isEmpty())
        return QStringLiteral("the list is empty");
    config.trustedCertificates = fingerprints;
    shown = QStringLiteral("%1 fingerprints").arg(fingerprints.size());
    return {};
}

Problem applyCaFile(const QVariant& value, ManagedConfig& config, QString& shown)
{
    const std::optional<QString> path = textOf(value);
    if (!path || path->isEmpty())
        return typeProblem("a path");
    const QList<QSslCertificate> certificates = QSslCertificate::fromPath(*path, QSsl::Pem);
    if (certificates.isEmpty())
        return QStringLiteral("%1 holds no readable PEM certificate").arg(*path);
    config.trustedCas = certificates;
    shown = QStringLiteral("%1 (%2 certificates)").arg(*path).arg(certificates.size());
    return {};
}

Problem applyAuthAllowlist(const QVariant& value, ManagedConfig& config, QString& shown)
{
    const std::optional<QStringList> patterns = listOf(value);
    if (!patterns)
        return typeProblem("a list");
    // Host names with an optional leading wildcard; nothing the engine's flag could
    // read as another option or another entry.
    static const QRegularExpression kPattern(QStringLiteral("^(\\*\\.?)?[A-Za-z0-9.-]+$"));
    for (int i = 0; i < patterns->size(); ++i) {
        if (!kPattern.match(patterns->at(i)).hasMatch())
            return QStringLiteral("entry %1 is not a host pattern").arg(i + 1);
    }
    config.authServerAllowlist = *patterns;
    shown = patterns->join(QLatin1Char(','));
    return {};
}

Problem applyProxy(const QVariant& value, ManagedConfig& config, QString& shown)
{
    const std::optional<QString> text = textOf(value);
    if (!text)
        return typeProblem("a text");
    // host:port, the host as a URL would hold it; no user name or password here.
    const QUrl url(QStringLiteral("http://") + *text, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || url.port() <= 0 || !url.userInfo().isEmpty() || !url.path().isEmpty()
        || url.hasQuery() || url.hasFragment())
        return QStringLiteral("%1 is not host:port").arg(shownValue(*text));
    config.proxyHost = url.host();
    config.proxyPort = quint16(url.port());
    shown = *text;
    return {};
}

Problem applyPacUrl(const QVariant& value, ManagedConfig& config, QString& shown)
{
    const std::optional<QString> text = textOf(value);
    if (!text)
        return typeProblem("a text");
    const QUrl url(*text, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || !url.userInfo().isEmpty()
        || (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http")))
        return QStringLiteral("%1 is not an http or https address without a password").arg(shownValue(*text));
    config.proxyPacUrl = url;
    shown = url.toString();
    return {};
}

Problem applyDownloadFolder(const QVariant& value, ManagedConfig& config, QString& shown, const QString& sHome)
{
    const std::optional<QString> text = textOf(value);
    if (!text || text->isEmpty())
        return typeProblem("a path");
    QString path = *text;
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/")) || path.startsWith(QLatin1String("~\\")))
        path = sHome + path.mid(1);
    path.replace(QLatin1String("%USERPROFILE%"), sHome, Qt::CaseInsensitive);
    if (!QDir::isAbsolutePath(path))
        return QStringLiteral("%1 is not an absolute path").arg(*text);
    config.downloadFolder = QDir::cleanPath(path);
    shown = config.downloadFolder;
    return {};
}

// The rules in the order of keys(); DefaultServer follows Servers, which it refers to.
QVector<Rule> rules(const QString& sHome)
{
    return {
        {"Servers", applyServers},
        {"DefaultServer", applyDefaultServer},
        {"DefaultServerLocked",
            [](const QVariant& v, ManagedConfig& c, QString& s) { return applyBool(v, c.defaultServerLocked, s); }},
        {"AllowUserServers",
            [](const QVariant& v, ManagedConfig& c, QString& s) { return applyBool(v, c.allowUserServers, s); }},
        {"UpdateCheck", [](const QVariant& v, ManagedConfig& c, QString& s) { return applyBool(v, c.updateCheck, s); }},
        {"UpdateManifestUrl", applyManifestUrl},
        {"StartWithSystem",
            [](const QVariant& v, ManagedConfig& c, QString& s) { return applyOptionalBool(v, c.startWithSystem, s); }},
        {"MinimizeToTray",
            [](const QVariant& v, ManagedConfig& c, QString& s) { return applyOptionalBool(v, c.minimizeToTray, s); }},
        {"RemoteDebugging",
            [](const QVariant& v, ManagedConfig& c, QString& s) { return applyBool(v, c.remoteDebugging, s); }},
        {"TrustedCertificates", applyFingerprints},
        {"TrustedCaFile", applyCaFile},
        {"AllowCertificateExceptions",
            [](const QVariant& v, ManagedConfig& c, QString& s) {
                return applyBool(v, c.allowCertificateExceptions, s);
            }},
        {"AuthServerAllowlist", applyAuthAllowlist},
        {"ProxyServer", applyProxy},
        {"ProxyPacUrl", applyPacUrl},
        {"DownloadFolder",
            [sHome](const QVariant& v, ManagedConfig& c, QString& s) { return applyDownloadFolder(v, c, s, sHome); }},
    };
}

} // namespace

const QStringList& ManagedConfig::keys()
{
    static const QStringList kKeys = [] {
        QStringList keys;
        for (const Rule& rule : rules(QString()))
            keys.append(QLatin1String(rule.key));
        return keys;
    }();
    return kKeys;
}

ManagedConfig ManagedConfig::fromValues(const QVariantMap& values, const QString& sHome, QStringList& log)
{
    ManagedConfig config;
    // Registry value names ignore case, so a key typed by hand counts in any case.
    QVariantMap known;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        const auto key = std::find_if(keys().cbegin(), keys().cend(),
            [&it](const QString& sKey) { return sKey.compare(it.key(), Qt::CaseInsensitive) == 0; });
        if (key == keys().cend())
            log.append(QStringLiteral("managed: %1 is not a key the client knows; ignored").arg(it.key()));
        else
            known.insert(*key, it.value());
    }
    for (const Rule& rule : rules(sHome)) {
        const QString sKey = QLatin1String(rule.key);
        if (!known.contains(sKey))
            continue;
        // A refused key must leave nothing behind, so each rule works on a copy.
        ManagedConfig candidate = config;
        QString shown;
        const Problem problem = rule.apply(known.value(sKey), candidate, shown);
        if (!problem.isEmpty()) {
            log.append(QStringLiteral("managed: %1 refused: %2; not managed").arg(sKey, problem));
            continue;
        }
        config = candidate;
        config.managedKeys.append(sKey);
        log.append(QStringLiteral("managed: %1 = %2").arg(sKey, shown));
    }
    return config;
}

ManagedConfig ManagedConfig::load()
{
    const platform::ManagedSource source = platform::readManagedSource();
    if (!source.sProblem.isEmpty()) {
        qInfo().noquote() << "managed:" << source.sLocation << "cannot be used:" << source.sProblem
                          << "; nothing is managed";
        return {};
    }
    QStringList log;
    const ManagedConfig config = fromValues(source.values, QDir::homePath(), log);
    for (const QString& line : qAsConst(log))
        qInfo().noquote() << line;
    return config;
}

} // namespace orbisk
