// Downloads end to end: pages of the real engine download from the demo server into
// the test's own download folder through the download manager, and the downloads
// window shows and drives them.
#include "dialogs/CDownloadsUI.h"
#include "mainwindow/CMainWindow.h"
#include "ui/LanguageTexts.h"
#include "web/CWebEnginePage.h"
#include "web/DownloadManager.h"

#include "ClientWindows.h"
#include "OpenedUrls.h"
#include "TestEnvironment.h"
#include "TrustedDemoServer.h"
#include "WebTestSupport.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTableView>
#include <QUrlQuery>
#include <QWebEngineDownloadItem>
#include <QWebEngineProfile>

#include <csignal>

#include <sys/resource.h>

using orbisk::test::fileContent;
using orbisk::test::kEngineTimeoutMs;
using orbisk::test::writeFileContent;

namespace {

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(size);
    for (char& byte : bytes)
        byte = char(generator.generate() & 0xff);
    return bytes;
}

QStringList entriesOf(const QString& sDir)
{
    return QDir(sDir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QStringList unfinishedDownloads()
{
    QStringList names;
    const auto items = QWebEngineProfile::defaultProfile()->findChildren<QWebEngineDownloadItem*>();
    for (const QWebEngineDownloadItem* item : items) {
        if (!item->isFinished())
            names.append(item->downloadFileName());
    }
    return names;
}

} // namespace

class TestDownloads : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void downloadedBytesEqualServedBytes();
    void suggestedNameLandsAsPlainFile_data();
    void suggestedNameLandsAsPlainFile();
    void takenNamesAreNeverOverwritten();
    void sameNameRunningTwiceGetsTwoNames();
    void runningDownloadHasOnlyItsPartialFile();
    void cancelledDownloadLeavesNoFile();
    void failedDownloadLeavesNoFile();
    void fullDiskFailsTheDownloadAndLeavesNoFile();
    void danglingLinkIsNotWrittenThrough();
    void folderThatCannotBeMadeFailsTheDownload();
    void windowShowsAndDrivesTheDownloads();

private:
    // Starts a download of a stored file, offered under sName when given.
    void startDownload(const QString& sStored, const QString& sName = QString(), qint64 stallAt = -1,
        const orbisk::test::DemoServer* server = nullptr);
    // Starts a download and waits until it has ended; the row it got.
    int download(const QString& sStored, const QString& sName = QString());
    // Starts a download of big.bin, offered under sName when given, that the server
    // holds after its first 256 KiB; false unless it started and got bytes in time.
    bool startHeldDownload(const QString& sName, const orbisk::test::DemoServer* server = nullptr);

    orbisk::test::TrustedDemoServer m_server;
    QString m_sFilesDir;
    QString m_sDownloadDir;
    QByteArray m_report;
    DownloadManager* m_pManager = nullptr;
    CWebEnginePage* m_pPage = nullptr;
};

void TestDownloads::initTestCase()
{
    orbisk::test::prepareTestEnvironment();
    m_sFilesDir = orbisk::test::scratchDir(QStringLiteral("demo-files"));
    m_report = randomBytes(1200 * 1024);
    QVERIFY(writeFileContent(m_sFilesDir + QStringLiteral("/report.pdf"), m_report));
    QVERIFY(writeFileContent(m_sFilesDir + QStringLiteral("/big.bin"), randomBytes(4 * 1024 * 1024)));
    m_server.setFilesDir(m_sFilesDir);
    QVERIFY2(m_server.start(), qPrintable(m_server.errorString()));

    m_sDownloadDir = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    QVERIFY(m_sDownloadDir.startsWith(qEnvironmentVariable("ORBISK_TEST_HOME")));
}

void TestDownloads::init()
{
    QDir(m_sDownloadDir).removeRecursively();
    m_pManager = new DownloadManager();
    m_pManager->watch(QWebEngineProfile::defaultProfile());
    m_pPage = new CWebEnginePage(QWebEngineProfile::defaultProfile(), nullptr);
    m_pPage->setCertificateGuard(m_server.guard());
}

void TestDownloads::cleanup()
{
    delete m_pPage;
    m_pPage = nullptr;
    delete m_pManager;
    m_pManager = nullptr;
    // Nothing is left running in the engine once the manager is gone: the engine
    // crashes at exit on a download record that is still running.
    QTRY_COMPARE_WITH_TIMEOUT(unfinishedDownloads(), QStringList(), kEngineTimeoutMs);
}

void TestDownloads::startDownload(
    const QString& sStored, const QString& sName, qint64 stallAt, const orbisk::test::DemoServer* server)
{
    QUrl url((server ? server : &m_server)->baseUrl() + QStringLiteral("/app/download/"));
    url.setPath(url.path() + sStored);
    QUrlQuery query;
    if (!sName.isNull())
        query.addQueryItem(QStringLiteral("as"), QString::fromLatin1(QUrl::toPercentEncoding(sName)));
    if (stallAt >= 0)
        query.addQueryItem(QStringLiteral("stall"), QString::number(stallAt));
    url.setQuery(query);
    m_pPage->setUrl(url);
}

int TestDownloads::download(const QString& sStored, const QString& sName)
{
    QSignalSpy started(m_pManager, &DownloadManager::downloadStarted);
    startDownload(sStored, sName);
    if (!started.wait(kEngineTimeoutMs))
        return -1;
    const int row = started.first().first().toInt();
    if (!orbisk::test::waitUntil([&] { return m_pManager->state(row) != DownloadManager::Running; }, kEngineTimeoutMs))
        return -1;
    return row;
}

bool TestDownloads::startHeldDownload(const QString& sName, const orbisk::test::DemoServer* server)
{
    QSignalSpy started(m_pManager, &DownloadManager::downloadStarted);
    startDownload(QStringLiteral("big.bin"), sName, 256 * 1024, server);
    return started.wait(kEngineTimeoutMs)
        && orbisk::test::waitUntil(
            [this] { return m_pManager->index(0, 0).data(DownloadManager::ReceivedRole).toLongLong() > 0; },
            kEngineTimeoutMs);
}

void TestDownloads::downloadedBytesEqualServedBytes()
{
    QSignalSpy completed(m_pManager, &DownloadManager::downloadCompleted);
    const int row = download(QStringLiteral("report.pdf"));
    QVERIFY(row >= 0);

    QCOMPARE(m_pManager->state(row), DownloadManager::Completed);
    const QString sPath = m_sDownloadDir + QStringLiteral("/report.pdf");
    QCOMPARE(m_pManager->filePath(row), sPath);
    QCOMPARE(fileContent(sPath), m_report);
    QCOMPARE(entriesOf(m_sDownloadDir), QStringList{QStringLiteral("report.pdf")});
    QCOMPARE(completed.size(), 1);
    QCOMPARE(completed.first().at(0).toString(), QStringLiteral("report.pdf"));
    QCOMPARE(completed.first().at(1).toString(), sPath);

    const QModelIndex index = m_pManager->index(row, DownloadManager::ColumnProgress);
    QCOMPARE(index.data(DownloadManager::PercentRole).toInt(), 100);
    QCOMPARE(index.data(DownloadManager::TotalRole).toLongLong(), qint64(m_report.size()));
    QCOMPARE(m_pManager->index(row, DownloadManager::ColumnSpeed).data().toString(), QString());
}

void TestDownloads::suggestedNameLandsAsPlainFile_data()
{
    QTest::addColumn<QString>("suggested");
    QTest::addColumn<QString>("expected");

    const auto row = [](const char* name, const char* suggested, const char* expected) {
        QTest::newRow(name) << QString::fromUtf8(suggested) << QString::fromUtf8(expected);
    };
    row("climbing out", "../../evil.sh", "evil.sh");
    row("climbing out, Windows style", "..\\..\\evil.bat", "evil.bat");
    row("absolute", "/etc/cron.d/job", "job");
    row("hidden", ".bashrc", "bashrc");
    row("device name", "CON.txt", "_CON.txt");
    row("refused characters", "a<b>c|d?.txt", "a_b_c_d_.txt");
    row("direction override", "invoice\u202Efdp.exe", "invoicefdp.exe");
    row("non-ASCII", "Ærø 日本.txt", "Ærø 日本.txt");
}

void TestDownloads::suggestedNameLandsAsPlainFile()
{
    QFETCH(QString, suggested);
    QFETCH(QString, expected);

    const int row = download(QStringLiteral("report.pdf"), suggested);
    QVERIFY(row >= 0);
    QCOMPARE(m_pManager->state(row), DownloadManager::Completed);
    QCOMPARE(entriesOf(m_sDownloadDir), QStringList{expected});
    QCOMPARE(fileContent(m_sDownloadDir + QLatin1Char('/') + expected), m_report);
    // Nothing went up the tree.
    QDir up(m_sDownloadDir);
    for (int level = 0; level < 2 && up.cdUp(); ++level)
        QVERIFY2(!up.exists(QStringLiteral("evil.sh")), qPrintable(up.path()));
}

void TestDownloads::takenNamesAreNeverOverwritten()
{
    QVERIFY(QDir().mkpath(m_sDownloadDir));
    QVERIFY(writeFileContent(m_sDownloadDir + QStringLiteral("/notes.txt"), "mine"));

    const int first = download(QStringLiteral("report.pdf"), QStringLiteral("notes.txt"));
    const int second = download(QStringLiteral("report.pdf"));
    const int third = download(QStringLiteral("report.pdf"));
    QVERIFY(first >= 0 && second >= 0 && third >= 0);

    QCOMPARE(entriesOf(m_sDownloadDir),
        (QStringList{QStringLiteral("notes (1).txt"), QStringLiteral("notes.txt"), QStringLiteral("report (1).pdf"),
            QStringLiteral("report.pdf")}));
    QCOMPARE(fileContent(m_sDownloadDir + QStringLiteral("/notes.txt")), QByteArray("mine"));
    QCOMPARE(m_pManager->filePath(first), m_sDownloadDir + QStringLiteral("/notes (1).txt"));
    QCOMPARE(m_pManager->filePath(third), m_sDownloadDir + QStringLiteral("/report (1).pdf"));
    QCOMPARE(fileContent(m_pManager->filePath(second)), m_report);
    QCOMPARE(fileContent(m_pManager->filePath(third)), m_report);
}

// Two downloads of one name that run at once have no file under that name yet; the
// second must still get a name of its own.
void TestDownloads::sameNameRunningTwiceGetsTwoNames()
{
    QSignalSpy started(m_pManager, &DownloadManager::downloadStarted);
    startDownload(QStringLiteral("big.bin"), QStringLiteral("same.bin"), 1024);
    QVERIFY(started.wait(kEngineTimeoutMs));
    startDownload(QStringLiteral("big.bin"), QStringLiteral("SAME.bin"), 1024);
    QTRY_COMPARE_WITH_TIMEOUT(started.size(), 2, kEngineTimeoutMs);

    QCOMPARE(QFileInfo(m_pManager->filePath(0)).fileName(), QStringLiteral("same.bin"));
    QCOMPARE(QFileInfo(m_pManager->filePath(1)).fileName(), QStringLiteral("SAME (1).bin"));
    m_pManager->cancel(0);
    m_pManager->cancel(1);
    QTRY_COMPARE_WITH_TIMEOUT(m_pManager->state(1), DownloadManager::Cancelled, kEngineTimeoutMs);
}

void TestDownloads::runningDownloadHasOnlyItsPartialFile()
{
    QVERIFY(startHeldDownload(QString()));

    // Only a partial file (the engine adds a suffix of its own), nothing under the name.
    const auto isOnlyPartial = [this] {
        const QStringList entries = entriesOf(m_sDownloadDir);
        return entries.size() == 1 && entries.first().startsWith(QStringLiteral("big.bin.part"));
    };
    QTRY_VERIFY2_WITH_TIMEOUT(isOnlyPartial(), qPrintable(entriesOf(m_sDownloadDir).join(QLatin1Char('|'))), 10000);
    QCOMPARE(m_pManager->state(0), DownloadManager::Running);
    QCOMPARE(m_pManager->filePath(0), m_sDownloadDir + QStringLiteral("/big.bin"));
    const QModelIndex progress = m_pManager->index(0, DownloadManager::ColumnProgress);
    QVERIFY(progress.data(DownloadManager::PercentRole).toInt() < 100);
    QCOMPARE(progress.data(DownloadManager::TotalRole).toLongLong(), qint64(4 * 1024 * 1024));
    QVERIFY(m_pManager->index(0, DownloadManager::ColumnSpeed).data().toString().endsWith(QStringLiteral("/s")));
}

void TestDownloads::cancelledDownloadLeavesNoFile()
{
    QSignalSpy completed(m_pManager, &DownloadManager::downloadCompleted);
    QSignalSpy failed(m_pManager, &DownloadManager::downloadFailed);
    QVERIFY(startHeldDownload(QStringLiteral("report.pdf")));

    m_pManager->cancel(0);
    QTRY_COMPARE_WITH_TIMEOUT(m_pManager->state(0), DownloadManager::Cancelled, kEngineTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(entriesOf(m_sDownloadDir), QStringList(), kEngineTimeoutMs);
    QCOMPARE(completed.size(), 0);
    QCOMPARE(failed.size(), 0);

    // Cancelling what has ended changes nothing.
    m_pManager->cancel(0);
    QCOMPARE(m_pManager->state(0), DownloadManager::Cancelled);
}

void TestDownloads::failedDownloadLeavesNoFile()
{
    orbisk::test::DemoServer dying;
    dying.setFilesDir(m_sFilesDir);
    QVERIFY2(dying.start(), qPrintable(dying.errorString()));
    m_server.trust(dying);

    QSignalSpy started(m_pManager, &DownloadManager::downloadStarted);
    QSignalSpy failed(m_pManager, &DownloadManager::downloadFailed);
    QVERIFY(startHeldDownload(QString(), &dying));

    dying.stop();
    QVERIFY(failed.wait(kEngineTimeoutMs));
    QCOMPARE(failed.first().at(0).toString(), QStringLiteral("big.bin"));
    QVERIFY(!failed.first().at(1).toString().isEmpty());
    QCOMPARE(m_pManager->state(0), DownloadManager::Failed);
    // The engine tries to resume the download once the server is gone; that stays in its row.
    QCOMPARE(m_pManager->rowCount(), 1);
    QCOMPARE(started.size(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(entriesOf(m_sDownloadDir), QStringList(), kEngineTimeoutMs);
}

// The disk fills during a download (here: a file size limit far below the file's size):
// the download is reported as failed with the system's reason, never as complete, and
// nothing of it is left on the disk.
void TestDownloads::fullDiskFailsTheDownloadAndLeavesNoFile()
{
    rlimit usual{};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &usual), 0);
    rlimit small = usual;
    small.rlim_cur = 512 * 1024;
    const auto usualHandler = ::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto restore = qScopeGuard([&] {
        ::setrlimit(RLIMIT_FSIZE, &usual);
        ::signal(SIGXFSZ, usualHandler);
    });

    QSignalSpy completed(m_pManager, &DownloadManager::downloadCompleted);
    QSignalSpy failed(m_pManager, &DownloadManager::downloadFailed);
    startDownload(QStringLiteral("big.bin"));
    QVERIFY(failed.wait(kEngineTimeoutMs));
    QCOMPARE(failed.first().at(0).toString(), QStringLiteral("big.bin"));
    QVERIFY(!failed.first().at(1).toString().isEmpty());
    QCOMPARE(m_pManager->state(0), DownloadManager::Failed);
    QCOMPARE(completed.size(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(entriesOf(m_sDownloadDir), QStringList(), kEngineTimeoutMs);
}

void TestDownloads::danglingLinkIsNotWrittenThrough()
{
    const QString sTarget = orbisk::test::scratchDir(QStringLiteral("link-target")) + QStringLiteral("/created");
    QVERIFY(QDir().mkpath(m_sDownloadDir));
    QVERIFY(QFile::link(sTarget, m_sDownloadDir + QStringLiteral("/report.pdf")));

    const int row = download(QStringLiteral("report.pdf"));
    QVERIFY(row >= 0);
    QCOMPARE(m_pManager->filePath(row), m_sDownloadDir + QStringLiteral("/report (1).pdf"));
    QCOMPARE(fileContent(m_pManager->filePath(row)), m_report);
    QVERIFY(!QFileInfo::exists(sTarget));
}

void TestDownloads::folderThatCannotBeMadeFailsTheDownload()
{
    // A file stands where the folder would have to be.
    const QString sBlocker = orbisk::test::scratchDir(QStringLiteral("blocked")) + QStringLiteral("/file");
    QVERIFY(writeFileContent(sBlocker, "x"));
    delete m_pManager;
    m_pManager = new DownloadManager(sBlocker + QStringLiteral("/downloads"));
    m_pManager->watch(QWebEngineProfile::defaultProfile());
    QSignalSpy failed(m_pManager, &DownloadManager::downloadFailed);

    startDownload(QStringLiteral("report.pdf"));
    QVERIFY(failed.wait(kEngineTimeoutMs));
    QCOMPARE(m_pManager->rowCount(), 1);
    QCOMPARE(m_pManager->state(0), DownloadManager::Failed);
    QVERIFY(m_pManager->index(0, 0).data(Qt::ToolTipRole).toString().contains(sBlocker));
    QCOMPARE(fileContent(sBlocker), QByteArray("x"));
    QVERIFY(!QFileInfo::exists(m_sDownloadDir));
}

void TestDownloads::windowShowsAndDrivesTheDownloads()
{
    orbisk::test::ClientWindows client;
    client.start();
    CMainWindow* window = client.window;
    window->setDownloadManager(m_pManager);

    // The help menu's last entry opens the window.
    QAction* entry = window->m_pMenuHelp->actions().last();
    QCOMPARE(entry, window->m_pActDownloads);
    QVERIFY(entry->isVisible());
    QCOMPARE(entry->text(), QStringLiteral("Downloads"));
    entry->trigger();
    CDownloadsUI* ui = window->m_pDownloadsUI;
    QVERIFY(ui && ui->isVisible());
    QCOMPARE(ui->windowTitle(), QStringLiteral("Downloads"));
    auto* cancel = ui->findChild<QPushButton*>(QStringLiteral("buttonCancel"));
    auto* open = ui->findChild<QPushButton*>(QStringLiteral("buttonOpen"));
    auto* showInFolder = ui->findChild<QPushButton*>(QStringLiteral("buttonShowInFolder"));
    QVERIFY(cancel && open && showInFolder);
    QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
    QCOMPARE(open->text(), QStringLiteral("Open"));
    QCOMPARE(showInFolder->text(), QStringLiteral("Show in folder"));
    QVERIFY(!cancel->isEnabled() && !open->isEnabled() && !showInFolder->isEnabled());

    // A finished download: Open and Show in folder hand its file and folder to the system.
    const int done = download(QStringLiteral("report.pdf"));
    QVERIFY(done >= 0);
    QCOMPARE(ui->view()->currentIndex().row(), done);
    const QAbstractItemModel* model = ui->view()->model();
    QCOMPARE(model->index(done, DownloadManager::ColumnFile).data().toString(), QStringLiteral("report.pdf"));
    QCOMPARE(model->index(done, DownloadManager::ColumnProgress).data().toString(), QStringLiteral("100%"));
    QCOMPARE(model->index(done, DownloadManager::ColumnState).data().toString(), QStringLiteral("Completed"));
    QVERIFY(!cancel->isEnabled() && open->isEnabled() && showInFolder->isEnabled());
    {
        orbisk::test::OpenedUrls opened({QStringLiteral("file")});
        QTest::mouseClick(open, Qt::LeftButton);
        QTest::mouseClick(showInFolder, Qt::LeftButton);
        QCOMPARE(opened.urls,
            (QList<QUrl>{QUrl::fromLocalFile(m_sDownloadDir + QStringLiteral("/report.pdf")),
                QUrl::fromLocalFile(m_sDownloadDir)}));
    }

    // A hidden window comes back by itself when a download starts, on that download.
    ui->hide();
    QSignalSpy started(m_pManager, &DownloadManager::downloadStarted);
    startDownload(QStringLiteral("big.bin"), QString(), 256 * 1024);
    QVERIFY(started.wait(kEngineTimeoutMs));
    QVERIFY(ui->isVisible());
    const int running = started.first().first().toInt();
    QCOMPARE(ui->view()->currentIndex().row(), running);
    QTRY_COMPARE_WITH_TIMEOUT(
        model->index(running, DownloadManager::ColumnState).data().toString(), QStringLiteral("Downloading"), 1000);
    QVERIFY(cancel->isEnabled() && !open->isEnabled());
    QTest::mouseClick(cancel, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(model->index(running, DownloadManager::ColumnState).data().toString(),
        QStringLiteral("Cancelled"), kEngineTimeoutMs);
    QVERIFY(!cancel->isEnabled() && !open->isEnabled());
    QCOMPARE(model->index(running, DownloadManager::ColumnProgress).data(DownloadManager::PercentRole).toInt(), -1);
    QCOMPARE(model->index(running, DownloadManager::ColumnProgress).data().toString(), QString());
    QTRY_COMPARE_WITH_TIMEOUT(entriesOf(m_sDownloadDir), QStringList{QStringLiteral("report.pdf")}, kEngineTimeoutMs);

    client.stop();
}

ORBISK_WEBENGINE_TEST_MAIN(TestDownloads)
#include "test_downloads.moc"
