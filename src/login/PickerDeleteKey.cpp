#include "login/PickerDeleteKey.h"

#include <QAbstractItemView>
#include <QKeyEvent>

PickerDeleteKey::PickerDeleteKey(QAbstractItemView* pView, int urlRole)
    : QObject(pView)
    , m_pView(pView)
    , m_urlRole(urlRole)
{
    pView->installEventFilter(this);
}

bool PickerDeleteKey::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched != m_pView || pEvent->type() != QEvent::KeyPress
        || static_cast<QKeyEvent*>(pEvent)->key() != Qt::Key_Delete)
        return QObject::eventFilter(pWatched, pEvent);
    const QModelIndex current = m_pView->currentIndex();
    if (current.isValid())
        emit deleteRequested(current.data(m_urlRole).toString());
    return true;
}
