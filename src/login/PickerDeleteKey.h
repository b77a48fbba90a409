#pragma once

#include <QObject>

class QAbstractItemView;

// Delete on the highlighted row of the open server picker asks to forget that row's
// server, as the row's delete button does: the way to do it from the keyboard, which
// never reaches the button. The server book refuses what the user may not forget.
class PickerDeleteKey : public QObject
{
    Q_OBJECT

public:
    // urlRole: the item data role that holds each row's server URL.
    PickerDeleteKey(QAbstractItemView* pView, int urlRole);

signals:
    void deleteRequested(QString sUrl);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    QAbstractItemView* m_pView;
    const int m_urlRole;
};
