#include "dialogs/CSetting.h"

#include "app/LanguageTexts.h"
#include "dialogs/DialogStyle.h"
#include "mainwindow/CMainWindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace {
// The dialog's size unless its texts need more width.
const int kWidth = 370;
const int kHeight = 170;
const int kBoxLeft = 31;
// Free space right of the longest text, as right of the OK button.
const int kRightMargin = 30;
const int kTitleWidth = 200;
const QString kFrameStyle = QStringLiteral("QWidget#setting{background-color:#fff;border:1px solid #ccc}");
const QString kTitleStyle
    = QStringLiteral("left: 1071px;top: 229px;width: 37px;height: 26px;line-height: 26px;color: rgba(51, 51, 51, 1);"
                     "font-size: 18px;text-align: center;");
const QString kOkStyle = QStringLiteral(
    "left: 1257px;top: 373px;width: 68px;height: 32px;line-height: 17px;border-radius: 2px;"
    "background-color: rgba(33, 150, 243, 1);color: rgba(255, 255, 255, 1);font-size: 12px;text-align: center;"
    "border: 1px solid rgba(255, 255, 255, 0);");
} // namespace

CSetting::CSetting(QWidget* parent)
    : QDialog(parent)
{
    setWindowFlags(Qt::FramelessWindowHint);
    setObjectName(QStringLiteral("setting"));
    setStyleSheet(kFrameStyle);

    // Created in the keyboard focus order.
    auto* buttonClose = new QPushButton(this);
    auto* labelTitle = new QLabel(this);
    m_pCheckAutoStart = new QCheckBox(this);
    m_pCheckMiniTray = new QCheckBox(this);
    auto* buttonOK = new QPushButton(this);

    if (const LanguageTexts* texts = g_pMainWindow ? g_pMainWindow->m_pTexts.get() : nullptr) {
        labelTitle->setText(texts->Setting);
        m_pCheckAutoStart->setText(texts->AutoStart);
        m_pCheckMiniTray->setText(texts->MiniTray);
        buttonOK->setText(texts->OK);
    }

    buttonClose->setStyleSheet(dialogCloseButtonStyle());
    labelTitle->setStyleSheet(kTitleStyle);
    buttonOK->setStyleSheet(kOkStyle);

    // The dialog widens when a text in the font at hand needs more than its usual
    // width, so no text reaches its frame; the buttons keep their distance from the
    // right edge.
    const int boxWidth = qMax(m_pCheckAutoStart->sizeHint().width(), m_pCheckMiniTray->sizeHint().width());
    const int titleWidth = qMax(kTitleWidth, labelTitle->sizeHint().width());
    const int width = qMax(kWidth, kBoxLeft + qMax(boxWidth, titleWidth) + kRightMargin);
    setFixedSize(width, kHeight);
    labelTitle->setGeometry(26, 19, titleWidth, 26);
    m_pCheckAutoStart->setGeometry(kBoxLeft, 61, width - kBoxLeft - kRightMargin, 26);
    m_pCheckMiniTray->setGeometry(kBoxLeft, 90, width - kBoxLeft - kRightMargin, 26);
    buttonOK->setGeometry(width - 98, 127, 68, 30);
    buttonClose->setGeometry(width - 26, 8, 18, 18);
    buttonOK->setCursor(Qt::PointingHandCursor);

    connect(buttonClose, SIGNAL(clicked(bool)), this, SLOT(slot_ButtonClose()));
    connect(buttonOK, SIGNAL(clicked(bool)), this, SLOT(slot_ButtonOK()));

    if (g_pMainWindow) {
        m_pCheckAutoStart->setChecked(g_pMainWindow->m_isAutoStart);
        m_pCheckMiniTray->setChecked(g_pMainWindow->m_isMiniTray);
    }
}

CSetting::~CSetting() = default;

void CSetting::slot_ButtonClose()
{
    close();
}

void CSetting::slot_ButtonOK()
{
    CMainWindow* window = g_pMainWindow;
    const bool isAutoStart = m_pCheckAutoStart->isChecked();
    const bool isMiniTray = m_pCheckMiniTray->isChecked();
    if (window && (isAutoStart != window->m_isAutoStart || isMiniTray != window->m_isMiniTray)) {
        // The start-with-system entry is renewed before the file records the choice.
        if (isAutoStart != window->m_isAutoStart) {
            window->m_isAutoStart = isAutoStart;
            window->updateAutoStart();
        }
        window->m_isMiniTray = isMiniTray;
        window->writeSettings();
    }
    close();
}
