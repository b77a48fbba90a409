#pragma once

#include "core/ProxyAutoConfig.h"
#include "ui/CTipUI.h"
#include "ui/LanguageTexts.h"

#include <QNetworkAccessManager>
#include <QString>

#include <memory>

class QLabel;
class QNetworkReply;

// The update dialog and the owner of the update request: fetches the release
// manifest, compares the release's version with the client's and tells the user;
// when a newer release exists, OK opens its download address in the web browser.
// Lives on the GUI thread, as do its network access manager and replies.
class CCheckUpdateUI : public CTipUI
{
    Q_OBJECT

public:
    // checkType true: the dialog is shown only when a newer release is found.
    CCheckUpdateUI(const LanguageTexts& texts, bool checkType, QWidget* parent);
    ~CCheckUpdateUI() override;

    // Starts one check and returns at once; the result arrives in replyFinished.
    // A check still in progress is abandoned and never evaluated.
    void requestVersion();
    // Reads the manifest from this address (an administrator's mirror) instead.
    void setManifestUrl(const QUrl& url) { m_manifestUrl = url; }
    // Asks the administrator's proxy script which proxy reaches the manifest, before
    // each request.
    void setProxyScript(const QUrl& url);
    // Says that an administrator manages the updates, where the user asked for a check;
    // nothing is requested.
    void showManaged();

public slots:
    // Evaluates the reply of the check in progress, sets the texts and applies the show rule.
    void replyFinished();
    void Slot_ButtonOK();
    // Applies the show rule on its own.
    void slot_checkFinish();

public:
    // Larger manifests are refused: the real one is a few hundred bytes.
    static constexpr qint64 kMaxManifestBytes = 64 * 1024;
    // A request that has not finished by then is given up and the check fails.
    static constexpr int kRequestTimeoutMs = 15000;
    int m_iRequestTimeoutMs = kRequestTimeoutMs;

    bool m_isNewVersion = false;
    QLabel* m_pLabelMessage = nullptr;
    QLabel* m_pLabelVersion = nullptr;
    QNetworkAccessManager m_manager;
    QNetworkReply* m_pReply = nullptr;
    QString m_sDownloadUrl;
    bool m_checkType = false;

private:
    void startRequest(const QUrl& url);
    void showFailure();

    const LanguageTexts m_texts;
    QUrl m_manifestUrl;
    std::unique_ptr<orbisk::ProxyAutoConfig> m_pProxyScript;
    // Counts the checks, so a proxy choice that arrives after a newer check started is dropped.
    int m_iCheck = 0;
    void applyShowRule();
};
