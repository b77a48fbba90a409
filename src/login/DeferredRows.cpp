#include "login/DeferredRows.h"

#include <QEvent>
#include <QListWidget>
#include <QScrollBar>

DeferredRows::DeferredRows(QListWidget* pList, RowFactory makeRow)
    : QObject(pList)
    , m_pList(pList)
    , m_makeRow(std::move(makeRow))
{
    m_pList->installEventFilter(this);
    connect(m_pList->verticalScrollBar(), &QScrollBar::valueChanged, this, &DeferredRows::buildVisibleRows);
}

void DeferredRows::added(QListWidgetItem* pItem)
{
    if (m_pList->count() <= kEagerRows || m_pList->isVisible())
        build(pItem);
}

bool DeferredRows::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched == m_pList && (pEvent->type() == QEvent::Show || pEvent->type() == QEvent::Resize))
        buildVisibleRows();
    return QObject::eventFilter(pWatched, pEvent);
}

void DeferredRows::buildVisibleRows()
{
    const int count = m_pList->count();
    if (count == 0)
        return;
    // Rows are all alike. Scrolling by items, the scroll bar's value is the first row in
    // view, known without waiting for the list's layout. A row is at least a line of text
    // high, so counting rows of that height never leaves a row in view unbuilt.
    const int value = m_pList->verticalScrollBar()->value();
    const int lineHeight = qMax(1, m_pList->fontMetrics().height());
    const int rowHeight = m_pList->visualItemRect(m_pList->item(0)).height();
    int first = value;
    if (m_pList->verticalScrollMode() == QAbstractItemView::ScrollPerPixel)
        first = rowHeight > 0 ? value / rowHeight : 0;
    const int last = qMin(count - 1, first + m_pList->viewport()->height() / lineHeight + 1);
    for (int row = qMax(0, first); row <= last; ++row)
        build(m_pList->item(row));
}

void DeferredRows::build(QListWidgetItem* pItem)
{
    if (pItem && !m_pList->itemWidget(pItem))
        m_makeRow(pItem);
}
