#pragma once

#include "dialogs/CTipUI.h"

// Asks the user to confirm leaving browser mode; OK leaves the current server and
// gives the login window its server controls back.
class CSwitchModeUI : public CTipUI
{
    Q_OBJECT

public:
    explicit CSwitchModeUI(QWidget* parent = nullptr);
    ~CSwitchModeUI() override;

public slots:
    void slot_ButtonOK();
};
