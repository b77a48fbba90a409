#include "dialogs/CSwitchModeUI.h"

#include "app/LanguageTexts.h"
#include "login/CLoginUI.h"
#include "mainwindow/CMainWindow.h"

#include <QLabel>
#include <QPushButton>

namespace {
const QString kMessageStyle = QStringLiteral("color: rgba(51, 51, 51, 1);font-size: 14px");
const QString kButtonStyle = QStringLiteral(
    "border-radius: 2px;background-color: rgba(0, 123, 197, 1);color: rgba(255, 255, 255, 1);font-size: 12px;"
    "border: 1px solid rgba(255, 255, 255, 0);");
} // namespace

CSwitchModeUI::CSwitchModeUI(QWidget* parent)
    : CTipUI(parent)
{
    auto* labelMessage = new QLabel(this);
    auto* buttonCancel = new QPushButton(this);
    auto* buttonOK = new QPushButton(this);

    if (const LanguageTexts* texts = g_pMainWindow ? g_pMainWindow->m_pTexts.get() : nullptr) {
        labelMessage->setText(texts->SwitchModelTip);
        buttonCancel->setText(texts->Cancel);
        buttonOK->setText(texts->OK);
    }

    labelMessage->setGeometry(26, 46, 253, 80);
    labelMessage->setWordWrap(true);
    buttonCancel->setGeometry(124, 127, 68, 30);
    buttonOK->setGeometry(212, 127, 68, 30);

    labelMessage->setStyleSheet(kMessageStyle);
    buttonCancel->setStyleSheet(kButtonStyle);
    buttonOK->setStyleSheet(kButtonStyle);

    buttonCancel->setCursor(Qt::PointingHandCursor);
    buttonOK->setCursor(Qt::PointingHandCursor);

    connect(buttonCancel, SIGNAL(clicked(bool)), this, SLOT(slot_buttonClose()));
    connect(buttonOK, SIGNAL(clicked(bool)), this, SLOT(slot_ButtonOK()));
}

CSwitchModeUI::~CSwitchModeUI() = default;

void CSwitchModeUI::slot_ButtonOK()
{
    // Leave the server first, so the login window shows its controls on a client
    // that no longer holds a page.
    g_pMainWindow->slot_exitServer();
    g_pMainWindow->m_pLoginUI->setBrowserModel(false);
    close();
}
