#include "web/DownloadManager.h"

#include "web/DownloadFileName.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QUrl>
#include <QWebEngineDownloadItem>
#include <QWebEngineProfile>

const QString DownloadManager::kPartialSuffix = QStringLiteral(".part");
const QString DownloadManager::kEngineSuffix = QStringLiteral(".download");

namespace {

const int kPercent = 100;

// A dangling symbolic link counts as taken too: writing through it would create its target.
bool pathIsTaken(const QString& sPath)
{
    const QFileInfo info(sPath);
    return info.exists() || info.isSymLink();
}

QString sizeText(qint64 bytes)
{
    return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

} // namespace

QString DownloadManager::Entry::finalPath() const
{
    return QDir(sDir).filePath(sFileName);
}

QString DownloadManager::Entry::partialPath() const
{
    return finalPath() + kPartialSuffix;
}

DownloadManager::DownloadManager(const QString& sDownloadDir, QObject* parent)
    : QAbstractTableModel(parent)
    , m_sDownloadDir(sDownloadDir)
{ }

DownloadManager::~DownloadManager()
{
    for (Entry& entry : m_entries) {
        if (entry.state == Running) {
            if (entry.item) {
                entry.item->disconnect(this);
                entry.item->cancel();
            }
            removePartialFiles(entry);
        }
        deleteSuperseded(entry);
    }
}

void DownloadManager::watch(QWebEngineProfile* profile)
{
    connect(profile, &QWebEngineProfile::downloadRequested, this, &DownloadManager::slot_downloadRequested,
        Qt::DirectConnection);
}

void DownloadManager::setStateTexts(const QHash<State, QString>& texts)
{
    m_stateTexts = texts;
    if (!m_entries.isEmpty())
        emit dataChanged(index(0, ColumnState), index(m_entries.size() - 1, ColumnState), {Qt::DisplayRole});
}

int DownloadManager::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_entries.size();
}

int DownloadManager::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DownloadManager::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return QVariant();
    const Entry& entry = m_entries.at(index.row());
    // A download that stopped shows no progress; its state says what happened.
    const bool isProgressShown = entry.state == Running || entry.state == Completed;
    const int percent = isProgressShown && entry.total > 0 ? int(entry.received * kPercent / entry.total) : -1;

    switch (role) {
    case StateRole:
        return entry.state;
    case PathRole:
        return entry.finalPath();
    case ReceivedRole:
        return entry.received;
    case TotalRole:
        return entry.total;
    case PercentRole:
        return percent;
    case Qt::ToolTipRole:
        return entry.sError.isEmpty() ? entry.finalPath() : entry.sError;
    case Qt::DisplayRole:
        break;
    default:
        return QVariant();
    }

    switch (index.column()) {
    case ColumnFile:
        return entry.sFileName;
    case ColumnProgress:
        if (!isProgressShown)
            return QString();
        if (percent >= 0)
            return QStringLiteral("%1%").arg(percent);
        return sizeText(entry.received);
    case ColumnSpeed:
        return entry.state == Running ? sizeText(entry.rate.bytesPerSecond()) + QStringLiteral("/s") : QString();
    case ColumnState:
        return m_stateTexts.value(entry.state);
    default:
        return QVariant();
    }
}

DownloadManager::State DownloadManager::state(int row) const
{
    return m_entries.at(row).state;
}

QString DownloadManager::filePath(int row) const
{
    return m_entries.at(row).finalPath();
}

void DownloadManager::cancel(int row)
{
    if (row < 0 || row >= m_entries.size() || m_entries.at(row).state != Running)
        return;
    Entry& entry = m_entries[row];
    if (entry.item) {
        // The engine reports the end through stateChanged(), which removes the partial file.
        entry.item->cancel();
        return;
    }
    removePartialFiles(entry);
    entry.state = Cancelled;
    emitRowChanged(row);
}

bool DownloadManager::open(int row) const
{
    if (row < 0 || row >= m_entries.size() || m_entries.at(row).state != Completed)
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(m_entries.at(row).finalPath()));
}

bool DownloadManager::showInFolder(int row) const
{
    if (row < 0 || row >= m_entries.size())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(m_entries.at(row).sDir));
}

void DownloadManager::slot_downloadRequested(QWebEngineDownloadItem* item)
{
    if (!item || item->state() != QWebEngineDownloadItem::DownloadRequested)
        return;
    if (resume(item))
        return;

    const QString sPlainName = DownloadFileName::plainFileName(item->suggestedFileName());
    const QString sDir = downloadDir();
    if (sDir.isEmpty() || !QDir().mkpath(sDir)) {
        item->cancel();
        appendFailed(sPlainName, sDir, QStringLiteral("The download folder \"%1\" cannot be created").arg(sDir));
        return;
    }

    Entry entry;
    entry.item = item;
    entry.id = item->id();
    entry.sDir = sDir;
    entry.sFileName = DownloadFileName::uniqueFileName(
        sPlainName, [this, &sDir](const QString& sName) { return isNameTaken(sDir, sName); });
    entry.total = item->totalBytes();
    entry.clock.start();
    entry.rate.addSample(0, 0);

    const int row = m_entries.size();
    beginInsertRows(QModelIndex(), row, row);
    m_entries.append(entry);
    endInsertRows();

    accept(row, item);
    emit downloadStarted(row);
}

bool DownloadManager::resume(QWebEngineDownloadItem* item)
{
    int row = -1;
    for (int i = 0; i < m_entries.size() && row < 0; ++i) {
        const Entry& entry = m_entries.at(i);
        if (entry.id != 0 && entry.id == item->id() && entry.item != item)
            row = i;
    }
    if (row < 0)
        return false;
    if (m_entries.at(row).state != Running) {
        item->cancel();
        return true;
    }
    // After a network failure the engine resumes a download through a new item with the
    // same id; it continues the same partial file, and the old item falls silent.
    Entry& entry = m_entries[row];
    if (entry.item) {
        entry.item->disconnect(this);
        entry.superseded.append(entry.item);
    }
    accept(row, item);
    return true;
}

void DownloadManager::accept(int row, QWebEngineDownloadItem* item)
{
    Entry& entry = m_entries[row];
    entry.item = item;
    item->setDownloadDirectory(entry.sDir);
    item->setDownloadFileName(entry.sFileName + kPartialSuffix);
    connect(item, &QWebEngineDownloadItem::downloadProgress, this, [this, item] { onProgress(item); });
    connect(item, &QWebEngineDownloadItem::stateChanged, this, [this, item] { onStateChanged(item); });
    item->accept();
}

QString DownloadManager::downloadDir() const
{
    if (!m_sDownloadDir.isEmpty())
        return m_sDownloadDir;
    return QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
}

bool DownloadManager::isNameTaken(const QString& sDir, const QString& sName) const
{
    const QString sPath = QDir(sDir).filePath(sName);
    if (pathIsTaken(sPath) || pathIsTaken(sPath + kPartialSuffix)
        || pathIsTaken(sPath + kPartialSuffix + kEngineSuffix))
        return true;
    // Downloads that run have no file under their name yet. Compared without case, as
    // the file systems of Windows and macOS do.
    for (const Entry& entry : m_entries) {
        if (entry.state == Running && entry.sDir == sDir && entry.sFileName.compare(sName, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void DownloadManager::appendFailed(const QString& sFileName, const QString& sDir, const QString& sError)
{
    Entry entry;
    entry.sFileName = sFileName;
    entry.sDir = sDir;
    entry.state = Failed;
    entry.sError = sError;
    const int row = m_entries.size();
    beginInsertRows(QModelIndex(), row, row);
    m_entries.append(entry);
    endInsertRows();
    emit downloadFailed(sFileName, sError);
}

int DownloadManager::rowOf(const QWebEngineDownloadItem* item) const
{
    for (int row = 0; row < m_entries.size(); ++row) {
        if (m_entries.at(row).item == item)
            return row;
    }
    return -1;
}

void DownloadManager::onProgress(QWebEngineDownloadItem* item)
{
    const int row = rowOf(item);
    // The engine reports zero bytes once a download stops; the row keeps what it had.
    if (row < 0 || m_entries.at(row).state != Running || item->state() != QWebEngineDownloadItem::DownloadInProgress)
        return;
    Entry& entry = m_entries[row];
    entry.received = item->receivedBytes();
    entry.total = item->totalBytes();
    entry.rate.addSample(entry.clock.elapsed(), entry.received);
    emitRowChanged(row);
}

void DownloadManager::onStateChanged(QWebEngineDownloadItem* item)
{
    const int row = rowOf(item);
    if (row < 0 || m_entries.at(row).state != Running)
        return;
    Entry& entry = m_entries[row];
    switch (item->state()) {
    case QWebEngineDownloadItem::DownloadCompleted:
        entry.received = item->receivedBytes();
        complete(row);
        break;
    case QWebEngineDownloadItem::DownloadCancelled:
        removePartialFiles(entry);
        entry.state = Cancelled;
        emitRowChanged(row);
        break;
    case QWebEngineDownloadItem::DownloadInterrupted:
        // The engine would keep the partial file to resume it later; the client does
        // not resume, so the download ends here and the engine drops it.
        fail(row, item->interruptReasonString());
        item->cancel();
        break;
    default:
        return;
    }
    deleteSuperseded(m_entries[row]);
}

void DownloadManager::complete(int row)
{
    Entry& entry = m_entries[row];
    const QString sPartial = entry.partialPath();
    // Marked done first, so its own name no longer counts as taken by a running download.
    entry.state = Completed;
    if (pathIsTaken(entry.finalPath())) {
        // Something took the name while the download ran; it is left alone.
        entry.sFileName = DownloadFileName::uniqueFileName(
            entry.sFileName, [this, &entry](const QString& sName) { return isNameTaken(entry.sDir, sName); });
    }
    // QFile::rename never replaces an existing file.
    if (!QFile::rename(sPartial, entry.finalPath())) {
        // The bytes stay in the partial file rather than being lost; the row names it.
        entry.sError = QStringLiteral("The download could not be renamed to \"%1\"").arg(entry.finalPath());
        entry.sFileName += kPartialSuffix;
        entry.state = Failed;
        emitRowChanged(row);
        emit downloadFailed(entry.sFileName, entry.sError);
        return;
    }
    if (entry.total < 0)
        entry.total = entry.received;
    emitRowChanged(row);
    emit downloadCompleted(entry.sFileName, entry.finalPath());
}

void DownloadManager::fail(int row, const QString& sError)
{
    Entry& entry = m_entries[row];
    removePartialFiles(entry);
    entry.state = Failed;
    entry.sError = sError;
    emitRowChanged(row);
    emit downloadFailed(entry.sFileName, sError);
}

void DownloadManager::removePartialFiles(const Entry& entry)
{
    QFile::remove(entry.partialPath());
    QFile::remove(entry.partialPath() + kEngineSuffix);
}

void DownloadManager::deleteSuperseded(Entry& entry)
{
    for (const QPointer<QWebEngineDownloadItem>& item : qAsConst(entry.superseded))
        delete item.data();
    entry.superseded.clear();
}

void DownloadManager::emitRowChanged(int row)
{
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}
