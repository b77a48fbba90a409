#pragma once

#include <QWidget>

class DownloadManager;
class QPushButton;
class QTableView;
struct LanguageTexts;

// The downloads window: the list of this run's downloads (file, progress, speed,
// state) and the actions on the selected one: Cancel, Open, Show in folder. It only
// shows the download manager's model and calls it; it appears by itself, without
// taking the focus from the page, when a download starts.
class CDownloadsUI : public QWidget
{
    Q_OBJECT

public:
    explicit CDownloadsUI(DownloadManager* pManager, QWidget* parent = nullptr);
    ~CDownloadsUI() override;

    // Sets the window's texts and the state texts of the list from the main window's
    // current catalogue texts.
    void updateTexts(const LanguageTexts& texts);

    QTableView* view() const { return m_pView; }

public slots:
    void slot_cancel();
    void slot_open();
    void slot_showInFolder();
    // Shows the window with the new download selected.
    void slot_downloadStarted(int row);

private slots:
    void slot_updateButtons();

private:
    int currentRow() const;

    DownloadManager* m_pManager = nullptr;
    QTableView* m_pView = nullptr;
    QPushButton* m_pButtonCancel = nullptr;
    QPushButton* m_pButtonOpen = nullptr;
    QPushButton* m_pButtonShowInFolder = nullptr;
};
