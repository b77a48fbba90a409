#include "web/DownloadFileName.h"

#include <QSet>
#include <QtTest>

class TestDownloadFileName : public QObject
{
    Q_OBJECT

private slots:
    void plainFileName_data();
    void plainFileName();
    void plainFileName_fitsEveryFileSystem_data();
    void plainFileName_fitsEveryFileSystem();
    void uniqueFileName_data();
    void uniqueFileName();
};

void TestDownloadFileName::plainFileName_data()
{
    QTest::addColumn<QString>("suggested");
    QTest::addColumn<QString>("expected");

    QTest::newRow("ordinary") << "report.pdf"
                              << "report.pdf";
    QTest::newRow("non-ASCII and emoji kept")
        << QStringLiteral("Ærø 日本 \U0001F600.txt") << QStringLiteral("Ærø 日本 \U0001F600.txt");
    QTest::newRow("climbing out with slashes") << "../../evil.sh"
                                               << "evil.sh";
    QTest::newRow("climbing out with backslashes") << "..\\..\\Windows\\evil.dll"
                                                   << "evil.dll";
    QTest::newRow("absolute path") << "/etc/passwd"
                                   << "passwd";
    QTest::newRow("drive path") << "C:\\Users\\me\\a.txt"
                                << "a.txt";
    QTest::newRow("drive without separator") << "C:a.txt"
                                             << "C_a.txt";
    QTest::newRow("only dots") << ".."
                               << "download";
    QTest::newRow("ends in a separator") << "folder/"
                                         << "download";
    QTest::newRow("empty") << ""
                           << "download";
    QTest::newRow("refused characters") << "a<b>c:d\"e|f?g*h.txt"
                                        << "a_b_c_d_e_f_g_h.txt";
    QTest::newRow("control characters") << QStringLiteral("a\tb\nc\rd") + QChar(0) + QStringLiteral("e\x7f\u0085.txt")
                                        << "abcde.txt";
    QTest::newRow("direction override") << QStringLiteral("invoice\u202Efdp.exe") << "invoicefdp.exe";
    QTest::newRow("isolate and marks") << QStringLiteral("\u2066a\u2069\u200Eb\u200F.txt") << "ab.txt";
    QTest::newRow("lone surrogate") << QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b.txt") << "ab.txt";
    QTest::newRow("trailing dots and spaces") << "report.pdf. . "
                                              << "report.pdf";
    QTest::newRow("leading spaces and dots, no hidden file") << "  ..bashrc"
                                                             << "bashrc";
    QTest::newRow("inner dots and spaces stay") << "my report v1.2 .pdf"
                                                << "my report v1.2 .pdf";
    QTest::newRow("device name") << "CON"
                                 << "_CON";
    QTest::newRow("device name, lower case, extension") << "nul.txt"
                                                        << "_nul.txt";
    QTest::newRow("device name, two extensions") << "Aux.tar.gz"
                                                 << "_Aux.tar.gz";
    QTest::newRow("device name with space before the dot") << "PRN .txt"
                                                           << "_PRN .txt";
    QTest::newRow("numbered device") << "com1.log"
                                     << "_com1.log";
    QTest::newRow("last numbered device") << "LPT9"
                                          << "_LPT9";
    QTest::newRow("superscript device") << QStringLiteral("COM\u00B9.txt") << QStringLiteral("_COM\u00B9.txt");
    QTest::newRow("console device") << "conout$.txt"
                                    << "_conout$.txt";
    QTest::newRow("device name after folders") << "a/b/CON.txt"
                                               << "_CON.txt";
    QTest::newRow("device name made by trimming") << "NUL. "
                                                  << "_NUL";
    QTest::newRow("COM0 is no device") << "COM0.txt"
                                       << "COM0.txt";
    QTest::newRow("COM10 is no device") << "COM10"
                                        << "COM10";
    QTest::newRow("device name inside a word") << "CONTRACT.pdf"
                                               << "CONTRACT.pdf";
    QTest::newRow("long name keeps its extension") << QString(300, QLatin1Char('a')) + QStringLiteral(".pdf")
                                                   << QString(196, QLatin1Char('a')) + QStringLiteral(".pdf");
    QTest::newRow("long name without extension") << QString(300, QLatin1Char('b')) << QString(200, QLatin1Char('b'));
    QTest::newRow("long name cut before a space") << QString(195, QLatin1Char('a')) + QStringLiteral(" xxxxxxxx.pdf")
                                                  << QString(195, QLatin1Char('a')) + QStringLiteral(".pdf");
}

void TestDownloadFileName::plainFileName()
{
    QFETCH(QString, suggested);
    QFETCH(QString, expected);
    QCOMPARE(DownloadFileName::plainFileName(suggested), expected);
}

void TestDownloadFileName::plainFileName_fitsEveryFileSystem_data()
{
    QTest::addColumn<QString>("suggested");

    QTest::newRow("long CJK name") << QString(150, QChar(0x65E5)) + QStringLiteral(".txt");
    QTest::newRow("long emoji name") << QStringLiteral("\U0001F600").repeated(120) + QStringLiteral(".png");
    QTest::newRow("long extension") << QStringLiteral("a.") + QString(400, QLatin1Char('x'));
    QTest::newRow("everything hostile") << QStringLiteral(" ../..\\CON\u202E<>:\"|?*\x01.") + QString(300, QChar(0xE9));
}

// Whatever is suggested, the result is a name that Linux, Windows and macOS store.
void TestDownloadFileName::plainFileName_fitsEveryFileSystem()
{
    QFETCH(QString, suggested);
    const QString name = DownloadFileName::plainFileName(suggested);

    QVERIFY(!name.isEmpty());
    QVERIFY2(name.toUtf8().size() <= 200, qPrintable(QString::number(name.toUtf8().size())));
    QCOMPARE(QString::fromUtf8(name.toUtf8()), name); // no broken surrogate pair
    for (const QChar ch : name) {
        QVERIFY(!QStringLiteral("/\\<>:\"|?*").contains(ch));
        QVERIFY(ch.unicode() >= 0x20);
    }
    QVERIFY(!name.endsWith(QLatin1Char('.')) && !name.endsWith(QLatin1Char(' ')));
    QCOMPARE(DownloadFileName::plainFileName(name), name);
}

void TestDownloadFileName::uniqueFileName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("taken");
    QTest::addColumn<QString>("expected");

    QTest::newRow("free") << "report.pdf" << QStringList{"other.pdf"} << "report.pdf";
    QTest::newRow("taken once") << "report.pdf" << QStringList{"report.pdf"} << "report (1).pdf";
    QTest::newRow("taken thrice") << "report.pdf" << QStringList{"report.pdf", "report (1).pdf", "report (2).pdf"}
                                  << "report (3).pdf";
    QTest::newRow("gap is reused") << "report.pdf" << QStringList{"report.pdf", "report (2).pdf"} << "report (1).pdf";
    QTest::newRow("no extension") << "README" << QStringList{"README"} << "README (1)";
    QTest::newRow("several dots") << "my.report.v2.pdf" << QStringList{"my.report.v2.pdf"} << "my.report.v2 (1).pdf";
    QTest::newRow("tar archive") << "backup.tar.gz" << QStringList{"backup.tar.gz"} << "backup (1).tar.gz";
    QTest::newRow("only a tar extension") << ".tar.gz" << QStringList{".tar.gz"} << ".tar (1).gz";
    QTest::newRow("percent signs stay") << "%1 %2.txt" << QStringList{"%1 %2.txt"} << "%1 %2 (1).txt";
}

void TestDownloadFileName::uniqueFileName()
{
    QFETCH(QString, name);
    QFETCH(QStringList, taken);
    QFETCH(QString, expected);

    const QSet<QString> takenSet(taken.begin(), taken.end());
    QCOMPARE(
        DownloadFileName::uniqueFileName(name, [&](const QString& candidate) { return takenSet.contains(candidate); }),
        expected);
}

QTEST_GUILESS_MAIN(TestDownloadFileName)
#include "test_downloadfilename.moc"
