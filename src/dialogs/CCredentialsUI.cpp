#include "dialogs/CCredentialsUI.h"

#include "ui/LanguageTexts.h"
#include "ui/OkCancelButtons.h"
#include "ui/Style.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {
const int kFieldWidth = 260;
} // namespace

CCredentialsUI::CCredentialsUI(const LanguageTexts& texts, const QString& sWhoAsks, const QString& sRealm,
    const QString& sUser, const QString& sProblem, bool canRemember, QWidget* parent)
    : QDialog(parent)
    , m_pLabelProblem(new QLabel(sProblem, this))
    , m_pEditUser(new QLineEdit(sUser, this))
    , m_pEditPassword(new QLineEdit(this))
    , m_pCheckRemember(new QCheckBox(texts.Remember, this))
{
    setWindowTitle(texts.SignIn);
    auto* labelWho = new QLabel(sWhoAsks, this);
    labelWho->setWordWrap(true);
    labelWho->setTextFormat(Qt::PlainText);
    auto* labelRealm = new QLabel(sRealm, this);
    labelRealm->setTextFormat(Qt::PlainText);
    labelRealm->setVisible(!sRealm.isEmpty());
    labelRealm->setStyleSheet(orbisk::style::text(orbisk::style::kTextGrey, 12));
    m_pLabelProblem->setVisible(!sProblem.isEmpty());
    m_pLabelProblem->setStyleSheet(QStringLiteral("color: %1;").arg(orbisk::style::kErrorRed));
    m_pEditPassword->setEchoMode(QLineEdit::Password);
    m_pEditUser->setMinimumWidth(kFieldWidth);
    m_pCheckRemember->setEnabled(canRemember);
    if (!canRemember)
        m_pCheckRemember->setToolTip(texts.NoSecretStore);

    auto* fields = new QFormLayout;
    fields->addRow(texts.UserName, m_pEditUser);
    fields->addRow(texts.Password, m_pEditPassword);
    fields->addRow(QString(), m_pCheckRemember);

    QDialogButtonBox* buttons = okCancelButtons(this, texts);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(labelWho);
    layout->addWidget(labelRealm);
    layout->addWidget(m_pLabelProblem);
    layout->addLayout(fields);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(m_pEditUser, m_pEditPassword);
    m_pEditUser->setFocus();
}

CCredentialsUI::~CCredentialsUI() = default;

QString CCredentialsUI::user() const
{
    return m_pEditUser->text();
}

QString CCredentialsUI::password() const
{
    return m_pEditPassword->text();
}

bool CCredentialsUI::isRemembered() const
{
    return m_pCheckRemember->isEnabled() && m_pCheckRemember->isChecked();
}
