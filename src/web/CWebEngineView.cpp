#include "web/CWebEngineView.h"

#include "ui/LanguageTexts.h"
#include "web/DropScript.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDebug>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QWebEnginePage>
#include <QWheelEvent>

CWebEngineView::CWebEngineView(QWidget* parent)
    : QWebEngineView(parent)
{
    connect(this, SIGNAL(urlChanged(QUrl)), this, SLOT(Slot_UrlChanged(QUrl)));
    setAcceptDrops(true);
}

CWebEngineView::~CWebEngineView() = default;

void CWebEngineView::initContextMenu()
{
    QWebEnginePage* pPage = page();
    qDebug() << pPage;

    m_pMenu = new QMenu(this);
    m_pMenu->setStyleSheet(QStringLiteral("QMenu{font-size:13px}"));

    m_pActCopy = pPage->action(QWebEnginePage::Copy);
    m_pActPaste = pPage->action(QWebEnginePage::Paste);
    m_pActCut = pPage->action(QWebEnginePage::Cut);
    m_pActSelectAll = pPage->action(QWebEnginePage::SelectAll);
    m_pActBack = pPage->action(QWebEnginePage::Back);
    m_pActForward = pPage->action(QWebEnginePage::Forward);
    m_pActReload = pPage->action(QWebEnginePage::Reload);

    m_pMenu->addAction(m_pActBack);
    m_pMenu->addAction(m_pActForward);
    m_pMenu->addAction(m_pActReload);
    m_pMenu->addSeparator();
    m_pMenu->addAction(m_pActCopy);
    m_pMenu->addAction(m_pActPaste);
    m_pMenu->addAction(m_pActCut);
    m_pMenu->addAction(m_pActSelectAll);
}

void CWebEngineView::updateTexts(const LanguageTexts& texts)
{
    if (!m_pMenu)
        return;
    m_pActCopy->setText(texts.Copy);
    m_pActPaste->setText(texts.Paste);
    m_pActCut->setText(texts.Cut);
    m_pActSelectAll->setText(texts.SelectAll);
    m_pActBack->setText(texts.Back);
    m_pActForward->setText(texts.Forward);
    m_pActReload->setText(texts.Reload);
}

void CWebEngineView::Slot_UrlChanged(QUrl) { }

bool CWebEngineView::event(QEvent* event)
{
    // The engine paints and takes input in a child widget it adds once the page
    // renders; its wheel events are looked at for Ctrl.
    if (event->type() == QEvent::ChildPolished) {
        if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child()))
            child->installEventFilter(this);
    }
    return QWebEngineView::event(event);
}

bool CWebEngineView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Wheel) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers().testFlag(Qt::ControlModifier) && wheel->angleDelta().y() != 0) {
            emit zoomRequested(wheel->angleDelta().y() > 0 ? 1 : -1);
            return true;
        }
    }
    return QWebEngineView::eventFilter(watched, event);
}

void CWebEngineView::contextMenuEvent(QContextMenuEvent*)
{
    if (!m_pMenu)
        return;
    m_pActReload->setEnabled(true);
    m_pMenu->exec(QCursor::pos());
}

void CWebEngineView::dragEnterEvent(QDragEnterEvent* event)
{
    event->accept();
    QWebEngineView::dragEnterEvent(event);
    if (event->mimeData()->hasFormat(QStringLiteral("text/uri-list")))
        event->acceptProposedAction();
}

void CWebEngineView::dropEvent(QDropEvent* event)
{
    QWebEngineView::dropEvent(event);
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty())
        return;
    // One script per item, each sent as soon as it is built, so the page starts on the
    // first items while the later ones are still being prepared.
    QWebEnginePage* pPage = page();
    for (const QUrl& url : urls)
        pPage->runJavaScript(dropScript(url));
}
