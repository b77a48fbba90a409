<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>QObject</name>
    <message>
        <source>Server</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>ExitServer</source>
        <translation>Exit server</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <source>MachineCode</source>
        <translation>Device code</translation>
    </message>
    <message>
        <source>CheckUpdate</source>
        <translation>Check update</translation>
    </message>
    <message>
        <source>ServerName</source>
        <translation>Server name</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Tip</source>
        <translation>Tips</translation>
    </message>
    <message>
        <source>MachineCodeIs</source>
        <translation>Your current device code is</translation>
    </message>
    <message>
        <source>UseNewestVersion</source>
        <translation>You are using the latest version</translation>
    </message>
    <message>
        <source>ConnectFailed</source>
        <translation>Server connection failed, please check network or change server address</translation>
    </message>
    <message>
        <source>LowPermission</source>
        <translation>Device cannot log in because of setting security permission, please contact the administrator</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Chinese</source>
        <translation>Chinese</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>TransferLog</source>
        <translation>System Log</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Cut</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>Forward</translation>
    </message>
    <message>
        <source>Reload</source>
        <translation>Reload</translation>
    </message>
    <message>
        <source>SelectAll</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>SaveAs</source>
        <translation>Save as</translation>
    </message>
    <message>
        <source>OriginalFile</source>
        <translation>Page original document</translation>
    </message>
    <message>
        <source>FindNewVerIsDown</source>
        <translation>Find a new version, download it?</translation>
    </message>
    <message>
        <source>CheckUpdateFailed</source>
        <translation>Check update failed</translation>
    </message>
    <message>
        <source>Setting</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>AutoStart</source>
        <translation>Start up automatically when system starts</translation>
    </message>
    <message>
        <source>MiniTray</source>
        <translation>Minimize to system tray when window closed</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>ConnectNewServer</source>
        <translation>Connect to the new server</translation>
    </message>
    <message>
        <source>ServerAddress</source>
        <translation>Server address</translation>
    </message>
    <message>
        <source>ServerAlias</source>
        <translation>Alias</translation>
    </message>
    <message>
        <source>Continue</source>
        <translation>Continue</translation>
    </message>
    <message>
        <source>SelectServer</source>
        <translation>Select Server</translation>
    </message>
    <message>
        <source>BrowserModel</source>
        <translation>Now you can use Valtro via browser, if you prefer to access Valtro via client application,</translation>
    </message>
    <message>
        <source>ExitBrowserModel</source>
        <translation>please click here</translation>
    </message>
    <message>
        <source>SwitchModelTip</source>
        <translation>Click OK will stop active transmission tasks on the browser, and switch to client app login. Continue?</translation>
    </message>
    <message>
        <source>SetDefaultServer</source>
        <translation>Set as default server</translation>
    </message>
    <message>
        <source>UserManual</source>
        <translation>User Manual(pdf)</translation>
    </message>
    <message>
        <source>Tutotial</source>
        <translation>Tutotial</translation>
    </message>
    <message>
        <source>OnlyHttpsSupported</source>
        <translation>Only https servers are supported</translation>
    </message>
    <message>
        <source>InvalidServerAddress</source>
        <translation>Please enter a valid server address, such as files.example.com:8443</translation>
    </message>
    <message>
        <source>MissingServerAlias</source>
        <translation>Please enter an alias for the server</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Downloads</source>
        <translation>Downloads</translation>
    </message>
    <message>
        <source>ShowInFolder</source>
        <translation>Show in folder</translation>
    </message>
    <message>
        <source>DownloadRunning</source>
        <translation>Downloading</translation>
    </message>
    <message>
        <source>DownloadCompleted</source>
        <translation>Completed</translation>
    </message>
    <message>
        <source>DownloadCancelled</source>
        <translation>Cancelled</translation>
    </message>
    <message>
        <source>DownloadFailed</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>DownloadFinishedTip</source>
        <translation>Download finished</translation>
    </message>
    <message>
        <source>DownloadFailedTip</source>
        <translation>Download failed</translation>
    </message>
    <message>
        <source>CertificateUntrusted</source>
        <translation>Untrusted server certificate</translation>
    </message>
    <message>
        <source>CertificateChanged</source>
        <translation>The server's certificate has changed</translation>
    </message>
    <message>
        <source>CertificateUntrustedWarning</source>
        <translation>This computer does not trust the certificate of %1. Trust it only if you know that it is the server's own certificate, for example by comparing its fingerprint with the one the server's administrator gave you.</translation>
    </message>
    <message>
        <source>CertificateChangedWarning</source>
        <translation>The certificate of %1 is not the one you trusted before. This can mean that someone is intercepting the connection. Trust the new certificate only if the server's administrator has told you that it changed.</translation>
    </message>
    <message>
        <source>CertificateSelfSigned</source>
        <translation>The certificate is self-signed: no authority that this computer trusts vouches for it.</translation>
    </message>
    <message>
        <source>CertificateUnknownAuthority</source>
        <translation>The certificate is issued by an authority that this computer does not trust.</translation>
    </message>
    <message>
        <source>CertificateOtherName</source>
        <translation>The certificate is issued for another name than %1.</translation>
    </message>
    <message>
        <source>CertificateExpired</source>
        <translation>The certificate has expired.</translation>
    </message>
    <message>
        <source>CertificateNotYetValid</source>
        <translation>The certificate is not valid yet.</translation>
    </message>
    <message>
        <source>CertificateInvalid</source>
        <translation>The certificate is not valid.</translation>
    </message>
    <message>
        <source>CertificateProblem</source>
        <translation>Problem</translation>
    </message>
    <message>
        <source>CertificateIssuedTo</source>
        <translation>Issued to</translation>
    </message>
    <message>
        <source>CertificateIssuedBy</source>
        <translation>Issued by</translation>
    </message>
    <message>
        <source>CertificateValid</source>
        <translation>Valid</translation>
    </message>
    <message>
        <source>CertificateValidRange</source>
        <translation>%1 to %2</translation>
    </message>
    <message>
        <source>CertificateFingerprint</source>
        <translation>SHA-256 fingerprint</translation>
    </message>
    <message>
        <source>TrustCertificate</source>
        <translation>Trust this certificate</translation>
    </message>
    <message>
        <source>SetByAdministrator</source>
        <translation>Set by your administrator</translation>
    </message>
    <message>
        <source>UpdatesManaged</source>
        <translation>Updates are managed by your administrator</translation>
    </message>
    <message>
        <source>OnlyManagedServers</source>
        <translation>Only the servers your administrator set can be used</translation>
    </message>
    <message>
        <source>PageReloaded</source>
        <translation>The page stopped unexpectedly and was reloaded</translation>
    </message>
    <message>
        <source>PageStoppedRepeatedly</source>
        <translation>The page stopped repeatedly</translation>
    </message>
    <message>
        <source>CannotReachServer</source>
        <translation>Cannot reach %1. Trying again in %2 s</translation>
    </message>
    <message>
        <source>TryNow</source>
        <translation>Try now</translation>
    </message>
    <message>
        <source>ChangeServer</source>
        <translation>Change server</translation>
    </message>
    <message>
        <source>FindInPage</source>
        <translation>Find in page</translation>
    </message>
    <message>
        <source>FindCount</source>
        <translation>%1 of %2</translation>
    </message>
    <message>
        <source>NotificationsWanted</source>
        <translation>%1 wants to show notifications</translation>
    </message>
    <message>
        <source>Allow</source>
        <translation>Allow</translation>
    </message>
    <message>
        <source>DontAllow</source>
        <translation>Don't allow</translation>
    </message>
    <message>
        <source>SignIn</source>
        <translation>Sign in</translation>
    </message>
    <message>
        <source>ProxyAsksSignIn</source>
        <translation>The proxy server %1 asks for a user name and password</translation>
    </message>
    <message>
        <source>ServerAsksSignIn</source>
        <translation>%1 asks for a user name and password</translation>
    </message>
    <message>
        <source>UserName</source>
        <translation>User name</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>Remember</source>
        <translation>Remember</translation>
    </message>
    <message>
        <source>NoSecretStore</source>
        <translation>No password store is available on this system: the sign-in lasts until the client ends</translation>
    </message>
    <message>
        <source>CredentialsRefused</source>
        <translation>The user name or password was not accepted</translation>
    </message>
    <message>
        <source>ProxySignInRequired</source>
        <translation>The proxy server requires sign-in</translation>
    </message>
    <message>
        <source>ServerSignInRequired</source>
        <translation>The server requires sign-in</translation>
    </message>
    <message>
        <source>ClientCertificateWanted</source>
        <translation>%1 asks for a certificate to identify you</translation>
    </message>
    <message>
        <source>CertificateValidUntil</source>
        <translation>Valid until</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>FindPrevious</source>
        <translation>Previous match</translation>
    </message>
    <message>
        <source>FindNext</source>
        <translation>Next match</translation>
    </message>
</context>
</TS>
