#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>

// Where the browser-mode link goes so that it reads as the end of the wrapped
// sentence before it. The preferred place suits the sentence in the font it was
// designed for; where another font wraps the sentence further to the right, the link
// moves to just after the sentence's last line, or to the start of the next line
// when it no longer fits, instead of covering the sentence's last words.
QPoint placeBrowserLink(const QString& sentence, const QFont& sentenceFont, const QRect& sentenceRect,
    const QString& link, const QFont& linkFont, const QPoint& preferred, int rightEdge);
