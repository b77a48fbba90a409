#pragma once

#include <QSystemTrayIcon>

#include <functional>

class QAction;
class QMenu;
class QWidget;
struct LanguageTexts;

// The client's icon in the notification area: a left click brings back the current
// window; its menu asks to open the current window or to quit the client. It also
// tells the user when a download has ended.
class CMiniTray : public QSystemTrayIcon
{
    Q_OBJECT

public:
    using AvailabilityProbe = std::function<bool()>;
    // The window the user is working in; null while there is none.
    using WindowFinder = std::function<QWidget*()>;

    explicit CMiniTray(WindowFinder currentWindow, QObject* parent = nullptr);
    ~CMiniTray() override;

    void updateTexts(const LanguageTexts& texts);

    // Whether the desktop shows tray icons now. Asked each time it matters, since a
    // tray can appear or go away while the client runs; without one, a hidden window
    // could never be brought back.
    static bool isTrayAvailable();
    // Replaces the system's answer (tests); an empty probe restores it.
    static void setAvailabilityProbe(AvailabilityProbe probe);

signals:
    // "Open": show the current window in front of the others.
    void openRequested();
    // "Quit": end the client.
    void exitRequested();
    // The user clicked the page notification id shown by showNotification.
    void notificationClicked(int id);

public slots:
    void slot_activatedSysTrayIcon(QSystemTrayIcon::ActivationReason act);
    void slot_actOpen();
    void slot_actExit();
    // A balloon message about a download that ended, where the system has a tray.
    void slot_downloadCompleted(const QString& sFileName);
    void slot_downloadFailed(const QString& sFileName);
    // A page's notification as a balloon message; false where the system has no tray.
    bool showNotification(int id, const QString& sTitle, const QString& sBody);

public:
    QMenu* m_pTrayMenu = nullptr;
    QAction* m_pActOpen = nullptr;
    QAction* m_pActExit = nullptr;

private:
    WindowFinder m_currentWindow;
    QString m_sDownloadFinished;
    QString m_sDownloadFailed;
    // The page notification the balloon shows now; 0 while it shows something else.
    int m_iShownNotification = 0;
};
