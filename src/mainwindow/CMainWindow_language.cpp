// CMainWindow: applying the interface language to every window at once.
#include "mainwindow/CMainWindow.h"

#include "ui/MessageBar.h"

#include "dialogs/CDownloadsUI.h"
#include "dialogs/CMiniTray.h"
#include "login/CLoginUI.h"
#include "ui/LanguageTexts.h"
#include "web/CWebEngineView.h"
#include "web/CertificateGuard.h"

#include <QAction>
#include <QDebug>
#include <QMenu>
#include <QTranslator>
#include <QWebEnginePage>

namespace {
const QString kTranslatorDir = QStringLiteral(":/resource/translator/");
const QString kQtTranslatorFile = QStringLiteral("qtranslatorEN.qm");
const QString kAppTranslatorFile = QStringLiteral("ValtroEnterpriseEN.qm");
// The interface is English whatever language is asked for.
const int kEnglish = 0;
} // namespace

void CMainWindow::slot_switch_language(int)
{
    qDebug() << "slot_switch_language" << kEnglish;

    m_settings.language = kEnglish;
    writeSettings();

    m_sTranslatorQtFile = kTranslatorDir + kQtTranslatorFile;
    m_sTranslatorAppFile = kTranslatorDir + kAppTranslatorFile;

    if (m_pWebView)
        m_pWebView->page()->runJavaScript(QStringLiteral("changeLang('%1')").arg(QStringLiteral("en")));

    m_pTranslatorQt->load(m_sTranslatorQtFile);
    m_pTranslatorApp->load(m_sTranslatorAppFile);

    m_pTexts.reset();
    m_pTexts = std::make_unique<LanguageTexts>(LanguageTexts::fromInstalledTranslators());

    if (m_pMenuServer) {
        m_pMenuServer->setTitle(m_pTexts->Server);
        m_pActExitServer->setText(m_pTexts->ExitServer);
        m_pMenuHelp->setTitle(m_pTexts->Help);
        m_pActAbout->setText(m_pTexts->About);
        m_pActSetting->setText(m_pTexts->Setting);
        m_pActMachineCode->setText(m_pTexts->MachineCode);
        m_pActCheckUpdate->setText(m_pTexts->CheckUpdate);
        m_pActDownloads->setText(m_pTexts->Downloads);
    }
    if (m_pDownloadsUI)
        m_pDownloadsUI->updateTexts(*m_pTexts);
    if (m_pMessageBar)
        m_pMessageBar->setCloseName(m_pTexts->Close);
    if (m_pCertificateGuard)
        m_pCertificateGuard->updateTexts(*m_pTexts);

    if (m_pWebView)
        m_pWebView->updateTexts(*m_pTexts);
    if (m_pLoginUI)
        m_pLoginUI->retranslateUi(*m_pTexts);
    if (m_pTray)
        m_pTray->updateTexts(*m_pTexts);
}

const LanguageTexts& CMainWindow::shownTexts() const
{
    static const LanguageTexts kNone;
    return m_pTexts ? *m_pTexts : kNone;
}
