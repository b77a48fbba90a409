#pragma once

#include "ui/CTipUI.h"

class QLabel;

// Shows the device code, the identity under which this computer logs in to the
// transfer server, and copies it to the clipboard.
class CMachineCodeUI : public CTipUI
{
    Q_OBJECT

public:
    // The width, from the code label's left edge, within which the code is drawn: it keeps
    // clear of the frame, in a smaller size when the font is too wide for it.
    static const int kCodeVisibleWidth;

    // sCode is the device code shown, fetched at every opening so a changed identity
    // shows the next time.
    CMachineCodeUI(const LanguageTexts& texts, const QString& sCode, QWidget* parent = nullptr);
    ~CMachineCodeUI() override;

public slots:
    // Copies the code and closes the dialog.
    void Slot_ButtonOK();
    // Copies the code; the dialog stays open.
    void slot_ActCopy();

private slots:
    // Offers "Copy" on the code label at pos (label coordinates).
    void slot_codeContextMenu(const QPoint& pos);

public:
    QLabel* m_pLabelCode = nullptr;

private:
    QString m_sCopyText;
};
