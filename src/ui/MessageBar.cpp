#include "ui/MessageBar.h"

#include "ui/AreaOverlay.h"
#include "ui/ButtonName.h"
#include "ui/Style.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {
const int kHeight = 32;
const QSize kCloseSize(18, 18);
} // namespace

MessageBar::MessageBar(QWidget* area, QWidget* parent)
    : QFrame(parent)
    , m_pOverlay(new AreaOverlay(this, area, kHeight))
    , m_pLabel(new QLabel(this))
    , m_pBtnClose(new QPushButton(this))
    , m_pTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("messagebar"));
    setStyleSheet(QStringLiteral("QFrame#messagebar{background-color:%1;border-bottom:1px solid %2}")
                      .arg(orbisk::style::kSelectionBlue, orbisk::style::kBorder));
    m_pLabel->setStyleSheet(orbisk::style::text(orbisk::style::kTextGrey, 13));
    m_pLabel->setTextFormat(Qt::PlainText);
    m_pBtnClose->setFixedSize(kCloseSize);
    m_pBtnClose->setStyleSheet(orbisk::style::closeButton());
    m_pBtnClose->setCursor(Qt::PointingHandCursor);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 0, 8, 0);
    layout->addWidget(m_pLabel, 1);
    layout->addWidget(m_pBtnClose);

    m_pTimer->setSingleShot(true);
    connect(m_pTimer, &QTimer::timeout, this, &QWidget::hide);
    connect(m_pBtnClose, &QPushButton::clicked, this, &QWidget::hide);
    hide();
}

void MessageBar::setCloseName(const QString& sName)
{
    orbisk::nameButton(m_pBtnClose, sName);
}

void MessageBar::showMessage(const QString& sText, int iShownMs)
{
    m_pLabel->setText(sText);
    m_pOverlay->place();
    show();
    raise();
    m_pTimer->start(iShownMs);
}

QString MessageBar::text() const
{
    return m_pLabel->text();
}
