// Builds the Debian package from the built tree with CPack, checks its control data
// and contents with dpkg-deb, unpacks it into a folder and runs the client from there.
#include "TestEnvironment.h"
#include "core/ClientInfo.h"
#include "core/ManagedConfig.h"

#include <QtTest>

#include <QImage>
#include <QRegularExpression>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>

#include <csignal>

namespace {

const quint16 kLocalServicePort = 9887;
const int kPackTimeoutMs = 600000;
const int kToolTimeoutMs = 60000;
const int kStartTimeoutMs = 90000;
const int kExitTimeoutMs = 30000;
const QString kPackageName = QStringLiteral("orbisk-client");

struct ToolResult
{
    bool isFinished = false;
    int exitCode = -1;
    QByteArray output;
    QByteArray errors;
};

ToolResult runTool(const QString& program, const QStringList& arguments, int timeoutMs = kToolTimeoutMs)
{
    QProcess process;
    process.start(program, arguments);
    ToolResult result;
    result.isFinished = process.waitForFinished(timeoutMs) && process.exitStatus() == QProcess::NormalExit;
    result.exitCode = process.exitCode();
    result.output = process.readAllStandardOutput();
    result.errors = process.readAllStandardError();
    return result;
}

// The fields of a control file; a line that starts with a blank continues the field before it.
QMap<QString, QString> parseControl(const QByteArray& control)
{
    QMap<QString, QString> fields;
    QString current;
    for (const QByteArray& line : control.split('\n')) {
        if (line.startsWith(' ') && !current.isEmpty()) {
            fields[current] += QLatin1Char('\n') + QString::fromUtf8(line);
            continue;
        }
        const int colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        current = QString::fromUtf8(line.left(colon));
        fields[current] = QString::fromUtf8(line.mid(colon + 1)).trimmed();
    }
    return fields;
}

// The package names of a Depends value, without versions; each alternative counts.
QStringList dependencyNames(const QString& depends)
{
    QStringList names;
    const QStringList entries = depends.split(QRegularExpression(QStringLiteral("[,|]")), Qt::SkipEmptyParts);
    for (const QString& entry : entries) {
        const QString name = entry.trimmed().section(QLatin1Char(' '), 0, 0).section(QLatin1Char(':'), 0, 0);
        if (!name.isEmpty())
            names << name;
    }
    return names;
}

// The packages an installed package depends on, as dpkg records them here.
QStringList installedDependencies(const QString& package)
{
    const ToolResult query = runTool(
        QStringLiteral("dpkg-query"), {QStringLiteral("-W"), QStringLiteral("-f=${Pre-Depends},${Depends}"), package});
    return query.exitCode == 0 ? dependencyNames(QString::fromUtf8(query.output)) : QStringList();
}

// "3.0.0 Build 26" is packaged as "3.0.0+build26", so every build sorts above the one before.
QString expectedPackageVersion()
{
    const QRegularExpressionMatch match
        = QRegularExpression(QStringLiteral("^(\\d+\\.\\d+\\.\\d+) Build (\\d+)$")).match(getClientVersion());
    return match.hasMatch() ? match.captured(1) + QStringLiteral("+build") + match.captured(2) : QString();
}

QByteArray localServiceStatus()
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, kLocalServicePort);
    if (!socket.waitForConnected(500))
        return {};
    socket.write("GET /api/status HTTP/1.1\r\nHost: 127.0.0.1:9887\r\nConnection: close\r\n\r\n");
    QByteArray response;
    while (socket.waitForReadyRead(2000))
        response += socket.readAll();
    return response;
}

} // namespace

class TestDebPackage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void controlFields_data();
    void controlFields();
    void dependsNameTheRuntime_data();
    void dependsNameTheRuntime();
    void dependsNameOnlyKnownPackages();
    void dependsPullTheWebEngineRuntime_data();
    void dependsPullTheWebEngineRuntime();
    void holdsExactlyTheInstalledFilesOwnedByRoot();
    void iconsHaveTheirFolderSize_data();
    void iconsHaveTheirFolderSize();
    void metainfoMatchesThePackage();
    void managedExampleNamesEveryKeyAndSetsNone();
    void unpackedClientServesAndQuitsOnSigterm();

private:
    QString m_package;
    QString m_root;
    QMap<QString, QString> m_control;
    QProcess m_client;
};

void TestDebPackage::initTestCase()
{
    const QString work = orbisk::test::scratchDir(QStringLiteral("debpackage"));
    const QString outDir = work + QStringLiteral("/out");
    const ToolResult pack = runTool(qEnvironmentVariable("ORBISK_CPACK"),
        {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
            qEnvironmentVariable("ORBISK_CPACK_CONFIG"), QStringLiteral("-B"), outDir},
        kPackTimeoutMs);
    QVERIFY2(pack.isFinished && pack.exitCode == 0, (pack.output + pack.errors).constData());

    const QStringList packages = QDir(outDir).entryList({QStringLiteral("*.deb")}, QDir::Files);
    QCOMPARE(packages.size(), 1);
    m_package = outDir + QLatin1Char('/') + packages.first();

    const ToolResult info
        = runTool(QStringLiteral("dpkg-deb"), {QStringLiteral("-I"), m_package, QStringLiteral("control")});
    QVERIFY2(info.isFinished && info.exitCode == 0, info.errors.constData());
    m_control = parseControl(info.output);

    m_root = work + QStringLiteral("/root");
    const ToolResult extract = runTool(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), m_package, m_root});
    QVERIFY2(extract.isFinished && extract.exitCode == 0, extract.errors.constData());
}

void TestDebPackage::cleanup()
{
    if (m_client.state() != QProcess::NotRunning) {
        m_client.kill();
        m_client.waitForFinished(kExitTimeoutMs);
    }
}

void TestDebPackage::controlFields_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected");
    const QString architecture
        = QString::fromUtf8(runTool(QStringLiteral("dpkg"), {QStringLiteral("--print-architecture")}).output.trimmed());
    QTest::newRow("name") << "Package" << kPackageName;
    QTest::newRow("version follows the client's own") << "Version" << expectedPackageVersion();
    QTest::newRow("architecture of this system") << "Architecture" << architecture;
    QTest::newRow("section") << "Section"
                             << "net";
}

void TestDebPackage::controlFields()
{
    QFETCH(QString, field);
    QFETCH(QString, expected);
    QVERIFY(!expected.isEmpty());
    QCOMPARE(m_control.value(field), expected);
}

void TestDebPackage::dependsNameTheRuntime_data()
{
    QTest::addColumn<QString>("package");
    for (const char* package : {"libqt5webenginewidgets5", "libqt5widgets5", "libqt5gui5", "libqt5network5",
             "libqt5core5a", "libstdc++6", "libc6"})
        QTest::newRow(package) << QString::fromLatin1(package);
}

void TestDebPackage::dependsNameTheRuntime()
{
    QFETCH(QString, package);
    QVERIFY2(dependencyNames(m_control.value(QStringLiteral("Depends"))).contains(package),
        qPrintable(m_control.value(QStringLiteral("Depends"))));
}

// The client was built and linked here, so every package it needs is installed here.
void TestDebPackage::dependsNameOnlyKnownPackages()
{
    const QStringList names = dependencyNames(m_control.value(QStringLiteral("Depends")));
    QVERIFY(!names.isEmpty());
    for (const QString& name : names) {
        const ToolResult query = runTool(QStringLiteral("dpkg-query"), {QStringLiteral("-W"), name});
        QVERIFY2(query.isFinished && query.exitCode == 0, qPrintable(name + QStringLiteral(" is not a package here")));
    }
}

// The client links only the web engine's widgets; the engine itself, its helper
// process, resources and locales must come with the packages those depend on.
void TestDebPackage::dependsPullTheWebEngineRuntime_data()
{
    QTest::addColumn<QString>("package");
    QTest::newRow("engine and helper process") << "libqt5webenginecore5";
    QTest::newRow("resources and locales") << "libqt5webengine-data";
}

void TestDebPackage::dependsPullTheWebEngineRuntime()
{
    QFETCH(QString, package);
    QStringList pending = dependencyNames(m_control.value(QStringLiteral("Depends")));
    QSet<QString> seen;
    while (!pending.isEmpty() && !seen.contains(package)) {
        const QString next = pending.takeFirst();
        if (!seen.contains(next)) {
            seen.insert(next);
            pending << installedDependencies(next);
        }
    }
    QVERIFY2(seen.contains(package), qPrintable(package + QStringLiteral(" is not pulled in")));
}

void TestDebPackage::holdsExactlyTheInstalledFilesOwnedByRoot()
{
    const ToolResult listing = runTool(QStringLiteral("dpkg-deb"), {QStringLiteral("-c"), m_package});
    QVERIFY2(listing.isFinished && listing.exitCode == 0, listing.errors.constData());

    QStringList files;
    QString executableMode;
    for (const QByteArray& line : listing.output.split('\n')) {
        const QStringList columns = QString::fromUtf8(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (columns.size() < 6)
            continue;
        QVERIFY2(columns.at(1) == QLatin1String("root/root"), line.constData());
        const QString path = columns.last();
        if (columns.first().startsWith(QLatin1Char('d')))
            continue;
        files << path;
        if (path == QLatin1String("./usr/bin/orbisk-client"))
            executableMode = columns.first();
    }
    files.sort();

    QStringList expected
        = {QStringLiteral("./usr/bin/orbisk-client"), QStringLiteral("./usr/share/applications/orbisk-client.desktop"),
            QStringLiteral("./usr/share/metainfo/com.orbisk.Client.metainfo.xml"),
            QStringLiteral("./usr/share/doc/orbisk-client/examples/managed.ini"),
            QStringLiteral("./usr/share/icons/hicolor/scalable/apps/orbisk-client.svg")};
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        expected << QStringLiteral("./usr/share/icons/hicolor/%1x%1/apps/orbisk-client.png").arg(size);
    expected.sort();
    QCOMPARE(files, expected);
    QCOMPARE(executableMode, QStringLiteral("-rwxr-xr-x"));
}

void TestDebPackage::iconsHaveTheirFolderSize_data()
{
    QTest::addColumn<int>("size");
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        QTest::newRow(qPrintable(QStringLiteral("%1x%1").arg(size))) << size;
}

void TestDebPackage::iconsHaveTheirFolderSize()
{
    QFETCH(int, size);
    const QString path = m_root + QStringLiteral("/usr/share/icons/hicolor/%1x%1/apps/orbisk-client.png").arg(size);
    const QImage icon(path);
    QVERIFY2(!icon.isNull(), qPrintable(path));
    QCOMPARE(icon.size(), QSize(size, size));
    QVERIFY(icon.hasAlphaChannel());
}

void TestDebPackage::metainfoMatchesThePackage()
{
    QFile metainfo(m_root + QStringLiteral("/usr/share/metainfo/com.orbisk.Client.metainfo.xml"));
    QVERIFY(metainfo.open(QIODevice::ReadOnly));
    const QByteArray text = metainfo.readAll();
    QVERIFY2(text.contains("<release version=\"" + expectedPackageVersion().toUtf8() + '"'), text.constData());

    const QRegularExpressionMatch launchable
        = QRegularExpression(QStringLiteral("<launchable type=\"desktop-id\">([^<]+)</launchable>"))
              .match(QString::fromUtf8(text));
    QVERIFY(launchable.hasMatch());
    QVERIFY(QFileInfo::exists(m_root + QStringLiteral("/usr/share/applications/") + launchable.captured(1)));
}

// Installed as it is, the example manages nothing; each key is there to uncomment.
void TestDebPackage::managedExampleNamesEveryKeyAndSetsNone()
{
    const QString path = m_root + QStringLiteral("/usr/share/doc/orbisk-client/examples/managed.ini");
    const QSettings example(path, QSettings::IniFormat);
    QCOMPARE(example.status(), QSettings::NoError);
    QCOMPARE(example.allKeys(), QStringList());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    for (const QString& sKey : orbisk::ManagedConfig::keys()) {
        const QRegularExpression line(QStringLiteral("^;%1=\\S").arg(sKey), QRegularExpression::MultilineOption);
        QVERIFY2(line.match(text).hasMatch(), qPrintable(sKey));
    }
}

void TestDebPackage::unpackedClientServesAndQuitsOnSigterm()
{
    const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    QDir(configHome).removeRecursively();
    QDir(qEnvironmentVariable("XDG_DATA_HOME")).removeRecursively();

    {
        QTcpServer probe;
        QVERIFY2(probe.listen(QHostAddress::LocalHost, kLocalServicePort),
            "another program holds the local service's port; the client could not open its service");
    }

    const QString executable = m_root + QStringLiteral("/usr/bin/orbisk-client");
    m_client.setProgram(executable);
    m_client.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    m_client.start();
    QVERIFY(m_client.waitForStarted(kExitTimeoutMs));
    QByteArray diagnostics;
    QTRY_VERIFY2_WITH_TIMEOUT((diagnostics += m_client.readAllStandardError(), !localServiceStatus().isEmpty()),
        diagnostics.constData(), kStartTimeoutMs);
    QVERIFY(localServiceStatus().contains("\"Orbisk Client\""));

    // The start-at-log-in entry runs the executable from where it was installed.
    const QString autostart = configHome + QStringLiteral("/autostart/orbisk-client.desktop");
    QFile entry(autostart);
    QVERIFY2(entry.open(QIODevice::ReadOnly), qPrintable(autostart));
    const QByteArray text = entry.readAll();
    QVERIFY2(text.contains("\nExec=\"" + QFile::encodeName(executable) + "\" -min -autorun\n"), text.constData());
    QVERIFY2(text.contains("\nTryExec=" + QFile::encodeName(executable) + '\n'), text.constData());
    const ToolResult validation = runTool(QStringLiteral("desktop-file-validate"), {autostart});
    QVERIFY2(validation.isFinished && validation.exitCode == 0 && validation.output.isEmpty(),
        (validation.output + validation.errors).constData());

    ::kill(static_cast<pid_t>(m_client.processId()), SIGTERM);
    QVERIFY(m_client.waitForFinished(kExitTimeoutMs));
    QCOMPARE(m_client.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_client.exitCode(), 0);
    QVERIFY(localServiceStatus().isEmpty());
}

QTEST_GUILESS_MAIN(TestDebPackage)
#include "test_debpackage.moc"
