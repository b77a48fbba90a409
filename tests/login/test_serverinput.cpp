// What Continue takes from the login window's fields, and what it answers when it
// cannot take them.
#include "login/ServerInput.h"

#include <QtTest>

Q_DECLARE_METATYPE(ServerInput::Problem)

namespace {
using Problem = ServerInput::Problem;
} // namespace

class TestServerInput : public QObject
{
    Q_OBJECT

private slots:
    void newServerFields_data();
    void newServerFields();
    void shownText_data();
    void shownText();
};

void TestServerInput::newServerFields_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("alias");
    QTest::addColumn<Problem>("problem");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("name");

    const QString office = QStringLiteral("Office");
    const QString files = QStringLiteral("https://files.example.com");

    QTest::newRow("host") << "files.example.com" << office << Problem::None << files << office;
    QTest::newRow("host:port/path") << "files.example.com:8443/orbisk" << office << Problem::None
                                    << "https://files.example.com:8443/orbisk" << office;
    QTest::newRow("IPv4 and port") << "127.0.0.1:9443" << office << Problem::None << "https://127.0.0.1:9443" << office;
    QTest::newRow("IPv6 and port") << "[::1]:9443" << office << Problem::None << "https://[::1]:9443" << office;
    QTest::newRow("international name") << "例え.jp" << office << Problem::None << "https://例え.jp" << office;
    QTest::newRow("blanks around both are dropped") << " \tfiles.example.com \n"
                                                    << "  Office " << Problem::None << files << office;
    QTest::newRow("blank inside the alias stays") << "files.example.com"
                                                  << " Main office " << Problem::None << files << "Main office";
    QTest::newRow("pasted https:// is the shown prefix")
        << "https://files.example.com" << office << Problem::None << files << office;
    QTest::newRow("pasted HTTPS:// in capitals")
        << " HTTPS://files.example.com" << office << Problem::None << files << office;
    QTest::newRow("pasted with a trailing slash") << "https://files.example.com:8443/orbisk/" << office << Problem::None
                                                  << "https://files.example.com:8443/orbisk" << office;

    QTest::newRow("http:// pasted") << "http://files.example.com" << office << Problem::HttpNotSupported << ""
                                    << "";
    QTest::newRow("Http:// in any case, after blanks")
        << "  Http://files.example.com" << office << Problem::HttpNotSupported << ""
        << "";
    QTest::newRow("http:// also without an alias") << "http://files.example.com"
                                                   << "" << Problem::HttpNotSupported << ""
                                                   << "";

    QTest::newRow("empty address") << "" << office << Problem::InvalidAddress << ""
                                   << "";
    QTest::newRow("blank address") << "   " << office << Problem::InvalidAddress << ""
                                   << "";
    QTest::newRow("the prefix alone") << "https://" << office << Problem::InvalidAddress << ""
                                      << "";
    QTest::newRow("two schemes") << "https://https://files.example.com" << office << Problem::InvalidAddress << ""
                                 << "";
    QTest::newRow("another scheme") << "ftp://files.example.com" << office << Problem::InvalidAddress << ""
                                    << "";
    QTest::newRow("blank inside the host") << "files example.com" << office << Problem::InvalidAddress << ""
                                           << "";
    QTest::newRow("port without host") << ":8443" << office << Problem::InvalidAddress << ""
                                       << "";
    QTest::newRow("colon without port") << "files.example.com:" << office << Problem::InvalidAddress << ""
                                        << "";
    QTest::newRow("port 0") << "files.example.com:0" << office << Problem::InvalidAddress << ""
                            << "";
    QTest::newRow("port above 65535") << "files.example.com:65536" << office << Problem::InvalidAddress << ""
                                      << "";
    QTest::newRow("port not a number") << "files.example.com:https" << office << Problem::InvalidAddress << ""
                                       << "";
    QTest::newRow("user information") << "me@files.example.com" << office << Problem::InvalidAddress << ""
                                      << "";
    QTest::newRow("query") << "files.example.com/?a=b" << office << Problem::InvalidAddress << ""
                           << "";
    QTest::newRow("fragment") << "files.example.com#top" << office << Problem::InvalidAddress << ""
                              << "";
    QTest::newRow("empty label") << "files..example.com" << office << Problem::InvalidAddress << ""
                                 << "";
    QTest::newRow("blank in the path") << "files.example.com/a b" << office << Problem::InvalidAddress << ""
                                       << "";

    // The address is good, so its URL is known; only the alias is missing.
    QTest::newRow("empty alias") << "files.example.com"
                                 << "" << Problem::MissingAlias << files << "";
    QTest::newRow("blank alias") << "https://files.example.com/"
                                 << " \t " << Problem::MissingAlias << files << "";
    QTest::newRow("both bad: the address is named first") << ""
                                                          << "" << Problem::InvalidAddress << ""
                                                          << "";
}

void TestServerInput::newServerFields()
{
    QFETCH(QString, address);
    QFETCH(QString, alias);
    QFETCH(Problem, problem);
    QFETCH(QString, url);
    QFETCH(QString, name);

    const ServerInput input = ServerInput::fromNewServerFields(address, alias);
    QCOMPARE(input.problem, problem);
    QCOMPARE(input.isValid(), problem == Problem::None);
    QCOMPARE(input.url, url);
    QCOMPARE(input.name, name);
}

void TestServerInput::shownText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<ServerList>("servers");
    QTest::addColumn<Problem>("problem");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("url");

    const ServerEntry odd{QStringLiteral("Odd"), QStringLiteral("https://h/a(b)"), false};
    const ServerList known{{QStringLiteral("Office"), QStringLiteral("https://h"), true}, odd};

    QTest::newRow("display text") << "Office (https://h)" << known << Problem::None << "Office"
                                  << "https://h";
    QTest::newRow("blanks around are dropped") << "  Office (https://h) " << known << Problem::None << "Office"
                                               << "https://h";
    QTest::newRow("known server with parentheses in its URL")
        << serverDisplayText(odd) << known << Problem::None << odd.name << odd.url;
    QTest::newRow("typed URL: name and URL are the text")
        << "https://other.example" << known << Problem::None << "https://other.example"
        << "https://other.example";
    QTest::newRow("empty text") << "" << known << Problem::InvalidAddress << ""
                                << "";
    QTest::newRow("( at the end: no URL") << "Office (" << known << Problem::InvalidAddress << "Office"
                                          << "";
    QTest::newRow("no name") << " (https://other.example)" << known << Problem::MissingAlias << ""
                             << "https://other.example";
}

void TestServerInput::shownText()
{
    QFETCH(QString, text);
    QFETCH(ServerList, servers);
    QFETCH(Problem, problem);
    QFETCH(QString, name);
    QFETCH(QString, url);

    const ServerInput input = ServerInput::fromShownText(text, servers);
    QCOMPARE(input.problem, problem);
    QCOMPARE(input.name, name);
    QCOMPARE(input.url, url);
}

QTEST_APPLESS_MAIN(TestServerInput)
#include "test_serverinput.moc"
