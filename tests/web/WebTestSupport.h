#pragma once

#include "WebEngineTestMain.h"

#include <QApplication>
#include <QMutex>
#include <QStringList>
#include <QVariant>
#include <QtTest>

class QWebEnginePage;

namespace orbisk::test {

// Generous limits: the engine starts slowly on a small, busy machine.
constexpr int kEngineTimeoutMs = 60000;

// Runs a script in the page's main world and waits for its result; an invalid
// QVariant when no result arrived in time.
QVariant evaluateJavaScript(QWebEnginePage* page, const QString& sScript);

// Collects the text of every debug message while it lives, and passes each on to
// the handler that was installed before.
class DebugLogCapture
{
public:
    DebugLogCapture();
    ~DebugLogCapture();
    DebugLogCapture(const DebugLogCapture&) = delete;
    DebugLogCapture& operator=(const DebugLogCapture&) = delete;

    QStringList lines() const;
    int count(const QString& sLine) const { return lines().count(sLine); }

private:
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& message);
    static DebugLogCapture* s_pCurrent;

    QtMessageHandler m_previous = nullptr;
    mutable QMutex m_mutex;
    QStringList m_lines;
};

// Sends everything written to standard output to a file while it lives; text()
// reads what was written so far. On destruction standard output is restored and the
// captured text is written to it, so nothing is lost from the test log.
class StdoutCapture
{
public:
    StdoutCapture();
    ~StdoutCapture();
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;

    QString text() const;

private:
    QString m_sPath;
    int m_savedFd = -1;
};

} // namespace orbisk::test
