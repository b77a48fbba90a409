#pragma once

#include <QDBusConnection>
#include <QList>
#include <QMap>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>

namespace orbisk::test {

// A desktop of the test's own for a client run as a real process: an X server (Xvfb) and
// a session bus that starts the accessibility bus. The test reads the client's windows as
// a screen reader does (roles, names, what is showing and where), runs the actions of
// buttons, combo boxes and menu entries, and clicks with the pointer.
class AccessibleDesktop
{
public:
    struct Element
    {
        QString service;
        QString path;
        QString role;
        QString name;
        bool isShowing = false;
    };

    AccessibleDesktop() = default;
    ~AccessibleDesktop();
    AccessibleDesktop(const AccessibleDesktop&) = delete;
    AccessibleDesktop& operator=(const AccessibleDesktop&) = delete;

    // Starts the X server and the session bus; on failure returns false and errorString()
    // says why.
    bool start();
    QString errorString() const { return m_sError; }

    // The variables a client started on this desktop needs: its display, its session bus,
    // the X platform and accessibility switched on.
    QMap<QString, QString> clientEnvironment() const;

    // Every element of the windows of process pid, depth first; empty until that process
    // has started the accessibility bus and joined it.
    QList<Element> elements(qint64 pid);
    // The first of those with this role and name (any name when sName is null); an element
    // without a service when none.
    Element find(qint64 pid, const QString& sRole, const QString& sName = QString());

    // Starts the element's first action: presses a button, opens a combo box's list,
    // triggers a menu entry. Does not wait for it (the test waits for what it does); false
    // when the request could not be sent.
    bool press(const Element& element);
    // Where the element is on the screen.
    QRect extents(const Element& element);
    // A click of the left button at a point of the screen.
    bool click(const QPoint& point);
    // How many windows of process pid are on the screen; an open list or menu counts as one.
    int visibleWindowCount(qint64 pid) const;

private:
    bool connectAccessibilityBus(qint64 pid);
    // Runs xdotool on this desktop's display, its output into *pOutput; true when it succeeded.
    bool runXdotool(const QStringList& arguments, QString* pOutput = nullptr) const;
    void collect(const QString& sService, const QString& sPath, QList<Element>* pElements, int depth);

    QProcess m_xServer;
    QProcess m_sessionBus;
    QString m_sDisplay;
    QString m_sSessionAddress;
    QString m_sBusName;
    QString m_sError;
};

} // namespace orbisk::test
