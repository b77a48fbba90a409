#pragma once

#include <QFrame>

class AreaOverlay;
class QLabel;
class QPushButton;
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
    // What the close button is called for a screen reader and in its tooltip.
    void setCloseName(const QString& sName);

private:
    AreaOverlay* m_pOverlay;
    QLabel* m_pLabel;
    QPushButton* m_pBtnClose;
    QTimer* m_pTimer;
};
