#pragma once

#include <QFrame>

class AreaOverlay;
class QLabel;
class QTimer;

// A thin bar with a message over the top of an area (the page), which the user can
// close and which goes by itself after kShownMs.
class MessageBar : public QFrame
{
    Q_OBJECT

public:
    static constexpr int kShownMs = 10000;

    // Lies over the top edge of `area`, a child of the same window, and follows it.
    MessageBar(QWidget* area, QWidget* parent);

    // Shows sText for iShownMs.
    void showMessage(const QString& sText, int iShownMs = kShownMs);
    QString text() const;

private:
    AreaOverlay* m_pOverlay;
    QLabel* m_pLabel;
    QTimer* m_pTimer;
};
