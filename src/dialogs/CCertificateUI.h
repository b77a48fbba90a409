#pragma once

#include <QDialog>

struct CertificateQuestion;
class QPushButton;

// Asks whether to trust a server certificate that the system does not trust. Shows
// the server, what is wrong, the certificate's names, dates and SHA-256 fingerprint.
// "Cancel" is the default button, so Enter and Escape refuse; accepted() means the
// user chose "Trust this certificate".
class CCertificateUI : public QDialog
{
    Q_OBJECT

public:
    CCertificateUI(const CertificateQuestion& question, QWidget* parent);
    ~CCertificateUI() override;

    QPushButton* m_pBtnCancel = nullptr;
    QPushButton* m_pBtnTrust = nullptr;
};
