#pragma once

#include <QDialog>

struct LanguageTexts;

// The frame of the client's small message dialogs: white, frameless, 310 x 170,
// a warning icon and the "Tip" title top left, a close button top right.
// Derived dialogs add their content and may replace the object name and style sheet.
class CTipUI : public QDialog
{
    Q_OBJECT

public:
    explicit CTipUI(const LanguageTexts& texts, QWidget* parent = nullptr);
    ~CTipUI() override;

public slots:
    void slot_buttonClose();
};
