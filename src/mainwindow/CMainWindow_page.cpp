// CMainWindow: what the page window offers beside the page itself: zoom, find and print.
#include "mainwindow/CMainWindow.h"

#include "ui/LanguageTexts.h"
#include "ui/MessageBar.h"
#include "web/CWebEngineView.h"
#include "web/CertificateTrustStore.h"
#include "web/FindBar.h"
#include "web/PageZoom.h"

#include <QAction>
#include <QDebug>
#include <QPrintDialog>
#include <QPrinter>
#include <QSplitter>
#include <QUrl>
#include <QWebEnginePage>

namespace {
const int kZoomShownMs = 1500;
const double kNoZoom = 1.0;

QString serverKey(const QString& sUrl)
{
    return CertificateTrustStore::serverOf(QUrl(sUrl));
}
} // namespace

void CMainWindow::initPageShortcuts()
{
    const auto add = [this](const QList<QKeySequence>& keys, const std::function<void()>& run) {
        auto* action = new QAction(this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        connect(action, &QAction::triggered, this, run);
    };
    add({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL + Qt::Key_Equal)}, [this] { slot_zoom(1); });
    add({QKeySequence::ZoomOut}, [this] { slot_zoom(-1); });
    add({QKeySequence(Qt::CTRL + Qt::Key_0)}, [this] { slot_zoom(0); });
    add({QKeySequence::Find}, [this] { slot_find(); });
    add({QKeySequence::Print}, [this] { slot_print(); });
}

double CMainWindow::zoomFor(const QString& sUrl) const
{
    return m_settings.zoomFactors.value(serverKey(sUrl), kNoZoom);
}

void CMainWindow::slot_zoom(int direction)
{
    if (!m_pWebView || !m_isPageShown)
        return;
    QWebEnginePage* page = m_pWebView->page();
    const double factor = direction == 0 ? kNoZoom : PageZoom::step(page->zoomFactor(), direction);
    page->setZoomFactor(factor);
    if (qFuzzyCompare(factor, kNoZoom))
        m_settings.zoomFactors.remove(serverKey(m_sCurUrl));
    else
        m_settings.zoomFactors.insert(serverKey(m_sCurUrl), factor);
    writeSettings();
    m_pMessageBar->showMessage(QStringLiteral("%1 %").arg(PageZoom::percent(factor)), kZoomShownMs);
}

void CMainWindow::slot_find()
{
    if (!m_pWebView || !m_isPageShown)
        return;
    // Made when first asked for: its making costs a start several milliseconds.
    if (!m_pFindBar)
        m_pFindBar = new FindBar(m_pSplitter, this);
    m_pFindBar->open(m_pWebView->page(), shownTexts());
}

void CMainWindow::slot_print()
{
    // One print at a time: the engine still renders the last one.
    if (!m_pWebView || !m_isPageShown || m_pPrinter)
        return;
    m_pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    const bool isChosen = m_printChooser ? m_printChooser(*m_pPrinter, this)
                                         : QPrintDialog(m_pPrinter.get(), this).exec() == QDialog::Accepted;
    if (!isChosen || !m_pWebView) {
        m_pPrinter.reset();
        return;
    }
    m_pWebView->page()->print(m_pPrinter.get(), [this](bool isPrinted) {
        if (!isPrinted)
            qWarning() << "the page could not be printed";
        m_pPrinter.reset();
    });
}
