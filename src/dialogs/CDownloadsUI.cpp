#include "dialogs/CDownloadsUI.h"

#include "dialogs/DownloadProgressDelegate.h"
#include "ui/LanguageTexts.h"
#include "ui/Style.h"
#include "web/DownloadManager.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {
const QSize kInitialSize(600, 320);
const int kProgressWidth = 140;
const int kSpeedWidth = 100;
const int kStateWidth = 100;
const QString kWindowStyle
    = QStringLiteral("CDownloadsUI{background-color:%1}"
                     "QTableView{border:1px solid %2;font-size:13px;"
                     "selection-background-color:%3;selection-color:%4}"
                     "QPushButton{font-size:13px;padding:4px 14px}")
          .arg(orbisk::style::kWhite, orbisk::style::kBorder, orbisk::style::kSelectionBlue, orbisk::style::kTextDark);
} // namespace

CDownloadsUI::CDownloadsUI(DownloadManager* pManager, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_pManager(pManager)
{
    setStyleSheet(kWindowStyle);

    m_pView = new QTableView(this);
    m_pView->setModel(m_pManager);
    m_pView->setItemDelegateForColumn(DownloadManager::ColumnProgress, new DownloadProgressDelegate(m_pView));
    m_pView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pView->setShowGrid(false);
    m_pView->setWordWrap(false);
    m_pView->horizontalHeader()->hide();
    m_pView->verticalHeader()->hide();
    m_pView->horizontalHeader()->setSectionResizeMode(DownloadManager::ColumnFile, QHeaderView::Stretch);
    m_pView->horizontalHeader()->resizeSection(DownloadManager::ColumnProgress, kProgressWidth);
    m_pView->horizontalHeader()->resizeSection(DownloadManager::ColumnSpeed, kSpeedWidth);
    m_pView->horizontalHeader()->resizeSection(DownloadManager::ColumnState, kStateWidth);

    m_pButtonCancel = new QPushButton(this);
    m_pButtonOpen = new QPushButton(this);
    m_pButtonShowInFolder = new QPushButton(this);
    m_pButtonCancel->setObjectName(QStringLiteral("buttonCancel"));
    m_pButtonOpen->setObjectName(QStringLiteral("buttonOpen"));
    m_pButtonShowInFolder->setObjectName(QStringLiteral("buttonShowInFolder"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_pButtonCancel);
    buttons->addWidget(m_pButtonOpen);
    buttons->addWidget(m_pButtonShowInFolder);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pView);
    layout->addLayout(buttons);

    connect(m_pButtonCancel, SIGNAL(clicked(bool)), this, SLOT(slot_cancel()));
    connect(m_pButtonOpen, SIGNAL(clicked(bool)), this, SLOT(slot_open()));
    connect(m_pButtonShowInFolder, SIGNAL(clicked(bool)), this, SLOT(slot_showInFolder()));
    connect(m_pView, SIGNAL(doubleClicked(QModelIndex)), this, SLOT(slot_open()));
    connect(m_pView->selectionModel(), SIGNAL(selectionChanged(QItemSelection, QItemSelection)), this,
        SLOT(slot_updateButtons()));
    connect(m_pManager, SIGNAL(dataChanged(QModelIndex, QModelIndex, QVector<int>)), this, SLOT(slot_updateButtons()));
    connect(m_pManager, SIGNAL(downloadStarted(int)), this, SLOT(slot_downloadStarted(int)));

    resize(kInitialSize);
    slot_updateButtons();
}

CDownloadsUI::~CDownloadsUI() = default;

void CDownloadsUI::updateTexts(const LanguageTexts& texts)
{
    setWindowTitle(texts.Downloads);
    m_pButtonCancel->setText(texts.Cancel);
    m_pButtonOpen->setText(texts.Open);
    m_pButtonShowInFolder->setText(texts.ShowInFolder);
    m_pManager->setStateTexts(
        {{DownloadManager::Running, texts.DownloadRunning}, {DownloadManager::Completed, texts.DownloadCompleted},
            {DownloadManager::Cancelled, texts.DownloadCancelled}, {DownloadManager::Failed, texts.DownloadFailed}});
}

void CDownloadsUI::slot_cancel()
{
    m_pManager->cancel(currentRow());
}

void CDownloadsUI::slot_open()
{
    m_pManager->open(currentRow());
}

void CDownloadsUI::slot_showInFolder()
{
    m_pManager->showInFolder(currentRow());
}

void CDownloadsUI::slot_downloadStarted(int row)
{
    m_pView->selectRow(row);
    m_pView->scrollTo(m_pManager->index(row, 0));
    if (isVisible())
        return;
    // The page keeps the keyboard: the window only shows that something started.
    setAttribute(Qt::WA_ShowWithoutActivating);
    show();
    setAttribute(Qt::WA_ShowWithoutActivating, false);
}

void CDownloadsUI::slot_updateButtons()
{
    const int row = currentRow();
    const bool isSelected = row >= 0;
    m_pButtonCancel->setEnabled(isSelected && m_pManager->state(row) == DownloadManager::Running);
    m_pButtonOpen->setEnabled(isSelected && m_pManager->state(row) == DownloadManager::Completed);
    m_pButtonShowInFolder->setEnabled(isSelected);
}

int CDownloadsUI::currentRow() const
{
    const QModelIndexList rows = m_pView->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}
