#include "dialogs/CTipUI.h"

#include "app/HighDpi.h"
#include "app/LanguageTexts.h"
#include "dialogs/DialogStyle.h"
#include "mainwindow/CMainWindow.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {
const QSize kDialogSize(310, 170);
const QString kFrameStyle = QStringLiteral("QWidget#tipui{background-color:#fff;border:1px solid #ccc}");
const QString kWarningIcon = QStringLiteral(":/resource/image/warning.png");
const QString kTitleStyle
    = QStringLiteral("left: 1104px;top: 487px;width: 37px;height: 26px;line-height: 26px;color: rgba(51, 51, 51, 1);"
                     "font-size: 18px;text-align: center;");
} // namespace

CTipUI::CTipUI(QWidget* parent)
    : QDialog(parent)
{
    setFixedSize(kDialogSize);
    setWindowFlags(Qt::FramelessWindowHint);
    setObjectName(QStringLiteral("tipui"));
    setStyleSheet(kFrameStyle);

    auto* buttonClose = new QPushButton(this);
    auto* labelIcon = new QLabel(this);
    auto* labelTitle = new QLabel(this);

    labelIcon->setGeometry(26, 20, 24, 24);
    labelIcon->setPixmap(orbisk::imagePixmap(kWarningIcon));

    labelTitle->setGeometry(59, 19, 37, 26);
    if (const LanguageTexts* texts = g_pMainWindow ? g_pMainWindow->m_pTexts.get() : nullptr)
        labelTitle->setText(texts->Tip);
    labelTitle->setStyleSheet(kTitleStyle);

    buttonClose->setGeometry(280, 8, 18, 18);
    buttonClose->setStyleSheet(dialogCloseButtonStyle());

    connect(buttonClose, SIGNAL(clicked(bool)), this, SLOT(slot_buttonClose()));
}

CTipUI::~CTipUI() = default;

void CTipUI::slot_buttonClose()
{
    close();
}
