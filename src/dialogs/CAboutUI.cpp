#include "dialogs/CAboutUI.h"

#include "core/ClientInfo.h"
#include "storage/AppPaths.h"
#include "ui/ButtonName.h"
#include "ui/HighDpi.h"
#include "ui/LanguageTexts.h"
#include "ui/Style.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QUrl>

namespace {
const QSize kDialogSize(330, 414);
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

CAboutUI::CAboutUI(const LanguageTexts& texts, QWidget* parent)
    : QDialog(parent)
{
    setWindowFlags(Qt::FramelessWindowHint);
    setObjectName(QStringLiteral("about"));
    setStyleSheet(orbisk::style::dialogFrame(QStringLiteral("QWidget#about")));

    auto* labelTitle = new QLabel(this);
    auto* buttonClose = new QPushButton(this);
    auto* labelLogo = new QLabel(this);
    auto* labelVersion = new QLabel(this);
    auto* labelWebSite = new QLabel(this);
    auto* buttonLog = new QPushButton(this);
    auto* labelBrand = new QLabel(this);
    auto* labelNotice = new QLabel(this);

    labelVersion->setText(texts.Version + QLatin1Char(':') + getClientVersion());
    labelWebSite->setText(
        QStringLiteral("<style>a{text-decoration:none}</style><a style=\"color:%2\" href=\"%1\">%1</a>")
            .arg(kWebSite, orbisk::style::kLinkBlack));
    labelWebSite->setOpenExternalLinks(true);
    labelNotice->setText(kNotice);
    buttonLog->setText(texts.TransferLog);
    labelTitle->setText(texts.About);
    labelVersion->setAlignment(Qt::AlignCenter);
    labelWebSite->setAlignment(Qt::AlignCenter);
    labelNotice->setAlignment(Qt::AlignCenter);

    buttonLog->setStyleSheet(QLatin1String("border: 0px;") + orbisk::style::centredText(orbisk::style::kBrandBlue, 14));
    labelVersion->setStyleSheet(orbisk::style::centredText(orbisk::style::kTextGrey, 14));
    labelNotice->setStyleSheet(orbisk::style::centredText(orbisk::style::kTextGrey, 12));
    labelWebSite->setStyleSheet(orbisk::style::centredText(orbisk::style::kTextGrey, 12));
    buttonClose->setStyleSheet(orbisk::style::closeButton());
    orbisk::nameButton(buttonClose, texts.Close);
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
