// The parts of the server picker that need no main window: taking a display text
// apart for Continue, the wheel-proof combo box and the style without focus frames.
#include "login/CCombox.h"
#include "login/NoFocusRectStyle.h"
#include "servers/ServerDisplayText.h"

#include "TestEnvironment.h"

#include <QImage>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionFocusRect>
#include <QWheelEvent>
#include <QtTest>

#include <memory>

class TestPickerParts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void displayTextIsParsedBack_data();
    void displayTextIsParsedBack();
    void displayTextRoundTrip_data();
    void displayTextRoundTrip();
    void shownTextStandsForOneServer_data();
    void shownTextStandsForOneServer();
    void wheelOverTheComboChangesNothing_data();
    void wheelOverTheComboChangesNothing();
    void noFocusRectangleIsDrawn();
};

void TestPickerParts::initTestCase()
{
    orbisk::test::prepareTestEnvironment();
}

void TestPickerParts::displayTextIsParsedBack_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("url");

    QTest::newRow("display text") << QStringLiteral("Office (https://files.example.com)") << QStringLiteral("Office")
                                  << QStringLiteral("https://files.example.com");
    QTest::newRow("name with parentheses") << QStringLiteral("Lab (west) (https://h:8443)")
                                           << QStringLiteral("Lab (west)") << QStringLiteral("https://h:8443");
    QTest::newRow("empty name") << QStringLiteral(" (https://h)") << QString() << QStringLiteral("https://h");
    QTest::newRow("no parentheses: both are the whole text")
        << QStringLiteral("https://typed.example") << QStringLiteral("https://typed.example")
        << QStringLiteral("https://typed.example");
    QTest::newRow("( without ): URL is the rest")
        << QStringLiteral("Office (https://h/path") << QStringLiteral("Office") << QStringLiteral("https://h/path");
    QTest::newRow(") before (: URL is the rest")
        << QStringLiteral("a) (https://h") << QStringLiteral("a)") << QStringLiteral("https://h");
    QTest::newRow("no blank: the name loses its last character")
        << QStringLiteral("Office(https://h)") << QStringLiteral("Offic") << QStringLiteral("https://h");
    QTest::newRow("( first: the name is the whole text")
        << QStringLiteral("(https://h)") << QStringLiteral("(https://h)") << QStringLiteral("https://h");
    QTest::newRow("( last: empty URL") << QStringLiteral("Office (") << QStringLiteral("Office") << QString();
    QTest::newRow("empty") << QString() << QString() << QString();
}

void TestPickerParts::displayTextIsParsedBack()
{
    QFETCH(QString, text);
    QFETCH(QString, name);
    QFETCH(QString, url);

    const ServerEntry entry = parseServerDisplayText(text);
    QCOMPARE(entry.name, name);
    QCOMPARE(entry.url, url);
    QVERIFY(!entry.isDefault);
}

void TestPickerParts::displayTextRoundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("url");

    QTest::newRow("plain") << QStringLiteral("Office") << QStringLiteral("https://h");
    QTest::newRow("parentheses and blanks in the name")
        << QStringLiteral("A (b) c ((") << QStringLiteral("http://h:1/x");
    QTest::newRow("non-Latin name") << QStringLiteral("东京 Ærø") << QStringLiteral("https://例え.jp");
    QTest::newRow("empty name") << QString() << QStringLiteral("https://h");
}

void TestPickerParts::displayTextRoundTrip()
{
    QFETCH(QString, name);
    QFETCH(QString, url);

    const ServerEntry entry = parseServerDisplayText(serverDisplayText({name, url, true}));
    QCOMPARE(entry.name, name);
    QCOMPARE(entry.url, url);
}

void TestPickerParts::shownTextStandsForOneServer_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("index");

    QTest::newRow("the short URL") << QStringLiteral("Short (https://h)") << 0;
    QTest::newRow("the long URL, though the short one is a part of it") << QStringLiteral("Long (https://h:8443)") << 1;
    QTest::newRow("the long URL under another name") << QStringLiteral("Renamed (https://h:8443)") << 1;
    QTest::newRow("a typed URL") << QStringLiteral("https://h:8443") << 1;
    QTest::newRow("URL with parentheses") << QStringLiteral("Odd (https://h/a(b))") << 2;
    QTest::newRow("a longer URL than any known") << QStringLiteral("X (https://h:84430)") << -1;
    QTest::newRow("a part of a known URL") << QStringLiteral("X (https://h:84)") << -1;
    QTest::newRow("letter case counts") << QStringLiteral("Short (HTTPS://H)") << -1;
    QTest::newRow("empty") << QString() << -1;
}

void TestPickerParts::shownTextStandsForOneServer()
{
    QFETCH(QString, text);
    QFETCH(int, index);

    const ServerList servers{{QStringLiteral("Short"), QStringLiteral("https://h"), false},
        {QStringLiteral("Long"), QStringLiteral("https://h:8443"), false},
        {QStringLiteral("Odd"), QStringLiteral("https://h/a(b)"), false}};
    QCOMPARE(indexOfShownServer(servers, text), index);
}

void TestPickerParts::wheelOverTheComboChangesNothing_data()
{
    QTest::addColumn<int>("delta");
    QTest::newRow("up") << 120;
    QTest::newRow("down") << -120;
}

void TestPickerParts::wheelOverTheComboChangesNothing()
{
    QFETCH(int, delta);

    // The same wheel moves a plain combo box, so an unchanged CCombox means something.
    QWidget parent;
    auto* plain = new QComboBox(&parent);
    auto* combo = new CCombox(&parent);
    const QList<QComboBox*> boxes{plain, combo};
    for (QComboBox* box : boxes) {
        box->setEditable(true);
        box->addItems({QStringLiteral("first"), QStringLiteral("second"), QStringLiteral("third")});
        box->setCurrentIndex(1);
        box->setCurrentText(QStringLiteral("Shown (https://h)"));
        const QPoint centre = box->rect().center();
        QWheelEvent wheel(centre, box->mapToGlobal(centre), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
            Qt::NoScrollPhase, false);
        QApplication::sendEvent(box, &wheel);
    }

    QVERIFY(plain->currentIndex() != 1);
    QCOMPARE(combo->currentIndex(), 1);
    QCOMPARE(combo->currentText(), QStringLiteral("Shown (https://h)"));
}

namespace {

QImage drawn(QStyle* style, QStyle::PrimitiveElement element, const QStyleOption& option)
{
    QImage image(40, 40, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    style->drawPrimitive(element, &option, &painter);
    return image;
}

QImage blank()
{
    QImage image(40, 40, QImage::Format_ARGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

void TestPickerParts::noFocusRectangleIsDrawn()
{
    QStyleOptionFocusRect option;
    option.rect = QRect(2, 2, 36, 36);
    option.state = QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange | QStyle::State_Enabled;
    option.backgroundColor = Qt::white;

    // The plain style does draw a focus frame here, so an unchanged image means something.
    const std::unique_ptr<QStyle> plain(QStyleFactory::create(QStringLiteral("Windows")));
    QVERIFY(plain);
    QVERIFY(drawn(plain.get(), QStyle::PE_FrameFocusRect, option) != blank());

    NoFocusRectStyle style;
    QCOMPARE(drawn(&style, QStyle::PE_FrameFocusRect, option), blank());
}

QTEST_MAIN(TestPickerParts)
#include "test_pickerparts.moc"
