#include "login/ItemWidgetFile.h"

#include "login/ButtonDelete.h"
#include "login/CLoginUI.h"
#include "mainwindow/CMainWindow.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>

namespace {
const QString kDeleteIcon = QStringLiteral(":/resource/image/close.png");
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

void ItemWidgetFile::mouseReleaseEvent(QMouseEvent*)
{
    emit signal_mouseClick(m_pLabel->text());
}

void ItemWidgetFile::slot_buttonDelete()
{
    ServerList& servers = g_pMainWindow->m_vecServer;
    if (servers.isEmpty())
        return;

    const QString url = accessibleName();
    for (int i = 0; i < servers.size(); ++i) {
        if (servers.at(i).url == url) {
            servers.remove(i);
            g_pMainWindow->writeServerList();
            // This row is among those removed; the list releases it only once
            // control is back in the event loop, after this slot has returned.
            g_pMainWindow->m_pLoginUI->removeServerItem(url);
            return;
        }
    }
}
