// The version rule of the update check: which release counts as newer than the client.
#include "update/VersionRule.h"

#include "TestEnvironment.h"

#include <QtTest>

namespace {

enum Outcome {
    NoComparison,
    NotNewer,
    Newer,
};

Outcome outcome(const QString& sServer, const QString& sClient)
{
    const std::optional<bool> isNewer
        = VersionRule::isNewer(VersionRule::components(VersionRule::cutAtFirstBlank(sServer)),
            VersionRule::components(VersionRule::cutAtFirstBlank(sClient)));
    if (!isNewer)
        return NoComparison;
    return *isNewer ? Newer : NotNewer;
}

} // namespace

Q_DECLARE_METATYPE(Outcome)

class TestVersionRule : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void comparesTheFirstThreeComponents_data();
    void comparesTheFirstThreeComponents();
    void cutsAtTheFirstBlank_data();
    void cutsAtTheFirstBlank();
    void keepsEmptyComponents();
};

void TestVersionRule::initTestCase()
{
    orbisk::test::prepareTestEnvironment();
}

void TestVersionRule::comparesTheFirstThreeComponents_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("client");
    QTest::addColumn<Outcome>("expected");

    const QString client = QStringLiteral("3.0.0 Build 26");
    QTest::newRow("equal") << QStringLiteral("3.0.0") << client << NotNewer;
    QTest::newRow("higher build only") << QStringLiteral("3.0.0 Build 99") << client << NotNewer;
    QTest::newRow("lower build, same version")
        << QStringLiteral("3.0.1 Build 2") << QStringLiteral("3.0.1 Build 26") << NotNewer;
    QTest::newRow("newer patch with build") << QStringLiteral("3.0.1 Build 30") << client << Newer;
    QTest::newRow("newer minor") << QStringLiteral("3.1.0") << client << Newer;
    QTest::newRow("newer major") << QStringLiteral("4.0.0") << client << Newer;
    QTest::newRow("older major") << QStringLiteral("2.9.9") << client << NotNewer;
    QTest::newRow("older patch") << QStringLiteral("3.0.0") << QStringLiteral("3.0.1") << NotNewer;
    QTest::newRow("earlier component decides") << QStringLiteral("3.0.9") << QStringLiteral("3.1.0") << NotNewer;
    QTest::newRow("numeric, not textual") << QStringLiteral("10.0.0") << client << Newer;
    QTest::newRow("numeric, not textual, older") << QStringLiteral("9.0.0") << QStringLiteral("10.0.0") << NotNewer;
    QTest::newRow("fourth component ignored, newer") << QStringLiteral("3.0.1.7") << client << Newer;
    QTest::newRow("fourth component ignored, same") << QStringLiteral("3.0.0.9") << client << NotNewer;
    QTest::newRow("build text with dots ignored") << QStringLiteral("3.0.1 Build 2.9.9") << client << Newer;
    QTest::newRow("leading zeros") << QStringLiteral("03.00.01") << client << Newer;
    QTest::newRow("leading zeros, same") << QStringLiteral("3.00.000") << client << NotNewer;
    QTest::newRow("letter counts as 0, newer") << QStringLiteral("3.x.5") << client << Newer;
    QTest::newRow("letter counts as 0, older") << QStringLiteral("x.9.9") << client << NotNewer;
    QTest::newRow("suffixed number counts as 0") << QStringLiteral("3.0.1a") << client << NotNewer;
    QTest::newRow("pre-release word counts as 0") << QStringLiteral("3.0.beta") << client << NotNewer;
    QTest::newRow("non-ASCII digit counts as 0") << QStringLiteral("3.0.") + QChar(0x0661) << client << NotNewer;
    QTest::newRow("empty component counts as 0") << QStringLiteral("3..1") << client << Newer;
    QTest::newRow("plus sign") << QStringLiteral("+4.0.0") << client << Newer;
    QTest::newRow("negative component") << QStringLiteral("3.0.-1") << client << NotNewer;
    QTest::newRow("negative zero") << QStringLiteral("3.0.-0") << client << NotNewer;
    QTest::newRow("tab after a component") << QStringLiteral("3.0.1\t") << client << Newer;
    QTest::newRow("beyond int") << QStringLiteral("4294967296.0.0") << client << Newer;
    QTest::newRow("beyond 64 bits") << QStringLiteral("3.0.99999999999999999999999") << client << Newer;
    QTest::newRow("huge against huge, larger")
        << QStringLiteral("100000000000000000000.0.0") << QStringLiteral("99999999999999999999.0.0") << Newer;
    QTest::newRow("huge against huge, smaller")
        << QStringLiteral("99999999999999999999.0.0") << QStringLiteral("100000000000000000000.0.0") << NotNewer;
    QTest::newRow("huge negative is small") << QStringLiteral("-99999999999999999999.0.0") << client << NotNewer;
    QTest::newRow("two components") << QStringLiteral("3.1") << client << NoComparison;
    QTest::newRow("one component") << QStringLiteral("4") << client << NoComparison;
    QTest::newRow("empty") << QString() << client << NoComparison;
    QTest::newRow("leading blank leaves nothing") << QStringLiteral(" 3.0.1") << client << NoComparison;
    QTest::newRow("client with two components") << QStringLiteral("3.0.1") << QStringLiteral("3.0") << NoComparison;
}

void TestVersionRule::comparesTheFirstThreeComponents()
{
    QFETCH(QString, server);
    QFETCH(QString, client);
    QFETCH(Outcome, expected);

    QCOMPARE(outcome(server, client), expected);
}

void TestVersionRule::cutsAtTheFirstBlank_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("cut");

    QTest::newRow("client version") << QStringLiteral("3.0.0 Build 26") << QStringLiteral("3.0.0");
    QTest::newRow("no blank") << QStringLiteral("3.0.1") << QStringLiteral("3.0.1");
    QTest::newRow("two blanks") << QStringLiteral("3.0.1  Build 30") << QStringLiteral("3.0.1");
    QTest::newRow("leading blank") << QStringLiteral(" 3.0.1") << QString();
    QTest::newRow("tab is not a blank") << QStringLiteral("3.0.1\tBuild") << QStringLiteral("3.0.1\tBuild");
    QTest::newRow("empty") << QString() << QString();
}

void TestVersionRule::cutsAtTheFirstBlank()
{
    QFETCH(QString, version);
    QFETCH(QString, cut);

    QCOMPARE(VersionRule::cutAtFirstBlank(version), cut);
}

void TestVersionRule::keepsEmptyComponents()
{
    QCOMPARE(VersionRule::components(QStringLiteral("3..1.")),
        (QStringList{QStringLiteral("3"), QString(), QStringLiteral("1"), QString()}));
    QCOMPARE(VersionRule::components(QString()).size(), 1);
}

QTEST_GUILESS_MAIN(TestVersionRule)
#include "test_versionrule.moc"
