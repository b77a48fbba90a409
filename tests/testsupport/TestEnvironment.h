#pragma once

#include <QString>

namespace orbisk::test {

// Puts QStandardPaths into test mode, registers the resources and empties the
// application-data folder, so every test starts from a machine without files.
void prepareTestEnvironment();

// The writable application-data folder as the client uses it (test mode).
QString appDataDir();

// The built client executable, passed in by CTest.
QString clientExecutable();

// A private folder for a test's files, under the test's own home.
QString scratchDir(const QString& name);

} // namespace orbisk::test
