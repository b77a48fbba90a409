#pragma once

#include <QDialog>

struct LanguageTexts;

// The about box: the edition's logo, the client version, a button that opens the
// client's application-data folder, and the edition's brand image.
class CAboutUI : public QDialog
{
    Q_OBJECT

public:
    explicit CAboutUI(const LanguageTexts& texts, QWidget* parent = nullptr);
    ~CAboutUI() override;

public slots:
    void slot_buttonClose();
    // Opens the application-data folder in the system's file browser; the dialog stays open.
    void slot_buttonLog();
};
