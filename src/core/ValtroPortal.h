#pragma once

#include "core/LocalServiceBackend.h"

#include <QObject>
#include <QString>

class ValtroCore;

// The portal: the core as pages on this machine see it through the local HTTP service.
// It answers for the core on the service's worker threads, so everything it does there
// is thread-safe and reaches the core only through the core's thread-safe methods.
class ValtroPortal : public QObject, public orbisk::LocalServiceBackend
{
    Q_OBJECT

public:
    // pCore must outlive the portal. The client version is read here, once
    // (orbisk::clientVersionText()), so the application should set its version before.
    ValtroPortal(ValtroCore* pCore, QObject* parent);

    ValtroCore* core() const { return m_pCore; }

    // The service's state as GET /api/status reports it. Thread-safe.
    orbisk::LocalServiceStatus status() const override;
    // The core's device identity. Thread-safe.
    QString deviceId() const override;
    // ValtroCore::notifyBrowserActive: the registered callback runs on the calling thread. Thread-safe.
    void announceBrowserActive() override;
    // ValtroCore::postLanguageChange: sig_languageChanged follows on the core's thread. Thread-safe.
    void requestLanguage(int iLan) override;

private:
    ValtroCore* const m_pCore;
    const QString m_sClientVersion;
};
