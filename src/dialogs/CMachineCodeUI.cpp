#include "dialogs/CMachineCodeUI.h"

#include "core/ValtroCore.h"
#include "ui/LanguageTexts.h"
#include "ui/Style.h"

#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

namespace {
const int kWidth = 310;
const QRect kCodeGeometry(26, 79, kWidth, 28);
// The code label reaches past the dialog's right edge; the code is drawn within this
// much of it, so it keeps clear of the frame.
const int kCodeRightGap = 16;
const int kCodeFontPixels = 14;
const int kCodeMinFontPixels = 10;

// The largest pixel size, from the code's usual size down to a floor, at which text
// in font fits within width.
int fittingPixelSize(QFont font, const QString& text, int width)
{
    int pixelSize = kCodeFontPixels;
    font.setPixelSize(pixelSize);
    while (pixelSize > kCodeMinFontPixels && QFontMetrics(font).horizontalAdvance(text) > width)
        font.setPixelSize(--pixelSize);
    return pixelSize;
}
} // namespace

const int CMachineCodeUI::kCodeVisibleWidth = kWidth - kCodeGeometry.x() - kCodeRightGap;

CMachineCodeUI::CMachineCodeUI(const LanguageTexts& texts, const QString& sCode, QWidget* parent)
    : CTipUI(texts, parent)
    , m_sCopyText(texts.Copy.isEmpty() ? QStringLiteral("Copy") : texts.Copy)
{
    auto* labelPrompt = new QLabel(this);
    m_pLabelCode = new QLabel(this);
    m_pLabelCode->setWordWrap(true);
    // A code is an identifier, not markup: shown exactly as the core gives it.
    m_pLabelCode->setTextFormat(Qt::PlainText);
    auto* buttonCopy = new QPushButton(this);

    labelPrompt->setText(texts.MachineCodeIs);
    buttonCopy->setText(texts.Copy);
    m_pLabelCode->setText(sCode);

    buttonCopy->setGeometry(kWidth - 98, 125, 68, 32);
    m_pLabelCode->setGeometry(kCodeGeometry);
    labelPrompt->setGeometry(26, 56, 250, 23);

    m_pLabelCode->setStyleSheet(orbisk::style::centredText(orbisk::style::kTextGrey, kCodeFontPixels));
    // A code cut at the frame would be read wrongly, so a font too wide for the
    // visible part draws it smaller.
    m_pLabelCode->ensurePolished();
    const int codePixels = fittingPixelSize(m_pLabelCode->font(), m_pLabelCode->text(), kCodeVisibleWidth);
    if (codePixels != kCodeFontPixels)
        m_pLabelCode->setStyleSheet(orbisk::style::centredText(orbisk::style::kTextGrey, codePixels));
    labelPrompt->setStyleSheet(orbisk::style::centredText(orbisk::style::kTextGrey, 14));
    buttonCopy->setStyleSheet(orbisk::style::primaryButton());

    m_pLabelCode->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_pLabelCode, SIGNAL(customContextMenuRequested(QPoint)), this, SLOT(slot_codeContextMenu(QPoint)));

    buttonCopy->setCursor(Qt::PointingHandCursor);
    connect(buttonCopy, SIGNAL(clicked(bool)), this, SLOT(Slot_ButtonOK()));
}

CMachineCodeUI::~CMachineCodeUI() = default;

void CMachineCodeUI::Slot_ButtonOK()
{
    slot_ActCopy();
    close();
}

void CMachineCodeUI::slot_ActCopy()
{
    QGuiApplication::clipboard()->setText(m_pLabelCode->text(), QClipboard::Clipboard);
}

void CMachineCodeUI::slot_codeContextMenu(const QPoint& pos)
{
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* copy = menu->addAction(m_sCopyText);
    connect(copy, SIGNAL(triggered(bool)), this, SLOT(slot_ActCopy()));
    menu->popup(m_pLabelCode->mapToGlobal(pos));
}
