#include "dialogs/CAboutUI.h"

#include "app/HighDpi.h"
#include "app/LanguageTexts.h"
#include "dialogs/DialogStyle.h"
#include "mainwindow/AppPaths.h"
#include "mainwindow/CMainWindow.h"
#include "mainwindow/ClientInfo.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QUrl>

namespace {
const QSize kDialogSize(330, 414);
const QString kFrameStyle = QStringLiteral("QWidget#about{background-color:#fff;border:1px solid #ccc}");
const QString kLogStyle
    = QStringLiteral("left: 260px;top: 494px;border: 0px;width: 57px;height: 23px;line-height: 20px;"
                     "color: rgba(0, 123, 197, 1);font-size: 14px;text-align: center;");
const QString kVersionStyle = QStringLiteral("left: 220px;top: 432px;width: 137px;height: 23px;line-height: 20px;"
                                             "color: rgba(51, 51, 51, 1);font-size: 14px;text-align: center;");
const QString kNoticeStyle = QStringLiteral("left: 175px;top: 623px;width: 226px;height: 23px;line-height: 17px;"
                                            "color: rgba(51, 51, 51, 1);font-size: 12px;text-align: center;");
const QString kWebSiteStyle = QStringLiteral("left: 202px;top: 455px;width: 172px;height: 23px;line-height: 17px;"
                                             "color: rgba(51, 51, 51, 1);font-size: 12px;text-align: center;");
const QString kLogo = QStringLiteral(":/resource/image/orbisk/orbisk64.png");
const QString kBrand = QStringLiteral(":/resource/image/orbisk/orbisk200x40.png");
const QSize kBrandSize(200, 40);
const QString kWebSite = QStringLiteral("https://www.orbisk.com");
const QString kNotice = QStringLiteral("<span style=\"font-family:Arial\">Copyright &copy; Orbisk. "
                                       "All rights reserved.</span>");
// The log button is centred on a 318-pixel line and 12 pixels wider than its text.
const int kLogLine = 318;
const int kLogPadding = 12;
} // namespace

CAboutUI::CAboutUI(QWidget* parent)
    : QDialog(parent)
{
    setWindowFlags(Qt::FramelessWindowHint);
    setObjectName(QStringLiteral("about"));
    setStyleSheet(kFrameStyle);

    auto* labelTitle = new QLabel(this);
    auto* buttonClose = new QPushButton(this);
    auto* labelLogo = new QLabel(this);
    auto* labelVersion = new QLabel(this);
    auto* labelWebSite = new QLabel(this);
    auto* buttonLog = new QPushButton(this);
    auto* labelBrand = new QLabel(this);
    auto* labelNotice = new QLabel(this);

    const LanguageTexts* texts = g_pMainWindow ? g_pMainWindow->m_pTexts.get() : nullptr;
    labelVersion->setText((texts ? texts->Version : QString()) + QLatin1Char(':') + getClientVersion());
    labelWebSite->setText(
        QStringLiteral("<style>a{text-decoration:none}</style><a style=\"color:#000\" href=\"%1\">%1</a>")
            .arg(kWebSite));
    labelWebSite->setOpenExternalLinks(true);
    labelNotice->setText(kNotice);
    if (texts) {
        buttonLog->setText(texts->TransferLog);
        labelTitle->setText(texts->About);
    }
    labelVersion->setAlignment(Qt::AlignCenter);
    labelWebSite->setAlignment(Qt::AlignCenter);
    labelNotice->setAlignment(Qt::AlignCenter);

    buttonLog->setStyleSheet(kLogStyle);
    labelVersion->setStyleSheet(kVersionStyle);
    labelNotice->setStyleSheet(kNoticeStyle);
    labelWebSite->setStyleSheet(kWebSiteStyle);
    buttonClose->setStyleSheet(dialogCloseButtonStyle());
    buttonLog->setCursor(Qt::PointingHandCursor);

    // Widths are measured in the font each widget paints with, which its style sheet
    // sets only once the widget is polished.
    labelTitle->ensurePolished();
    buttonLog->ensurePolished();
    labelTitle->setGeometry(36, 20, 37, 26);
    labelTitle->setMinimumWidth(QFontMetrics(labelTitle->font()).horizontalAdvance(labelTitle->text()));
    buttonClose->setGeometry(300, 8, 18, 18);
    labelLogo->setGeometry(127, 74, 76, 76);
    labelVersion->setGeometry(0, 184, kDialogSize.width(), 23);
    labelWebSite->setGeometry(0, 207, kDialogSize.width(), 23);
    const int logWidth = QFontMetrics(buttonLog->font()).horizontalAdvance(buttonLog->text());
    buttonLog->setMinimumWidth(logWidth);
    buttonLog->setGeometry((kLogLine - logWidth) / 2, 246, logWidth + kLogPadding, 23);
    labelNotice->setGeometry(0, 375, kDialogSize.width(), 23);

    resize(kDialogSize);

    connect(buttonClose, SIGNAL(clicked(bool)), this, SLOT(slot_buttonClose()));
    connect(buttonLog, SIGNAL(clicked(bool)), this, SLOT(slot_buttonLog()));

    labelWebSite->hide();
    labelNotice->hide();

    labelLogo->setPixmap(orbisk::imagePixmap(kLogo));
    labelBrand->setPixmap(orbisk::imagePixmap(kBrand));
    labelBrand->setGeometry((width() - kBrandSize.width()) / 2, 348, kBrandSize.width(), kBrandSize.height());
}

CAboutUI::~CAboutUI() = default;

void CAboutUI::slot_buttonClose()
{
    close();
}

void CAboutUI::slot_buttonLog()
{
    // The folder exists after the first start; creating it again only matters when it
    // was removed meanwhile, and spares the file browser an error about a missing folder.
    AppPaths::ensureDataDir();
    QDesktopServices::openUrl(QUrl::fromLocalFile(AppPaths::dataDir()));
}
