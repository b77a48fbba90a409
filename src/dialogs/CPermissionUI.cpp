#include "dialogs/CPermissionUI.h"

#include "ui/LanguageTexts.h"
#include "ui/Style.h"

#include <QLabel>
#include <QPushButton>

CPermissionUI::CPermissionUI(const LanguageTexts& texts, const QUrl& origin, QWidget* parent)
    : CTipUI(texts, parent)
    , m_origin(origin)
{
    auto* labelMessage = new QLabel(this);
    auto* buttonDeny = new QPushButton(this);
    auto* buttonAllow = new QPushButton(this);

    // The host alone: the user knows the server by its name, not by its scheme or port.
    labelMessage->setText(texts.NotificationsWanted.arg(origin.host()));
    labelMessage->setTextFormat(Qt::PlainText);
    buttonDeny->setText(texts.DontAllow);
    buttonAllow->setText(texts.Allow);

    labelMessage->setGeometry(26, 46, 253, 80);
    labelMessage->setWordWrap(true);
    buttonDeny->setGeometry(104, 127, 88, 30);
    buttonAllow->setGeometry(212, 127, 68, 30);

    labelMessage->setStyleSheet(orbisk::style::text(orbisk::style::kTextGrey, 14));
    buttonDeny->setStyleSheet(orbisk::style::filledButton(orbisk::style::kBrandBlue));
    buttonAllow->setStyleSheet(orbisk::style::filledButton(orbisk::style::kBrandBlue));
    buttonDeny->setCursor(Qt::PointingHandCursor);
    buttonAllow->setCursor(Qt::PointingHandCursor);

    buttonDeny->setAutoDefault(false);
    buttonAllow->setDefault(true);
    buttonAllow->setFocus();

    connect(buttonDeny, &QPushButton::clicked, this, &QDialog::reject);
    connect(buttonAllow, &QPushButton::clicked, this, &QDialog::accept);
}

CPermissionUI::~CPermissionUI() = default;
