#pragma once

#include <QFrame>

class AreaOverlay;
class QLabel;
class QPushButton;
struct LanguageTexts;

// Stands in for the page while its server cannot be reached: what is going on, and
// buttons to try at once or to choose another server. Covers `area` and follows it.
class ServerLostPanel : public QFrame
{
    Q_OBJECT

public:
    ServerLostPanel(QWidget* area, QWidget* parent);

    // Shows the panel: sServer cannot be reached, the next try comes in iSeconds.
    void showLost(const LanguageTexts& texts, const QString& sServer, int iSeconds);
    QString text() const;

signals:
    void tryNowRequested();
    void changeServerRequested();

private:
    AreaOverlay* m_pOverlay;
    QLabel* m_pLabel;
    QPushButton* m_pBtnTryNow;
    QPushButton* m_pBtnChangeServer;
};
