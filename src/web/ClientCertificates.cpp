#include "web/ClientCertificates.h"

#include "web/CertificateTrustStore.h"

#include <QDebug>
#include <QWebEngineClientCertificateSelection>
#include <QWebEnginePage>

ClientCertificates::ClientCertificates(Chooser chooser, QObject* parent)
    : QObject(parent)
    , m_chooser(std::move(chooser))
{ }

void ClientCertificates::watch(QWebEnginePage* pPage)
{
    connect(pPage, &QWebEnginePage::selectClientCertificate, this, &ClientCertificates::select);
}

void ClientCertificates::select(QWebEngineClientCertificateSelection selection)
{
    // The selection is answered before this returns: a selection dropped unanswered
    // would go on without a certificate.
    const QString sServer = CertificateTrustStore::serverOf(selection.host());
    const QVector<QSslCertificate> offered = selection.certificates();
    if (!m_chosen.contains(sServer)) {
        const int index = offered.isEmpty() ? -1 : m_chooser(sServer, offered.toList());
        m_chosen.insert(sServer, index >= 0 && index < offered.size() ? offered.at(index) : QSslCertificate());
    }
    const QSslCertificate chosen = m_chosen.value(sServer);
    if (chosen.isNull() || !offered.contains(chosen)) {
        qInfo() << "no client certificate for" << sServer;
        selection.selectNone();
        return;
    }
    qInfo() << "client certificate for" << sServer << chosen.subjectDisplayName();
    selection.select(chosen);
}
