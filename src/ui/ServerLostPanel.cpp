#include "ui/ServerLostPanel.h"

#include "ui/AreaOverlay.h"
#include "ui/LanguageTexts.h"
#include "ui/Style.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QSize kButtonSize(120, 32);
} // namespace

ServerLostPanel::ServerLostPanel(QWidget* area, QWidget* parent)
    : QFrame(parent)
    , m_pOverlay(new AreaOverlay(this, area, AreaOverlay::kWholeArea))
    , m_pLabel(new QLabel(this))
    , m_pBtnTryNow(new QPushButton(this))
    , m_pBtnChangeServer(new QPushButton(this))
{
    setObjectName(QStringLiteral("serverlost"));
    setStyleSheet(QStringLiteral("QFrame#serverlost{background-color:%1}").arg(orbisk::style::kWhite));
    m_pLabel->setStyleSheet(orbisk::style::text(orbisk::style::kTextGrey, 16));
    m_pLabel->setTextFormat(Qt::PlainText);
    m_pLabel->setAlignment(Qt::AlignCenter);
    m_pLabel->setWordWrap(true);
    for (QPushButton* button : {m_pBtnTryNow, m_pBtnChangeServer}) {
        button->setMinimumSize(kButtonSize);
        button->setCursor(Qt::PointingHandCursor);
        button->setStyleSheet(orbisk::style::primaryButton());
    }

    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    buttons->addWidget(m_pBtnTryNow);
    buttons->addWidget(m_pBtnChangeServer);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addWidget(m_pLabel);
    layout->addSpacing(16);
    layout->addLayout(buttons);
    layout->addStretch(2);

    connect(m_pBtnTryNow, &QPushButton::clicked, this, &ServerLostPanel::tryNowRequested);
    connect(m_pBtnChangeServer, &QPushButton::clicked, this, &ServerLostPanel::changeServerRequested);
    hide();
}

void ServerLostPanel::showLost(const LanguageTexts& texts, const QString& sServer, int iSeconds)
{
    m_pLabel->setText(texts.CannotReachServer.arg(sServer).arg(iSeconds));
    m_pBtnTryNow->setText(texts.TryNow);
    m_pBtnChangeServer->setText(texts.ChangeServer);
    m_pOverlay->place();
    show();
    raise();
}

QString ServerLostPanel::text() const
{
    return m_pLabel->text();
}
