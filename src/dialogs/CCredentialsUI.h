#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
struct LanguageTexts;

// Asks for a user name and password for a proxy or a server: who asks and the realm,
// the user name (focused first), the password (masked), "Remember", OK (also Enter)
// and Cancel (also Esc).
class CCredentialsUI : public QDialog
{
    Q_OBJECT

public:
    // sWhoAsks is the full sentence naming the proxy or server; sUser fills the user
    // name, sProblem (the refusal) shows above the fields when not empty. Without a
    // secret store Remember is off and says why.
    CCredentialsUI(const LanguageTexts& texts, const QString& sWhoAsks, const QString& sRealm, const QString& sUser,
        const QString& sProblem, bool canRemember, QWidget* parent = nullptr);
    ~CCredentialsUI() override;

    QString user() const;
    QString password() const;
    bool isRemembered() const;

public:
    QLabel* m_pLabelProblem;
    QLineEdit* m_pEditUser;
    QLineEdit* m_pEditPassword;
    QCheckBox* m_pCheckRemember;
};
