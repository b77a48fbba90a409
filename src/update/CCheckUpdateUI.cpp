#include "update/CCheckUpdateUI.h"

#include "core/ClientInfo.h"
#include "ui/LanguageTexts.h"
#include "ui/Style.h"
#include "update/ReleaseManifest.h"
#include "update/VersionRule.h"

#include <QDebug>
#include <QDesktopServices>
#include <QLabel>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPushButton>
#include <QTimer>

namespace {

const int kHttpOk = 200;
const int kOkRightMargin = 98;

} // namespace

CCheckUpdateUI::CCheckUpdateUI(const LanguageTexts& texts, bool checkType, QWidget* parent)
    : CTipUI(texts, parent)
    , m_checkType(checkType)
    , m_texts(texts)
{
    setWindowFlags(Qt::FramelessWindowHint);
    setObjectName(QStringLiteral("checkupdate"));
    setStyleSheet(orbisk::style::dialogFrame(QStringLiteral("QWidget#checkupdate")));

    m_pLabelMessage = new QLabel(this);
    m_pLabelVersion = new QLabel(this);
    auto* buttonOk = new QPushButton(this);

    buttonOk->setGeometry(width() - kOkRightMargin, 125, 68, 30);
    m_pLabelMessage->setGeometry(26, 56, 250, 23);
    m_pLabelVersion->setGeometry(26, 79, 250, 23);

    // The version line shows text from the update server: never read it as rich text.
    m_pLabelMessage->setTextFormat(Qt::PlainText);
    m_pLabelVersion->setTextFormat(Qt::PlainText);
    m_pLabelMessage->setText(m_texts.UseNewestVersion);
    m_pLabelVersion->setText(getClientVersion());
    buttonOk->setText(m_texts.OK);

    m_pLabelMessage->setStyleSheet(orbisk::style::centredText(orbisk::style::kTextGrey, 14));
    buttonOk->setStyleSheet(orbisk::style::primaryButton());

    buttonOk->setCursor(Qt::PointingHandCursor);
    connect(buttonOk, SIGNAL(clicked(bool)), this, SLOT(Slot_ButtonOK()));
}

CCheckUpdateUI::~CCheckUpdateUI()
{
    // The manager deletes its replies; none may reach replyFinished on the way.
    if (m_pReply)
        m_pReply->disconnect(this);
}

void CCheckUpdateUI::requestVersion()
{
    if (m_pReply) {
        m_pReply->disconnect(this);
        m_pReply->abort();
        m_pReply->deleteLater();
        m_pReply = nullptr;
    }

    const QUrl url = m_manifestUrl.isEmpty() ? ReleaseManifest::location() : m_manifestUrl;
    const int check = ++m_iCheck;
    if (!m_pProxyScript) {
        startRequest(url);
        return;
    }
    m_pProxyScript->choose(url, [this, check, url](const QNetworkProxy& proxy) {
        if (check != m_iCheck)
            return;
        m_manager.setProxy(proxy);
        startRequest(url);
    });
}

void CCheckUpdateUI::setProxyScript(const QUrl& url)
{
    m_pProxyScript = std::make_unique<orbisk::ProxyAutoConfig>(url);
}

void CCheckUpdateUI::startRequest(const QUrl& url)
{
    m_pReply = m_manager.get(QNetworkRequest(url));
    connect(m_pReply, SIGNAL(finished()), this, SLOT(replyFinished()));

    // A body beyond any real manifest ends the transfer early; the check then fails.
    QNetworkReply* reply = m_pReply;
    connect(reply, &QNetworkReply::downloadProgress, this, [reply](qint64 received, qint64 total) {
        if (received > kMaxManifestBytes || total > kMaxManifestBytes)
            reply->abort();
    });
    // A server that never answers (or answers a byte at a time) must not leave the user
    // waiting for an answer that never comes.
    QTimer::singleShot(m_iRequestTimeoutMs, reply, [reply] { reply->abort(); });
}

void CCheckUpdateUI::replyFinished()
{
    auto* reply = qobject_cast<QNetworkReply*>(sender());
    if (!reply || reply != m_pReply)
        return;

    m_isNewVersion = false;
    m_sDownloadUrl.clear();

    // A reply that is not a complete 200 answer of manifest size carries no manifest,
    // whatever its body says: an error page must never read as a result.
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    bool isFailed = status != kHttpOk || reply->error() != QNetworkReply::NoError;
    QByteArray body;
    if (!isFailed) {
        body = reply->read(kMaxManifestBytes + 1);
        isFailed = body.size() > kMaxManifestBytes;
    }
    if (isFailed)
        qDebug() << "checkupdate failed" << status << reply->errorString() << body.size();
    reply->deleteLater();
    m_pReply = nullptr;
    if (isFailed) {
        showFailure();
        return;
    }

    // A manifest without a release for this system answers nothing: the check failed.
    const std::optional<ReleaseManifest> manifest = ReleaseManifest::fromJson(body);
    if (!manifest || manifest->release.isEmpty()) {
        qDebug() << "checkupdate: no" << ReleaseManifest::kReleaseKey << "release in the manifest";
        showFailure();
        return;
    }
    qDebug() << ReleaseManifest::kReleaseKey << manifest->release;

    if (ReleaseManifest::isDownloadAddress(manifest->sDownloadUrl))
        m_sDownloadUrl = manifest->sDownloadUrl;
    else if (!manifest->sDownloadUrl.isEmpty())
        qDebug() << "downloadUrl refused, not an http or https address:" << manifest->sDownloadUrl;

    const QString sVersionServer = VersionRule::cutAtFirstBlank(manifest->sVersion);
    const QString sVersionClient = VersionRule::cutAtFirstBlank(getClientVersion());
    qDebug() << "sVersionServer" << sVersionServer;
    qDebug() << "sVersionClient" << sVersionClient;

    const QStringList serverComponents = VersionRule::components(sVersionServer);
    const QStringList clientComponents = VersionRule::components(sVersionClient);
    qDebug() << serverComponents.size() << clientComponents.size() << serverComponents << clientComponents;

    const std::optional<bool> isNewer = VersionRule::isNewer(serverComponents, clientComponents);
    if (!isNewer) {
        showFailure();
        return;
    }
    m_isNewVersion = *isNewer;

    if (m_isNewVersion) {
        m_pLabelMessage->setText(m_texts.FindNewVerIsDown);
        m_pLabelVersion->setText(sVersionServer);
    } else {
        m_pLabelMessage->setText(m_texts.UseNewestVersion);
        m_pLabelVersion->setText(sVersionClient);
    }
    applyShowRule();
}

void CCheckUpdateUI::showManaged()
{
    m_isNewVersion = false;
    m_pLabelMessage->setText(m_texts.UpdatesManaged);
    m_pLabelVersion->clear();
    if (!m_checkType)
        exec();
}

void CCheckUpdateUI::showFailure()
{
    m_pLabelMessage->setText(m_texts.CheckUpdateFailed);
    m_pLabelVersion->clear();
    // Only a check the user asked for reports its failure; a quiet one stays quiet.
    if (!m_checkType)
        exec();
}

void CCheckUpdateUI::applyShowRule()
{
    if (!m_checkType || m_isNewVersion)
        exec();
}

void CCheckUpdateUI::Slot_ButtonOK()
{
    if (!m_isNewVersion) {
        close();
        return;
    }
    if (m_sDownloadUrl.isEmpty())
        return;
    QDesktopServices::openUrl(QUrl(m_sDownloadUrl, QUrl::TolerantMode));
    close();
}

void CCheckUpdateUI::slot_checkFinish()
{
    applyShowRule();
}
