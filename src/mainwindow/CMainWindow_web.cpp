// CMainWindow: the web area (splitter, page view, remote-debugging view).
#include "mainwindow/CMainWindow.h"

#include "web/CWebEngineView.h"

#include <QSplitter>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {
const char* const kRemoteDebuggingVariable = "QTWEBENGINE_REMOTE_DEBUGGING";
const char* const kRemoteDebuggingPort = "9223";
} // namespace

void CMainWindow::initWebArea()
{
    initMenus();

    m_pSplitter = new QSplitter(Qt::Vertical, nullptr);
    setCentralWidget(m_pSplitter);

    if (!m_pDebugView) {
        // Must be set before the first web engine view of the process exists.
        qputenv(kRemoteDebuggingVariable, kRemoteDebuggingPort);
        m_pDebugView = new QWebEngineView(nullptr);
        m_pSplitter->addWidget(m_pDebugView);
        m_pDebugView->hide();
    }
}

void CMainWindow::releaseWebView()
{
    QWebEnginePage* page = m_pWebView->page();
    if (page)
        disconnect(page, SIGNAL(loadFinished(bool)), this, SLOT(Slot_LoadUrlFinish(bool)));
    delete page;
    delete m_pWebView;
    m_pWebView = nullptr;
}

void CMainWindow::releaseWebEngineViews()
{
    if (m_pWebView)
        releaseWebView();
    delete m_pDebugView;
    m_pDebugView = nullptr;
}
