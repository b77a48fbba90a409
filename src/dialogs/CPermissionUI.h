#pragma once

#include "ui/CTipUI.h"

#include <QUrl>

// Asks whether a server may show notifications: "Allow" (also Enter) accepts, "Don't
// allow", Esc and the close button reject.
class CPermissionUI : public CTipUI
{
    Q_OBJECT

public:
    CPermissionUI(const LanguageTexts& texts, const QUrl& origin, QWidget* parent = nullptr);
    ~CPermissionUI() override;

    QUrl origin() const { return m_origin; }

private:
    QUrl m_origin;
};
