#include "login/BrowserLinkPlacement.h"

#include <QtTest>

#include <QFontMetrics>
#include <QTextLayout>

namespace {

const QRect kSentence(20, 155, 460, 64);
const QPoint kPreferred(240, 181);
const int kRightEdge = 480;

// The right end of the sentence's last wrapped line.
int lastLineEnd(const QString& sentence, const QFont& font)
{
    QTextLayout layout(sentence, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal width = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(kSentence.width());
        width = line.naturalTextWidth();
    }
    layout.endLayout();
    return kSentence.x() + qCeil(width);
}

} // namespace

class TestBrowserLink : public QObject
{
    Q_OBJECT

private slots:
    void linkNeverCoversTheSentence_data();
    void linkNeverCoversTheSentence();
};

void TestBrowserLink::linkNeverCoversTheSentence_data()
{
    QTest::addColumn<QString>("sentence");
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("where");

    QTest::newRow("short last line keeps the designed place")
        << QStringLiteral("Use the browser.") << QStringLiteral("please click here") << QStringLiteral("preferred");
    QTest::newRow("long last line: right after it")
        << QStringLiteral("Now you can use Valtro via browser, if you prefer to access Valtro via client application,")
        << QStringLiteral("click") << QStringLiteral("after");
    QTest::newRow("no room left: next line")
        << QStringLiteral("Now you can use Valtro via browser, if you prefer to access Valtro via client application,")
        << QStringLiteral("please click here to take the transfers back into the client") << QStringLiteral("below");
}

void TestBrowserLink::linkNeverCoversTheSentence()
{
    QFETCH(QString, sentence);
    QFETCH(QString, link);
    QFETCH(QString, where);

    QFont font;
    font.setPixelSize(16);
    const QPoint pos = placeBrowserLink(sentence, font, kSentence, link, font, kPreferred, kRightEdge);
    const int end = lastLineEnd(sentence, font);
    const int linkWidth = QFontMetrics(font).horizontalAdvance(link);

    if (where == QLatin1String("preferred")) {
        QCOMPARE(pos, kPreferred);
    } else if (where == QLatin1String("after")) {
        QCOMPARE(pos.y(), kPreferred.y());
        QVERIFY(pos.x() > end);
        QVERIFY(pos.x() + linkWidth <= kRightEdge);
    } else {
        QCOMPARE(pos.x(), kSentence.x());
        QVERIFY(pos.y() > kPreferred.y());
    }
}

QTEST_MAIN(TestBrowserLink)
#include "test_browserlink.moc"
