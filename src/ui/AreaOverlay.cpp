#include "ui/AreaOverlay.h"

#include <QEvent>
#include <QWidget>

AreaOverlay::AreaOverlay(QWidget* overlay, QWidget* area, int iHeight)
    : QObject(overlay)
    , m_pOverlay(overlay)
    , m_pArea(area)
    , m_iHeight(iHeight)
{
    area->installEventFilter(this);
    place();
}

void AreaOverlay::place()
{
    QRect geometry = m_pArea->geometry();
    if (m_iHeight != kWholeArea)
        geometry.setHeight(m_iHeight);
    m_pOverlay->setGeometry(geometry);
}

bool AreaOverlay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pArea && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        place();
    return QObject::eventFilter(watched, event);
}
