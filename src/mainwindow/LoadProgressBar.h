#pragma once

#include <QProgressBar>

class AreaOverlay;
class QWebEnginePage;

// A thin bar along the top edge of the main window's page area that shows how far the
// page's load has come, so a slow server never leaves the window blank without a sign.
// Hidden while nothing loads.
class LoadProgressBar : public QProgressBar
{
    Q_OBJECT

public:
    // Lies over the top edge of `area`, a child of the same window, and follows it.
    LoadProgressBar(QWidget* area, QWidget* parent);

    // Shows the loads of this page from now on; a page that goes takes its loads along.
    void watch(QWebEnginePage* page);

    static constexpr int kHeight = 3;

private:
    AreaOverlay* m_pOverlay;
};
