#pragma once

#include <QSystemTrayIcon>

class QAction;
class QMenu;

// The client's icon in the notification area: a left click brings back the current
// window, a right click opens a one-entry menu that quits the client.
class CMiniTray : public QSystemTrayIcon
{
    Q_OBJECT

public:
    explicit CMiniTray(QObject* parent = nullptr);
    ~CMiniTray() override;

    void updateTexts();

public slots:
    void slot_activatedSysTrayIcon(QSystemTrayIcon::ActivationReason act);
    void slot_actExit();

public:
    QMenu* m_pTrayMenu = nullptr;
    QAction* m_pActExit = nullptr;
};
