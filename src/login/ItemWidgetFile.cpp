#include "login/ItemWidgetFile.h"

#include "login/ButtonDelete.h"
#include "ui/HighDpi.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>

namespace {
const QString kDeleteIcon = QStringLiteral(":/resource/image/close.png");
const QString kManagedIcon = QStringLiteral(":/resource/image/managed.png");
const QMargins kRowMargins(17, 4, 14, 3);
} // namespace

ItemWidgetFile::ItemWidgetFile(QWidget* parent)
    : QWidget(parent)
{
    auto* buttonDelete = new ButtonDelete(this);
    buttonDelete->setIcon(QIcon(kDeleteIcon));
    buttonDelete->setStyleSheet(QStringLiteral("border:0px;"));

    // The label takes the row's free width, whatever its text's length.
    m_pLabel = new QLabel(this);
    m_pLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_pLabel->installEventFilter(this);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_pLabel, 1);
    layout->addWidget(buttonDelete);
    layout->setContentsMargins(kRowMargins);

    connect(buttonDelete, SIGNAL(clicked(bool)), this, SLOT(slot_buttonDelete()));
}

void ItemWidgetFile::setManaged(const QString& sTip)
{
    auto* buttonDelete = findChild<ButtonDelete*>();
    buttonDelete->hide();
    auto* mark = new QLabel(this);
    mark->setPixmap(orbisk::imagePixmap(kManagedIcon));
    layout()->addWidget(mark);
    setToolTip(sTip);
}

void ItemWidgetFile::setText(const QString& sText)
{
    m_sText = sText;
    elide();
}

void ItemWidgetFile::elide()
{
    m_pLabel->setText(m_pLabel->fontMetrics().elidedText(m_sText, Qt::ElideRight, m_pLabel->width()));
}

void ItemWidgetFile::mouseReleaseEvent(QMouseEvent*)
{
    // The whole text: the picker finds the server by it.
    emit signal_mouseClick(m_sText);
}

bool ItemWidgetFile::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pLabel && event->type() == QEvent::Resize)
        elide();
    return QWidget::eventFilter(watched, event);
}

void ItemWidgetFile::slot_buttonDelete()
{
    // The list releases this row once control is back in the event loop, after the
    // deletion that this request starts.
    emit deleteRequested(accessibleName());
}
