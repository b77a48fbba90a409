#pragma once

#include <QDialog>

class QCheckBox;

// The settings dialog: start with the system and minimise to the tray on close, as
// two check boxes; OK stores what changed in the main window and its settings file.
class CSetting : public QDialog
{
    Q_OBJECT

public:
    explicit CSetting(QWidget* parent = nullptr);
    ~CSetting() override;

public slots:
    // Closes the dialog; nothing is stored.
    void slot_ButtonClose();
    // Stores the changed settings, renewing the start-with-system entry first when
    // that choice changed, and closes the dialog.
    void slot_ButtonOK();

public:
    QCheckBox* m_pCheckAutoStart = nullptr;
    QCheckBox* m_pCheckMiniTray = nullptr;
};
