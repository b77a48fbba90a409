#include "dialogs/DownloadProgressDelegate.h"

#include "web/DownloadManager.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOptionProgressBar>

namespace {
const int kMargin = 4;
}

DownloadProgressDelegate::DownloadProgressDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
{ }

void DownloadProgressDelegate::paint(
    QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const int percent = index.data(DownloadManager::PercentRole).toInt();
    if (percent < 0) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionProgressBar bar;
    bar.initFrom(option.widget);
    bar.rect = option.rect.adjusted(kMargin, kMargin, -kMargin, -kMargin);
    bar.minimum = 0;
    bar.maximum = 100;
    bar.progress = percent;
    bar.text = index.data(Qt::DisplayRole).toString();
    bar.textVisible = true;
    bar.textAlignment = Qt::AlignCenter;
    QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ProgressBar, &bar, painter, option.widget);
}
