// CMainWindow: sign-in for proxies and servers that ask for a user name and password,
// and the certificate for servers that ask for one.
#include "mainwindow/CMainWindow.h"

#include "dialogs/CClientCertificateUI.h"
#include "dialogs/CCredentialsUI.h"
#include "ui/DialogPlacement.h"
#include "ui/LanguageTexts.h"
#include "web/ClientCertificates.h"
#include "web/KeychainCredentials.h"

void CMainWindow::initSignIn()
{
    m_pKeychain = std::make_unique<KeychainCredentials>();
    m_pSignIn = new SignIn(
        m_pKeychain.get(),
        [this](const SignIn::Request& request, KeychainCredentials::Credentials* pCredentials, bool* pRemember) {
            return m_credentialsAsker ? m_credentialsAsker(request, pCredentials, pRemember)
                                      : askCredentials(request, pCredentials, pRemember);
        },
        this);
    m_pClientCertificates = new ClientCertificates(
        [this](const QString& sServer, const QList<QSslCertificate>& certificates) {
            return m_certificateChooser ? m_certificateChooser(sServer, certificates)
                                        : chooseCertificate(sServer, certificates);
        },
        this);
}

int CMainWindow::chooseCertificate(const QString& sServer, const QList<QSslCertificate>& certificates)
{
    CClientCertificateUI dialog(shownTexts(), sServer, certificates, nullptr);
    dialog.adjustSize();
    if (const QWidget* reference = dialogReference())
        dialog.move(dialogPosition(reference->geometry(), dialog.size()));
    return dialog.exec() == QDialog::Accepted ? dialog.selectedIndex() : -1;
}

bool CMainWindow::askCredentials(
    const SignIn::Request& request, KeychainCredentials::Credentials* pCredentials, bool* pRemember)
{
    const LanguageTexts& texts = shownTexts();
    const QString sWho
        = (request.kind == SignIn::Kind::Proxy ? texts.ProxyAsksSignIn : texts.ServerAsksSignIn).arg(request.sWho);
    CCredentialsUI dialog(texts, sWho, request.sRealm, request.sUser,
        request.isRefused ? texts.CredentialsRefused : QString(), request.canRemember, nullptr);
    dialog.adjustSize();
    if (const QWidget* reference = dialogReference())
        dialog.move(dialogPosition(reference->geometry(), dialog.size()));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *pCredentials = {dialog.user(), dialog.password()};
    *pRemember = dialog.isRemembered();
    return true;
}

QString CMainWindow::failureText() const
{
    const LanguageTexts& texts = shownTexts();
    switch (m_pSignIn->cancelled()) {
    case SignIn::Kind::Proxy:
        return texts.ProxySignInRequired;
    case SignIn::Kind::Server:
        return texts.ServerSignInRequired;
    case SignIn::Kind::None:
        break;
    }
    return texts.ConnectFailed;
}
