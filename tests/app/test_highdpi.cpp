// The client at 200 % (QT_SCALE_FACTOR=2, as on a 192 DPI screen): images come in
// their "@2x" renderings, and the fixed layouts of the login window and the dialogs
// still show every text and check box whole.
#include "app/HighDpi.h"
#include "app/Resources.h"
#include "dialogs/CAboutUI.h"
#include "dialogs/CMachineCodeUI.h"
#include "dialogs/CSetting.h"
#include "dialogs/CSwitchModeUI.h"
#include "login/CLoginUI.h"
#include "mainwindow/CMainWindow.h"
#include "update/CCheckUpdateUI.h"

#include "TestEnvironment.h"

#include <QtTest>

#include <QAbstractButton>
#include <QCheckBox>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionButton>

#include <memory>

namespace {

const qreal kScale = 2.0;

// Every check box, button and one-line label whose text is not shown whole: the text
// must fit into the control's part inside the window's one-pixel frame, and a check
// box's indicator and text must lie there.
QStringList cutControls(QWidget* window)
{
    QStringList cut;
    const QRect inside = QRect(QPoint(0, 0), window->size()).adjusted(1, 1, -1, -1);
    for (QWidget* child : window->findChildren<QWidget*>()) {
        if (child->isHidden() || child->window() != window)
            continue;
        const QRect rect(child->mapTo(window, QPoint(0, 0)), child->size());
        const QRect visible = rect.intersected(inside);
        const QFontMetrics metrics = child->fontMetrics();
        QString text;
        QRect wanted;
        bool placed = false;
        if (auto* box = qobject_cast<QCheckBox*>(child)) {
            text = box->text();
            QStyleOptionButton option;
            option.initFrom(box);
            option.text = text;
            const QRect contents = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
            const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
            // Drawn from the left: where it ends matters, not only its size.
            wanted = indicator.united(QRect(contents.topLeft(), metrics.size(0, text))).translated(rect.topLeft());
            placed = true;
        } else if (auto* label = qobject_cast<QLabel*>(child); label && !label->wordWrap()) {
            text = label->text();
            wanted = QRect(rect.topLeft(), QSize(metrics.horizontalAdvance(text), metrics.height()));
        } else if (auto* button = qobject_cast<QAbstractButton*>(child)) {
            text = button->text();
            wanted = QRect(rect.topLeft(), QSize(metrics.horizontalAdvance(text), metrics.height()));
        }
        if (text.isEmpty())
            continue;
        if (wanted.width() > visible.width() || wanted.height() > visible.height()
            || (placed && !visible.contains(wanted)))
            cut << QStringLiteral("%1 \"%2\": needs %3x%4, shows %5x%6")
                       .arg(QString::fromLatin1(child->metaObject()->className()), text)
                       .arg(wanted.width())
                       .arg(wanted.height())
                       .arg(visible.width())
                       .arg(visible.height());
    }
    return cut;
}

} // namespace

class TestHighDpi : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void imagesComeInTheirDoubleRendering_data();
    void imagesComeInTheirDoubleRendering();
    void applicationIconHasBothSizes();
    void fixedLayoutsShowEveryTextWhole_data();
    void fixedLayoutsShowEveryTextWhole();

private:
    CMainWindow* m_window = nullptr;
    CLoginUI* m_login = nullptr;
};

void TestHighDpi::initTestCase()
{
    orbisk::test::prepareTestEnvironment();
    QCOMPARE(qApp->devicePixelRatio(), kScale);
    QFont font(QStringLiteral("Microsoft YaHei"));
    font.setPixelSize(14);
    QApplication::setFont(font);
    m_window = new CMainWindow(nullptr);
    g_pMainWindow = m_window;
    m_login = new CLoginUI(nullptr);
    m_window->setLoginUI(m_login);
    m_window->slot_switch_language(m_window->m_iLanguage);
}

void TestHighDpi::cleanupTestCase()
{
    delete m_login;
    delete m_window;
    g_pMainWindow = nullptr;
}

void TestHighDpi::imagesComeInTheirDoubleRendering_data()
{
    QTest::addColumn<QString>("file");
    for (const char* file : {"close.png", "check.png", "uncheck.png", "drop-down.png", "warning.png",
             "orbisk/orbisk330x170.png", "orbisk/orbisk200x40.png", "orbisk/orbisk64.png"})
        QTest::newRow(file) << QStringLiteral(":/resource/image/") + QLatin1String(file);
}

void TestHighDpi::imagesComeInTheirDoubleRendering()
{
    QFETCH(QString, file);

    const QImage single(file);
    QVERIFY(!single.isNull());
    const QPixmap pixmap = orbisk::imagePixmap(file);
    QCOMPARE(pixmap.devicePixelRatio(), kScale);
    QCOMPARE(pixmap.size(), single.size() * 2);
    // Laid out at the single image's size.
    QCOMPARE(pixmap.size() / pixmap.devicePixelRatio(), single.size());
}

void TestHighDpi::applicationIconHasBothSizes()
{
    const QList<QSize> sizes = orbisk::applicationIcon().availableSizes();
    QVERIFY(sizes.contains(QSize(64, 64)));
    QVERIFY(sizes.contains(QSize(128, 128)));
}

void TestHighDpi::fixedLayoutsShowEveryTextWhole_data()
{
    QTest::addColumn<QString>("window");
    for (const char* window : {"login new server", "login select server", "login browser mode", "about", "settings",
             "device code", "switch mode", "update"})
        QTest::newRow(window) << QString::fromLatin1(window);
}

void TestHighDpi::fixedLayoutsShowEveryTextWhole()
{
    QFETCH(QString, window);

    std::unique_ptr<QWidget> dialog;
    QWidget* shown = m_login;
    if (window.startsWith(QLatin1String("login"))) {
        m_login->setBrowserModel(window.endsWith(QLatin1String("browser mode")));
        if (!m_login->m_isBrowserModel)
            m_login->switchServerMode(window.endsWith(QLatin1String("new server")));
    } else if (window == QLatin1String("about")) {
        dialog = std::make_unique<CAboutUI>(nullptr);
    } else if (window == QLatin1String("settings")) {
        dialog = std::make_unique<CSetting>(nullptr);
    } else if (window == QLatin1String("device code")) {
        dialog = std::make_unique<CMachineCodeUI>(nullptr);
    } else if (window == QLatin1String("switch mode")) {
        dialog = std::make_unique<CSwitchModeUI>(nullptr);
    } else {
        dialog = std::make_unique<CCheckUpdateUI>(false, nullptr);
    }
    if (dialog)
        shown = dialog.get();
    shown->show();
    QVERIFY(QTest::qWaitForWindowExposed(shown));
    QCOMPARE(shown->devicePixelRatioF(), kScale);

    const QStringList cut = cutControls(shown);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));
    shown->hide();
}

int main(int argc, char** argv)
{
    // Set before the application object, as a 200 % screen would be.
    qputenv("QT_SCALE_FACTOR", "2");
    orbisk::enableHighDpiScaling();
    QApplication application(argc, argv);
    TestHighDpi test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_highdpi.moc"
