#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QSslCertificate>

#include <functional>

class QWebEngineClientCertificateSelection;
class QWebEnginePage;

// Servers that ask for a certificate to identify the user: the user picks one of the
// certificates the engine offers (the user's own store) or none, once per server for
// the rest of the run.
class ClientCertificates : public QObject
{
    Q_OBJECT

public:
    // The user's choice: an index into certificates, or -1 for none.
    using Chooser = std::function<int(const QString& sServer, const QList<QSslCertificate>& certificates)>;

    explicit ClientCertificates(Chooser chooser, QObject* parent = nullptr);

    void watch(QWebEnginePage* pPage);
    void select(QWebEngineClientCertificateSelection selection);

private:
    Chooser m_chooser;
    // "host:port" to the certificate chosen; a null certificate for none.
    QHash<QString, QSslCertificate> m_chosen;
};
