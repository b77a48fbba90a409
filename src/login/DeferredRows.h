#pragma once

#include <QObject>

#include <functional>

class QListWidget;
class QListWidgetItem;

// Creates the row widgets of a long list only when they come into view. A row widget
// costs far more than its list item: with thousands of servers, building every row at
// start would hold the start up by seconds, for rows that are mostly never looked at.
// The first kEagerRows rows are built at once, so a short list is complete from the start.
class DeferredRows : public QObject
{
    Q_OBJECT

public:
    static constexpr int kEagerRows = 100;

    // makeRow builds the row widget of an item and puts it into the item.
    using RowFactory = std::function<void(QListWidgetItem*)>;

    DeferredRows(QListWidget* pList, RowFactory makeRow);

    // A new item, just appended to the list: its row is built now or once it comes into view.
    void added(QListWidgetItem* pItem);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void buildVisibleRows();
    void build(QListWidgetItem* pItem);

    QListWidget* const m_pList;
    const RowFactory m_makeRow;
};
