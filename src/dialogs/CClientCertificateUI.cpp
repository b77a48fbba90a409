#include "dialogs/CClientCertificateUI.h"

#include "ui/LanguageTexts.h"
#include "ui/OkCancelButtons.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
const int kListWidth = 520;
const int kListHeight = 160;

QString nameOf(const QStringList& names)
{
    return names.isEmpty() ? QString() : names.first();
}
} // namespace

CClientCertificateUI::CClientCertificateUI(
    const LanguageTexts& texts, const QString& sServer, const QList<QSslCertificate>& certificates, QWidget* parent)
    : QDialog(parent)
    , m_pList(new QTreeWidget(this))
{
    setWindowTitle(texts.SignIn);
    auto* label = new QLabel(texts.ClientCertificateWanted.arg(sServer), this);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);

    m_pList->setHeaderLabels({texts.CertificateIssuedTo, texts.CertificateIssuedBy, texts.CertificateValidUntil});
    m_pList->setRootIsDecorated(false);
    m_pList->setMinimumSize(kListWidth, kListHeight);
    m_pList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    for (const QSslCertificate& certificate : certificates) {
        m_pList->addTopLevelItem(
            new QTreeWidgetItem(QStringList{nameOf(certificate.subjectInfo(QSslCertificate::CommonName)),
                nameOf(certificate.issuerInfo(QSslCertificate::CommonName)),
                QLocale().toString(certificate.expiryDate().date(), QLocale::ShortFormat)}));
    }
    if (m_pList->topLevelItemCount() > 0)
        m_pList->setCurrentItem(m_pList->topLevelItem(0));

    QDialogButtonBox* buttons = okCancelButtons(this, texts);
    connect(m_pList, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_pList);
    layout->addWidget(buttons);
    m_pList->setFocus();
}

CClientCertificateUI::~CClientCertificateUI() = default;

int CClientCertificateUI::selectedIndex() const
{
    return m_pList->currentItem() ? m_pList->indexOfTopLevelItem(m_pList->currentItem()) : -1;
}
