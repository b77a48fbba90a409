#include "login/BrowserLinkPlacement.h"

#include <QFontMetrics>
#include <QTextLayout>
#include <QTextOption>
#include <QtMath>

QPoint placeBrowserLink(const QString& sentence, const QFont& sentenceFont, const QRect& sentenceRect,
    const QString& link, const QFont& linkFont, const QPoint& preferred, int rightEdge)
{
    // Wrap the sentence as a word-wrapped label of that width does.
    QTextLayout layout(sentence, sentenceFont);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal lastLineWidth = 0;
    int lineCount = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(sentenceRect.width());
        lastLineWidth = line.naturalTextWidth();
        ++lineCount;
    }
    layout.endLayout();
    if (lineCount == 0)
        return preferred;

    const int gap = QFontMetrics(sentenceFont).horizontalAdvance(QLatin1Char(' '));
    const int sentenceEnd = sentenceRect.x() + qCeil(lastLineWidth) + gap;
    if (sentenceEnd <= preferred.x())
        return preferred;

    const int linkWidth = QFontMetrics(linkFont).horizontalAdvance(link);
    if (sentenceEnd + linkWidth <= rightEdge)
        return QPoint(sentenceEnd, preferred.y());
    return QPoint(sentenceRect.x(), preferred.y() + QFontMetrics(sentenceFont).lineSpacing());
}
