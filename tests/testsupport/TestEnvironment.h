#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

class QProcess;

namespace orbisk::test {

// Puts QStandardPaths into test mode, registers the resources and empties the
// application-data folder, so every test starts from a machine without files.
// The tray is reported available.
void prepareTestEnvironment();

// Sets the application font the client sets at its start; the widgets sized by their
// texts depend on it.
void useClientFont();

// The writable application-data folder as the client uses it (test mode).
QString appDataDir();

// The built client executable, passed in by CTest.
QString clientExecutable();

// The built client under a name of its own: a hard link to it (a copy where no link can
// be made) in a private folder of this test, named after the client and this process.
// The single-instance guard counts processes by executable name, so a client started from
// here runs beside any other copy of the client on the machine. The client names its data
// folder and settings file after this name.
QString uniqueClientExecutable();

// Starts program as a child process with the system environment, changed by the given
// variables (a null value removes one), and waits until it runs; false when it did not.
bool startProcess(QProcess& process, const QString& program, const QMap<QString, QString>& environment,
    const QStringList& arguments = {});
// Ends the process if it still runs: asks it to quit first, and kills it when it has
// not quit within timeoutMs.
void endProcess(QProcess& process, int timeoutMs);

// The bytes of the file at path; empty when it cannot be read.
QByteArray fileContent(const QString& path);
// Writes bytes as the whole content of the file at path, making its folder when missing;
// false unless every byte was written.
bool writeFileContent(const QString& path, const QByteArray& bytes);

// A port on 127.0.0.1 that nothing listens on right now: one for a server of the test to
// take, or one that a connection must fail on.
quint16 unusedLocalPort();

// Runs the event loop in short turns until isDone() holds or timeoutMs have passed, and
// says whether it holds. Unlike QTest::qWaitFor it looks at the condition after each
// turn even while a busy web engine keeps posting events.
bool waitUntil(const std::function<bool()>& isDone, int timeoutMs);

// A private folder for a test's files, under the test's own home.
QString scratchDir(const QString& name);

// Runs a command line tool to its end (at most a minute); what it printed when it
// failed, else an empty string.
QString runTool(const QString& program, const QStringList& arguments);

// The NSS database of the test's own home (the user's certificate store the engine
// reads on Linux), made new and empty, and its "sql:" address in *pDatabase. Returns
// what went wrong, else an empty string.
QString newHomeNssDatabase(QString* pDatabase);

} // namespace orbisk::test
