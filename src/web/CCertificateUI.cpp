#include "web/CCertificateUI.h"

#include "ui/ButtonName.h"
#include "ui/LanguageTexts.h"
#include "ui/Style.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const int kDialogWidth = 480;
const QString kWarningIcon = QStringLiteral(":/resource/image/warning.png");
const QString kMessageStyle = orbisk::style::text(orbisk::style::kTextGrey, 14);
const QString kChangedStyle = orbisk::style::text(orbisk::style::kWarningRed, 14) + QLatin1String("font-weight: bold;");
const QString kValueStyle = orbisk::style::text(orbisk::style::kTextDark, 12);
const QString kFingerprintStyle = kValueStyle + QLatin1String("font-family: monospace;");
// Refusing is the safe answer and looks like the main button; trusting looks secondary.
const QString kCancelStyle
    = QStringLiteral("QPushButton{%1padding: 0 16px}QPushButton:focus{border: 1px solid %2}")
          .arg(orbisk::style::filledButton(orbisk::style::kBrandBlue), orbisk::style::kBrandBlueDark);
const QString kTrustStyle
    = QStringLiteral("QPushButton{border-radius: 2px;background-color: %1;color: %2;font-size: 12px;"
                     "border: 1px solid %3;padding: 0 16px}"
                     "QPushButton:focus{border: 1px solid %4}")
          .arg(orbisk::style::kWhite, orbisk::style::kTextGrey, orbisk::style::kBorder, orbisk::style::kBrandBlue);
const int kButtonHeight = 30;
const QSize kCloseSize(18, 18);

QLabel* valueLabel(const QString& sText, QWidget* parent)
{
    auto* label = new QLabel(sText, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setStyleSheet(kValueStyle);
    return label;
}

QLabel* fieldLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setStyleSheet(orbisk::style::text(orbisk::style::kTextLightGrey, 12));
    return label;
}
} // namespace

CCertificateUI::CCertificateUI(const CertificateQuestion& question, const LanguageTexts& texts, QWidget* parent)
    : QDialog(parent)
    , m_question(question)
{
    // A window of its own even with a parent, frameless like the client's other dialogs.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setObjectName(QStringLiteral("certificateui"));
    setStyleSheet(orbisk::style::dialogFrame(QStringLiteral("QDialog#certificateui")));

    auto* labelIcon = new QLabel(this);
    labelIcon->setPixmap(QPixmap(kWarningIcon));
    m_pLabelTitle = new QLabel(this);
    m_pLabelTitle->setObjectName(QStringLiteral("certificateTitle"));
    m_pLabelTitle->setStyleSheet(orbisk::style::text(orbisk::style::kTextGrey, 18));
    m_pBtnClose = new QPushButton(this);
    m_pBtnClose->setFixedSize(kCloseSize);
    m_pBtnClose->setStyleSheet(orbisk::style::closeButton());
    m_pBtnClose->setFocusPolicy(Qt::NoFocus);
    m_pBtnClose->setAutoDefault(false);

    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(labelIcon);
    titleRow->addWidget(m_pLabelTitle, 1);
    titleRow->addWidget(m_pBtnClose, 0, Qt::AlignTop);

    m_pLabelMessage = new QLabel(this);
    m_pLabelMessage->setObjectName(QStringLiteral("certificateMessage"));
    m_pLabelMessage->setTextFormat(Qt::PlainText);
    m_pLabelMessage->setWordWrap(true);
    m_pLabelMessage->setStyleSheet(question.isChanged ? kChangedStyle : kMessageStyle);

    m_pFieldServer = fieldLabel(this);
    m_pFieldProblem = fieldLabel(this);
    m_pFieldIssuedTo = fieldLabel(this);
    m_pFieldIssuedBy = fieldLabel(this);
    m_pFieldValid = fieldLabel(this);
    m_pFieldFingerprint = fieldLabel(this);
    m_pLabelProblem = valueLabel(QString(), this);
    m_pLabelProblem->setObjectName(QStringLiteral("certificateProblem"));
    m_pLabelValidity = valueLabel(QString(), this);
    // Two lines of 16 pairs, in a fixed-width font, so it can be compared pair by pair.
    QString sFingerprint = question.sFingerprint;
    const int middle = sFingerprint.size() / 2;
    if (sFingerprint.size() > 2 && sFingerprint.at(middle) == QLatin1Char(':'))
        sFingerprint[middle] = QLatin1Char('\n');
    QLabel* labelFingerprint = valueLabel(sFingerprint, this);
    labelFingerprint->setObjectName(QStringLiteral("certificateFingerprint"));
    labelFingerprint->setStyleSheet(kFingerprintStyle);
    // Never broken inside its lines: the dialog widens instead.
    labelFingerprint->setWordWrap(false);

    auto* details = new QGridLayout;
    details->setHorizontalSpacing(12);
    const QList<QPair<QLabel*, QLabel*>> rows{{m_pFieldServer, valueLabel(question.sServer, this)},
        {m_pFieldProblem, m_pLabelProblem}, {m_pFieldIssuedTo, valueLabel(question.sIssuedTo, this)},
        {m_pFieldIssuedBy, valueLabel(question.sIssuedBy, this)}, {m_pFieldValid, m_pLabelValidity},
        {m_pFieldFingerprint, labelFingerprint}};
    for (const auto& row : rows) {
        const int line = details->rowCount();
        details->addWidget(row.first, line, 0, Qt::AlignTop);
        details->addWidget(row.second, line, 1);
    }
    details->setColumnStretch(1, 1);

    m_pBtnCancel = new QPushButton(this);
    m_pBtnCancel->setStyleSheet(kCancelStyle);
    m_pBtnCancel->setFixedHeight(kButtonHeight);
    m_pBtnCancel->setCursor(Qt::PointingHandCursor);
    // Enter presses Cancel wherever the focus is; trusting takes a click or Space.
    m_pBtnCancel->setDefault(true);

    auto* buttonRow = new QHBoxLayout;
    if (question.isTrustOffered) {
        m_pBtnTrust = new QPushButton(this);
        m_pBtnTrust->setStyleSheet(kTrustStyle);
        m_pBtnTrust->setFixedHeight(kButtonHeight);
        m_pBtnTrust->setCursor(Qt::PointingHandCursor);
        m_pBtnTrust->setAutoDefault(false);
        connect(m_pBtnTrust, &QPushButton::clicked, this, &QDialog::accept);
        buttonRow->addStretch(1);
        buttonRow->addWidget(m_pBtnTrust);
    } else {
        // In place of the missing button, why it is missing.
        m_pLabelManaged = fieldLabel(this);
        m_pLabelManaged->setObjectName(QStringLiteral("certificateManaged"));
        buttonRow->addWidget(m_pLabelManaged, 1);
    }
    buttonRow->addWidget(m_pBtnCancel);

    m_pLayout = new QVBoxLayout(this);
    m_pLayout->setContentsMargins(26, 12, 12, 16);
    m_pLayout->setSpacing(14);
    m_pLayout->addLayout(titleRow);
    m_pLayout->addWidget(m_pLabelMessage);
    m_pLayout->addLayout(details);
    m_pLayout->addLayout(buttonRow);
    updateTexts(texts);

    connect(m_pBtnClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pBtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    m_pBtnCancel->setFocus();
}

CCertificateUI::~CCertificateUI() = default;

void CCertificateUI::updateTexts(const LanguageTexts& texts)
{
    const QString sTitle = m_question.title(texts);
    setWindowTitle(sTitle);
    m_pLabelTitle->setText(sTitle);
    m_pLabelMessage->setText(m_question.message(texts));
    m_pFieldServer->setText(texts.Server);
    m_pFieldProblem->setText(texts.CertificateProblem);
    m_pFieldIssuedTo->setText(texts.CertificateIssuedTo);
    m_pFieldIssuedBy->setText(texts.CertificateIssuedBy);
    m_pFieldValid->setText(texts.CertificateValid);
    m_pFieldFingerprint->setText(texts.CertificateFingerprint);
    m_pLabelProblem->setText(m_question.problemText(texts));
    m_pLabelValidity->setText(m_question.validity(texts));
    m_pBtnCancel->setText(texts.Cancel);
    orbisk::nameButton(m_pBtnClose, texts.Close);
    if (m_pBtnTrust)
        m_pBtnTrust->setText(texts.TrustCertificate);
    else
        m_pLabelManaged->setText(texts.SetByAdministrator);

    // The usual width unless a text that cannot wrap needs more, and the height the
    // wrapped texts need at that width.
    m_pLayout->invalidate();
    const int width = qMax(kDialogWidth, m_pLayout->totalMinimumSize().width());
    setFixedSize(width, m_pLayout->totalHeightForWidth(width));
}
