#pragma once

#include <QDialog>
#include <QList>
#include <QSslCertificate>

class QTreeWidget;
struct LanguageTexts;

// Lets the user pick the certificate a server asked for: each one's subject, issuer
// and end of validity, the first selected. OK (also Enter, or a double click) uses the
// selected one; Cancel (also Esc) goes on without one.
class CClientCertificateUI : public QDialog
{
    Q_OBJECT

public:
    CClientCertificateUI(const LanguageTexts& texts, const QString& sServer, const QList<QSslCertificate>& certificates,
        QWidget* parent = nullptr);
    ~CClientCertificateUI() override;

    // The selected row; -1 when none is.
    int selectedIndex() const;

public:
    QTreeWidget* m_pList;
};
