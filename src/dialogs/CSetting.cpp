#include "dialogs/CSetting.h"

#include "platform/autostart.h"
#include "storage/AppPaths.h"
#include "storage/ClientSettings.h"
#include "ui/ButtonName.h"
#include "ui/LanguageTexts.h"
#include "ui/Style.h"

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
} // namespace

CSetting::CSetting(const LanguageTexts& texts, ClientSettings& settings, QWidget* parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_sManagedTip(texts.SetByAdministrator)
{
    setWindowFlags(Qt::FramelessWindowHint);
    setObjectName(QStringLiteral("setting"));
    setStyleSheet(orbisk::style::dialogFrame(QStringLiteral("QWidget#setting")));

    // Created in the keyboard focus order.
    auto* buttonClose = new QPushButton(this);
    auto* labelTitle = new QLabel(this);
    m_pCheckAutoStart = new QCheckBox(this);
    m_pCheckMiniTray = new QCheckBox(this);
    auto* buttonOK = new QPushButton(this);

    labelTitle->setText(texts.Setting);
    m_pCheckAutoStart->setText(texts.AutoStart);
    m_pCheckMiniTray->setText(texts.MiniTray);
    buttonOK->setText(texts.OK);

    buttonClose->setStyleSheet(orbisk::style::closeButton());
    orbisk::nameButton(buttonClose, texts.Close);
    labelTitle->setStyleSheet(orbisk::style::centredText(orbisk::style::kTextGrey, 18));
    buttonOK->setStyleSheet(orbisk::style::primaryButton());

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

    m_pCheckAutoStart->setChecked(settings.autoStart);
    m_pCheckMiniTray->setChecked(settings.miniTray);
}

CSetting::~CSetting() = default;

void CSetting::lockManaged(std::optional<bool> autoStart, std::optional<bool> miniTray)
{
    for (const auto& [box, value] : {std::pair(m_pCheckAutoStart, autoStart), std::pair(m_pCheckMiniTray, miniTray)}) {
        if (!value)
            continue;
        box->setChecked(*value);
        box->setEnabled(false);
        box->setToolTip(m_sManagedTip);
    }
}

void CSetting::slot_ButtonClose()
{
    close();
}

void CSetting::slot_ButtonOK()
{
    // A locked box shows the administrator's choice, which never goes into the user's file.
    const bool isAutoStart = m_pCheckAutoStart->isEnabled() ? m_pCheckAutoStart->isChecked() : m_settings.autoStart;
    const bool isMiniTray = m_pCheckMiniTray->isEnabled() ? m_pCheckMiniTray->isChecked() : m_settings.miniTray;
    if (isAutoStart != m_settings.autoStart || isMiniTray != m_settings.miniTray) {
        // The start-with-system entry is renewed before the file records the choice.
        if (isAutoStart != m_settings.autoStart) {
            m_settings.autoStart = isAutoStart;
            orbisk::platform::applyStartWithSystem(isAutoStart);
        }
        m_settings.miniTray = isMiniTray;
        AppPaths::ensureDataDir();
        if (!m_settings.write(AppPaths::settingsFile()))
            qDebug() << "CSetting: could not write" << AppPaths::settingsFile();
    }
    close();
}
