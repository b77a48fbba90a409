#include "TestEnvironment.h"
#include "platform/autostart.h"
#include "platform/autostart_linux.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTest>

#include <algorithm>
#include <optional>

using namespace orbisk::platform;

namespace {

const QString kApp = QStringLiteral("orbisk-client");
const QStringList kAutorunArguments = {QStringLiteral("-min"), QStringLiteral("-autorun")};

// Reads an Exec value back as a launcher does: string escapes, then field codes, then quoting.
// Anything those rules do not allow gives nullopt.
std::optional<QStringList> decodeExec(const QString& value)
{
    QString unescaped;
    for (int i = 0; i < value.size(); ++i) {
        if (value[i] != QLatin1Char('\\')) {
            unescaped += value[i];
            continue;
        }
        if (++i >= value.size())
            return std::nullopt;
        const int at = QStringLiteral("sntr\\").indexOf(value[i]);
        if (at < 0)
            return std::nullopt;
        unescaped += QStringLiteral(" \n\t\r\\").at(at);
    }
    QString expanded;
    for (int i = 0; i < unescaped.size(); ++i) {
        if (unescaped[i] == QLatin1Char('%') && unescaped.mid(++i, 1) != QLatin1String("%"))
            return std::nullopt;
        expanded += unescaped[i];
    }
    QStringList arguments;
    QString current;
    bool inQuotes = false;
    bool started = false;
    for (int i = 0; i < expanded.size(); ++i) {
        const QChar c = expanded[i];
        if (inQuotes && c == QLatin1Char('\\')) {
            if (++i >= expanded.size() || !QStringLiteral("\"`$\\").contains(expanded[i]))
                return std::nullopt;
            current += expanded[i];
        } else if (c == QLatin1Char('"')) {
            inQuotes = !inQuotes;
            started = true;
        } else if (c == QLatin1Char(' ') && !inQuotes) {
            if (started)
                arguments << current;
            current.clear();
            started = false;
        } else {
            current += c;
            started = true;
        }
    }
    if (inQuotes)
        return std::nullopt;
    if (started)
        arguments << current;
    return arguments;
}

QString autostartFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/autostart");
}

QString entryFile()
{
    return autostartFolder() + QLatin1Char('/') + kApp + QStringLiteral(".desktop");
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestAutostart : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { orbisk::test::prepareTestEnvironment(); }
    void init() { QDir(autostartFolder()).removeRecursively(); }

    void execQuote_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("literal");
        QTest::newRow("plain") << "/usr/bin/orbisk-client"
                               << "\"/usr/bin/orbisk-client\"";
        QTest::newRow("blanks") << "/opt/Orbisk Client/run"
                                << "\"/opt/Orbisk Client/run\"";
        QTest::newRow("double quote") << "/tmp/a\"b"
                                      << "\"/tmp/a\\\\\"b\"";
        QTest::newRow("backslash") << "/tmp/a\\b"
                                   << "\"/tmp/a\\\\\\\\b\"";
        QTest::newRow("backslash then s") << "/tmp/a\\sb\\"
                                          << "\"/tmp/a\\\\\\\\sb\\\\\\\\\"";
        QTest::newRow("dollar") << "/tmp/$HOME/x"
                                << "\"/tmp/\\\\$HOME/x\"";
        QTest::newRow("backtick") << "/tmp/`id`"
                                  << "\"/tmp/\\\\`id\\\\`\"";
        QTest::newRow("percent") << "/tmp/100%/%f"
                                 << "\"/tmp/100%%/%%f\"";
        QTest::newRow("line break and tab") << "/tmp/a\nb\tc"
                                            << "\"/tmp/a\\nb\\tc\"";
        QTest::newRow("non-ASCII") << QStringLiteral("/home/jörg/客户端") << QStringLiteral("\"/home/jörg/客户端\"");
    }

    void execQuote()
    {
        QFETCH(QString, path);
        QTEST(desktopExecQuote(path), "literal");
        QCOMPARE(decodeExec(startWithSystemCommand(path)), QStringList{path} + kAutorunArguments);
    }

    void entryLifecycle()
    {
        QVERIFY(!isStartWithSystemRegistered(kApp));
        QVERIFY(setStartWithSystem(true, kApp, QStringLiteral("/opt/Orbisk Client/orbisk-client")));
        QVERIFY(isStartWithSystemRegistered(kApp));
        QCOMPARE(readFile(entryFile()),
            QByteArray("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Orbisk Client\n"
                       "Comment=Start Orbisk Client in the notification area\n"
                       "Exec=\"/opt/Orbisk Client/orbisk-client\" -min -autorun\n"
                       "Icon=orbisk-client\n"
                       "Terminal=false\n"
                       "X-GNOME-Autostart-enabled=true\n"));

        // An unchanged entry is left alone; a new path rewrites it.
        QFile file(entryFile());
        const QDateTime past = QDateTime::currentDateTimeUtc().addDays(-1);
        QVERIFY(file.open(QIODevice::ReadWrite) && file.setFileTime(past, QFileDevice::FileModificationTime));
        file.close();
        QVERIFY(setStartWithSystem(true, kApp, QStringLiteral("/opt/Orbisk Client/orbisk-client")));
        QCOMPARE(QFileInfo(entryFile()).lastModified(), past);
        const QString moved = QStringLiteral("/home/u/$bin/orbisk-client");
        QVERIFY(setStartWithSystem(true, kApp, moved));
        const QList<QByteArray> lines = readFile(entryFile()).split('\n');
        const auto exec
            = std::find_if(lines.begin(), lines.end(), [](const QByteArray& l) { return l.startsWith("Exec="); });
        QVERIFY(exec != lines.end());
        QCOMPARE(decodeExec(QString::fromUtf8(exec->mid(5))), QStringList{moved} + kAutorunArguments);

        QVERIFY(setStartWithSystem(false, kApp, moved));
        QVERIFY(!QFile::exists(entryFile()));
        QVERIFY(!isStartWithSystemRegistered(kApp));
        QVERIFY(setStartWithSystem(false, kApp, moved));
    }

    void refusesUnusableInput_data()
    {
        QTest::addColumn<QString>("appName");
        QTest::addColumn<QString>("path");
        QTest::newRow("empty name") << ""
                                    << "/usr/bin/orbisk-client";
        QTest::newRow("name with slash") << "a/b"
                                         << "/usr/bin/orbisk-client";
        QTest::newRow("name ..") << ".."
                                 << "/usr/bin/orbisk-client";
        QTest::newRow("empty path") << kApp << "";
        QTest::newRow("relative path") << kApp << "bin/orbisk-client";
        QTest::newRow("control character") << kApp << "/tmp/a\x01z";
    }

    void refusesUnusableInput()
    {
        QFETCH(QString, appName);
        QFETCH(QString, path);
        QVERIFY(!setStartWithSystem(true, appName, path));
        QVERIFY(QDir(autostartFolder()).isEmpty());
    }

    void unwritableFolderReportsFailure()
    {
        QVERIFY(QDir().mkpath(QFileInfo(autostartFolder()).path()));
        QFile blocker(autostartFolder());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY(!setStartWithSystem(true, kApp, QStringLiteral("/usr/bin/orbisk-client")));
        QVERIFY(blocker.remove());
    }
};

QTEST_GUILESS_MAIN(TestAutostart)
#include "TestAutostart.moc"
