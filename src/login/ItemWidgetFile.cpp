#include "login/ItemWidgetFile.h"

#include "login/ButtonDelete.h"
#include "ui/HighDpi.h"

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

    m_pLabel = new QLabel(this);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_pLabel);
    layout->addStretch(0);
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

void ItemWidgetFile::mouseReleaseEvent(QMouseEvent*)
{
    emit signal_mouseClick(m_pLabel->text());
}

void ItemWidgetFile::slot_buttonDelete()
{
    // The list releases this row once control is back in the event loop, after the
    // deletion that this request starts.
    emit deleteRequested(accessibleName());
}
