// The web view and its page in the real engine, against the demo server over HTTPS
// with its self-signed certificate trusted: the file drop bridge, the context menu and
// the console log.
#include "web/CWebEnginePage.h"
#include "web/CWebEngineView.h"

#include "DesktopDrop.h"
#include "TestEnvironment.h"
#include "TrustedDemoServer.h"
#include "WebTestSupport.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QMimeData>
#include <QWebEngineProfile>

using orbisk::test::kEngineTimeoutMs;

namespace {

using DropItems = QVector<QPair<QString, QString>>;

DropItems droppedItems(QWebEnginePage* page)
{
    const QVariant json = orbisk::test::evaluateJavaScript(page, QStringLiteral("JSON.stringify(droppedItems)"));
    DropItems items;
    const QJsonArray array = QJsonDocument::fromJson(json.toString().toUtf8()).array();
    for (const QJsonValue& value : array)
        items.append({value.toObject().value(QStringLiteral("kind")).toString(),
            value.toObject().value(QStringLiteral("path")).toString()});
    return items;
}

} // namespace

class TestWebEngineView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void dropReachesThePageExactly_data();
    void dropReachesThePageExactly();
    void dropWithoutUrlsRunsNothing();
    void uriListDragIsAcceptedWithItsProposedAction();
    void contextMenuHasItsEightLines();
    void contextMenuEnablesReloadAndOpensAtTheCursor();
    void consoleMessagesLogTheSameLineAtEveryLevel();

private:
    orbisk::test::TrustedDemoServer m_server;
    QString m_sDir;
    CWebEngineView* m_pView = nullptr;
    CWebEnginePage* m_pPage = nullptr;
};

void TestWebEngineView::initTestCase()
{
    orbisk::test::prepareTestEnvironment();
    QVERIFY2(m_server.start(), qPrintable(m_server.errorString()));

    m_sDir = orbisk::test::scratchDir(QStringLiteral("drops"));
    const QStringList folders{QStringLiteral("In"), QStringLiteral("Dossier été")};
    for (const QString& folder : folders)
        QVERIFY(QDir(m_sDir).mkdir(folder));
    const QStringList files{QStringLiteral("a.txt"), QStringLiteral("it's \\ Ærø 日本.txt"),
        QStringLiteral("x');document.title='owned';('.txt"),
        QStringLiteral("line") + QChar(0x2028) + QStringLiteral("sep.txt")};
    for (const QString& name : files) {
        QFile file(m_sDir + QLatin1Char('/') + name);
        QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(name));
    }
}

void TestWebEngineView::init()
{
    m_pView = new CWebEngineView(nullptr);
    m_pPage = new CWebEnginePage(QWebEngineProfile::defaultProfile(), nullptr);
    m_pPage->setCertificateGuard(m_server.guard());
    m_pView->setPage(m_pPage);
    m_pView->initContextMenu();
    m_pView->resize(800, 600);
    m_pView->show();

    QSignalSpy loaded(m_pPage, &QWebEnginePage::loadFinished);
    m_pPage->setUrl(QUrl(m_server.baseUrl() + QStringLiteral("/app/files")));
    QVERIFY(loaded.wait(kEngineTimeoutMs));
    QCOMPARE(loaded.first().first().toBool(), true);
}

void TestWebEngineView::cleanup()
{
    delete m_pPage;
    delete m_pView;
    m_pPage = nullptr;
    m_pView = nullptr;
}

void TestWebEngineView::dropReachesThePageExactly_data()
{
    QTest::addColumn<QStringList>("urls");
    QTest::addColumn<QStringList>("kinds");
    QTest::addColumn<QStringList>("paths");

    // {DIR} stands for the test's scratch folder, known only once initTestCase ran.
    const QString d = QStringLiteral("{DIR}");
    QTest::newRow("folder then file") << QStringList{d + QStringLiteral("/In"), d + QStringLiteral("/a.txt")}
                                      << QStringList{QStringLiteral("folder"), QStringLiteral("file")}
                                      << QStringList{d + QStringLiteral("/In"), d + QStringLiteral("/a.txt")};
    QTest::newRow("web link is a file with an empty path")
        << QStringList{QStringLiteral("https://example.com/page.html"), d + QStringLiteral("/Dossier été")}
        << QStringList{QStringLiteral("file"), QStringLiteral("folder")}
        << QStringList{QString(), d + QStringLiteral("/Dossier été")};
    const QString odd = d + QStringLiteral("/it's \\ Ærø 日本.txt");
    const QString code = d + QStringLiteral("/x');document.title='owned';('.txt");
    const QString separator = d + QStringLiteral("/line") + QChar(0x2028) + QStringLiteral("sep.txt");
    QTest::newRow("apostrophe, backslash, non-ASCII, script, line separator")
        << QStringList{odd, code, separator}
        << QStringList{QStringLiteral("file"), QStringLiteral("file"), QStringLiteral("file")}
        << QStringList{odd, code, separator};
    QTest::newRow("missing path counts as a file")
        << QStringList{d + QStringLiteral("/gone")} << QStringList{QStringLiteral("file")}
        << QStringList{d + QStringLiteral("/gone")};
}

void TestWebEngineView::dropReachesThePageExactly()
{
    QFETCH(QStringList, urls);
    QFETCH(QStringList, kinds);
    QFETCH(QStringList, paths);

    QList<QUrl> urlList;
    for (const QString& url : qAsConst(urls)) {
        const QString resolved = QString(url).replace(QStringLiteral("{DIR}"), m_sDir);
        urlList.append(resolved.startsWith(QLatin1Char('/')) ? QUrl::fromLocalFile(resolved) : QUrl(resolved));
    }
    DropItems expected;
    for (int i = 0; i < kinds.size(); ++i)
        expected.append({kinds.at(i), QString(paths.at(i)).replace(QStringLiteral("{DIR}"), m_sDir)});

    const QString sTitle = m_pPage->title();
    QMimeData mimeData;
    mimeData.setUrls(urlList);
    orbisk::test::sendDesktopDrop(m_pView, &mimeData);

    // Scripts run in the order they were sent, so a later read sees every earlier call.
    QTRY_COMPARE_WITH_TIMEOUT(droppedItems(m_pPage).size(), expected.size(), kEngineTimeoutMs);
    QCOMPARE(droppedItems(m_pPage), expected);
    QCOMPARE(m_pPage->title(), sTitle);
    QCOMPARE(m_pPage->url().path(), QStringLiteral("/app/files"));
}

void TestWebEngineView::dropWithoutUrlsRunsNothing()
{
    QMimeData mimeData;
    mimeData.setText(QStringLiteral("just some text"));
    orbisk::test::sendDesktopDrop(m_pView, &mimeData);
    QMimeData fileData;
    fileData.setUrls({QUrl::fromLocalFile(m_sDir + QStringLiteral("/a.txt"))});
    orbisk::test::sendDesktopDrop(m_pView, &fileData);

    QTRY_COMPARE_WITH_TIMEOUT(droppedItems(m_pPage).size(), 1, kEngineTimeoutMs);
    QCOMPARE(droppedItems(m_pPage).first().second, m_sDir + QStringLiteral("/a.txt"));
}

void TestWebEngineView::uriListDragIsAcceptedWithItsProposedAction()
{
    QMimeData mimeData;
    mimeData.setUrls({QUrl::fromLocalFile(m_sDir + QStringLiteral("/a.txt"))});
    QDragEnterEvent enter(
        m_pView->rect().center(), Qt::CopyAction | Qt::MoveAction, &mimeData, Qt::LeftButton, Qt::NoModifier);
    enter.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(m_pView, &enter);
    QVERIFY(enter.isAccepted());
    QCOMPARE(enter.dropAction(), enter.proposedAction());

    QDragMoveEvent move(m_pView->rect().center(), Qt::CopyAction, &mimeData, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_pView, &move);
    QDropEvent drop(m_pView->rect().center(), Qt::CopyAction, &mimeData, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_pView, &drop);
    QTRY_COMPARE_WITH_TIMEOUT(droppedItems(m_pPage).size(), 1, kEngineTimeoutMs);
}

void TestWebEngineView::contextMenuHasItsEightLines()
{
    QMenu* menu = m_pView->contextMenu();
    QVERIFY(menu);
    QCOMPARE(menu->parent(), m_pView);
    QCOMPARE(menu->styleSheet(), QStringLiteral("QMenu{font-size:13px}"));

    const QList<QAction*> actions = menu->actions();
    QCOMPARE(actions.size(), 8);
    const QList<QWebEnginePage::WebAction> order{QWebEnginePage::Back, QWebEnginePage::Forward, QWebEnginePage::Reload,
        QWebEnginePage::NoWebAction, QWebEnginePage::Copy, QWebEnginePage::Paste, QWebEnginePage::Cut,
        QWebEnginePage::SelectAll};
    for (int i = 0; i < order.size(); ++i) {
        if (order.at(i) == QWebEnginePage::NoWebAction)
            QVERIFY2(actions.at(i)->isSeparator(), qPrintable(QString::number(i)));
        else
            QCOMPARE(actions.at(i), m_pPage->action(order.at(i)));
    }
}

void TestWebEngineView::contextMenuEnablesReloadAndOpensAtTheCursor()
{
    QAction* reload = m_pPage->action(QWebEnginePage::Reload);
    reload->setEnabled(false);
    QCursor::setPos(m_pView->mapToGlobal(QPoint(40, 50)));
    const QPoint cursor = QCursor::pos();

    QPointer<QMenu> shown;
    bool wasReloadEnabled = false;
    QPoint shownAt;
    QObject guard;
    QTimer poll;
    poll.start(10);
    connect(&poll, &QTimer::timeout, &guard, [&] {
        if (shown || !QApplication::activePopupWidget())
            return;
        shown = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!shown)
            return;
        wasReloadEnabled = reload->isEnabled();
        shownAt = shown->pos();
        shown->close();
    });
    // A right click on the page reaches the engine, which asks the view for its menu.
    QWidget* target = m_pView->focusProxy() ? m_pView->focusProxy() : m_pView;
    QTest::mouseClick(target, Qt::RightButton, Qt::NoModifier, QPoint(200, 150));
    QTRY_VERIFY_WITH_TIMEOUT(shown, kEngineTimeoutMs);
    QCOMPARE(shown.data(), m_pView->contextMenu());
    QVERIFY(wasReloadEnabled);
    QCOMPARE(shownAt, cursor);
}

void TestWebEngineView::consoleMessagesLogTheSameLineAtEveryLevel()
{
    orbisk::test::DebugLogCapture log;
    m_pPage->runJavaScript(QStringLiteral("console.error('x'); console.info('x'); console.warn('x'); "
                                          "console.log('it\\'s \"quoted\"')"));
    const QString sLine = QStringLiteral("javaScriptConsoleMessage: \"x\"");
    QTRY_COMPARE_WITH_TIMEOUT(log.count(sLine), 3, kEngineTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(
        log.count(QStringLiteral("javaScriptConsoleMessage: \"it's \\\"quoted\\\"\"")), 1, kEngineTimeoutMs);
}

ORBISK_WEBENGINE_TEST_MAIN(TestWebEngineView)
#include "test_webengineview.moc"
