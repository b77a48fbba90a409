#pragma once

#include <QObject>

class QWidget;

// Keeps a widget over an area of the same window: along the area's top edge at a fixed
// height, or over all of it, following the area as it moves and resizes.
class AreaOverlay : public QObject
{
    Q_OBJECT

public:
    static constexpr int kWholeArea = 0;

    // A child of overlay; iHeight kWholeArea covers the whole area.
    AreaOverlay(QWidget* overlay, QWidget* area, int iHeight);

    void place();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_pOverlay;
    QWidget* m_pArea;
    const int m_iHeight;
};
