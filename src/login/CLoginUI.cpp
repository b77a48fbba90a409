#include "login/CLoginUI.h"

#include "login/BrowserLinkPlacement.h"
#include "login/CCombox.h"
#include "login/DeferredRows.h"
#include "login/ItemWidgetFile.h"
#include "login/NoFocusRectStyle.h"
#include "login/PickerDeleteKey.h"
#include "servers/ServerBook.h"
#include "servers/ServerDisplayText.h"
#include "ui/HighDpi.h"
#include "ui/LanguageTexts.h"
#include "ui/Style.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStyleOption>

bool g_isBrowserMode = false;

namespace {
const QSize kWindowSize(500, 593);
const QString kWindowTitle = QStringLiteral("Orbisk Client");
const QString kHttpsPrefix = QStringLiteral("https://");
const QString kAliasPlaceholder = QStringLiteral("eg: xxx server");
const QString kCopyright = QStringLiteral("Copyright © Orbisk. All rights reserved.");
const QString kLinkSuffix = QStringLiteral(" >>");

const QString kStyleCaption = orbisk::style::centredText(orbisk::style::kTextGrey, 12);
// An input field, framed in red when Continue cannot use its input.
const QString kStyleInput = QStringLiteral("padding-left:15px;border:1px solid %1;border-radius:4px;font-size:12px");
const QString kStyleField = kStyleInput.arg(orbisk::style::kFieldBorder);
const QString kStyleFieldMarked = kStyleInput.arg(orbisk::style::kErrorRed);
const QString kStyleLink = QStringLiteral("color: %1;border:0px solid %2;text-align : right")
                               .arg(orbisk::style::kBrandBlue, orbisk::style::kWhite);
const QString kStyleTitle = orbisk::style::centredText(orbisk::style::kTextDark, 14);
const QString kStyleCombo
    = QStringLiteral(
        "QComboBox{padding-left:15px;border-radius: 4px;border: 1px solid %1;font-size:12px;background-color:%2}"
        "QComboBox::drop-down {width: 50px;height:36px;top:0px;bottom:0px;padding-left:10px;padding-right:10px;"
        "padding-top:0px;padding-bottom:0px;image: url(:/resource/image/drop-down.png);}"
        "QAbstractItemView::item {height: 30px;}QListView::item {background: %3;}"
        "QListView::item:hover {background: %3;}")
          .arg(orbisk::style::kFieldBorder, orbisk::style::kFieldBackground, orbisk::style::kWhite);
// The keyboard's current row is marked too, or arrow keys would move through the list unseen.
const QString kStyleList = QStringLiteral("QListWidget{}QListWidget::item:hover{background-color:%1}"
                                          "QListWidget::item:selected{background-color:%2}")
                               .arg(orbisk::style::kBrandBlue, orbisk::style::kSelectionBlue);
// Greyed while the administrator decides the default.
const QString kStyleCheck = QStringLiteral("QCheckBox{spacing:8px;color:%1;font-size:12px;margin-left:2}"
                                           "QCheckBox:disabled{color:%2}"
                                           "QCheckBox::indicator::checked{image:url(:/resource/image/check.png)}"
                                           "QCheckBox::indicator::unchecked{image:url(:/resource/image/uncheck.png)}")
                                .arg(orbisk::style::kTextGrey, orbisk::style::kTextLightGrey);
const QString kStyleContinue = QStringLiteral("border-radius: 4px;background-color: %1;").arg(orbisk::style::kBrandBlue)
    + orbisk::style::centredText(orbisk::style::kWhite, 16);
const QString kStyleBrowser = QStringLiteral("font-size: 16px;border:0px;");
const QString kStyleExitBrowser = orbisk::style::text(orbisk::style::kBrandBlue, 16) + QLatin1String("border:0px;");
const QString kLargeLogoStyle = QStringLiteral("border-image:url(:/resource/image/orbisk/orbisk330x170.png)");
const QString kSmallLogo = QStringLiteral(":/resource/image/orbisk/orbisk200x40.png");

const int kPrefixFontPixelSize = 12;
const int kBrowserFontPixelSize = 16;
const int kPrefixGap = 2;
const int kRowWidth = 300;
// The rows' pitch: each row widget is this tall, so the list must space them by it.
const int kRowHeight = 30;
// Where a picker item keeps its server's name and URL.
const int kNameRole = Qt::UserRole;
const int kUrlRole = Qt::UserRole + 1;
// The link buttons end at the right edge of the input fields (x = 400).
const int kLinkRight = 388;
const int kLinkPadding = 12;
const int kLinkHeight = 26;
const int kNewServerLinkY = 410;
const int kSelectServerLinkY = 482;
const int kSmallLogoWidth = 200;

const QRect kRectCheckNewServer(100, 391, 300, 36);
const QRect kRectContinueNewServer(100, 427, 300, 36);
const QRect kRectCheckSelectServer(100, 319, 300, 36);
const QRect kRectContinueSelectServer(100, 355, 300, 36);
const QRect kRectBrowserSentence(20, 155, 400, 64);
const int kBrowserSentenceMargin = 40;
const QPoint kBrowserLinkPos(240, 181);
const int kBrowserLinkHeight = 32;

// Puts a server's display text in the combo box, shown from its start: a text longer
// than the box keeps the server's name in view rather than the end of its URL.
void showServerText(QComboBox* combo, const QString& sText)
{
    combo->setCurrentText(sText);
    if (QLineEdit* edit = combo->lineEdit())
        edit->setCursorPosition(0);
}
} // namespace

CLoginUI::CLoginUI(QWidget* parent)
    : QMainWindow(parent)
{
    setFixedSize(kWindowSize);
    setWindowTitle(kWindowTitle);
    setObjectName(QStringLiteral("login"));
    setWindowFlags(Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    QPalette pal = palette();
    pal.setBrush(QPalette::All, QPalette::Window, QBrush(Qt::white));
    setPalette(pal);

    m_pLabelTip = new QLabel(this);
    m_pLabelTip->setGeometry(0, 29, 500, 16);
    m_pLabelTip->setStyleSheet(kStyleCaption);
    m_pLabelTip->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);

    m_pLabelLogo = new QLabel(this);
    m_pLabelLogo->setGeometry(85, 54, 330, 170);

    m_pLabelTitle = new QLabel(this);
    m_pLabelTitle->setGeometry(0, 227, 500, 23);
    m_pLabelTitle->setStyleSheet(kStyleTitle);
    m_pLabelTitle->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);

    m_pLabelAddress = new QLabel(this);
    m_pLabelAddress->setGeometry(102, 260, 300, 23);
    m_pLabelAddress->setStyleSheet(kStyleCaption);

    m_pEditAddress = new QLineEdit(this);
    m_pEditAddress->setGeometry(100, 283, 300, 36);
    m_pEditAddress->setStyleSheet(kStyleField);

    // The fixed scheme sits inside the address field, before the typed text.
    m_pLabelHttps = new QLabel(kHttpsPrefix, nullptr);
    m_pLabelHttps->setEnabled(false);
    QFont prefixFont = m_pLabelHttps->font();
    prefixFont.setPixelSize(kPrefixFontPixelSize);
    m_pLabelHttps->setFont(prefixFont);
    auto* prefixLayout = new QHBoxLayout();
    prefixLayout->setContentsMargins(0, 0, 0, 0);
    prefixLayout->setSpacing(0);
    prefixLayout->addWidget(m_pLabelHttps);
    m_pEditAddress->setLayout(prefixLayout);
    const int prefixWidth = QFontMetrics(m_pLabelHttps->font()).horizontalAdvance(m_pLabelHttps->text());
    m_pEditAddress->setTextMargins(prefixWidth + kPrefixGap, 0, 0, 0);

    m_pComboServer = new CCombox(this);
    m_pComboServer->setGeometry(100, 283, 300, 36);
    m_pComboServer->setEditable(true);
    m_pComboServer->setFocusPolicy(Qt::NoFocus);
    m_pListWidget = new QListWidget(nullptr);
    m_pComboServer->setModel(m_pListWidget->model());
    m_pComboServer->setView(m_pListWidget);
    m_pComboServer->setStyleSheet(kStyleCombo);

    m_pListWidget->setStyleSheet(kStyleList);
    m_pNoFocusStyle = new NoFocusRectStyle();
    m_pNoFocusStyle->setParent(this);
    m_pListWidget->setStyle(m_pNoFocusStyle);
    m_pDeferredRows = new DeferredRows(m_pListWidget, [this](QListWidgetItem* item) { makeServerRow(item); });
    connect(new PickerDeleteKey(m_pListWidget, kUrlRole), &PickerDeleteKey::deleteRequested, this,
        &CLoginUI::deleteRequested);

    m_pLabelAlias = new QLabel(this);
    m_pLabelAlias->setGeometry(102, 332, 300, 23);
    m_pLabelAlias->setStyleSheet(kStyleCaption);

    m_pEditAlias = new QLineEdit(this);
    m_pEditAlias->setGeometry(100, 355, 300, 36);
    m_pEditAlias->setStyleSheet(kStyleField);
    m_pEditAlias->setPlaceholderText(kAliasPlaceholder);

    // Enter in either field presses Continue; editing a marked field takes the mark off.
    for (QLineEdit* field : {m_pEditAddress, m_pEditAlias}) {
        connect(field, &QLineEdit::textEdited, this, [this, field] { setFieldMarked(field, false); });
        connect(field, &QLineEdit::returnPressed, this, [this] { m_pBtnContinue->click(); });
    }

    m_pCheckDefault = new QCheckBox(this);
    m_pCheckDefault->setStyleSheet(kStyleCheck);
    connect(m_pCheckDefault, SIGNAL(clicked(bool)), this, SLOT(slot_checkbox_auto_connect(bool)));

    m_pBtnContinue = new QPushButton(this);
    m_pBtnContinue->setStyleSheet(kStyleContinue);
    m_pBtnContinue->setCursor(Qt::PointingHandCursor);
    connect(m_pBtnContinue, SIGNAL(clicked(bool)), this, SLOT(slot_buttonContinue()));

    m_pBtnNewServer = new QPushButton(this);
    m_pBtnNewServer->setStyleSheet(kStyleLink);
    m_pBtnNewServer->setCursor(Qt::PointingHandCursor);
    connect(m_pBtnNewServer, SIGNAL(clicked(bool)), this, SLOT(slot_switch_new_server()));

    m_pBtnSelectServer = new QPushButton(this);
    m_pBtnSelectServer->setStyleSheet(kStyleLink);
    m_pBtnSelectServer->setCursor(Qt::PointingHandCursor);
    connect(m_pBtnSelectServer, SIGNAL(clicked(bool)), this, SLOT(slot_switch_select_server()));

    m_pLabelSmallLogo = new QLabel(this);
    m_pLabelSmallLogo->setGeometry((width() - kSmallLogoWidth) / 2, 515, kSmallLogoWidth, 40);
    m_pLabelSmallLogo->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);

    m_pLabelCopyright = new QLabel(kCopyright, this);
    m_pLabelCopyright->setGeometry(0, 563, 500, 16);
    m_pLabelCopyright->setStyleSheet(kStyleCaption);
    m_pLabelCopyright->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);

    m_pLabelBrowser = new QLabel(this);
    m_pLabelBrowser->setStyleSheet(kStyleBrowser);
    QFont browserFont = m_pLabelBrowser->font();
    browserFont.setPixelSize(kBrowserFontPixelSize);
    m_pLabelBrowser->setFont(browserFont);

    m_pBtnExitBrowser = new QPushButton(this);
    m_pBtnExitBrowser->setStyleSheet(kStyleExitBrowser);
    QFont linkFont = m_pBtnExitBrowser->font();
    linkFont.setPixelSize(kBrowserFontPixelSize);
    linkFont.setUnderline(true);
    m_pBtnExitBrowser->setFont(linkFont);
    m_pBtnExitBrowser->setCursor(Qt::PointingHandCursor);
    connect(m_pBtnExitBrowser, SIGNAL(clicked(bool)), this, SLOT(slot_exitBrowserModel()));
}

CLoginUI::~CLoginUI() = default;

void CLoginUI::setServerBook(orbisk::ServerBook* pBook)
{
    m_pBook = pBook;
    connect(pBook, &orbisk::ServerBook::serverAdded, this,
        [this](const ServerEntry& entry) { addServerItem(entry.name, entry.url); });
    connect(pBook, &orbisk::ServerBook::serverRemoved, this, &CLoginUI::removeServerItem);
}

void CLoginUI::setTipText(QString text)
{
    m_pTipText = nullptr;
    m_pLabelTip->setVisible(true);
    m_pLabelTip->setText(text);
}

void CLoginUI::clearTipText()
{
    m_pTipText = nullptr;
    m_pLabelTip->setText(QString());
}

void CLoginUI::setUiEnabled(bool isEnabled)
{
    m_pBtnNewServer->setEnabled(isEnabled);
    m_pBtnSelectServer->setEnabled(isEnabled);
    m_pBtnContinue->setEnabled(isEnabled);
    m_pComboServer->setEnabled(isEnabled);
    m_pEditAddress->setEnabled(isEnabled);
    m_pEditAlias->setEnabled(isEnabled);
}

void CLoginUI::setBrowserModel(bool isBrowserModel)
{
    g_isBrowserMode = isBrowserModel;
    m_isBrowserModel = isBrowserModel;

    const QList<QWidget*> serverControls{m_pLabelTip, m_pLabelLogo, m_pLabelTitle, m_pLabelAddress, m_pLabelAlias,
        m_pEditAddress, m_pComboServer, m_pEditAlias, m_pCheckDefault, m_pBtnContinue, m_pBtnNewServer,
        m_pBtnSelectServer};
    for (QWidget* control : serverControls)
        control->setVisible(!isBrowserModel);

    m_pLabelBrowser->setVisible(isBrowserModel);
    m_pBtnExitBrowser->setVisible(isBrowserModel);

    if (!isBrowserModel)
        switchServerMode(!m_pBook || m_pBook->isEmpty());
}

void CLoginUI::switchServerMode(bool isNewServer)
{
    // Where the administrator allows no servers of the user's own, there is no new one.
    const bool allowsNewServers = !m_pBook || m_pBook->allowsUserServers();
    isNewServer = isNewServer && allowsNewServers;
    m_pComboServer->setVisible(!isNewServer);
    m_pBtnNewServer->setVisible(!isNewServer && allowsNewServers);

    m_pBtnSelectServer->setVisible(isNewServer);
    m_pEditAddress->setVisible(isNewServer);
    m_pEditAlias->setVisible(isNewServer);
    m_pLabelAlias->setVisible(isNewServer);

    m_pCheckDefault->setGeometry(isNewServer ? kRectCheckNewServer : kRectCheckSelectServer);
    m_pBtnContinue->setGeometry(isNewServer ? kRectContinueNewServer : kRectContinueSelectServer);

    m_pLabelTitle->setText(isNewServer ? m_texts.ConnectNewServer : m_texts.SelectServer);
}

void CLoginUI::retranslateUi(const LanguageTexts& texts)
{
    m_texts = texts;

    m_pLabelTitle->setText(m_pComboServer->isHidden() ? m_texts.ConnectNewServer : m_texts.SelectServer);

    m_pLabelAddress->setText(m_texts.ServerAddress);
    m_pLabelAlias->setText(m_texts.ServerAlias);
    m_pCheckDefault->setText(m_texts.SetDefaultServer);
    m_pBtnContinue->setText(m_texts.Continue);

    m_pBtnNewServer->setText(m_texts.ConnectNewServer + kLinkSuffix);
    m_pBtnSelectServer->setText(m_texts.SelectServer + kLinkSuffix);

    const int newServerWidth = QFontMetrics(m_pBtnNewServer->font()).horizontalAdvance(m_pBtnNewServer->text());
    m_pBtnNewServer->setGeometry(
        kLinkRight - newServerWidth, kNewServerLinkY, newServerWidth + kLinkPadding, kLinkHeight);
    const int selectServerWidth
        = QFontMetrics(m_pBtnSelectServer->font()).horizontalAdvance(m_pBtnSelectServer->text());
    m_pBtnSelectServer->setGeometry(
        kLinkRight - selectServerWidth, kSelectServerLinkY, selectServerWidth + kLinkPadding, kLinkHeight);

    m_pLabelBrowser->setText(m_texts.BrowserModel);
    m_pBtnExitBrowser->setText(m_texts.ExitBrowserModel);
    m_pLabelBrowser->setWordWrap(true);
    m_pLabelBrowser->setGeometry(kRectBrowserSentence);
    m_pLabelBrowser->resize(width() - kBrowserSentenceMargin, kRectBrowserSentence.height());
    const int linkWidth = QFontMetrics(m_pBtnExitBrowser->font()).horizontalAdvance(m_pBtnExitBrowser->text());
    const QPoint linkPos
        = placeBrowserLink(m_pLabelBrowser->text(), m_pLabelBrowser->font(), m_pLabelBrowser->geometry(),
            m_pBtnExitBrowser->text(), m_pBtnExitBrowser->font(), kBrowserLinkPos, m_pLabelBrowser->geometry().right());
    m_pBtnExitBrowser->setGeometry(linkPos.x(), linkPos.y(), linkWidth, kBrowserLinkHeight);

    // A message about bad input is said again in the new language. Any other pending
    // message came from a connection attempt; in a new language it can only say that
    // the attempt failed.
    if (!m_pLabelTip->text().isEmpty())
        m_pLabelTip->setText(m_pTipText ? m_texts.*m_pTipText : m_texts.ConnectFailed);

    m_pBtnSelectServer->setFocusPolicy(Qt::NoFocus);
    m_pBtnNewServer->setFocusPolicy(Qt::NoFocus);

    // Rows built before the texts were known say now who set their server.
    for (int i = 0; m_pBook && i < m_pListWidget->count(); ++i) {
        QWidget* row = m_pListWidget->itemWidget(m_pListWidget->item(i));
        if (row && m_pBook->isManaged(row->accessibleName()))
            row->setToolTip(m_texts.SetByAdministrator);
    }

    m_pLabelLogo->setStyleSheet(kLargeLogoStyle);
    m_pLabelSmallLogo->setPixmap(orbisk::imagePixmap(kSmallLogo));
}

void CLoginUI::addServerItem(QString sName, QString sUrl)
{
    // The item keeps the server, so its row can be built later (see DeferredRows).
    auto* item = new QListWidgetItem(m_pListWidget);
    item->setData(kNameRole, sName);
    item->setData(kUrlRole, sUrl);
    // The list's own style decides the pitch, not the combo's style sheet; without a size
    // hint the 30 px rows would overlap one another by half.
    item->setSizeHint(QSize(kRowWidth, kRowHeight));
    // What a screen reader says for the row; the row widget itself is not reachable.
    item->setData(Qt::AccessibleTextRole, serverDisplayText({sName, sUrl, false}));
    m_pDeferredRows->added(item);
}

void CLoginUI::makeServerRow(QListWidgetItem* item)
{
    const QString sName = item->data(kNameRole).toString();
    const QString sUrl = item->data(kUrlRole).toString();
    const QString displayText = serverDisplayText({sName, sUrl, false});

    auto* row = new ItemWidgetFile(nullptr);
    row->setText(displayText);
    m_pListWidget->setItemWidget(item, row);
    row->setObjectName(sName);
    row->setAccessibleName(sUrl);
    row->setToolTip(displayText);
    if (m_pBook && m_pBook->isManaged(sUrl))
        row->setManaged(m_texts.SetByAdministrator);
    row->setFixedWidth(kRowWidth);
    connect(row, SIGNAL(signal_mouseClick(QString)), this, SLOT(slot_comboBoxNameChanged(QString)));
    connect(row, &ItemWidgetFile::deleteRequested, this, &CLoginUI::deleteRequested);
}

void CLoginUI::removeServerItem(QString sUrl)
{
    // The walk advances after every row, removed or not, so of two adjacent rows with
    // the same URL only the first goes, as only the first list entry did.
    const ServerList servers = m_pBook ? m_pBook->servers() : ServerList();
    for (int i = 0; i < m_pListWidget->count(); ++i) {
        if (m_pListWidget->item(i)->data(kUrlRole).toString() != sUrl)
            continue;
        m_pComboServer->hidePopup();
        // Removing the combo box's current row makes it show that row's (empty)
        // item text; what decides the new selection is the text shown before.
        const QString shownText = m_pComboServer->currentText();
        const QString sName = m_pListWidget->item(i)->data(kNameRole).toString();
        // The list releases the row with deleteLater, so a row whose own delete
        // button started this survives until control returns to the event loop.
        delete m_pListWidget->item(i);
        if (servers.isEmpty()) {
            showServerText(m_pComboServer, QString());
        } else if (indexOfShownServer({{sName, sUrl, false}}, shownText) == 0) {
            slot_comboBoxNameChanged(serverDisplayText(servers.last()));
        } else {
            showServerText(m_pComboServer, shownText);
        }
    }
}

void CLoginUI::saveServer(QString sName, QString sUrl)
{
    if (m_pBook)
        m_pBook->add({sName, sUrl, m_pCheckDefault->isChecked()});
}

void CLoginUI::fillServerPicker(const ServerList& servers)
{
    for (const ServerEntry& entry : servers) {
        addServerItem(entry.name, entry.url);
        if (entry.isDefault) {
            m_pCheckDefault->setChecked(true);
            slot_comboBoxNameChanged(serverDisplayText(entry));
        }
    }
    if (!m_pCheckDefault->isChecked() && !servers.isEmpty())
        slot_comboBoxNameChanged(serverDisplayText(servers.last()));
}

void CLoginUI::slot_buttonContinue()
{
    setFieldMarked(m_pEditAddress, false);
    setFieldMarked(m_pEditAlias, false);

    ServerInput input;
    QLineEdit* field = nullptr;
    if (m_pComboServer->isVisible()) {
        input = ServerInput::fromShownText(m_pComboServer->currentText(), m_pBook ? m_pBook->servers() : ServerList());
        // Without servers of the user's own, a typed address is not one to go to.
        if (m_pBook && !m_pBook->allowsUserServers() && m_pBook->indexOfShown(m_pComboServer->currentText()) < 0) {
            setTipText(m_texts.OnlyManagedServers);
            m_pTipText = &LanguageTexts::OnlyManagedServers;
            return;
        }
    } else if (m_pEditAddress->isVisible()) {
        input = ServerInput::fromNewServerFields(m_pEditAddress->text(), m_pEditAlias->text());
        // What is taken is what the fields show: a pasted scheme and blanks go.
        if (!input.url.isEmpty())
            m_pEditAddress->setText(input.url.mid(kHttpsPrefix.size()));
        if (!input.name.isEmpty())
            m_pEditAlias->setText(input.name);
        field = input.problem == ServerInput::Problem::MissingAlias ? m_pEditAlias : m_pEditAddress;
    } else {
        return;
    }

    if (!input.isValid()) {
        showInputProblem(input.problem, field);
        return;
    }
    emit continueRequested(input.name, input.url);
}

void CLoginUI::showInputProblem(ServerInput::Problem problem, QLineEdit* field)
{
    switch (problem) {
    case ServerInput::Problem::None:
        return;
    case ServerInput::Problem::InvalidAddress:
        m_pTipText = &LanguageTexts::InvalidServerAddress;
        break;
    case ServerInput::Problem::HttpNotSupported:
        m_pTipText = &LanguageTexts::OnlyHttpsSupported;
        break;
    case ServerInput::Problem::MissingAlias:
        m_pTipText = &LanguageTexts::MissingServerAlias;
        break;
    }
    m_pLabelTip->setVisible(true);
    m_pLabelTip->setText(m_texts.*m_pTipText);
    if (field) {
        setFieldMarked(field, true);
        field->setFocus();
    }
}

void CLoginUI::setFieldMarked(QLineEdit* field, bool isMarked)
{
    field->setStyleSheet(isMarked ? kStyleFieldMarked : kStyleField);
}

void CLoginUI::slot_checkbox_auto_connect(bool isChecked)
{
    // In new-server mode the box is only read when the server is saved.
    if (!m_pComboServer->isVisible())
        return;

    if (!m_pBook)
        return;
    // Only the shown server's own URL counts: "https://h" is not "https://h:8443".
    const int shown = m_pBook->indexOfShown(m_pComboServer->currentText());
    const QString shownUrl = shown >= 0 ? m_pBook->servers().at(shown).url : QString();
    m_pBook->setDefault(shownUrl, isChecked && shown >= 0);
}

void CLoginUI::slot_comboBoxNameChanged(QString s)
{
    showServerText(m_pComboServer, s);
    m_pComboServer->setToolTip(s);

    emit shownServerChanged(s);

    const int shown = m_pBook ? m_pBook->indexOfShown(s) : -1;
    if (shown >= 0)
        m_pCheckDefault->setChecked(m_pBook->servers().at(shown).isDefault);
    // The default is the administrator's to choose when it is locked or the server is theirs.
    const bool isDefaultManaged = m_pBook
        && (m_pBook->isDefaultLocked() || (shown >= 0 && m_pBook->isManaged(m_pBook->servers().at(shown).url)));
    m_pCheckDefault->setEnabled(!isDefaultManaged);
    m_pCheckDefault->setToolTip(isDefaultManaged ? m_texts.SetByAdministrator : QString());

    m_pComboServer->hidePopup();
    m_pListWidget->setVisible(true);
}

void CLoginUI::slot_switch_new_server()
{
    switchServerMode(true);
    if (m_pEditAlias->text().isEmpty())
        m_pEditAlias->setPlaceholderText(kAliasPlaceholder);
}

void CLoginUI::slot_switch_select_server()
{
    switchServerMode(false);
}

void CLoginUI::slot_exitBrowserModel()
{
    emit exitBrowserModeRequested();
}

void CLoginUI::paintEvent(QPaintEvent*)
{
    // Painted through the style so that a style sheet on the window applies.
    QPainter painter(this);
    QStyleOption option(1, QStyleOption::SO_Default);
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}

void CLoginUI::closeEvent(QCloseEvent* event)
{
    emit closeRequested();
    event->accept();
}
