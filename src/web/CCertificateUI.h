#pragma once

#include "web/CertificateQuestion.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QVBoxLayout;
struct LanguageTexts;

// Asks whether to trust a server certificate that the system does not trust. Shows
// the server, what is wrong, the certificate's names, dates and SHA-256 fingerprint.
// "Cancel" is the default button, so Enter and Escape refuse; accepted() means the
// user chose "Trust this certificate". A question that offers no trust has no such
// button (m_pBtnTrust is null) and says that the administrator set it so.
class CCertificateUI : public QDialog
{
    Q_OBJECT

public:
    CCertificateUI(const CertificateQuestion& question, const LanguageTexts& texts, QWidget* parent);
    ~CCertificateUI() override;

    // Words the question and its labels from the catalogue texts and sizes the dialog
    // to them.
    void updateTexts(const LanguageTexts& texts);

    QPushButton* m_pBtnCancel = nullptr;
    QPushButton* m_pBtnClose = nullptr;
    QPushButton* m_pBtnTrust = nullptr;

private:
    CertificateQuestion m_question;
    QVBoxLayout* m_pLayout = nullptr;
    QLabel* m_pLabelTitle = nullptr;
    QLabel* m_pLabelMessage = nullptr;
    QLabel* m_pFieldServer = nullptr;
    QLabel* m_pFieldProblem = nullptr;
    QLabel* m_pFieldIssuedTo = nullptr;
    QLabel* m_pFieldIssuedBy = nullptr;
    QLabel* m_pFieldValid = nullptr;
    QLabel* m_pFieldFingerprint = nullptr;
    QLabel* m_pLabelProblem = nullptr;
    QLabel* m_pLabelValidity = nullptr;
    QLabel* m_pLabelManaged = nullptr;
};
