#include "web/ExternalWindowPage.h"

#include "web/ServerPage.h"

#include <QDebug>
#include <QDesktopServices>
#include <QTimer>

ExternalWindowPage::ExternalWindowPage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent)
{
    // A coarse timer may fire up to 5 % early; the window gets its full time.
    QTimer::singleShot(kFirstNavigationTimeoutMs, Qt::PreciseTimer, this, &QObject::deleteLater);
}

ExternalWindowPage::~ExternalWindowPage() = default;

bool ExternalWindowPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame)
{
    if (!isMainFrame || m_isDone)
        return false;
    m_isDone = true;
    if (ServerPage::opensInSystemBrowser(url))
        QDesktopServices::openUrl(url);
    else
        qDebug() << "refused a new window for" << url;
    deleteLater();
    return false;
}
