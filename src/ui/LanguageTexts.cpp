#include "ui/LanguageTexts.h"

#include <QCoreApplication>
#include <iterator>

namespace {

// Every catalogue message belongs to this context and has no disambiguation.
constexpr char kContext[] = "QObject";

struct Field
{
    const char* key;
    QString LanguageTexts::*text;
};

// The catalogue in its fixed order; each key is the source text of its message.
const Field kFields[] = {
    {"Server", &LanguageTexts::Server},
    {"ExitServer", &LanguageTexts::ExitServer},
    {"Help", &LanguageTexts::Help},
    {"About", &LanguageTexts::About},
    {"MachineCode", &LanguageTexts::MachineCode},
    {"CheckUpdate", &LanguageTexts::CheckUpdate},
    {"ServerName", &LanguageTexts::ServerName},
    {"OK", &LanguageTexts::OK},
    {"Cancel", &LanguageTexts::Cancel},
    {"Tip", &LanguageTexts::Tip},
    {"MachineCodeIs", &LanguageTexts::MachineCodeIs},
    {"UseNewestVersion", &LanguageTexts::UseNewestVersion},
    {"ConnectFailed", &LanguageTexts::ConnectFailed},
    {"LowPermission", &LanguageTexts::LowPermission},
    {"Language", &LanguageTexts::Language},
    {"Chinese", &LanguageTexts::Chinese},
    {"English", &LanguageTexts::English},
    {"Version", &LanguageTexts::Version},
    {"TransferLog", &LanguageTexts::TransferLog},
    {"Copy", &LanguageTexts::Copy},
    {"Paste", &LanguageTexts::Paste},
    {"Cut", &LanguageTexts::Cut},
    {"Back", &LanguageTexts::Back},
    {"Forward", &LanguageTexts::Forward},
    {"Reload", &LanguageTexts::Reload},
    {"SelectAll", &LanguageTexts::SelectAll},
    {"SaveAs", &LanguageTexts::SaveAs},
    {"OriginalFile", &LanguageTexts::OriginalFile},
    {"FindNewVerIsDown", &LanguageTexts::FindNewVerIsDown},
    {"CheckUpdateFailed", &LanguageTexts::CheckUpdateFailed},
    {"Setting", &LanguageTexts::Setting},
    {"AutoStart", &LanguageTexts::AutoStart},
    {"MiniTray", &LanguageTexts::MiniTray},
    {"Exit", &LanguageTexts::Exit},
    {"ConnectNewServer", &LanguageTexts::ConnectNewServer},
    {"ServerAddress", &LanguageTexts::ServerAddress},
    {"ServerAlias", &LanguageTexts::ServerAlias},
    {"Continue", &LanguageTexts::Continue},
    {"SelectServer", &LanguageTexts::SelectServer},
    {"BrowserModel", &LanguageTexts::BrowserModel},
    {"ExitBrowserModel", &LanguageTexts::ExitBrowserModel},
    {"SwitchModelTip", &LanguageTexts::SwitchModelTip},
    {"SetDefaultServer", &LanguageTexts::SetDefaultServer},
    {"UserManual", &LanguageTexts::UserManual},
    {"Tutotial", &LanguageTexts::Tutotial},
    {"OnlyHttpsSupported", &LanguageTexts::OnlyHttpsSupported},
    {"InvalidServerAddress", &LanguageTexts::InvalidServerAddress},
    {"MissingServerAlias", &LanguageTexts::MissingServerAlias},
    {"Open", &LanguageTexts::Open},
    {"Downloads", &LanguageTexts::Downloads},
    {"ShowInFolder", &LanguageTexts::ShowInFolder},
    {"DownloadRunning", &LanguageTexts::DownloadRunning},
    {"DownloadCompleted", &LanguageTexts::DownloadCompleted},
    {"DownloadCancelled", &LanguageTexts::DownloadCancelled},
    {"DownloadFailed", &LanguageTexts::DownloadFailed},
    {"DownloadFinishedTip", &LanguageTexts::DownloadFinishedTip},
    {"DownloadFailedTip", &LanguageTexts::DownloadFailedTip},
    {"CertificateUntrusted", &LanguageTexts::CertificateUntrusted},
    {"CertificateChanged", &LanguageTexts::CertificateChanged},
    {"CertificateUntrustedWarning", &LanguageTexts::CertificateUntrustedWarning},
    {"CertificateChangedWarning", &LanguageTexts::CertificateChangedWarning},
    {"CertificateSelfSigned", &LanguageTexts::CertificateSelfSigned},
    {"CertificateUnknownAuthority", &LanguageTexts::CertificateUnknownAuthority},
    {"CertificateOtherName", &LanguageTexts::CertificateOtherName},
    {"CertificateExpired", &LanguageTexts::CertificateExpired},
    {"CertificateNotYetValid", &LanguageTexts::CertificateNotYetValid},
    {"CertificateInvalid", &LanguageTexts::CertificateInvalid},
    {"CertificateProblem", &LanguageTexts::CertificateProblem},
    {"CertificateIssuedTo", &LanguageTexts::CertificateIssuedTo},
    {"CertificateIssuedBy", &LanguageTexts::CertificateIssuedBy},
    {"CertificateValid", &LanguageTexts::CertificateValid},
    {"CertificateValidRange", &LanguageTexts::CertificateValidRange},
    {"CertificateFingerprint", &LanguageTexts::CertificateFingerprint},
    {"TrustCertificate", &LanguageTexts::TrustCertificate},
    {"SetByAdministrator", &LanguageTexts::SetByAdministrator},
    {"UpdatesManaged", &LanguageTexts::UpdatesManaged},
    {"OnlyManagedServers", &LanguageTexts::OnlyManagedServers},
    {"PageReloaded", &LanguageTexts::PageReloaded},
    {"PageStoppedRepeatedly", &LanguageTexts::PageStoppedRepeatedly},
    {"CannotReachServer", &LanguageTexts::CannotReachServer},
    {"TryNow", &LanguageTexts::TryNow},
    {"ChangeServer", &LanguageTexts::ChangeServer},
    {"FindInPage", &LanguageTexts::FindInPage},
    {"FindCount", &LanguageTexts::FindCount},
    {"NotificationsWanted", &LanguageTexts::NotificationsWanted},
    {"Allow", &LanguageTexts::Allow},
    {"DontAllow", &LanguageTexts::DontAllow},
    {"SignIn", &LanguageTexts::SignIn},
    {"ProxyAsksSignIn", &LanguageTexts::ProxyAsksSignIn},
    {"ServerAsksSignIn", &LanguageTexts::ServerAsksSignIn},
    {"UserName", &LanguageTexts::UserName},
    {"Password", &LanguageTexts::Password},
    {"Remember", &LanguageTexts::Remember},
    {"NoSecretStore", &LanguageTexts::NoSecretStore},
    {"CredentialsRefused", &LanguageTexts::CredentialsRefused},
    {"ProxySignInRequired", &LanguageTexts::ProxySignInRequired},
    {"ServerSignInRequired", &LanguageTexts::ServerSignInRequired},
    {"ClientCertificateWanted", &LanguageTexts::ClientCertificateWanted},
    {"CertificateValidUntil", &LanguageTexts::CertificateValidUntil},
    {"Close", &LanguageTexts::Close},
    {"FindPrevious", &LanguageTexts::FindPrevious},
    {"FindNext", &LanguageTexts::FindNext},
};

} // namespace

LanguageTexts LanguageTexts::fromInstalledTranslators()
{
    LanguageTexts texts;
    for (const Field& field : kFields)
        texts.*field.text = QCoreApplication::translate(kContext, field.key);
    return texts;
}

QStringList LanguageTexts::keys()
{
    QStringList result;
    result.reserve(int(std::size(kFields)));
    for (const Field& field : kFields)
        result.append(QString::fromLatin1(field.key));
    return result;
}

QStringList LanguageTexts::values() const
{
    QStringList result;
    result.reserve(int(std::size(kFields)));
    for (const Field& field : kFields)
        result.append(this->*field.text);
    return result;
}
