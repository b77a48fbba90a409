// The page's limits in the real engine, against the demo server: windows the page
// opens go to the system's web browser (http and https only) and a dropped file
// never replaces the page.
#include "web/CWebEnginePage.h"
#include "web/CWebEngineView.h"
#include "web/ExternalWindowPage.h"
#include "web/PageRecovery.h"

#include "DesktopDrop.h"
#include "OpenedUrls.h"
#include "TestEnvironment.h"
#include "TrustedDemoServer.h"
#include "WebTestSupport.h"
#include "WidgetHelpers.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMimeData>
#include <QWebEngineCertificateError>
#include <QWebEngineProfile>
#include <QWebEngineView>

using orbisk::test::kEngineTimeoutMs;
using orbisk::test::OpenedUrls;

namespace {

// Every scheme a page might try to have opened; the client may only ever open http(s).
const QStringList kSchemes{QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("file"),
    QStringLiteral("ftp"), QStringLiteral("data"), QStringLiteral("javascript"), QStringLiteral("mailto"),
    QStringLiteral("about")};

const QUrl kSentinel(QStringLiteral("https://sentinel.example/"));

// The engine's own page, except that it takes the demo server's certificate.
class CertificateTakingPage : public QWebEnginePage
{
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    bool certificateError(const QWebEngineCertificateError&) override { return true; }
};

} // namespace

class TestWebEnginePage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void newWindowGoesToTheBrowserOnlyForWebAddresses_data();
    void newWindowGoesToTheBrowserOnlyForWebAddresses();
    void scriptCannotOpenWindowsWithoutTheUser();
    void terminationsOlderThanFiveMinutesNoLongerCount();
    void newWindowThatNeverNavigatesIsDeleted();
    void fileDropOnPageThatLeavesDropsKeepsThePage();
    void fileUrlNeverReplacesThePage();

private:
    void load(QWebEnginePage* page, const QString& sPath);
    // Puts a large element at the page's top left that opens sHref in a new window when
    // clicked (a target=_blank link, or a script that calls window.open), and clicks it.
    void clickOpener(const QString& sHref, bool isScript);

    orbisk::test::TrustedDemoServer m_server;
    QString m_sDir;
    CWebEngineView* m_pView = nullptr;
    CWebEnginePage* m_pPage = nullptr;
};

void TestWebEnginePage::initTestCase()
{
    orbisk::test::prepareTestEnvironment();
    QVERIFY2(m_server.start(), qPrintable(m_server.errorString()));
    m_sDir = orbisk::test::scratchDir(QStringLiteral("drops"));
    QFile file(m_sDir + QStringLiteral("/dropped.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("dropped file");
}

void TestWebEnginePage::init()
{
    m_pView = new CWebEngineView(nullptr);
    m_pPage = new CWebEnginePage(QWebEngineProfile::defaultProfile(), nullptr);
    m_pPage->setCertificateGuard(m_server.guard());
    m_pView->setPage(m_pPage);
    m_pView->resize(800, 600);
    QVERIFY(orbisk::test::showExposed(m_pView));
    load(m_pPage, QStringLiteral("/app/files"));
}

void TestWebEnginePage::cleanup()
{
    delete m_pPage;
    delete m_pView;
    m_pPage = nullptr;
    m_pView = nullptr;
}

void TestWebEnginePage::load(QWebEnginePage* page, const QString& sPath)
{
    QSignalSpy loaded(page, &QWebEnginePage::loadFinished);
    page->setUrl(QUrl(m_server.baseUrl() + sPath));
    QVERIFY(loaded.wait(kEngineTimeoutMs));
    QCOMPARE(loaded.first().first().toBool(), true);
}

void TestWebEnginePage::clickOpener(const QString& sHref, bool isScript)
{
    const QString sCreate = QStringLiteral(
        "(function (href, isScript) {"
        "  var old = document.getElementById('opener'); if (old) old.remove();"
        "  var a = document.createElement('a'); a.id = 'opener'; a.textContent = 'open';"
        "  a.style.cssText = 'position:fixed;left:0;top:0;width:300px;height:200px;display:block;z-index:99;"
        "background:#fc0';"
        "  if (isScript) { a.href = '#'; a.onclick = function () { window.open(href); return false; }; }"
        "  else { a.href = href; a.target = '_blank'; }"
        "  a.addEventListener('click', function () { window.openerClicks = (window.openerClicks || 0) + 1; });"
        "  document.body.appendChild(a); return window.openerClicks || 0;"
        "})(%1, %2)");
    const QString sQuoted = QString::fromUtf8(QJsonDocument(QJsonArray{sHref}).toJson(QJsonDocument::Compact));
    const QString sScript
        = sCreate.arg(sQuoted.mid(1, sQuoted.size() - 2), isScript ? QStringLiteral("true") : QStringLiteral("false"));
    const int clicks = orbisk::test::evaluateJavaScript(m_pPage, sScript).toInt();
    QWidget* target = m_pView->focusProxy() ? m_pView->focusProxy() : m_pView;
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, QPoint(150, 100));
    // The click reaches the page later; the element must not be replaced before.
    QTRY_COMPARE_WITH_TIMEOUT(orbisk::test::evaluateJavaScript(m_pPage, QStringLiteral("window.openerClicks")).toInt(),
        clicks + 1, kEngineTimeoutMs);
}

void TestWebEnginePage::newWindowGoesToTheBrowserOnlyForWebAddresses_data()
{
    QTest::addColumn<QString>("href");
    QTest::addColumn<bool>("isScript");
    QTest::addColumn<QString>("opened");

    for (const bool isScript : {false, true}) {
        const char* how = isScript ? "window.open" : "target=_blank";
        const auto row = [&](const char* name) -> QTestData& { return QTest::addRow("%s, %s", how, name); };
        row("https") << QStringLiteral("https://example.com/a?b=1#c") << isScript
                     << QStringLiteral("https://example.com/a?b=1#c");
        row("http") << QStringLiteral("http://example.org/") << isScript << QStringLiteral("http://example.org/");
        row("same server, relative") << QStringLiteral("/app/login") << isScript
                                     << QStringLiteral("{SERVER}/app/login");
        row("file") << QStringLiteral("file:///etc/passwd") << isScript << QString();
        row("ftp") << QStringLiteral("ftp://example.com/x") << isScript << QString();
        row("data") << QStringLiteral("data:text/html,<b>x</b>") << isScript << QString();
        row("javascript") << QStringLiteral("javascript:document.title='owned'") << isScript << QString();
        row("mailto") << QStringLiteral("mailto:a@example.com") << isScript << QString();
    }
}

void TestWebEnginePage::newWindowGoesToTheBrowserOnlyForWebAddresses()
{
    QFETCH(QString, href);
    QFETCH(bool, isScript);
    QFETCH(QString, opened);

    OpenedUrls urls(kSchemes);
    const QUrl pageUrl = m_pPage->url();
    const QString sTitle = m_pPage->title();

    clickOpener(href, isScript);
    // A refused window leaves no trace to wait for; a second window, which is opened,
    // shows that the first one had its turn.
    clickOpener(kSentinel.toString(), false);
    QTRY_VERIFY_WITH_TIMEOUT(urls.urls.contains(kSentinel), kEngineTimeoutMs);

    QList<QUrl> expected;
    if (!opened.isEmpty())
        expected << QUrl(QString(opened).replace(QStringLiteral("{SERVER}"), m_server.baseUrl()));
    expected << kSentinel;
    QCOMPARE(urls.urls, expected);
    QCOMPARE(m_pPage->url(), pageUrl);
    QCOMPARE(m_pPage->title(), sTitle);
    QTRY_COMPARE_WITH_TIMEOUT(m_pPage->findChildren<ExternalWindowPage*>().size(), 0, kEngineTimeoutMs);
}

// Without a click a script gets no window at all, so a page cannot flood the browser.
void TestWebEnginePage::scriptCannotOpenWindowsWithoutTheUser()
{
    OpenedUrls urls(kSchemes);
    const QVariant opened = orbisk::test::evaluateJavaScript(m_pPage,
        QStringLiteral("var got = 0; for (var i = 0; i < 20; ++i) if (window.open('https://example.com/' + i)) ++got; "
                       "got"));
    QCOMPARE(opened.toInt(), 0);
    clickOpener(kSentinel.toString(), false);
    QTRY_VERIFY_WITH_TIMEOUT(urls.urls.contains(kSentinel), kEngineTimeoutMs);
    QCOMPARE(urls.urls, QList<QUrl>{kSentinel});
}

void TestWebEnginePage::newWindowThatNeverNavigatesIsDeleted()
{
    OpenedUrls urls(kSchemes);
    QElapsedTimer clock;
    clock.start();
    clickOpener(QString(), true);
    QTRY_COMPARE_WITH_TIMEOUT(m_pPage->findChildren<ExternalWindowPage*>().size(), 1, kEngineTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(m_pPage->findChildren<ExternalWindowPage*>().size(), 0,
        kEngineTimeoutMs + ExternalWindowPage::kFirstNavigationTimeoutMs);
    QVERIFY(clock.elapsed() >= ExternalWindowPage::kFirstNavigationTimeoutMs);
    QCOMPARE(urls.urls, QList<QUrl>());
}

void TestWebEnginePage::fileDropOnPageThatLeavesDropsKeepsThePage()
{
    const QUrl file = QUrl::fromLocalFile(m_sDir + QStringLiteral("/dropped.txt"));

    // The engine's own page shows the dropped file in place of the page.
    {
        CertificateTakingPage plainPage(QWebEngineProfile::defaultProfile());
        QWebEngineView plainView;
        plainView.setPage(&plainPage);
        plainView.resize(800, 600);
        QVERIFY(orbisk::test::showExposed(&plainView));
        load(plainView.page(), QStringLiteral("/app/unguarded"));
        QMimeData mimeData;
        mimeData.setUrls({file});
        orbisk::test::sendDesktopDrop(&plainView, &mimeData);
        QTRY_COMPARE_WITH_TIMEOUT(plainView.page()->url(), file, kEngineTimeoutMs);
    }

    load(m_pPage, QStringLiteral("/app/unguarded"));
    const QString sTitle = m_pPage->title();
    QMimeData mimeData;
    mimeData.setUrls({file});
    orbisk::test::sendDesktopDrop(m_pView, &mimeData);

    // The page still runs its scripts and got the item through the bridge.
    QTRY_COMPARE_WITH_TIMEOUT(
        orbisk::test::evaluateJavaScript(m_pPage, QStringLiteral("droppedItems.length")).toInt(), 1, kEngineTimeoutMs);
    QCOMPARE(orbisk::test::evaluateJavaScript(m_pPage, QStringLiteral("droppedItems[0].path")).toString(),
        file.toLocalFile());
    QCOMPARE(m_pPage->url().path(), QStringLiteral("/app/unguarded"));
    QCOMPARE(m_pPage->title(), sTitle);
    QVERIFY(m_pPage->title().contains(QStringLiteral("Orbisk")));
}

void TestWebEnginePage::fileUrlNeverReplacesThePage()
{
    const QUrl pageUrl = m_pPage->url();
    QSignalSpy loaded(m_pPage, &QWebEnginePage::loadFinished);
    m_pPage->setUrl(QUrl::fromLocalFile(m_sDir + QStringLiteral("/dropped.txt")));
    QVERIFY(loaded.wait(kEngineTimeoutMs));
    QCOMPARE(m_pPage->url(), pageUrl);
    QCOMPARE(orbisk::test::evaluateJavaScript(m_pPage, QStringLiteral("typeof ValtroDrage")).toString(),
        QStringLiteral("function"));
}

// Three terminations may be reloaded at any time; a fourth gives up only while the first
// is less than five minutes old.
void TestWebEnginePage::terminationsOlderThanFiveMinutesNoLongerCount()
{
    QWebEnginePage page(QWebEngineProfile::defaultProfile());
    qint64 now = 0;
    PageRecovery recovery(&page, [&now] { return now; });
    QSignalSpy reloaded(&recovery, &PageRecovery::reloaded);
    QSignalSpy gaveUp(&recovery, &PageRecovery::gaveUp);
    const auto crash = [&recovery] { recovery.slot_terminated(QWebEnginePage::CrashedTerminationStatus, 11); };
    for (int i = 0; i < PageRecovery::kMaxRestarts; ++i)
        crash();
    now = PageRecovery::kRestartWindowMs;
    crash();
    QTRY_COMPARE(reloaded.count(), PageRecovery::kMaxRestarts + 1);
    now += 1;
    crash();
    crash();
    crash();
    QTRY_COMPARE(gaveUp.count(), 1);
}

ORBISK_WEBENGINE_TEST_MAIN(TestWebEnginePage)
#include "test_webenginepage.moc"
