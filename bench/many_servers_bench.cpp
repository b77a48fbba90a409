// Benchmark of the client's start-up with many known servers, and of its quitting beside
// idle connections (not a test: it prints a table).
//
// 1. Start-up: time from process start until the local service answers, with 1, 1,000 and
//    10,000 servers in the list and with 1,000 servers an administrator manages (none of
//    them the default, so no page is loaded), and the client's memory at that moment.
// 2. Quit: time from SIGTERM until the process has ended, with 100 idle connections open
//    to the local service.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

const int kRuns = 5;
const int kStartTimeoutMs = 120000;
const double k1000TargetMs = 100.0;
const double k10000TargetMs = 500.0;
const double kQuitTargetMs = 1000.0;

struct Run
{
    double startMs = -1; // until the local service answered
    double residentMb = 0;
};

QByteArray serverList(int iServers)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ServerList>\n";
    for (int i = 0; i < iServers; ++i) {
        xml += "    <Server>\n        <Default>false</Default>\n        <Name>server " + QByteArray::number(i)
            + "</Name>\n        <URL>https://server-" + QByteArray::number(i)
            + ".example.com:8443</URL>\n    </Server>\n";
    }
    return xml + "</ServerList>\n";
}

// A managed configuration with iServers managed servers, as an administrator writes it.
QByteArray managedIni(int iServers)
{
    QByteArrayList entries;
    for (int i = 0; i < iServers; ++i) {
        entries.append(
            "managed " + QByteArray::number(i) + "|https://managed-" + QByteArray::number(i) + ".example.com:8443");
    }
    return "[General]\nServers=" + entries.join(", ") + '\n';
}

// A home of the client's own, holding iServers servers of the user's and iManagedServers
// managed ones. The client is a test build: it reads the managed configuration from the
// file ORBISK_MANAGED_INI names, never the machine's own under /etc.
QProcessEnvironment clientEnvironment(
    const QString& sHome, const QString& sClientName, int iServers, quint16 iPort, int iManagedServers = 0)
{
    const QString sDataDir = sHome + QStringLiteral("/data/") + sClientName;
    QDir().mkpath(sDataDir);
    QFile list(sDataDir + QStringLiteral("/ServerConfig.xml"));
    list.open(QIODevice::WriteOnly | QIODevice::Truncate);
    list.write(serverList(iServers));
    QFile settings(sDataDir + QLatin1Char('/') + sClientName + QStringLiteral(".ini"));
    settings.open(QIODevice::WriteOnly | QIODevice::Truncate);
    settings.write("[General]\nAutoStart=false\nMiniTray=false\n");
    // Without managed servers the file is not there, and nothing is managed.
    const QString sManagedIni = sHome + QStringLiteral("/managed.ini");
    QFile::remove(sManagedIni);
    if (iManagedServers > 0) {
        QFile managed(sManagedIni);
        managed.open(QIODevice::WriteOnly | QIODevice::Truncate);
        managed.write(managedIni(iManagedServers));
    }

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), sHome);
    environment.insert(QStringLiteral("XDG_DATA_HOME"), sHome + QStringLiteral("/data"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), sHome + QStringLiteral("/config"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), sHome + QStringLiteral("/cache"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"), QStringLiteral("--no-sandbox --disable-gpu"));
    environment.insert(QStringLiteral("ORBISK_LOCAL_SERVICE_PORT"), QString::number(iPort));
    environment.insert(QStringLiteral("ORBISK_MANAGED_INI"), sManagedIni);
    return environment;
}

bool serviceAnswers(quint16 iPort)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, iPort);
    if (!socket.waitForConnected(1000))
        return false;
    socket.write("GET /api/status HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(iPort) + "\r\n\r\n");
    QByteArray answer;
    while (socket.waitForReadyRead(2000))
        answer += socket.readAll();
    return answer.startsWith("HTTP/1.1 200 ");
}

double residentMegabytes(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

void stop(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(kStartTimeoutMs))
        process.kill();
    process.waitForFinished();
}

Run startOnce(const QString& sClient, const QProcessEnvironment& environment, quint16 iPort)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(sClient, {});
    Run run;
    while (timer.elapsed() < kStartTimeoutMs && process.state() != QProcess::NotRunning) {
        if (serviceAnswers(iPort)) {
            run.startMs = timer.nsecsElapsed() / 1e6;
            run.residentMb = residentMegabytes(process.processId());
            break;
        }
        QThread::msleep(2);
    }
    stop(process);
    return run;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double timeToQuit(const QString& sClient, const QProcessEnvironment& environment, quint16 iPort)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(sClient, {});
    QElapsedTimer waiting;
    waiting.start();
    while (!serviceAnswers(iPort) && waiting.elapsed() < kStartTimeoutMs)
        QThread::msleep(10);
    std::vector<std::unique_ptr<QTcpSocket>> idle;
    for (int i = 0; i < 100; ++i) {
        idle.push_back(std::make_unique<QTcpSocket>());
        idle.back()->connectToHost(QHostAddress::LocalHost, iPort);
        idle.back()->waitForConnected(5000);
    }
    QElapsedTimer quitting;
    quitting.start();
    ::kill(pid_t(process.processId()), SIGTERM);
    const bool isFinished = process.waitForFinished(kStartTimeoutMs);
    const double ms = quitting.nsecsElapsed() / 1e6;
    stop(process);
    return isFinished ? ms : -1;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    // A copy under a name of its own: a client the user runs does not refuse it.
    QTemporaryDir home;
    const QString sClientName = QStringLiteral("orbisk-client-bench");
    const QString sClient = home.path() + QLatin1Char('/') + sClientName;
    if (!QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/orbisk-client"), sClient)) {
        std::fprintf(stderr, "the client was not found beside this program\n");
        return 1;
    }
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 iPort = probe.serverPort();
    probe.close();

    // The user's servers, then the administrator's: 1,000 managed servers beside none of
    // the user's.
    struct Row
    {
        int iServers;
        int iManagedServers;
    };
    const std::vector<Row> rows{{1, 0}, {1000, 0}, {10000, 0}, {0, 1000}};
    std::vector<double> medians;
    std::printf("Start-up until the local service answers (%d runs each; median, min - max, memory)\n", kRuns);
    for (const Row& row : rows) {
        const QString sHome = home.path() + QStringLiteral("/home-%1-%2").arg(row.iServers).arg(row.iManagedServers);
        const QProcessEnvironment environment
            = clientEnvironment(sHome, sClientName, row.iServers, iPort, row.iManagedServers);
        const QByteArray label = row.iManagedServers > 0 ? QByteArray::number(row.iManagedServers) + " managed servers"
                                                         : QByteArray::number(row.iServers) + " servers";
        std::vector<double> times;
        double residentMb = 0;
        for (int i = 0; i < kRuns; ++i) {
            const Run run = startOnce(sClient, environment, iPort);
            if (run.startMs < 0) {
                std::printf("  %s: the client did not start\n", label.constData());
                return 1;
            }
            times.push_back(run.startMs);
            residentMb = std::max(residentMb, run.residentMb);
        }
        medians.push_back(median(times));
        std::printf("  %22s  %7.0f ms   %5.0f - %5.0f ms   %4.0f MB\n", label.constData(), medians.back(),
            *std::min_element(times.begin(), times.end()), *std::max_element(times.begin(), times.end()), residentMb);
    }
    const double extra1000 = medians[1] - medians[0];
    const double extra10000 = medians[2] - medians[0];
    const double extraManaged = medians[3] - medians[0];
    std::printf("  1,000 servers:          +%.0f ms over one server (%.2fx)   target: <= +%.0f ms   %s\n", extra1000,
        medians[1] / medians[0], k1000TargetMs, extra1000 <= k1000TargetMs ? "met" : "MISSED");
    std::printf("  10,000 servers:         +%.0f ms over one server (%.2fx)   target: <= +%.0f ms   %s\n", extra10000,
        medians[2] / medians[0], k10000TargetMs, extra10000 <= k10000TargetMs ? "met" : "MISSED");
    std::printf("  1,000 managed servers:  +%.0f ms over one server (%.2fx)   target: <= +%.0f ms   %s\n", extraManaged,
        medians[3] / medians[0], k1000TargetMs, extraManaged <= k1000TargetMs ? "met" : "MISSED");

    const double quitMs = timeToQuit(
        sClient, clientEnvironment(home.path() + QStringLiteral("/home-1-0"), sClientName, 1, iPort), iPort);
    std::printf("Quit on SIGTERM with 100 idle connections to the local service\n");
    std::printf("  %.0f ms   target: <= %.0f ms   %s\n", quitMs, kQuitTargetMs,
        quitMs >= 0 && quitMs <= kQuitTargetMs ? "met" : "MISSED");
    return 0;
}
