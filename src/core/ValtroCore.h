#pragma once

#include "core/CoreInfo.h"
#include "core/DeviceIdentity.h"

#include <QObject>
#include <QString>

#include <atomic>

// The core service object: device identity, version information, which side drives the
// service (client or browser), the browser-active callback and the language signal.
//
// Lives on the GUI thread. The methods marked thread-safe may be called from the local
// service's threads; everything else belongs to the thread that owns the object.
class ValtroCore : public QObject
{
    Q_OBJECT

public:
    // key: the application key; it namespaces the device identity, so applications on one
    // machine never share an identity. Expected as 32 hexadecimal digits; anything else is
    // reported as a warning and still used.
    // iInterfaceLevel: the core interface level the caller was built for; this core
    // implements orbisk::kCoreInterfaceLevel (1). A different level is reported as a warning.
    ValtroCore(const QString& key, int iInterfaceLevel, QObject* parent);
    ~ValtroCore() override;

    // Stores the function called when a web browser on this machine takes over the service
    // (notifyBrowserActive). Null removes it. Thread-safe.
    void RegisterBrowserActive(void (*pfnCallback)());

    // Fills the core version ("1.0.0"), the core build id and the local protocol version
    // ("1"). Returns 0.
    int GetAppVersion(QString& sCoreVersion, QString& sBuildId, QString& sProtocolVersion);

    // Closes the session of whichever side is active and hands the service back to the
    // client: activeSide() becomes ActiveSide::Client. iReason says why (the client passes 19
    // when it leaves a server or quits) and is only logged. Returns 0. Thread-safe.
    int CloseActiveApp(int iReason);

    // The device identity (see orbisk::DeviceIdentity); the same value at every call. Thread-safe.
    QString Get_Deviceuuid();

    // Which side drives the service now; ActiveSide::None until either side has. Thread-safe.
    orbisk::ActiveSide activeSide() const;

    // A web browser on this machine took over the service: activeSide() becomes
    // ActiveSide::Browser and the registered callback runs on the calling thread.
    // Returns whether a callback was registered. Thread-safe.
    bool notifyBrowserActive();

    // Emits sig_languageChanged(iLan) on the thread that owns this object, later, through
    // its event loop; receivers therefore never run on the caller's thread. Thread-safe.
    void postLanguageChange(int iLan);

signals:
    void sig_languageChanged(int iLan);

private:
    orbisk::DeviceIdentity m_identity;
    std::atomic<void (*)()> m_pfnBrowserActive{nullptr};
    std::atomic<orbisk::ActiveSide> m_activeSide{orbisk::ActiveSide::None};
};
