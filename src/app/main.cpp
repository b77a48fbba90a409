// Process entry: refuses a second copy, then builds the two windows and runs the
// main window's start sequence in a fixed order before entering the event loop.
#include "app/Resources.h"
#include "app/SingleInstanceGuard.h"
#include "login/CLoginUI.h"
#include "mainwindow/CMainWindow.h"
#include "mainwindow/ClientInfo.h"
#include "platform/terminationwatcher.h"

#include <QApplication>
#include <QFont>

#include <memory>

namespace {
const QString kFontFamily = QStringLiteral("Microsoft YaHei");
const int kFontPixelSize = 14;
} // namespace

int main(int argc, char* argv[])
{
    orbisk::initResources();
    // The web engine shares OpenGL contexts with the widgets; this must precede the application object.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

    int exitCode = 0;
    {
        QApplication application(argc, argv);
        QCoreApplication::setApplicationVersion(getClientVersion());
        QGuiApplication::setQuitOnLastWindowClosed(false);

        if (!SingleInstanceGuard::anotherCopyIsRunning()) {
            auto font = std::make_unique<QFont>(kFontFamily);
            font->setPixelSize(kFontPixelSize);
            QApplication::setFont(*font);

            g_pMainWindow = new CMainWindow(nullptr);
            auto* loginUI = new CLoginUI(nullptr);
            g_pMainWindow->setLoginUI(loginUI);
            g_pMainWindow->initWebArea();
            g_pMainWindow->slot_switch_language(g_pMainWindow->m_iLanguage);
            g_pMainWindow->startCoreServices();

            // A logout or a process manager ends the client through its normal exit path.
            orbisk::platform::TerminationWatcher terminationWatcher;
            QObject::connect(&terminationWatcher, &orbisk::platform::TerminationWatcher::terminationRequested,
                g_pMainWindow, &CMainWindow::handle_exit_application);

            g_pMainWindow->handle_show();
            exitCode = application.exec();

            // The windows stay alive to the end, but no web page may outlive the
            // application object and the web profile: the engine crashes at exit otherwise.
            g_pMainWindow->releaseWebEngineViews();
        }
    }
    orbisk::cleanupResources();
    return exitCode;
}
