#include "ui/OkCancelButtons.h"

#include "ui/LanguageTexts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

QDialogButtonBox* okCancelButtons(QDialog* pDialog, const LanguageTexts& texts)
{
    auto* buttons = new QDialogButtonBox(pDialog);
    buttons->addButton(texts.OK, QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(texts.Cancel, QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, pDialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, pDialog, &QDialog::reject);
    return buttons;
}
