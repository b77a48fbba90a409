#pragma once

#include <QFrame>
#include <QPointer>

class AreaOverlay;
class QLabel;
class QLineEdit;
class QPushButton;
class QWebEngineFindTextResult;
class QWebEnginePage;
struct LanguageTexts;

// Finds text in the page: a bar over the top of the page area with the text, previous
// and next, and "3 of 12". Enter finds the next match, Shift+Enter the previous one,
// Esc closes the bar and clears the highlight.
class FindBar : public QFrame
{
    Q_OBJECT

public:
    // Lies over the top edge of `area`, a child of the same window, and follows it.
    FindBar(QWidget* area, QWidget* parent);

    // Opens the bar on the page, with the focus in its text.
    void open(QWebEnginePage* pPage, const LanguageTexts& texts);
    void find(bool isBackward);
    QString countText() const;

public slots:
    // Hides the bar and clears the page's highlight.
    void slot_close();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showResult(const QWebEngineFindTextResult& result);

    AreaOverlay* m_pOverlay;
    QLineEdit* m_pEdit;
    QLabel* m_pCount;
    QPushButton* m_pBtnPrevious;
    QPushButton* m_pBtnNext;
    QPushButton* m_pBtnClose;
    QPointer<QWebEnginePage> m_pPage;
    QString m_sCountFormat;
};
