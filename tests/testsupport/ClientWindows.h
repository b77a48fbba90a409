#pragma once

#include "WebEngineTestMain.h"

#include "core/ManagedConfig.h"
#include "servers/ServerEntry.h"

#include <QApplication>
#include <QStringList>
#include <QtTest>

class CLoginUI;
class CMainWindow;
class CertificateGuard;
class CertificateTrustStore;
class ItemWidgetFile;
class QAction;

namespace orbisk::test {

class DemoServer;

// Generous limits: the web engine starts slowly on a small, busy machine.
constexpr int kLoginTimeoutMs = 60000;

// The two windows of the client built in the order of start-up, without the core
// services and without the first presentation. Each test builds its own and tears
// them down again, so one test's list, menus and flags cannot leak into the next.
class ClientWindows
{
public:
    ClientWindows() = default;
    ~ClientWindows();
    ClientWindows(const ClientWindows&) = delete;
    ClientWindows& operator=(const ClientWindows&) = delete;

    // Main window (reads the files), login window, certificate trust store and guard,
    // web area with menus and picker, first language switch.
    void start();
    // Releases the web views and deletes both windows; safe to call twice.
    void stop();
    // The first presentation of a start without arguments (menu bar to the login
    // window, normal mode, login window shown, delayed login started). Not handle_show,
    // which would count the test binary's own arguments.
    void present();
    // stop() and start() again: what a new run of the client would show.
    void restart();

    // Trusts the demo server's certificate as if the user had, saved for later starts.
    void trust(const DemoServer& server);
    // Loads a server's login page as the user's Continue does and waits (up to
    // timeoutMs) until it was shown or the login window took back its controls;
    // false when neither happened in time.
    bool loadSettled(const QString& sName, const QString& sUrl, int timeoutMs);

    // What an administrator manages for the next start().
    orbisk::ManagedConfig managed;
    CMainWindow* window = nullptr;
    CLoginUI* login = nullptr;
    CertificateTrustStore* trustStore = nullptr;
    CertificateGuard* guard = nullptr;
};

// Removes every per-user file of the client.
void removeClientFiles();

void writeServerFile(const ServerList& servers);
ServerList readServerFile();
bool serverFileExists();

// The display texts of the picker's rows, top to bottom.
QStringList rowTexts(const CLoginUI* login);
// The picker's row of the server with the URL; null when there is none.
ItemWidgetFile* rowOf(const CLoginUI* login, const QString& url);
// The server actions of the server menu, without the exit action that ends it.
QList<QAction*> serverActions(const CMainWindow* window);
QStringList serverActionTexts(const CMainWindow* window);
// The text of the checked server action, or an empty string.
QString checkedServerAction(const CMainWindow* window);

// The widgets of the login window that are not hidden, by member name.
QStringList shownControls(const CLoginUI* login);

} // namespace orbisk::test

// Readable failures of QCOMPARE on entries and lists.
char* toString(const ServerEntry& entry);
char* toString(const ServerList& servers);
