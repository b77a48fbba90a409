#include "dialogs/CSwitchModeUI.h"

#include "ui/LanguageTexts.h"
#include "ui/Style.h"

#include <QLabel>
#include <QPushButton>

CSwitchModeUI::CSwitchModeUI(const LanguageTexts& texts, QWidget* parent)
    : CTipUI(texts, parent)
{
    auto* labelMessage = new QLabel(this);
    auto* buttonCancel = new QPushButton(this);
    auto* buttonOK = new QPushButton(this);

    labelMessage->setText(texts.SwitchModelTip);
    buttonCancel->setText(texts.Cancel);
    buttonOK->setText(texts.OK);

    labelMessage->setGeometry(26, 46, 253, 80);
    labelMessage->setWordWrap(true);
    buttonCancel->setGeometry(124, 127, 68, 30);
    buttonOK->setGeometry(212, 127, 68, 30);

    labelMessage->setStyleSheet(orbisk::style::text(orbisk::style::kTextGrey, 14));
    buttonCancel->setStyleSheet(orbisk::style::filledButton(orbisk::style::kBrandBlue));
    buttonOK->setStyleSheet(orbisk::style::filledButton(orbisk::style::kBrandBlue));

    buttonCancel->setCursor(Qt::PointingHandCursor);
    buttonOK->setCursor(Qt::PointingHandCursor);

    connect(buttonCancel, SIGNAL(clicked(bool)), this, SLOT(slot_buttonClose()));
    connect(buttonOK, SIGNAL(clicked(bool)), this, SLOT(slot_ButtonOK()));
}

CSwitchModeUI::~CSwitchModeUI() = default;

void CSwitchModeUI::slot_ButtonOK()
{
    accept();
}
