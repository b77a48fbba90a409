#pragma once

#include <QUrl>
#include <QWebEngineView>

class QAction;
class QMenu;
struct LanguageTexts;

// The browser widget that shows the transfer server's web application. It hands
// dropped files and folders to the page (one ValtroDrage call per item) and shows a
// fixed context menu made of the page's own navigation and editing actions.
class CWebEngineView : public QWebEngineView
{
    Q_OBJECT

public:
    explicit CWebEngineView(QWidget* parent);
    ~CWebEngineView() override;

    // Builds the context menu from the current page's actions; the page must be set.
    void initContextMenu();
    // Sets the menu's action texts from the main window's current catalogue texts.
    void updateTexts(const LanguageTexts& texts);

    QMenu* contextMenu() const { return m_pMenu; }

signals:
    // Ctrl and the wheel over the page: zoom in (direction > 0) or out.
    void zoomRequested(int direction);

public slots:
    void Slot_UrlChanged(QUrl url);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QMenu* m_pMenu = nullptr;
    QAction* m_pActCopy = nullptr;
    QAction* m_pActPaste = nullptr;
    QAction* m_pActCut = nullptr;
    QAction* m_pActSelectAll = nullptr;
    QAction* m_pActBack = nullptr;
    QAction* m_pActForward = nullptr;
    QAction* m_pActReload = nullptr;
};
