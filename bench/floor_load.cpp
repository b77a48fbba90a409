// The floor of the engine for the start-up benchmark: a program that only creates a
// QWebEngineView and loads one URL, printing "loadFinished 1" (or 0) when the first
// load ends. Certificate errors are accepted, as the client does, so it can load the
// demo server's self-signed page.
#include <QApplication>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <cstdio>

namespace {

class AcceptingPage : public QWebEnginePage
{
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    bool certificateError(const QWebEngineCertificateError&) override { return true; }
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s URL\n", argv[0]);
        return 2;
    }

    // The page is declared first so that it outlives the view.
    AcceptingPage page(QWebEngineProfile::defaultProfile());
    QWebEngineView view;
    view.setPage(&page);
    QObject::connect(&page, &QWebEnginePage::loadFinished, &application, [](bool isSuccess) {
        std::printf("loadFinished %d\n", isSuccess ? 1 : 0);
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    page.setUrl(QUrl(QString::fromLocal8Bit(argv[1])));
    return application.exec();
}
