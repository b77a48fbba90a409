#include "TestEnvironment.h"

#include "dialogs/CMiniTray.h"
#include "ui/Resources.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QtTest>

#include <unistd.h>

namespace orbisk::test {

void prepareTestEnvironment()
{
    QStandardPaths::setTestModeEnabled(true);
    static bool registered = false;
    if (!registered) {
        initResources();
        registered = true;
    }
    QDir(appDataDir()).removeRecursively();
    // The offscreen platform has no tray; tests run as on a desktop with one unless
    // they say otherwise.
    CMiniTray::setAvailabilityProbe([] { return true; });
}

void useClientFont()
{
    QFont font(QStringLiteral("Microsoft YaHei"));
    font.setPixelSize(14);
    QApplication::setFont(font);
}

QString appDataDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString clientExecutable()
{
    return qEnvironmentVariable("ORBISK_CLIENT_EXECUTABLE");
}

QString uniqueClientExecutable()
{
    const QFileInfo client(clientExecutable());
    const QString path = scratchDir(QStringLiteral("client")) + QLatin1Char('/') + client.fileName()
        + QStringLiteral("-test-") + QString::number(QCoreApplication::applicationPid());
    const bool isLinked
        = ::link(QFile::encodeName(client.filePath()).constData(), QFile::encodeName(path).constData()) == 0;
    return isLinked || QFile::copy(client.filePath(), path) ? path : QString();
}

QString scratchDir(const QString& name)
{
    QString base = qEnvironmentVariable("ORBISK_TEST_HOME");
    if (base.isEmpty())
        base = QDir::tempPath();
    const QString path = base + QStringLiteral("/scratch/") + name;
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

bool waitUntil(const std::function<bool()>& isDone, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!isDone()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(50);
    }
    return true;
}

bool startProcess(
    QProcess& process, const QString& program, const QMap<QString, QString>& environment, const QStringList& arguments)
{
    QProcessEnvironment changed = QProcessEnvironment::systemEnvironment();
    for (auto variable = environment.begin(); variable != environment.end(); ++variable) {
        if (variable.value().isNull())
            changed.remove(variable.key());
        else
            changed.insert(variable.key(), variable.value());
    }
    process.setProcessEnvironment(changed);
    process.setProgram(program);
    process.setArguments(arguments);
    process.start();
    return process.waitForStarted(30000);
}

void endProcess(QProcess& process, int timeoutMs)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(timeoutMs))
        process.kill();
    process.waitForFinished(timeoutMs);
}

QByteArray fileContent(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFileContent(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

quint16 unusedLocalPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

QString runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return program + QStringLiteral(" failed: ") + QString::fromLocal8Bit(process.readAll())
            + process.errorString();
    return QString();
}

QString newHomeNssDatabase(QString* pDatabase)
{
    const QString folder = QDir::homePath() + QStringLiteral("/.pki/nssdb");
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    *pDatabase = QStringLiteral("sql:") + folder;
    return runTool(QStringLiteral("certutil"),
        {QStringLiteral("-N"), QStringLiteral("-d"), *pDatabase, QStringLiteral("--empty-password")});
}

} // namespace orbisk::test
