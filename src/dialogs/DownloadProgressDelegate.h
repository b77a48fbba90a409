#pragma once

#include <QStyledItemDelegate>

// Paints a download's progress as a progress bar holding the progress text, from the
// model's per-cent role; a download of unknown size shows only the text.
class DownloadProgressDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit DownloadProgressDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
