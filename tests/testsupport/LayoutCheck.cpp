#include "LayoutCheck.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextDocument>

namespace orbisk::test {

namespace {

QString describe(const QWidget* widget)
{
    const QString text = qobject_cast<const QLabel*>(widget) ? qobject_cast<const QLabel*>(widget)->text()
        : qobject_cast<const QAbstractButton*>(widget)       ? qobject_cast<const QAbstractButton*>(widget)->text()
                                                             : QString();
    return QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(widget->metaObject()->className()), text);
}

bool isSingleColour(const QImage& image)
{
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != first)
                return false;
        }
    }
    return true;
}

// An area in window coordinates as the pixels of a grab, which has more of them than
// the window has coordinates on a scaled screen.
QRect inPixels(const QImage& image, const QRect& area)
{
    const qreal ratio = image.devicePixelRatio();
    return QRectF(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio).toAlignedRect();
}

// Whether the widget's text changes what the window shows inside area: the window
// is grabbed once more with the text taken away, then the text is put back.
bool textLeavesAMark(QWidget* window, const QImage& picture, QWidget* widget, const QRect& area)
{
    QImage withoutText;
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        const QString original = label->text();
        label->clear();
        withoutText = window->grab().toImage();
        label->setText(original);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        const QString original = button->text();
        button->setText(QString());
        withoutText = window->grab().toImage();
        button->setText(original);
    }
    return picture.copy(inPixels(picture, area)) != withoutText.copy(inPixels(withoutText, area));
}

// Where a one-line text of the given width lies inside rect under the alignment.
QRect textRect(const QRect& rect, int textWidth, Qt::Alignment alignment)
{
    int left = rect.left();
    if (alignment & Qt::AlignHCenter)
        left = rect.center().x() - textWidth / 2;
    else if (alignment & Qt::AlignRight)
        left = rect.right() - textWidth + 1;
    return QRect(left, rect.top(), textWidth, rect.height());
}

// The label's text as the user reads it: rich text without its markup.
QString plainText(const QLabel* label)
{
    if (label->textFormat() == Qt::RichText
        || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()))) {
        QTextDocument document;
        document.setHtml(label->text());
        return document.toPlainText();
    }
    return label->text();
}

// A text of several lines is as wide as its widest line.
int widestLine(const QFontMetrics& metrics, const QString& text)
{
    int width = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        width = qMax(width, metrics.horizontalAdvance(line));
    return width;
}

} // namespace

QStringList layoutFaults(QWidget* window)
{
    QStringList faults;
    const QImage picture = window->grab().toImage();
    if (picture.isNull() || isSingleColour(picture))
        faults << QStringLiteral("the window shows a single colour");

    const QRect windowRect = window->rect();
    const QList<QWidget*> children = window->findChildren<QWidget*>();
    for (QWidget* child : children) {
        if (child->window() != window || !child->isVisibleTo(window))
            continue;
        const QRect inWindow(child->mapTo(window, QPoint(0, 0)), child->size());
        // Only the part that any ancestor leaves visible is drawn.
        QRect shown = inWindow;
        for (QWidget* ancestor = child->parentWidget(); ancestor && ancestor != window;
             ancestor = ancestor->parentWidget())
            shown &= QRect(ancestor->mapTo(window, QPoint(0, 0)), ancestor->size());

        QString text;
        QRect textArea; // where the text is drawn, in window coordinates
        int neededWidth = 0;
        if (auto* label = qobject_cast<QLabel*>(child)) {
            text = plainText(label);
            if (text.isEmpty())
                continue;
            const QRect contents = label->contentsRect().translated(inWindow.topLeft());
            neededWidth = widestLine(label->fontMetrics(), text);
            if (label->wordWrap() && neededWidth > contents.width()) {
                if (label->heightForWidth(contents.width()) > contents.height())
                    faults << describe(child)
                            + QStringLiteral(": needs %1 pixels of height, has %2")
                                  .arg(label->heightForWidth(contents.width()))
                                  .arg(contents.height());
                textArea = contents;
            } else {
                if (neededWidth > contents.width())
                    faults << describe(child)
                            + QStringLiteral(": needs %1 pixels, has %2").arg(neededWidth).arg(contents.width());
                textArea = textRect(contents, neededWidth, label->alignment());
            }
        } else if (auto* box = qobject_cast<QCheckBox*>(child)) {
            text = box->text();
            QStyleOptionButton option;
            option.initFrom(box);
            option.text = text;
            const QRect contents = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
            neededWidth = box->fontMetrics().horizontalAdvance(text);
            textArea = QRect(contents.left(), 0, neededWidth, box->height()).translated(inWindow.topLeft());
            if (contents.left() + neededWidth > box->width())
                faults << describe(child)
                        + QStringLiteral(": ends at %1 of %2 pixels")
                              .arg(contents.left() + neededWidth)
                              .arg(box->width());
            const int wantedRight = inWindow.left() + box->sizeHint().width();
            if (wantedRight > windowRect.width() - kFrameGap)
                faults << describe(child)
                        + QStringLiteral(": wants to end at %1, the frame is at %2")
                              .arg(wantedRight)
                              .arg(windowRect.width());
        } else if (auto* button = qobject_cast<QPushButton*>(child)) {
            text = button->text();
            if (text.isEmpty() && button->accessibleName().isEmpty())
                faults << describe(child) + QStringLiteral(": a button with neither a text nor a name to be read out");
            if (!text.isEmpty()) {
                neededWidth = button->fontMetrics().horizontalAdvance(text);
                if (neededWidth > button->width())
                    faults << describe(child)
                            + QStringLiteral(": needs %1 pixels, has %2").arg(neededWidth).arg(button->width());
                textArea = textRect(inWindow, neededWidth, Qt::AlignHCenter);
            }
        }

        const QRect drawn = textArea.isNull() ? shown : textArea & shown;
        if (!windowRect.contains(drawn))
            faults << describe(child)
                    + QStringLiteral(": drawn at %1,%2 %3x%4, outside the window")
                          .arg(drawn.x())
                          .arg(drawn.y())
                          .arg(drawn.width())
                          .arg(drawn.height());
        const QRect inside = windowRect.adjusted(kFrameGap, kFrameGap, -kFrameGap, -kFrameGap);
        if (!textArea.isNull() && windowRect.contains(drawn) && !inside.contains(textArea & shown, false)) {
            const QRect touching = textArea & shown;
            faults << describe(child)
                    + QStringLiteral(": drawn at %1,%2 %3x%4, touching the frame of %5x%6")
                          .arg(touching.x())
                          .arg(touching.y())
                          .arg(touching.width())
                          .arg(touching.height())
                          .arg(windowRect.width())
                          .arg(windowRect.height());
        }
        const QRect visibleText = textArea & shown & windowRect;
        if (!text.trimmed().isEmpty()
            && (visibleText.isEmpty() || !textLeavesAMark(window, picture, child, visibleText)))
            faults << describe(child) + QStringLiteral(": the text leaves no mark");
    }
    return faults;
}

} // namespace orbisk::test
