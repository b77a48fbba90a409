// Process entry: refuses a second copy (asking the running one to show itself), then
// builds the two windows and runs the main window's start sequence in a fixed order
// before entering the event loop.
#include "app/RunningCopyChannel.h"
#include "app/SingleInstanceGuard.h"
#include "core/ClientInfo.h"
#include "login/CLoginUI.h"
#include "mainwindow/CMainWindow.h"
#include "platform/terminationwatcher.h"
#include "storage/AppPaths.h"
#include "ui/HighDpi.h"
#include "ui/Resources.h"
#include "web/CertificateGuard.h"
#include "web/CertificateTrustStore.h"
#include "web/DownloadManager.h"
#include "web/ManagedNetwork.h"

#include <QApplication>
#include <QDebug>
#include <QFont>
#include <QUrl>

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
    orbisk::enableHighDpiScaling();

    int exitCode = 0;
    {
        QApplication application(argc, argv);
        QCoreApplication::setApplicationVersion(getClientVersion());
        QGuiApplication::setQuitOnLastWindowClosed(false);
        QApplication::setWindowIcon(orbisk::applicationIcon());

        if (SingleInstanceGuard::anotherCopyIsRunning()) {
            // The user is looking for the client: the running copy shows its window.
            RunningCopyChannel::askToShow();
        } else {
            // A logout or a process manager ends the client through its normal exit path.
            // The handlers go in first: from the moment the local service answers, a
            // termination request must be a clean quit, never the default kill. A request
            // that comes before the event loop runs waits in the watcher until it does.
            orbisk::platform::TerminationWatcher terminationWatcher;

            auto font = std::make_unique<QFont>(kFontFamily);
            font->setPixelSize(kFontPixelSize);
            QApplication::setFont(*font);

            // What an administrator manages, read once: it holds for the whole run.
            const orbisk::ManagedConfig managed = orbisk::ManagedConfig::load();

            g_pMainWindow = new CMainWindow(managed, nullptr);
            // Integrated sign-on is offered to the servers known now; one added later
            // counts from the next start.
            QStringList serverHosts;
            for (const ServerEntry& server : g_pMainWindow->serverBook().servers())
                serverHosts.append(QUrl(server.url).host());
            orbisk::applyNetwork(managed, serverHosts);
            QObject::connect(&terminationWatcher, &orbisk::platform::TerminationWatcher::terminationRequested,
                g_pMainWindow, &CMainWindow::handle_exit_application);

            CertificateTrustStore trustStore(AppPaths::trustedCertificatesFile());
            trustStore.load();
            CertificateGuard certificateGuard(&trustStore, [] { return g_pMainWindow->visibleWindow(); });
            certificateGuard.setManagedTrust(
                {managed.trustedCertificates, managed.trustedCas, managed.allowCertificateExceptions});
            g_pMainWindow->setCertificateGuard(&certificateGuard);
            g_pMainWindow->initWebArea();
            // Destroyed before the application object, which takes the web profile with it.
            DownloadManager downloads(managed.downloadFolder);
            g_pMainWindow->setDownloadManager(&downloads);
            g_pMainWindow->startCoreServices();
            // The default server's page loads while the login window and the texts are made.
            g_pMainWindow->preloadAtStart(QCoreApplication::arguments().size());

            auto* loginUI = new CLoginUI(nullptr);
            g_pMainWindow->setLoginUI(loginUI);
            g_pMainWindow->slot_switch_language(g_pMainWindow->settings().language);

            RunningCopyChannel channel;
            QObject::connect(&channel, &RunningCopyChannel::showRequested, g_pMainWindow, [] {
                const QWidget* shown = g_pMainWindow->bringCurrentWindowToFront();
                qDebug() << "show requested by a second start:" << (shown ? shown->metaObject()->className() : "none")
                         << "visible" << (shown && shown->isVisible());
            });
            channel.listen();

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
