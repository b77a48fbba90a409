#pragma once

#include "ui/LanguageTexts.h"
#include "web/CCertificateUI.h"
#include "web/CertificateQuestion.h"
#include "web/ManagedTrust.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWebEngineCertificateError>

#include <functional>

class CertificateTrustStore;
class QWebEnginePage;
class QWidget;

// Decides the certificate errors of the client's pages. A certificate that the
// administrator's trust covers (ManagedTrust), or that the user trusted for the server
// before, goes through at once. Any other overridable error holds its request
// (QWebEngineCertificateError::defer, no nested event loop) and asks the user in a
// modal dialog over the visible window; trusting remembers the certificate in the
// trust store. While the administrator allows no exceptions, the store is not asked
// and the question offers only Cancel, so the user still learns why the server does
// not load. With no window to ask over (a start that stays in the tray), the request
// is refused quietly. Errors that wait for the same server and certificate share one
// question; questions for other certificates wait their turn.
class CertificateGuard : public QObject
{
    Q_OBJECT

public:
    // The window a question is asked over; null while the client shows none.
    using WindowFinder = std::function<QWidget*()>;

    CertificateGuard(CertificateTrustStore* pStore, WindowFinder findWindow, QObject* parent = nullptr);
    ~CertificateGuard() override;

    // For the page's certificateError: true lets the request go on, false refuses it.
    // A deferred error also returns false; it is answered when the user has chosen.
    bool check(QWebEnginePage* pPage, QWebEngineCertificateError error);

    // The administrator's trust, for the errors checked from now on.
    void setManagedTrust(const ManagedTrust& trust) { m_managedTrust = trust; }

    // Refuses every error of the page that still waits, before the page goes away.
    // A question that no longer has anything waiting on it is closed unanswered.
    void releasePage(QWebEnginePage* pPage);

    // The texts questions are worded in (the installed translators' until then); the
    // question on screen, if any, is worded anew.
    void updateTexts(const LanguageTexts& texts);

    // The question on screen, if any.
    CCertificateUI* currentDialog() const { return m_pDialog; }

private:
    struct Waiting
    {
        QWebEnginePage* pPage;
        QWebEngineCertificateError error;
    };
    struct Question
    {
        CertificateQuestion question;
        QList<Waiting> waiting;
    };

    void showNext();
    void slot_answered(int result);
    void closeDialog();
    static void answer(const Question& question, bool isTrusted);

    CertificateTrustStore* m_pStore;
    WindowFinder m_findWindow;
    ManagedTrust m_managedTrust;
    // The first one is on screen.
    QList<Question> m_questions;
    QPointer<CCertificateUI> m_pDialog;
    LanguageTexts m_texts = LanguageTexts::fromInstalledTranslators();
};
