#include "core/ProxyAutoConfig.h"

#include <QDebug>
#include <QHostInfo>
#include <QJSEngine>
#include <QNetworkInterface>
#include <QNetworkReply>
#include <QThread>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {

// The functions a proxy script may call, as browsers give them. dnsResolve and
// myIpAddress ask the client (PacHost); the rest is plain JavaScript. A range of days,
// dates or times may wrap around (FRI to MON, NOV to FEB, 22 to 6 o'clock).
const char kHelpers[] = R"JS(
function dnsResolve(host) { return __pacHost.resolve(String(host)) || null; }
function myIpAddress() { return __pacHost.myAddress(); }
function isResolvable(host) { return dnsResolve(host) !== null; }
function isPlainHostName(host) { return String(host).indexOf('.') < 0; }
function dnsDomainIs(host, domain) {
    host = String(host).toLowerCase(); domain = String(domain).toLowerCase();
    return host.length >= domain.length && host.substring(host.length - domain.length) === domain;
}
function localHostOrDomainIs(host, hostdom) {
    host = String(host).toLowerCase(); hostdom = String(hostdom).toLowerCase();
    return host === hostdom || (host.indexOf('.') < 0 && hostdom.indexOf(host + '.') === 0);
}
function dnsDomainLevels(host) { return String(host).split('.').length - 1; }
function shExpMatch(text, pattern) {
    var expression = String(pattern).replace(/[.+^${}()|[\]\\]/g, '\\$&').replace(/\*/g, '.*').replace(/\?/g, '.');
    return new RegExp('^' + expression + '$').test(String(text));
}
function __ipv4(text) {
    var parts = String(text).split('.');
    if (parts.length !== 4) return null;
    var value = 0;
    for (var i = 0; i < 4; ++i) {
        if (!/^[0-9]{1,3}$/.test(parts[i]) || Number(parts[i]) > 255) return null;
        value = value * 256 + Number(parts[i]);
    }
    return value;
}
function isInNet(host, pattern, mask) {
    var address = __ipv4(host);
    if (address === null) address = __ipv4(dnsResolve(host));
    var net = __ipv4(pattern), bits = __ipv4(mask);
    if (address === null || net === null || bits === null) return false;
    return ((address & bits) >>> 0) === ((net & bits) >>> 0);
}
var __days = ['SUN', 'MON', 'TUE', 'WED', 'THU', 'FRI', 'SAT'];
var __months = ['JAN', 'FEB', 'MAR', 'APR', 'MAY', 'JUN', 'JUL', 'AUG', 'SEP', 'OCT', 'NOV', 'DEC'];
function __now(args) {
    args = Array.prototype.slice.call(args);
    var gmt = args.length > 0 && args[args.length - 1] === 'GMT';
    if (gmt) args.pop();
    var d = new Date();
    return gmt ? { args: args, day: d.getUTCDate(), month: d.getUTCMonth(), year: d.getUTCFullYear(),
                   weekday: d.getUTCDay(), second: d.getUTCHours() * 3600 + d.getUTCMinutes() * 60 + d.getUTCSeconds() }
               : { args: args, day: d.getDate(), month: d.getMonth(), year: d.getFullYear(),
                   weekday: d.getDay(), second: d.getHours() * 3600 + d.getMinutes() * 60 + d.getSeconds() };
}
function __within(value, from, to) { return from <= to ? value >= from && value <= to : value >= from || value <= to; }
function weekdayRange() {
    var now = __now(arguments);
    var from = __days.indexOf(now.args[0]), to = now.args.length > 1 ? __days.indexOf(now.args[1]) : from;
    return from >= 0 && to >= 0 && __within(now.weekday, from, to);
}
function timeRange() {
    var now = __now(arguments), n = now.args.map(Number), from, to;
    if (n.length === 1) { from = n[0] * 3600; to = from + 3599; }
    else if (n.length === 2) { from = n[0] * 3600; to = n[1] * 3600 - 1; }
    else if (n.length === 4) { from = n[0] * 3600 + n[1] * 60; to = n[2] * 3600 + n[3] * 60 + 59; }
    else if (n.length === 6) { from = n[0] * 3600 + n[1] * 60 + n[2]; to = n[3] * 3600 + n[4] * 60 + n[5]; }
    else return false;
    return __within(now.second, from, to);
}
function dateRange() {
    var now = __now(arguments), args = now.args;
    if (args.length === 0 || args.length > 6 || (args.length > 1 && args.length % 2 !== 0)) return false;
    var weight = { year: 10000, month: 100, day: 1 };
    var fields = args.map(function (value) {
        var month = __months.indexOf(value), n = Number(value);
        if (month >= 0) return { field: 'month', value: month };
        if (n >= 1 && n <= 31) return { field: 'day', value: n };
        if (n >= 1000) return { field: 'year', value: n };
        return null;
    });
    if (fields.indexOf(null) >= 0) return false;
    var from = fields.slice(0, Math.max(1, args.length / 2)), to = args.length === 1 ? from : fields.slice(args.length / 2);
    for (var i = 0; i < from.length; ++i)
        if (from[i].field !== to[i].field) return false;
    function key(ends, current) {
        var sum = 0;
        ends.forEach(function (end) { sum += (current ? now[end.field] : end.value) * weight[end.field]; });
        return sum;
    }
    var first = key(from, false), last = key(to, false);
    if (first > last && from.some(function (end) { return end.field === 'year'; })) return false;
    return __within(key(from, true), first, last);
}
)JS";

// What a script learns from the machine, asked on the thread the script runs on.
class PacHost : public QObject
{
    Q_OBJECT

public:
    explicit PacHost(QObject* parent)
        : QObject(parent)
    { }

    // The host's first IPv4 address, or an empty text where it has none.
    Q_INVOKABLE QString resolve(const QString& sHost) const
    {
        const QList<QHostAddress> addresses = QHostInfo::fromName(sHost).addresses();
        for (const QHostAddress& address : addresses) {
            if (address.protocol() == QAbstractSocket::IPv4Protocol)
                return address.toString();
        }
        return QString();
    }

    Q_INVOKABLE QString myAddress() const
    {
        const QList<QHostAddress> addresses = QNetworkInterface::allAddresses();
        for (const QHostAddress& address : addresses) {
            if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback() && !address.isLinkLocal())
                return address.toString();
        }
        return QStringLiteral("127.0.0.1");
    }
};

// Interrupts the engine's script once the time is up, unless the run ended before.
class Watchdog
{
public:
    Watchdog(QJSEngine& engine, int timeoutMs)
        : m_thread([this, &engine, timeoutMs] {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (!m_ended.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_isEnded; }))
                engine.setInterrupted(true);
        })
    { }

    ~Watchdog()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_isEnded = true;
        }
        m_ended.notify_one();
        m_thread.join();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_isEnded = false;
    std::thread m_thread;
};

// The address as a script is given it: an https address without its path and query,
// which may carry what the script's author should not learn; no user name or password.
QString addressForScript(const QUrl& url)
{
    QUrl shown = url.adjusted(QUrl::RemoveUserInfo | QUrl::RemoveFragment);
    if (shown.scheme() == QLatin1String("https"))
        shown = shown.adjusted(QUrl::RemovePath | QUrl::RemoveQuery).toString() + QLatin1Char('/');
    return shown.toString(QUrl::FullyEncoded);
}

const int kLongestAnswerShown = 200;

} // namespace

namespace orbisk {

ProxyAutoConfig::ProxyAutoConfig(const QUrl& scriptUrl, QObject* parent)
    : QObject(parent)
    , m_scriptUrl(scriptUrl)
{
    // Fetched directly, as the web engine fetches it: the script is what names the proxy.
    m_manager.setProxy(QNetworkProxy::NoProxy);
}

ProxyAutoConfig::~ProxyAutoConfig()
{
    // The manager deletes its replies after this body; none may reach fetched on the way.
    if (m_pFetch)
        m_pFetch->disconnect(this);
}

std::optional<QNetworkProxy> ProxyAutoConfig::firstUsable(const QString& answer)
{
    for (const QString& entry : answer.split(QLatin1Char(';'))) {
        const QStringList parts = entry.simplified().split(QLatin1Char(' '));
        const QString sKind = parts.value(0).toUpper();
        if (sKind == QLatin1String("DIRECT") && parts.size() == 1)
            return QNetworkProxy(QNetworkProxy::NoProxy);
        if (parts.size() != 2)
            continue;
        const bool isHttp = sKind == QLatin1String("PROXY") || sKind == QLatin1String("HTTP");
        if (!isHttp && sKind != QLatin1String("SOCKS5"))
            continue;
        // host:port, an IPv6 host in brackets; the usual port where none is given.
        const QUrl hostPort(QStringLiteral("proxy://") + parts.at(1));
        if (!hostPort.isValid() || hostPort.host().isEmpty() || !hostPort.path().isEmpty()
            || !hostPort.userInfo().isEmpty() || hostPort.hasQuery() || hostPort.hasFragment())
            continue;
        return QNetworkProxy(isHttp ? QNetworkProxy::HttpProxy : QNetworkProxy::Socks5Proxy, hostPort.host(),
            quint16(hostPort.port(isHttp ? 80 : 1080)));
    }
    return std::nullopt;
}

std::optional<QNetworkProxy> ProxyAutoConfig::run(
    const QString& script, const QUrl& url, QString* pProblem, int timeoutMs)
{
    QJSEngine engine;
    // With a parent, the host stays the engine's child and out of the script's collection.
    engine.globalObject().setProperty(QStringLiteral("__pacHost"), engine.newQObject(new PacHost(&engine)));
    QJSValue answer;
    {
        Watchdog watchdog(engine, timeoutMs);
        engine.evaluate(QString::fromLatin1(kHelpers));
        const QJSValue loaded = engine.evaluate(script, QStringLiteral("proxy script"));
        QJSValue find = engine.globalObject().property(QStringLiteral("FindProxyForURL"));
        if (!engine.isInterrupted() && loaded.isError()) {
            *pProblem = QStringLiteral("the script does not run: ") + loaded.toString();
            return std::nullopt;
        }
        if (!engine.isInterrupted() && !find.isCallable()) {
            *pProblem = QStringLiteral("the script has no FindProxyForURL function");
            return std::nullopt;
        }
        if (!engine.isInterrupted())
            answer = find.call({addressForScript(url), url.host()});
    }
    if (engine.isInterrupted()) {
        *pProblem = QStringLiteral("the script ran longer than %1 ms").arg(timeoutMs);
        return std::nullopt;
    }
    if (!answer.isString()) {
        *pProblem = QStringLiteral("FindProxyForURL answered ") + answer.toString().left(kLongestAnswerShown);
        return std::nullopt;
    }
    const std::optional<QNetworkProxy> proxy = firstUsable(answer.toString());
    if (!proxy)
        *pProblem
            = QStringLiteral("no entry the client can use in \"%1\"").arg(answer.toString().left(kLongestAnswerShown));
    return proxy;
}

void ProxyAutoConfig::choose(const QUrl& url, Done done)
{
    if (!m_script.isEmpty()) {
        runFor(url, std::move(done));
        return;
    }
    m_waiting.emplace_back(url, std::move(done));
    if (m_pFetch)
        return;
    QNetworkRequest request(m_scriptUrl);
    request.setTransferTimeout(kFetchTimeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    m_pFetch = m_manager.get(request);
    QNetworkReply* reply = m_pFetch;
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64 total) {
        if (received > kMaxScriptBytes || total > kMaxScriptBytes)
            reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { fetched(reply); });
}

void ProxyAutoConfig::fetched(QNetworkReply* pReply)
{
    m_pFetch = nullptr;
    pReply->deleteLater();
    const QVariant status = pReply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (pReply->error() != QNetworkReply::NoError) {
        failWaiting(QStringLiteral("the script could not be fetched: ") + pReply->errorString());
        return;
    }
    if (status.isValid() && status.toInt() != 200) {
        failWaiting(QStringLiteral("the script's server answered %1").arg(status.toInt()));
        return;
    }
    const QByteArray body = pReply->isOpen() ? pReply->read(kMaxScriptBytes + 1) : QByteArray();
    if (body.size() > kMaxScriptBytes || body.trimmed().isEmpty()) {
        failWaiting(QStringLiteral("the script is empty or larger than 1 MiB"));
        return;
    }
    m_script = QString::fromUtf8(body);
    std::vector<std::pair<QUrl, Done>> waiting;
    waiting.swap(m_waiting);
    for (auto& [url, done] : waiting)
        runFor(url, std::move(done));
}

void ProxyAutoConfig::runFor(const QUrl& url, Done done)
{
    struct Outcome
    {
        std::optional<QNetworkProxy> proxy;
        QString sProblem;
    };
    auto outcome = std::make_shared<Outcome>();
    QThread* worker
        = QThread::create([script = m_script, url, outcome] { outcome->proxy = run(script, url, &outcome->sProblem); });
    connect(worker, &QThread::finished, this, [this, outcome, done = std::move(done)] {
        if (outcome->proxy) {
            done(*outcome->proxy);
            return;
        }
        logUnused(outcome->sProblem);
        done(QNetworkProxy(QNetworkProxy::DefaultProxy));
    });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

void ProxyAutoConfig::logUnused(const QString& sProblem) const
{
    qWarning().noquote() << "proxy script"
                         << m_scriptUrl.toDisplayString(QUrl::RemoveUserInfo).left(kLongestAnswerShown)
                         << "unused:" << sProblem;
}

void ProxyAutoConfig::failWaiting(const QString& sProblem)
{
    logUnused(sProblem);
    std::vector<std::pair<QUrl, Done>> waiting;
    waiting.swap(m_waiting);
    for (auto& entry : waiting)
        entry.second(QNetworkProxy(QNetworkProxy::DefaultProxy));
}

} // namespace orbisk

#include "ProxyAutoConfig.moc"
