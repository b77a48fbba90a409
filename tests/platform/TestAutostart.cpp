#include "TestEnvironment.h"
#include "platform/autostart.h"
#include "platform/autostart_linux.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <optional>

using namespace orbisk::platform;

namespace {

const QString kApp = QStringLiteral("orbisk-client");
const QStringList kAutorunArguments = {QStringLiteral("-min"), QStringLiteral("-autorun")};

// Reads an Exec value back as a launcher does: string escapes and field codes, then
// quoting. Anything those rules do not allow gives nullopt.
std::optional<QStringList> decodeExec(const QString& value)
{
    const QString stringEscapes = QStringLiteral("sntr\\");
    QString text;
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != QLatin1Char('\\') && c != QLatin1Char('%'))
            text += c;
        else if (++i < value.size() && c == QLatin1Char('%') && value[i] == QLatin1Char('%'))
            text += c;
        else if (i < value.size() && c == QLatin1Char('\\') && stringEscapes.contains(value[i]))
            text += QStringLiteral(" \n\t\r\\").at(stringEscapes.indexOf(value[i]));
        else
            return std::nullopt;
    }
    QStringList arguments;
    QString current;
    bool quoted = false;
    bool open = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted && c == QLatin1Char('\\')) {
            if (++i == text.size() || !QStringLiteral("\"`$\\").contains(text[i]))
                return std::nullopt;
            current += text[i];
        } else if (c == QLatin1Char('"')) {
            quoted = !quoted;
            open = true;
        } else if (c == QLatin1Char(' ') && !quoted) {
            if (open)
                arguments << current;
            current.clear();
            open = false;
        } else {
            current += c;
            open = true;
        }
    }
    if (quoted)
        return std::nullopt;
    if (open)
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
        const auto row = [](const char* tag, const char* path, const char* literal) {
            QTest::newRow(tag) << QString::fromUtf8(path) << QString::fromUtf8(literal);
        };
        row("plain", "/usr/bin/orbisk-client", "\"/usr/bin/orbisk-client\"");
        row("blanks", "/opt/Orbisk Client/run", "\"/opt/Orbisk Client/run\"");
        row("double quote", "/tmp/a\"b", "\"/tmp/a\\\\\"b\"");
        row("backslash", "/tmp/a\\b", "\"/tmp/a\\\\\\\\b\"");
        row("backslash then s", "/tmp/a\\sb\\", "\"/tmp/a\\\\\\\\sb\\\\\\\\\"");
        row("dollar", "/tmp/$HOME/x", "\"/tmp/\\\\$HOME/x\"");
        row("backtick", "/tmp/`id`", "\"/tmp/\\\\`id\\\\`\"");
        row("percent", "/tmp/100%/%f", "\"/tmp/100%%/%%f\"");
        row("line break and tab", "/tmp/a\nb\tc", "\"/tmp/a\\nb\\tc\"");
        row("non-ASCII", "/home/jörg/客户端", "\"/home/jörg/客户端\"");
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
        QCOMPARE(orbisk::test::fileContent(entryFile()),
            QByteArray("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Orbisk Client\n"
                       "Comment=Start Orbisk Client in the notification area\n"
                       "TryExec=/opt/Orbisk Client/orbisk-client\n"
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
        const QRegularExpression execLine(QStringLiteral("^Exec=(.*)$"), QRegularExpression::MultilineOption);
        const QString exec = execLine.match(QString::fromUtf8(orbisk::test::fileContent(entryFile()))).captured(1);
        QCOMPARE(decodeExec(exec), QStringList{moved} + kAutorunArguments);

        QVERIFY(setStartWithSystem(false, kApp, moved));
        QVERIFY(!QFile::exists(entryFile()));
        QVERIFY(!isStartWithSystemRegistered(kApp));
        QVERIFY(setStartWithSystem(false, kApp, moved));
    }

    void refusesUnusableInput_data()
    {
        QTest::addColumn<QString>("appName");
        QTest::addColumn<QString>("path");
        const auto row = [](const char* tag, const QString& appName, const char* path) {
            QTest::newRow(tag) << appName << QString::fromUtf8(path);
        };
        row("empty name", QString(), "/usr/bin/orbisk-client");
        row("name with slash", QStringLiteral("a/b"), "/usr/bin/orbisk-client");
        row("name ..", QStringLiteral(".."), "/usr/bin/orbisk-client");
        row("empty path", kApp, "");
        row("relative path", kApp, "bin/orbisk-client");
        row("control character", kApp, "/tmp/a\x01z");
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
