#pragma once

#include <QDialog>

#include <optional>

class QCheckBox;
struct ClientSettings;
struct LanguageTexts;

// The settings dialog: start with the system and minimise to the tray on close, as
// two check boxes; OK stores what changed in the settings it edits and in their file.
class CSetting : public QDialog
{
    Q_OBJECT

public:
    CSetting(const LanguageTexts& texts, ClientSettings& settings, QWidget* parent = nullptr);
    ~CSetting() override;

    // Shows the choices an administrator made as set and disabled, with a tooltip that
    // says so; OK leaves them out of the user's settings.
    void lockManaged(std::optional<bool> autoStart, std::optional<bool> miniTray);

public slots:
    // Closes the dialog; nothing is stored.
    void slot_ButtonClose();
    // Stores the changed settings, renewing the start-with-system entry first when
    // that choice changed, and closes the dialog.
    void slot_ButtonOK();

public:
    QCheckBox* m_pCheckAutoStart = nullptr;
    QCheckBox* m_pCheckMiniTray = nullptr;

private:
    ClientSettings& m_settings;
    const QString m_sManagedTip;
};
