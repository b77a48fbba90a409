#pragma once

#include "web/TransferRate.h"

#include <QAbstractTableModel>
#include <QElapsedTimer>
#include <QHash>
#include <QPointer>
#include <QString>
#include <QVector>

class QWebEngineDownloadItem;
class QWebEngineProfile;

// Accepts the downloads that pages start and keeps the list of this run's downloads,
// one row each, as a table model for the downloads window.
//
// A download is stored in the download folder under the server's suggested name made
// plain and unique there. Until it is complete it is written to that name plus ".part";
// only then is it renamed to its name, by a rename that never replaces a file, so a
// cancelled or failed download never leaves a file under its name and a file that
// appeared under that name meanwhile is kept (the download gets the next free name).
class DownloadManager : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { ColumnFile, ColumnProgress, ColumnSpeed, ColumnState, ColumnCount };
    enum State { Running, Completed, Cancelled, Failed };
    Q_ENUM(State)
    enum Role {
        StateRole = Qt::UserRole + 1,
        // The file's final path.
        PathRole,
        ReceivedRole,
        // The size the server announced, -1 when unknown.
        TotalRole,
        // The progress in per cent; -1 when the size is unknown or the download stopped.
        PercentRole,
    };

    // The suffix of a download's file until it is complete.
    static const QString kPartialSuffix;
    // The engine writes a running download to its file name plus this suffix and
    // renames it when the transfer is done; on a failure it may leave it behind.
    static const QString kEngineSuffix;

    // Downloads go into sDownloadDir, or when it is empty into the user's download
    // folder (QStandardPaths::DownloadLocation) as it is when a download starts.
    explicit DownloadManager(const QString& sDownloadDir = QString(), QObject* parent = nullptr);
    // Cancels what still runs and removes its partial files.
    ~DownloadManager() override;

    // Takes the download requests of the profile from now on.
    void watch(QWebEngineProfile* profile);

    // The texts the state column shows; a state without text shows nothing.
    void setStateTexts(const QHash<State, QString>& texts);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    State state(int row) const;
    // The final path of the row's file.
    QString filePath(int row) const;

    // Cancels a running download.
    void cancel(int row);
    // Opens a completed download with the system's application for it.
    bool open(int row) const;
    // Opens the folder that holds the row's file in the system's file browser.
    bool showInFolder(int row) const;

public slots:
    // Accepts the request into the download folder (connected to the profile's
    // downloadRequested; must run directly, the engine drops the item afterwards).
    void slot_downloadRequested(QWebEngineDownloadItem* item);

signals:
    // A download was accepted and appended as this row.
    void downloadStarted(int row);
    void downloadCompleted(const QString& sFileName, const QString& sPath);
    void downloadFailed(const QString& sFileName, const QString& sReason);

private:
    struct Entry
    {
        QPointer<QWebEngineDownloadItem> item;
        // The engine's id of the download, kept when it resumes through a new item; 0
        // (no engine id) for a download refused before it started.
        quint32 id = 0;
        QString sFileName;
        QString sDir;
        State state = Running;
        qint64 received = 0;
        qint64 total = -1;
        QString sError;
        QElapsedTimer clock;
        TransferRate rate;
        // Items the engine replaced with a new one when it resumed the download. It
        // keeps them as running until they are deleted, and ends the application with a
        // crash on such a record; deleting one cancels its id, so they go when it ends.
        QVector<QPointer<QWebEngineDownloadItem>> superseded;

        QString finalPath() const;
        QString partialPath() const;
    };

    bool resume(QWebEngineDownloadItem* item);
    void accept(int row, QWebEngineDownloadItem* item);
    QString downloadDir() const;
    bool isNameTaken(const QString& sDir, const QString& sName) const;
    void appendFailed(const QString& sFileName, const QString& sDir, const QString& sError);
    int rowOf(const QWebEngineDownloadItem* item) const;
    void onProgress(QWebEngineDownloadItem* item);
    void onStateChanged(QWebEngineDownloadItem* item);
    void complete(int row);
    void fail(int row, const QString& sError);
    static void removePartialFiles(const Entry& entry);
    static void deleteSuperseded(Entry& entry);
    void emitRowChanged(int row);

    QString m_sDownloadDir;
    QVector<Entry> m_entries;
    QHash<State, QString> m_stateTexts;
};
