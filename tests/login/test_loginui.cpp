// The login window with the real main window behind it: its modes, the message
// line, Continue, the default check box, the picker's rows and menu actions, the
// delete of a server, the start-up fill and closing the window.
#include "login/ButtonDelete.h"
#include "login/CCombox.h"
#include "login/CLoginUI.h"
#include "login/ItemWidgetFile.h"
#include "mainwindow/CMainWindow.h"
#include "servers/ServerDisplayText.h"
#include "storage/AppPaths.h"
#include "ui/LanguageTexts.h"

#include "ClientWindows.h"
#include "LayoutCheck.h"
#include "TestEnvironment.h"
#include "WidgetHelpers.h"

#include <QAction>
#include <QCheckBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>

using namespace orbisk::test;

namespace {

const ServerEntry kOffice{QStringLiteral("Office"), QStringLiteral("https://office.example"), false};
const ServerEntry kLab{QStringLiteral("Lab (west)"), QStringLiteral("https://lab.example:8443"), false};
const ServerEntry kHome{QStringLiteral("Home"), QStringLiteral("https://home.example"), false};

ServerEntry asDefault(ServerEntry entry)
{
    entry.isDefault = true;
    return entry;
}

QStringList displayTexts(const ServerList& servers)
{
    QStringList texts;
    for (const ServerEntry& entry : servers)
        texts << serverDisplayText(entry);
    return texts;
}

QAction* actionOf(const CMainWindow* window, const QString& url)
{
    for (QAction* action : serverActions(window)) {
        if (action->toolTip() == url)
            return action;
    }
    return nullptr;
}

// Whether the field is drawn with the red border of input that Continue cannot take.
bool showsRedBorder(QLineEdit* field)
{
    const QColor border = field->grab().toImage().pixelColor(0, field->height() / 2);
    return border.red() > 180 && border.green() < 80 && border.blue() < 80;
}

// Whether a one-line label has room for its whole text.
bool textFits(const QLabel* label)
{
    return label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width();
}

} // namespace

class TestLoginUI : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void windowIsFixedWithoutMaximise();
    void modesShowTheirControls_data();
    void modesShowTheirControls();
    void switchingModesKeepsTypedText();
    void firstLanguageSwitchTitlesTheSelectMode();
    void browserModeOnAndOff_data();
    void browserModeOnAndOff();
    void linkButtonsEndAtTheFieldsRightEdge_data();
    void linkButtonsEndAtTheFieldsRightEdge();
    void messageLineAfterALanguageSwitch_data();
    void messageLineAfterALanguageSwitch();

    void continueHandsNameAndUrlToTheMainWindow_data();
    void continueHandsNameAndUrlToTheMainWindow();
    void continueAnswersInputItCannotTake_data();
    void continueAnswersInputItCannotTake();
    void enterInAFieldPressesContinue_data();
    void enterInAFieldPressesContinue();
    void enterPressesContinueOnceAfterModeSwitches();
    void onlyTheAdministratorsServers();
    void longServerRow_data();
    void longServerRow();

    void fillAtStart_data();
    void fillAtStart();
    void releasingAnyButtonOnARowSelectsIt_data();
    void releasingAnyButtonOnARowSelectsIt();
    void defaultBoxMarksOnlyTheShownServer_data();
    void defaultBoxMarksOnlyTheShownServer();
    void uncheckingTheDefaultBoxClearsEveryEntry();
    void defaultBoxInNewServerModeWritesNothing();
    void saveServer_data();
    void saveServer();
    void deleteServer_data();
    void deleteServer();

    void closingTheWindow_data();
    void closingTheWindow();
    void everyModeFitsTheWindow_data();
    void everyModeFitsTheWindow();

private:
    void startWith(const ServerList& servers);
    void showLogin();
    // Starts with the servers and shows the login window in normal mode.
    CLoginUI* openLogin(const ServerList& servers);

    ClientWindows m_client;
    quint16 m_closedPort = 0;
};

void TestLoginUI::initTestCase()
{
    prepareTestEnvironment();
    useClientFont();
    m_closedPort = unusedLocalPort();
}

void TestLoginUI::init()
{
    removeClientFiles();
}

void TestLoginUI::cleanup()
{
    m_client.stop();
    m_client.managed = {};
}

void TestLoginUI::startWith(const ServerList& servers)
{
    if (!servers.isEmpty())
        writeServerFile(servers);
    m_client.start();
}

void TestLoginUI::showLogin()
{
    // Where handle_show puts it; Continue and the check box act only on shown controls.
    m_client.login->setMenuBar(m_client.window->m_pMenuBar);
    QVERIFY(showExposed(m_client.login));
}

CLoginUI* TestLoginUI::openLogin(const ServerList& servers)
{
    startWith(servers);
    showLogin();
    m_client.login->setBrowserModel(false);
    return m_client.login;
}

void TestLoginUI::windowIsFixedWithoutMaximise()
{
    startWith({});
    CLoginUI* login = m_client.login;
    // Fixed size: the user can neither resize nor maximise it.
    QCOMPARE(login->minimumSize(), login->maximumSize());
    QVERIFY(login->isWindow());
    QVERIFY(login->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(login->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!login->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(login->palette().color(QPalette::Inactive, QPalette::Window), QColor(Qt::white));
    // The prefix sits inside the address field and typed text starts after it.
    QCOMPARE(login->m_pLabelHttps->parentWidget(), login->m_pEditAddress);
    QVERIFY(login->m_pEditAddress->textMargins().left()
        > QFontMetrics(login->m_pLabelHttps->font()).horizontalAdvance(QStringLiteral("https://")));
}

void TestLoginUI::modesShowTheirControls_data()
{
    QTest::addColumn<bool>("isNewServer");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QRect>("checkBox");
    QTest::addColumn<QRect>("continueButton");

    const QStringList always{
        QStringLiteral("tip"), QStringLiteral("logo"), QStringLiteral("title"), QStringLiteral("addressCaption")};
    const QStringList bottom{QStringLiteral("smallLogo"), QStringLiteral("copyright")};
    const QStringList newServer = always
        + QStringList{QStringLiteral("aliasCaption"), QStringLiteral("address"), QStringLiteral("alias"),
            QStringLiteral("default"), QStringLiteral("continue"), QStringLiteral("selectServerLink")}
        + bottom;
    const QStringList select = always
        + QStringList{QStringLiteral("combo"), QStringLiteral("default"), QStringLiteral("continue"),
            QStringLiteral("newServerLink")}
        + bottom;
    QTest::newRow("new server") << true << newServer << QRect(100, 391, 300, 36) << QRect(100, 427, 300, 36);
    // Check box and Continue sit 72 pixels higher: the alias field is gone.
    QTest::newRow("select server") << false << select << QRect(100, 319, 300, 36) << QRect(100, 355, 300, 36);
}

void TestLoginUI::modesShowTheirControls()
{
    QFETCH(bool, isNewServer);
    QFETCH(QStringList, shown);
    QFETCH(QRect, checkBox);
    QFETCH(QRect, continueButton);

    startWith({kOffice});
    CLoginUI* login = m_client.login;
    login->setBrowserModel(false);
    login->switchServerMode(!isNewServer);
    login->switchServerMode(isNewServer);

    QCOMPARE(shownControls(login), shown);
    QCOMPARE(login->m_pCheckDefault->geometry(), checkBox);
    QCOMPARE(login->m_pBtnContinue->geometry(), continueButton);
    const LanguageTexts& texts = m_client.window->shownTexts();
    const QString heading = isNewServer ? texts.ConnectNewServer : texts.SelectServer;
    QCOMPARE(login->m_pLabelTitle->text(), heading);

    // A language switch keeps the heading of the mode.
    m_client.window->slot_switch_language(0);
    QCOMPARE(login->m_pLabelTitle->text(), heading);
}

void TestLoginUI::switchingModesKeepsTypedText()
{
    startWith({});
    CLoginUI* login = m_client.login;
    login->setBrowserModel(false);
    QTest::keyClicks(login->m_pEditAddress, QStringLiteral("files.example.com"));
    QTest::keyClicks(login->m_pEditAlias, QStringLiteral("Files"));

    login->slot_switch_select_server();
    login->slot_switch_new_server();

    QCOMPARE(login->m_pEditAddress->text(), QStringLiteral("files.example.com"));
    QCOMPARE(login->m_pEditAlias->text(), QStringLiteral("Files"));
    QCOMPARE(login->m_pEditAlias->placeholderText(), QStringLiteral("eg: xxx server"));
    QCOMPARE(login->m_pLabelHttps->text(), QStringLiteral("https://"));
}

void TestLoginUI::firstLanguageSwitchTitlesTheSelectMode()
{
    // Before any mode switch the combo box is not hidden.
    startWith({});
    QCOMPARE(m_client.login->m_pLabelTitle->text(), m_client.window->shownTexts().SelectServer);
    m_client.login->setBrowserModel(false);
    QCOMPARE(m_client.login->m_pLabelTitle->text(), m_client.window->shownTexts().ConnectNewServer);
}

void TestLoginUI::browserModeOnAndOff_data()
{
    QTest::addColumn<ServerList>("servers");
    QTest::addColumn<QString>("input");

    QTest::newRow("no server: new-server mode") << ServerList{} << QStringLiteral("address");
    QTest::newRow("a server: select mode") << ServerList{kOffice} << QStringLiteral("combo");
}

void TestLoginUI::browserModeOnAndOff()
{
    QFETCH(ServerList, servers);
    QFETCH(QString, input);

    startWith(servers);
    CLoginUI* login = m_client.login;
    login->setBrowserModel(false);

    login->setBrowserModel(true);
    QVERIFY(g_isBrowserMode);
    QVERIFY(login->m_isBrowserModel);
    const QStringList browserControls{QStringLiteral("smallLogo"), QStringLiteral("copyright"),
        QStringLiteral("browserSentence"), QStringLiteral("browserLink")};
    QCOMPARE(shownControls(login), browserControls);

    login->setBrowserModel(false);
    QVERIFY(!g_isBrowserMode);
    QVERIFY(!login->m_isBrowserModel);
    const QStringList shown = shownControls(login);
    QVERIFY2(shown.contains(input), qPrintable(shown.join(QLatin1Char(' '))));
    QVERIFY(!shown.contains(QStringLiteral("browserSentence")));
    QVERIFY(!shown.contains(QStringLiteral("browserLink")));
}

void TestLoginUI::linkButtonsEndAtTheFieldsRightEdge_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("catalogue") << QString();
    QTest::newRow("short") << QStringLiteral("A");
    QTest::newRow("long") << QStringLiteral("A far longer text than the catalogue would ever put on a link");
}

void TestLoginUI::linkButtonsEndAtTheFieldsRightEdge()
{
    QFETCH(QString, text);

    startWith({});
    CLoginUI* login = m_client.login;
    if (!text.isEmpty()) {
        LanguageTexts texts = m_client.window->shownTexts();
        texts.ConnectNewServer = text;
        texts.SelectServer = text;
        login->retranslateUi(texts);
    }

    const QList<QPair<QPushButton*, int>> links{{login->m_pBtnNewServer, 410}, {login->m_pBtnSelectServer, 482}};
    for (const auto& link : links) {
        const QRect geometry = link.first->geometry();
        QVERIFY(link.first->text().endsWith(QStringLiteral(" >>")));
        const int textWidth = QFontMetrics(link.first->font()).horizontalAdvance(link.first->text());
        QCOMPARE(geometry.x() + geometry.width(), 400);
        QCOMPARE(geometry.width(), textWidth + 12);
        QCOMPARE(geometry.y(), link.second);
        QCOMPARE(geometry.height(), 26);
    }
}

void TestLoginUI::messageLineAfterALanguageSwitch_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("becomesFailure");

    QTest::newRow("empty stays empty") << QString() << false;
    QTest::newRow("loading") << QStringLiteral("loading...") << true;
    QTest::newRow("about:blank") << QStringLiteral("about:blank") << true;
}

void TestLoginUI::messageLineAfterALanguageSwitch()
{
    QFETCH(QString, before);
    QFETCH(bool, becomesFailure);

    startWith({});
    CLoginUI* login = m_client.login;
    if (!before.isEmpty())
        login->setTipText(before);
    m_client.window->slot_switch_language(0);
    QCOMPARE(login->m_pLabelTip->text(), becomesFailure ? m_client.window->shownTexts().ConnectFailed : QString());

    // Clearing leaves the line where it was.
    login->clearTipText();
    QVERIFY(login->m_pLabelTip->text().isEmpty());
    QVERIFY(!login->m_pLabelTip->isHidden());
}

void TestLoginUI::continueHandsNameAndUrlToTheMainWindow_data()
{
    QTest::addColumn<bool>("isNewServer");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("alias");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("url");

    // Nothing listens on the port; only what reaches the main window matters here.
    const QString address = QStringLiteral("127.0.0.1:%1").arg(m_closedPort);
    const QString url = QStringLiteral("https://") + address;
    QTest::newRow("new server") << true << address << QStringLiteral("Office") << QStringLiteral("Office") << url;
    QTest::newRow("new server, pasted with its scheme and blanks")
        << true << QStringLiteral(" %1/ ").arg(url) << QStringLiteral(" Office ") << QStringLiteral("Office") << url;
    QTest::newRow("select, name with parentheses")
        << false << QStringLiteral("Lab (west) (%1)").arg(url) << QString() << QStringLiteral("Lab (west)") << url;
    QTest::newRow("select, typed URL without parentheses") << false << url << QString() << url << url;
    QTest::newRow("select, ( without )") << false << QStringLiteral("Lab (%1").arg(url) << QString()
                                         << QStringLiteral("Lab") << url;
}

void TestLoginUI::continueHandsNameAndUrlToTheMainWindow()
{
    QFETCH(bool, isNewServer);
    QFETCH(QString, typed);
    QFETCH(QString, alias);
    QFETCH(QString, name);
    QFETCH(QString, url);

    CLoginUI* login = openLogin({});
    login->switchServerMode(isNewServer);
    if (isNewServer) {
        QTest::keyClicks(login->m_pEditAddress, typed);
        QTest::keyClicks(login->m_pEditAlias, alias);
    } else {
        login->m_pComboServer->setCurrentText(typed);
    }

    QTest::mouseClick(login->m_pBtnContinue, Qt::LeftButton);

    QCOMPARE(m_client.window->m_sCurName, name);
    QCOMPARE(m_client.window->m_sCurUrl, url);
    QCOMPARE(login->m_pLabelTip->text(), QStringLiteral("loading..."));
    QVERIFY(!login->m_pBtnContinue->isEnabled());
    QVERIFY(!login->m_pBtnNewServer->isEnabled());
    QVERIFY(!login->m_pComboServer->isEnabled());
    QVERIFY(!login->m_pEditAddress->isEnabled());
    // The default box stays usable while a server is tried.
    QVERIFY(login->m_pCheckDefault->isEnabled());
}

void TestLoginUI::continueAnswersInputItCannotTake_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("alias");
    QTest::addColumn<bool>("aliasToMend");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("addressAfter");

    const QString invalid = QStringLiteral("Please enter a valid server address, such as files.example.com:8443");
    const QString noAlias = QStringLiteral("Please enter an alias for the server");
    QTest::newRow("empty alias") << "files.example.com"
                                 << "" << true << noAlias << "files.example.com";
    QTest::newRow("blank alias, pasted address is shown as taken") << " https://files.example.com/ "
                                                                   << "   " << true << noAlias << "files.example.com";
    QTest::newRow("http address") << "http://files.example.com"
                                  << "Office" << false << "Only https servers are supported"
                                  << "http://files.example.com";
    QTest::newRow("empty address") << ""
                                   << "Office" << false << invalid << "";
    QTest::newRow("not host:port") << "files.example.com:port"
                                   << "Office" << false << invalid << "files.example.com:port";
    QTest::newRow("both empty: the address first") << ""
                                                   << "" << false << invalid << "";
}

// The answer is visible: the message line says what is missing, the field to mend
// shows a red border and has the focus; nothing is loaded or stored.
void TestLoginUI::continueAnswersInputItCannotTake()
{
    QFETCH(QString, address);
    QFETCH(QString, alias);
    QFETCH(bool, aliasToMend);
    QFETCH(QString, message);
    QFETCH(QString, addressAfter);

    CLoginUI* login = openLogin({});
    QTest::keyClicks(login->m_pEditAddress, address);
    QTest::keyClicks(login->m_pEditAlias, alias);
    QLineEdit* toMend = aliasToMend ? login->m_pEditAlias : login->m_pEditAddress;
    QLineEdit* other = aliasToMend ? login->m_pEditAddress : login->m_pEditAlias;

    QTest::mouseClick(login->m_pBtnContinue, Qt::LeftButton);

    QCOMPARE(login->m_pLabelTip->text(), message);
    QVERIFY(!login->m_pLabelTip->isHidden());
    QVERIFY(textFits(login->m_pLabelTip));
    QVERIFY(showsRedBorder(toMend));
    QVERIFY(!showsRedBorder(other));
    QCOMPARE(login->focusWidget(), toMend);
    QCOMPARE(login->m_pEditAddress->text(), addressAfter);
    QVERIFY(login->m_pBtnContinue->isEnabled());
    QVERIFY(m_client.window->m_sCurUrl.isEmpty());
    QVERIFY(!m_client.window->m_pWebView);
    QVERIFY(m_client.window->serverBook().servers().isEmpty());
    QVERIFY(!serverFileExists());

    // A language switch says the same thing again, not that a connection failed.
    m_client.window->slot_switch_language(0);
    QCOMPARE(login->m_pLabelTip->text(), message);

    // Typing into the field takes the mark off.
    QTest::keyClicks(toMend, QStringLiteral("x"));
    QVERIFY(!showsRedBorder(toMend));
}

void TestLoginUI::enterInAFieldPressesContinue_data()
{
    QTest::addColumn<bool>("inAlias");
    QTest::addColumn<int>("key");
    QTest::newRow("Return in the address") << false << int(Qt::Key_Return);
    QTest::newRow("Enter in the address") << false << int(Qt::Key_Enter);
    QTest::newRow("Return in the alias") << true << int(Qt::Key_Return);
}

void TestLoginUI::enterInAFieldPressesContinue()
{
    QFETCH(bool, inAlias);
    QFETCH(int, key);

    CLoginUI* login = openLogin({});
    const QString url = QStringLiteral("https://127.0.0.1:%1").arg(m_closedPort);
    QTest::keyClicks(login->m_pEditAddress, url.mid(8));
    QTest::keyClicks(login->m_pEditAlias, QStringLiteral("Office"));

    QLineEdit* field = inAlias ? login->m_pEditAlias : login->m_pEditAddress;
    field->setFocus();
    QTest::keyClick(field, Qt::Key(key));

    QCOMPARE(m_client.window->m_sCurUrl, url);
    QCOMPARE(login->m_pLabelTip->text(), QStringLiteral("loading..."));
    QVERIFY(!login->m_pBtnContinue->isEnabled());

    // While the server is tried Continue is off, and so is Enter.
    m_client.window->m_sCurUrl.clear();
    QTest::keyClick(field, Qt::Key(key));
    QVERIFY(m_client.window->m_sCurUrl.isEmpty());
}

// Switching to the new-server mode again must not connect Enter to Continue again: with
// input Continue cannot take, the button stays on, so every extra connection would show.
void TestLoginUI::enterPressesContinueOnceAfterModeSwitches()
{
    CLoginUI* login = openLogin({kOffice});
    for (int i = 0; i < 3; ++i) {
        QTest::mouseClick(login->m_pBtnNewServer, Qt::LeftButton);
        if (i < 2)
            QTest::mouseClick(login->m_pBtnSelectServer, Qt::LeftButton);
    }
    QSignalSpy clicked(login->m_pBtnContinue, &QPushButton::clicked);
    login->m_pEditAddress->setFocus();
    QTest::keyClick(login->m_pEditAddress, Qt::Key_Return);
    QCOMPARE(clicked.count(), 1);
    QVERIFY(login->m_pBtnContinue->isEnabled());
}

// The administrator's server, marked and kept; the user's own hidden, no new one, no typed one.
void TestLoginUI::onlyTheAdministratorsServers()
{
    const ServerEntry company{QStringLiteral("Company"), QStringLiteral("https://files.company.example"), false};
    m_client.managed.servers = {{company.name, company.url}};
    m_client.managed.allowUserServers = false;
    CLoginUI* login = openLogin({kOffice});
    const LanguageTexts& texts = m_client.window->shownTexts();

    QCOMPARE(rowTexts(login), QStringList{serverDisplayText(company)});
    const ItemWidgetFile* row = rowOf(login, company.url);
    QCOMPARE(row->toolTip(), texts.SetByAdministrator);
    QVERIFY(row->findChild<ButtonDelete*>()->isHidden());
    QVERIFY(!serverActions(m_client.window).first()->icon().isNull());
    QVERIFY(login->m_pBtnNewServer->isHidden());
    login->slot_switch_new_server();
    QVERIFY(login->m_pComboServer->isVisible());

    login->m_pComboServer->setCurrentText(QStringLiteral("Other (https://other.example)"));
    QTest::mouseClick(login->m_pBtnContinue, Qt::LeftButton);
    QCOMPARE(login->m_pLabelTip->text(), texts.OnlyManagedServers);
    QVERIFY(m_client.window->m_sCurUrl.isEmpty());
    QCOMPARE(readServerFile(), ServerList{kOffice});
}

void TestLoginUI::longServerRow_data()
{
    QTest::addColumn<bool>("isManaged");
    QTest::newRow("the user's server, beside its delete button") << false;
    QTest::newRow("the administrator's server, beside its padlock") << true;
}

void TestLoginUI::longServerRow()
{
    QFETCH(bool, isManaged);
    const ServerEntry server{QStringLiteral("A server name far too long for the picker"),
        QStringLiteral("https://files.department.example.com:8443"), false};
    if (isManaged)
        m_client.managed.servers = {{server.name, server.url}};
    CLoginUI* login = openLogin(isManaged ? ServerList{kOffice} : ServerList{server, kOffice});
    login->m_pComboServer->showPopup();
    ItemWidgetFile* row = rowOf(login, server.url);
    QVERIFY(row && row->isVisible());

    // Shown cut with an ellipsis inside the label, never past it; the row keeps the whole text.
    const QLabel* label = row->m_pLabel;
    QVERIFY2(label->text().endsWith(QChar(0x2026)), qPrintable(label->text()));
    QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
    QCOMPARE(row->text(), serverDisplayText(server));
    QTest::mouseRelease(row, Qt::LeftButton);
    QCOMPARE(login->m_pComboServer->currentText(), serverDisplayText(server));

    // Delete on the marked row: the user's own server goes, the administrator's stays.
    login->m_pComboServer->showPopup();
    login->m_pListWidget->setCurrentRow(0);
    QTest::keyClick(login->m_pListWidget, Qt::Key_Delete);
    QCOMPARE(rowTexts(login), displayTexts(isManaged ? ServerList{server, kOffice} : ServerList{kOffice}));
    QCOMPARE(readServerFile(), ServerList{kOffice});
}

void TestLoginUI::fillAtStart_data()
{
    QTest::addColumn<ServerList>("servers");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("boxTicked");

    QTest::newRow("empty list: empty combo") << ServerList{} << QString() << false;
    QTest::newRow("no default: the last entry")
        << ServerList{kOffice, kLab, kHome} << serverDisplayText(kHome) << false;
    QTest::newRow("one default") << ServerList{kOffice, asDefault(kLab), kHome} << serverDisplayText(kLab) << true;
    QTest::newRow("two defaults: the later one")
        << ServerList{asDefault(kOffice), asDefault(kLab), kHome} << serverDisplayText(kLab) << true;
}

void TestLoginUI::fillAtStart()
{
    QFETCH(ServerList, servers);
    QFETCH(QString, shown);
    QFETCH(bool, boxTicked);

    startWith(servers);
    CLoginUI* login = m_client.login;
    CMainWindow* window = m_client.window;

    QCOMPARE(rowTexts(login), displayTexts(servers));
    QCOMPARE(serverActionTexts(window), displayTexts(servers));
    QCOMPARE(window->m_pMenuServer->actions().last(), window->m_pActExitServer);
    QCOMPARE(login->m_pComboServer->currentText(), shown);
    QCOMPARE(checkedServerAction(window), shown);
    QCOMPARE(login->m_pCheckDefault->isChecked(), boxTicked);

    for (int i = 0; i < servers.size(); ++i) {
        QListWidgetItem* item = login->m_pListWidget->item(i);
        const QWidget* row = login->m_pListWidget->itemWidget(item);
        // Rows stand one row height apart instead of overlapping.
        QCOMPARE(login->m_pListWidget->visualItemRect(item).top(), i * row->height());
        QCOMPARE(item->data(Qt::AccessibleTextRole).toString(), serverDisplayText(servers.at(i)));
        QCOMPARE(row->objectName(), servers.at(i).name);
        QCOMPARE(row->accessibleName(), servers.at(i).url);
        QCOMPARE(row->toolTip(), serverDisplayText(servers.at(i)));
        QCOMPARE(row->width(), 300);
        const QAction* action = serverActions(window).at(i);
        QVERIFY(action->isCheckable());
        QCOMPARE(action->actionGroup(), window->m_pServerGroup);
        QCOMPARE(action->objectName(), servers.at(i).name);
        QCOMPARE(action->toolTip(), servers.at(i).url);
    }
}

void TestLoginUI::releasingAnyButtonOnARowSelectsIt_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("left") << int(Qt::LeftButton);
    QTest::newRow("right") << int(Qt::RightButton);
    QTest::newRow("middle") << int(Qt::MiddleButton);
}

void TestLoginUI::releasingAnyButtonOnARowSelectsIt()
{
    QFETCH(int, button);

    startWith({kOffice, asDefault(kLab), kHome});
    CLoginUI* login = m_client.login;

    for (const ServerEntry& entry : {kOffice, asDefault(kLab)}) {
        ItemWidgetFile* row = rowOf(login, entry.url);
        QVERIFY(row);
        QTest::mouseRelease(row, Qt::MouseButton(button));
        const QString text = serverDisplayText(entry);
        QCOMPARE(login->m_pComboServer->currentText(), text);
        // Shown from its start: a text longer than the box keeps the name in view.
        QCOMPARE(login->m_pComboServer->lineEdit()->cursorPosition(), 0);
        QCOMPARE(login->m_pComboServer->toolTip(), text);
        QCOMPARE(checkedServerAction(m_client.window), text);
        QCOMPARE(login->m_pCheckDefault->isChecked(), entry.isDefault);
    }
}

void TestLoginUI::defaultBoxMarksOnlyTheShownServer_data()
{
    QTest::addColumn<bool>("tickLong");

    // The first URL is a leading part of the second; nothing listens on either.
    QTest::newRow("ticked on the longer URL") << true;
    QTest::newRow("ticked on the shorter URL") << false;
}

// Ticking the box makes exactly the shown server the default, in the list, in the
// file and for the next start, which joins that server and no other.
void TestLoginUI::defaultBoxMarksOnlyTheShownServer()
{
    QFETCH(bool, tickLong);

    const ServerEntry shortUrl{QStringLiteral("Short"), QStringLiteral("https://127.0.0.1"), false};
    const ServerEntry longUrl{QStringLiteral("Long"), QStringLiteral("https://127.0.0.1:%1").arg(m_closedPort), false};
    const ServerEntry ticked = tickLong ? longUrl : shortUrl;
    const ServerEntry other = tickLong ? shortUrl : longUrl;
    CLoginUI* login = openLogin({shortUrl, longUrl, asDefault(kHome)});
    QVERIFY(rowOf(login, longUrl.url) && rowOf(login, shortUrl.url));
    QTest::mouseRelease(rowOf(login, ticked.url), Qt::LeftButton);
    QVERIFY(!login->m_pCheckDefault->isChecked());

    login->m_pCheckDefault->click();
    const ServerList expected
        = tickLong ? ServerList{shortUrl, asDefault(longUrl), kHome} : ServerList{asDefault(shortUrl), longUrl, kHome};
    QCOMPARE(m_client.window->serverBook().servers(), expected);
    QCOMPARE(readServerFile(), expected);

    // The box follows each server's own flag.
    QTest::mouseRelease(rowOf(login, other.url), Qt::LeftButton);
    QVERIFY(!login->m_pCheckDefault->isChecked());
    QTest::mouseRelease(rowOf(login, ticked.url), Qt::LeftButton);
    QVERIFY(login->m_pCheckDefault->isChecked());

    m_client.restart();
    QCOMPARE(m_client.login->m_pComboServer->currentText(), serverDisplayText(ticked));
    m_client.present();
    QTRY_COMPARE_WITH_TIMEOUT(m_client.window->m_sCurUrl, ticked.url, kLoginTimeoutMs);
}

void TestLoginUI::uncheckingTheDefaultBoxClearsEveryEntry()
{
    // Defaults that came from the file, the shown one and another.
    CLoginUI* login = openLogin({asDefault(kOffice), kLab, asDefault(kHome)});
    QCOMPARE(login->m_pComboServer->currentText(), serverDisplayText(kHome));
    QVERIFY(login->m_pCheckDefault->isChecked());

    login->m_pCheckDefault->click();
    const ServerList noDefault{kOffice, kLab, kHome};
    QCOMPARE(m_client.window->serverBook().servers(), noDefault);
    QCOMPARE(readServerFile(), noDefault);
}

void TestLoginUI::defaultBoxInNewServerModeWritesNothing()
{
    const ServerList servers{kOffice, asDefault(kLab)};
    CLoginUI* login = openLogin(servers);
    login->slot_switch_new_server();
    QVERIFY(QFile::remove(AppPaths::serverListFile()));

    login->m_pCheckDefault->click();
    login->m_pCheckDefault->click();

    QCOMPARE(m_client.window->serverBook().servers(), servers);
    QVERIFY(!serverFileExists());
}

void TestLoginUI::saveServer_data()
{
    QTest::addColumn<ServerList>("servers");
    QTest::addColumn<bool>("boxTicked");
    QTest::addColumn<ServerEntry>("saved");
    QTest::addColumn<ServerList>("expected");

    const ServerEntry newServer{QStringLiteral("New"), QStringLiteral("https://new.example"), false};
    QTest::newRow("known URL keeps alias and flag")
        << ServerList{asDefault(kOffice), kLab} << false
        << ServerEntry{QStringLiteral("Other alias"), kOffice.url, false} << ServerList{asDefault(kOffice), kLab};
    QTest::newRow("known URL, box ticked") << ServerList{kOffice, kLab} << true << kLab << ServerList{kOffice, kLab};
    QTest::newRow("new server appended") << ServerList{asDefault(kOffice), kLab} << false << newServer
                                         << ServerList{asDefault(kOffice), kLab, newServer};
    QTest::newRow("new default takes the flag from all others") << ServerList{asDefault(kOffice),
        asDefault(kLab)} << true << newServer << ServerList{kOffice, kLab, asDefault(newServer)};
    QTest::newRow("first server") << ServerList{} << true << newServer << ServerList{asDefault(newServer)};
    QTest::newRow("URLs differ in case only")
        << ServerList{kOffice} << false << ServerEntry{kOffice.name, kOffice.url.toUpper(), false}
        << ServerList{kOffice, {kOffice.name, kOffice.url.toUpper(), false}};
}

void TestLoginUI::saveServer()
{
    QFETCH(ServerList, servers);
    QFETCH(bool, boxTicked);
    QFETCH(ServerEntry, saved);
    QFETCH(ServerList, expected);

    startWith(servers);
    CLoginUI* login = m_client.login;
    CMainWindow* window = m_client.window;
    login->m_pCheckDefault->setChecked(boxTicked);
    const bool unchanged = expected == servers;
    if (!servers.isEmpty())
        QVERIFY(QFile::remove(AppPaths::serverListFile()));

    login->saveServer(saved.name, saved.url);

    QCOMPARE(window->serverBook().servers(), expected);
    if (unchanged) {
        QVERIFY(!serverFileExists());
    } else {
        QCOMPARE(readServerFile(), expected);
    }
    QCOMPARE(rowTexts(login), displayTexts(expected));
    QCOMPARE(serverActionTexts(window), displayTexts(expected));
    QCOMPARE(window->m_pMenuServer->actions().last(), window->m_pActExitServer);
}

void TestLoginUI::deleteServer_data()
{
    QTest::addColumn<ServerList>("servers");
    QTest::addColumn<QString>("deleted");
    QTest::addColumn<QString>("shownAfter");
    QTest::addColumn<bool>("boxAfter");

    const ServerList three{kOffice, asDefault(kLab), kHome};
    QTest::newRow("shown server: the last remaining is shown")
        << three << kLab.url << serverDisplayText(kHome) << false;
    QTest::newRow("shown server, the last: the one before") << ServerList{kOffice, asDefault(kLab), asDefault(kHome)}
                                                            << kHome.url << serverDisplayText(asDefault(kLab)) << true;
    QTest::newRow("first row, not shown: unchanged") << three << kOffice.url << serverDisplayText(kLab) << true;
    QTest::newRow("last row, not shown: unchanged") << three << kHome.url << serverDisplayText(kLab) << true;
    QTest::newRow("only server: empty text") << ServerList{kOffice} << kOffice.url << QString() << false;
    // The shown URL begins with the deleted one, but it is another server.
    const ServerEntry officePort{QStringLiteral("Office 8443"), kOffice.url + QStringLiteral(":8443"), true};
    QTest::newRow("a server whose URL begins the shown one: unchanged")
        << ServerList{officePort, kOffice, kHome} << kOffice.url << serverDisplayText(officePort) << true;
}

void TestLoginUI::deleteServer()
{
    QFETCH(ServerList, servers);
    QFETCH(QString, deleted);
    QFETCH(QString, shownAfter);
    QFETCH(bool, boxAfter);

    startWith(servers);
    CLoginUI* login = m_client.login;
    CMainWindow* window = m_client.window;
    ServerList remaining = servers;
    remaining.erase(std::remove_if(remaining.begin(), remaining.end(),
                        [&](const ServerEntry& entry) { return entry.url == deleted; }),
        remaining.end());

    QPointer<ItemWidgetFile> row = rowOf(login, deleted);
    QPointer<QAction> action = actionOf(window, deleted);
    QVERIFY(row && action);
    row->findChild<ButtonDelete*>()->click();

    QCOMPARE(window->serverBook().servers(), remaining);
    QCOMPARE(readServerFile(), remaining);
    QCOMPARE(rowTexts(login), displayTexts(remaining));
    QCOMPARE(serverActionTexts(window), displayTexts(remaining));
    QCOMPARE(window->m_pMenuServer->actions().last(), window->m_pActExitServer);
    QVERIFY(!action);
    QVERIFY(!window->m_pServerGroup->actions().contains(action.data()));
    QCOMPARE(window->m_pServerGroup->actions().size(), remaining.size());
    QCOMPARE(login->m_pComboServer->currentText(), shownAfter);
    QCOMPARE(checkedServerAction(window), shownAfter);
    QCOMPARE(login->m_pCheckDefault->isChecked(), boxAfter);

    // The row ran the delete from its own slot: it goes only once the event loop runs.
    QVERIFY(row);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!row);

    m_client.restart();
    QCOMPARE(rowTexts(m_client.login), displayTexts(remaining));
    QCOMPARE(serverActionTexts(m_client.window), displayTexts(remaining));
}

void TestLoginUI::closingTheWindow_data()
{
    QTest::addColumn<bool>("miniTray");
    QTest::newRow("MiniTray on: the window just closes") << true;
    QTest::newRow("MiniTray off: the client quits") << false;
}

void TestLoginUI::closingTheWindow()
{
    QFETCH(bool, miniTray);

    if (!miniTray) {
        QVERIFY(AppPaths::ensureDataDir());
        QSettings(AppPaths::settingsFile(), QSettings::IniFormat).setValue(QStringLiteral("MiniTray"), false);
    }
    startWith({});
    QCOMPARE(m_client.window->settings().miniTray, miniTray);
    showLogin();

    QVERIFY(m_client.login->close());
    QVERIFY(!m_client.login->isVisible());
    // The exit path removes the tray icon; the tray path keeps it.
    QCOMPARE(m_client.window->m_pTray != nullptr, miniTray);
}

void TestLoginUI::everyModeFitsTheWindow_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("message");

    QTest::newRow("new server") << QStringLiteral("new-server") << QString();
    QTest::newRow("select server") << QStringLiteral("select-server") << QString();
    QTest::newRow("browser") << QStringLiteral("browser") << QString();
    // The longest texts of the message line.
    QTest::newRow("connection failed") << QStringLiteral("new-server") << QStringLiteral("ConnectFailed");
    QTest::newRow("invalid address") << QStringLiteral("new-server") << QStringLiteral("InvalidServerAddress");
}

void TestLoginUI::everyModeFitsTheWindow()
{
    QFETCH(QString, mode);
    QFETCH(QString, message);

    startWith(mode == QLatin1String("select-server") ? ServerList{kOffice, asDefault(kLab)} : ServerList{});
    CLoginUI* login = m_client.login;
    showLogin();
    login->setBrowserModel(mode == QLatin1String("browser"));
    if (!message.isEmpty()) {
        const LanguageTexts& texts = m_client.window->shownTexts();
        login->setTipText(texts.values().at(LanguageTexts::keys().indexOf(message)));
    }

    const QStringList faults = layoutFaults(login);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

ORBISK_WEBENGINE_TEST_MAIN(TestLoginUI)
#include "test_loginui.moc"
