#pragma once

#include <QString>
#include <QStringList>

// The catalogue texts as the installed translators give them: one field per
// catalogue key, named as the key and in catalogue order. The main window
// rebuilds it after every language switch and every window reads its texts
// from there, so nothing else keeps translated text.
struct LanguageTexts
{
    QString Server;
    QString ExitServer;
    QString Help;
    QString About;
    QString MachineCode;
    QString CheckUpdate;
    QString ServerName;
    QString OK;
    QString Cancel;
    QString Tip;
    QString MachineCodeIs;
    QString UseNewestVersion;
    QString ConnectFailed;
    QString LowPermission;
    QString Language;
    QString Chinese;
    QString English;
    QString Version;
    QString TransferLog;
    QString Copy;
    QString Paste;
    QString Cut;
    QString Back;
    QString Forward;
    QString Reload;
    QString SelectAll;
    QString SaveAs;
    QString OriginalFile;
    QString FindNewVerIsDown;
    QString CheckUpdateFailed;
    QString Setting;
    QString AutoStart;
    QString MiniTray;
    QString Exit;
    QString ConnectNewServer;
    QString ServerAddress;
    QString ServerAlias;
    QString Continue;
    QString SelectServer;
    QString BrowserModel;
    QString ExitBrowserModel;
    QString SwitchModelTip;
    QString SetDefaultServer;
    QString UserManual;
    QString Tutotial;
    QString OnlyHttpsSupported;
    QString InvalidServerAddress;
    QString MissingServerAlias;
    QString Open;
    QString Downloads;
    QString ShowInFolder;
    QString DownloadRunning;
    QString DownloadCompleted;
    QString DownloadCancelled;
    QString DownloadFailed;
    QString DownloadFinishedTip;
    QString DownloadFailedTip;
    QString CertificateUntrusted;
    QString CertificateChanged;
    QString CertificateUntrustedWarning;
    QString CertificateChangedWarning;
    QString CertificateSelfSigned;
    QString CertificateUnknownAuthority;
    QString CertificateOtherName;
    QString CertificateExpired;
    QString CertificateNotYetValid;
    QString CertificateInvalid;
    QString CertificateProblem;
    QString CertificateIssuedTo;
    QString CertificateIssuedBy;
    QString CertificateValid;
    QString CertificateValidRange;
    QString CertificateFingerprint;
    QString TrustCertificate;
    QString SetByAdministrator;
    QString UpdatesManaged;
    QString OnlyManagedServers;
    QString PageReloaded;
    QString PageStoppedRepeatedly;
    QString CannotReachServer;
    QString TryNow;
    QString ChangeServer;
    QString FindInPage;
    QString FindCount;
    QString NotificationsWanted;
    QString Allow;
    QString DontAllow;
    QString SignIn;
    QString ProxyAsksSignIn;
    QString ServerAsksSignIn;
    QString UserName;
    QString Password;
    QString Remember;
    QString NoSecretStore;
    QString CredentialsRefused;
    QString ProxySignInRequired;
    QString ServerSignInRequired;
    QString ClientCertificateWanted;
    QString CertificateValidUntil;
    QString Close;
    QString FindPrevious;
    QString FindNext;

    // Translates every key in context "QObject" with the translators installed now.
    static LanguageTexts fromInstalledTranslators();

    // The catalogue keys in field order.
    static QStringList keys();

    // The fields in the order of keys().
    QStringList values() const;
};
