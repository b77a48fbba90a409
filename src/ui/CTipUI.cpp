#include "ui/CTipUI.h"

#include "ui/ButtonName.h"
#include "ui/HighDpi.h"
#include "ui/LanguageTexts.h"
#include "ui/Style.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {
const QSize kDialogSize(310, 170);
const QString kWarningIcon = QStringLiteral(":/resource/image/warning.png");
} // namespace

CTipUI::CTipUI(const LanguageTexts& texts, QWidget* parent)
    : QDialog(parent)
{
    setFixedSize(kDialogSize);
    setWindowFlags(Qt::FramelessWindowHint);
    setObjectName(QStringLiteral("tipui"));
    setStyleSheet(orbisk::style::dialogFrame(QStringLiteral("QWidget#tipui")));

    auto* buttonClose = new QPushButton(this);
    auto* labelIcon = new QLabel(this);
    auto* labelTitle = new QLabel(this);

    labelIcon->setGeometry(26, 20, 24, 24);
    labelIcon->setPixmap(orbisk::imagePixmap(kWarningIcon));

    labelTitle->setGeometry(59, 19, 37, 26);
    labelTitle->setText(texts.Tip);
    labelTitle->setStyleSheet(orbisk::style::centredText(orbisk::style::kTextGrey, 18));

    buttonClose->setGeometry(280, 8, 18, 18);
    buttonClose->setStyleSheet(orbisk::style::closeButton());
    orbisk::nameButton(buttonClose, texts.Close);

    connect(buttonClose, SIGNAL(clicked(bool)), this, SLOT(slot_buttonClose()));
}

CTipUI::~CTipUI() = default;

void CTipUI::slot_buttonClose()
{
    close();
}
