#include "WebTestSupport.h"

#include "TestEnvironment.h"

#include <QFile>
#include <QMutexLocker>
#include <QWebEnginePage>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace orbisk::test {

QVariant evaluateJavaScript(QWebEnginePage* page, const QString& sScript)
{
    QVariant result;
    bool isDone = false;
    page->runJavaScript(sScript, [&result, &isDone](const QVariant& value) {
        result = value;
        isDone = true;
    });
    if (!QTest::qWaitFor([&isDone] { return isDone; }, kEngineTimeoutMs))
        return QVariant();
    return result;
}

DebugLogCapture* DebugLogCapture::s_pCurrent = nullptr;

DebugLogCapture::DebugLogCapture()
{
    s_pCurrent = this;
    m_previous = qInstallMessageHandler(&DebugLogCapture::handler);
}

DebugLogCapture::~DebugLogCapture()
{
    qInstallMessageHandler(m_previous);
    s_pCurrent = nullptr;
}

QStringList DebugLogCapture::lines() const
{
    QMutexLocker lock(&m_mutex);
    return m_lines;
}

void DebugLogCapture::handler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    DebugLogCapture* capture = s_pCurrent;
    if (!capture)
        return;
    if (type == QtDebugMsg) {
        QMutexLocker lock(&capture->m_mutex);
        capture->m_lines.append(message);
    }
    if (capture->m_previous)
        capture->m_previous(type, context, message);
}

StdoutCapture::StdoutCapture()
{
    m_sPath = scratchDir(QStringLiteral("stdout")) + QStringLiteral("/captured.txt");
    std::fflush(stdout);
    m_savedFd = ::dup(STDOUT_FILENO);
    const int fd = ::open(QFile::encodeName(m_sPath).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(fd, STDOUT_FILENO);
    ::close(fd);
}

StdoutCapture::~StdoutCapture()
{
    std::fflush(stdout);
    ::dup2(m_savedFd, STDOUT_FILENO);
    ::close(m_savedFd);
    std::fputs(text().toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

QString StdoutCapture::text() const
{
    std::fflush(stdout);
    QFile file(m_sPath);
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

} // namespace orbisk::test
