#include "web/CertificateGuard.h"

#include "ui/DialogPlacement.h"
#include "web/CertificateTrustStore.h"

#include <QDebug>
#include <QUrl>
#include <QWebEnginePage>
#include <QWidget>

CertificateGuard::CertificateGuard(CertificateTrustStore* pStore, WindowFinder findWindow, QObject* parent)
    : QObject(parent)
    , m_pStore(pStore)
    , m_findWindow(std::move(findWindow))
{ }

CertificateGuard::~CertificateGuard()
{
    closeDialog();
    for (const Question& question : qAsConst(m_questions))
        answer(question, false);
}

bool CertificateGuard::check(QWebEnginePage* pPage, QWebEngineCertificateError error)
{
    const QList<QSslCertificate> chain = error.certificateChain();
    const QString sServer = CertificateTrustStore::serverOf(error.url());
    if (chain.isEmpty() || sServer.isEmpty())
        return false;
    const ManagedTrust::Rule rule = m_managedTrust.ruleFor(chain, error.url().host(QUrl::FullyEncoded));
    if (rule != ManagedTrust::Rule::None) {
        qDebug() << "certificate of" << sServer << "trusted by the administrator's"
                 << (rule == ManagedTrust::Rule::Fingerprint ? "fingerprint" : "certificate authority");
        return true;
    }
    const QString sFingerprint = CertificateTrustStore::fingerprintOf(chain.first());
    const CertificateTrustStore::Verdict verdict = m_managedTrust.userVerdict(*m_pStore, sServer, sFingerprint);
    if (verdict == CertificateTrustStore::Verdict::Trusted)
        return true;
    if (!error.isOverridable()) {
        qDebug() << "certificate of" << sServer << "refused, the error cannot be overridden:" << error.error();
        return false;
    }

    for (Question& waiting : m_questions) {
        if (waiting.question.sServer == sServer && waiting.question.sFingerprint == sFingerprint) {
            error.defer();
            waiting.waiting.append({pPage, error});
            return false;
        }
    }
    if (!m_findWindow()) {
        qDebug() << "certificate of" << sServer << "refused: no window to ask over";
        return false;
    }
    error.defer();
    m_questions.append({CertificateQuestion::make(error.url(), error.error(), error.errorDescription(), chain, verdict),
        {{pPage, error}}});
    if (m_questions.size() == 1)
        showNext();
    return false;
}

void CertificateGuard::releasePage(QWebEnginePage* pPage)
{
    for (int i = m_questions.size() - 1; i >= 0; --i) {
        QList<Waiting>& waiting = m_questions[i].waiting;
        for (int j = waiting.size() - 1; j >= 0; --j) {
            if (waiting.at(j).pPage == pPage)
                waiting.takeAt(j).error.rejectCertificate();
        }
        if (!waiting.isEmpty())
            continue;
        if (i == 0 && m_pDialog)
            closeDialog();
        m_questions.removeAt(i);
    }
    if (!m_pDialog)
        showNext();
}

void CertificateGuard::updateTexts(const LanguageTexts& texts)
{
    m_texts = texts;
    if (!m_pDialog)
        return;
    m_pDialog->updateTexts(texts);
    if (QWidget* window = m_pDialog->parentWidget())
        m_pDialog->move(dialogPosition(window->geometry(), m_pDialog->size()));
}

void CertificateGuard::showNext()
{
    while (!m_questions.isEmpty()) {
        // The question may have waited while another was answered: look again.
        const CertificateQuestion& next = m_questions.first().question;
        const CertificateTrustStore::Verdict verdict
            = m_managedTrust.userVerdict(*m_pStore, next.sServer, next.sFingerprint);
        QWidget* window = m_findWindow();
        if (verdict == CertificateTrustStore::Verdict::Trusted || !window) {
            answer(m_questions.takeFirst(), verdict == CertificateTrustStore::Verdict::Trusted);
            continue;
        }
        CertificateQuestion question = next;
        question.isChanged = verdict == CertificateTrustStore::Verdict::Changed;
        question.isTrustOffered = m_managedTrust.allowExceptions;
        m_pDialog = new CCertificateUI(question, m_texts, window);
        m_pDialog->move(dialogPosition(window->geometry(), m_pDialog->size()));
        connect(m_pDialog, &QDialog::finished, this, &CertificateGuard::slot_answered);
        m_pDialog->open();
        return;
    }
}

void CertificateGuard::slot_answered(int result)
{
    closeDialog();
    if (m_questions.isEmpty())
        return;
    const Question question = m_questions.takeFirst();
    const bool isTrusted = result == QDialog::Accepted;
    if (isTrusted) {
        m_pStore->trust(question.question.sServer, question.question.sFingerprint);
        if (!m_pStore->save())
            qWarning() << "the trusted certificate of" << question.question.sServer
                       << "could not be saved; it is trusted until the client quits";
    }
    answer(question, isTrusted);
    showNext();
}

void CertificateGuard::closeDialog()
{
    if (!m_pDialog)
        return;
    CCertificateUI* dialog = m_pDialog;
    m_pDialog = nullptr;
    disconnect(dialog, &QDialog::finished, this, &CertificateGuard::slot_answered);
    dialog->hide();
    dialog->deleteLater();
}

void CertificateGuard::answer(const Question& question, bool isTrusted)
{
    for (Waiting waiting : question.waiting) {
        if (isTrusted)
            waiting.error.ignoreCertificateError();
        else
            waiting.error.rejectCertificate();
    }
}
