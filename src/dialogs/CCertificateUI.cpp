#include "dialogs/CCertificateUI.h"

#include "dialogs/DialogStyle.h"
#include "web/CertificateQuestion.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const int kDialogWidth = 480;
const QString kFrameStyle = QStringLiteral("QDialog#certificateui{background-color:#fff;border:1px solid #ccc}");
const QString kWarningIcon = QStringLiteral(":/resource/image/warning.png");
const QString kTitleStyle = QStringLiteral("color: rgba(51, 51, 51, 1);font-size: 18px;");
const QString kMessageStyle = QStringLiteral("color: rgba(51, 51, 51, 1);font-size: 14px;");
const QString kChangedStyle = QStringLiteral("color: rgba(196, 30, 30, 1);font-size: 14px;font-weight: bold;");
const QString kFieldStyle = QStringLiteral("color: rgba(102, 102, 102, 1);font-size: 12px;");
const QString kValueStyle = QStringLiteral("color: rgba(16, 16, 16, 1);font-size: 12px;");
const QString kFingerprintStyle = QStringLiteral("color: rgba(16, 16, 16, 1);font-size: 12px;font-family: monospace;");
// Refusing is the safe answer and looks like the main button; trusting looks secondary.
const QString kCancelStyle = QStringLiteral(
    "QPushButton{border-radius: 2px;background-color: rgba(0, 123, 197, 1);color: rgba(255, 255, 255, 1);"
    "font-size: 12px;border: 1px solid rgba(255, 255, 255, 0);padding: 0 16px}"
    "QPushButton:focus{border: 1px solid rgba(0, 80, 130, 1)}");
const QString kTrustStyle
    = QStringLiteral("QPushButton{border-radius: 2px;background-color: #fff;color: rgba(51, 51, 51, 1);font-size: 12px;"
                     "border: 1px solid #ccc;padding: 0 16px}"
                     "QPushButton:focus{border: 1px solid rgba(0, 123, 197, 1)}");
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
} // namespace

CCertificateUI::CCertificateUI(const CertificateQuestion& question, QWidget* parent)
    : QDialog(parent)
{
    // A window of its own even with a parent, frameless like the client's other dialogs.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setObjectName(QStringLiteral("certificateui"));
    setStyleSheet(kFrameStyle);
    setWindowTitle(question.title());

    auto* labelIcon = new QLabel(this);
    labelIcon->setPixmap(QPixmap(kWarningIcon));
    auto* labelTitle = new QLabel(question.title(), this);
    labelTitle->setObjectName(QStringLiteral("certificateTitle"));
    labelTitle->setStyleSheet(kTitleStyle);
    auto* buttonClose = new QPushButton(this);
    buttonClose->setFixedSize(kCloseSize);
    buttonClose->setStyleSheet(dialogCloseButtonStyle());
    buttonClose->setFocusPolicy(Qt::NoFocus);
    buttonClose->setAutoDefault(false);

    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(labelIcon);
    titleRow->addWidget(labelTitle, 1);
    titleRow->addWidget(buttonClose, 0, Qt::AlignTop);

    auto* labelMessage = new QLabel(question.message(), this);
    labelMessage->setObjectName(QStringLiteral("certificateMessage"));
    labelMessage->setTextFormat(Qt::PlainText);
    labelMessage->setWordWrap(true);
    labelMessage->setStyleSheet(question.isChanged ? kChangedStyle : kMessageStyle);

    auto* details = new QGridLayout;
    details->setHorizontalSpacing(12);
    const QList<QPair<QString, QString>> rows{{QStringLiteral("Server"), question.sServer},
        {QStringLiteral("Problem"), question.sProblem}, {QStringLiteral("Issued to"), question.sIssuedTo},
        {QStringLiteral("Issued by"), question.sIssuedBy}, {QStringLiteral("Valid"), question.validity()}};
    for (const auto& row : rows) {
        auto* field = new QLabel(row.first, this);
        field->setStyleSheet(kFieldStyle);
        const int line = details->rowCount();
        details->addWidget(field, line, 0, Qt::AlignTop);
        details->addWidget(valueLabel(row.second, this), line, 1);
    }
    auto* fieldFingerprint = new QLabel(QStringLiteral("SHA-256"), this);
    fieldFingerprint->setStyleSheet(kFieldStyle);
    // Two lines of 16 pairs, in a fixed-width font, so it can be compared pair by pair.
    QString sFingerprint = question.sFingerprint;
    const int middle = sFingerprint.size() / 2;
    if (sFingerprint.size() > 2 && sFingerprint.at(middle) == QLatin1Char(':'))
        sFingerprint[middle] = QLatin1Char('\n');
    QLabel* labelFingerprint = valueLabel(sFingerprint, this);
    labelFingerprint->setObjectName(QStringLiteral("certificateFingerprint"));
    labelFingerprint->setStyleSheet(kFingerprintStyle);
    const int fingerprintLine = details->rowCount();
    details->addWidget(fieldFingerprint, fingerprintLine, 0, Qt::AlignTop);
    details->addWidget(labelFingerprint, fingerprintLine, 1);
    details->setColumnStretch(1, 1);

    m_pBtnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_pBtnTrust = new QPushButton(QStringLiteral("Trust this certificate"), this);
    m_pBtnCancel->setStyleSheet(kCancelStyle);
    m_pBtnTrust->setStyleSheet(kTrustStyle);
    m_pBtnCancel->setFixedHeight(kButtonHeight);
    m_pBtnTrust->setFixedHeight(kButtonHeight);
    m_pBtnCancel->setCursor(Qt::PointingHandCursor);
    m_pBtnTrust->setCursor(Qt::PointingHandCursor);
    // Enter presses Cancel wherever the focus is; trusting takes a click or Space.
    m_pBtnCancel->setDefault(true);
    m_pBtnTrust->setAutoDefault(false);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(m_pBtnTrust);
    buttonRow->addWidget(m_pBtnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(26, 12, 12, 16);
    layout->setSpacing(14);
    layout->addLayout(titleRow);
    layout->addWidget(labelMessage);
    layout->addLayout(details);
    layout->addLayout(buttonRow);
    // A fixed width, and the height the wrapped texts need at that width.
    setFixedSize(kDialogWidth, layout->totalHeightForWidth(kDialogWidth));

    connect(buttonClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pBtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pBtnTrust, &QPushButton::clicked, this, &QDialog::accept);
    m_pBtnCancel->setFocus();
}

CCertificateUI::~CCertificateUI() = default;
