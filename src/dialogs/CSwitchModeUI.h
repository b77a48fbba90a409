#pragma once

#include "ui/CTipUI.h"

// Asks the user to confirm leaving browser mode: OK accepts, Cancel and the close
// button reject.
class CSwitchModeUI : public CTipUI
{
    Q_OBJECT

public:
    explicit CSwitchModeUI(const LanguageTexts& texts, QWidget* parent = nullptr);
    ~CSwitchModeUI() override;

public slots:
    void slot_ButtonOK();
};
