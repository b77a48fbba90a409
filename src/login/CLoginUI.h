#pragma once

#include "app/LanguageTexts.h"
#include "login/ServerInput.h"
#include "mainwindow/ServerEntry.h"

#include <QMainWindow>
#include <QString>

class CCombox;
class DeferredRows;
class NoFocusRectStyle;
class QCheckBox;
class QCloseEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPaintEvent;
class QPushButton;

// True while the login window is in browser mode; written only by
// CLoginUI::setBrowserModel, read by the main window's delayed login.
extern bool g_isBrowserMode;

// The small fixed-size window in which the user enters a new server, picks a known
// one, or (in browser mode) chooses to take the service back from the browser.
// It never connects by itself: Continue hands a name and a URL to the main window.
class CLoginUI : public QMainWindow
{
    Q_OBJECT

public:
    explicit CLoginUI(QWidget* parent = nullptr);
    ~CLoginUI() override;

    void setTipText(QString text);
    void clearTipText();
    void setUiEnabled(bool isEnabled);
    void setBrowserModel(bool isBrowserModel);
    void switchServerMode(bool isNewServer);
    void retranslateUi();

    // Adds a server's row to the picker and its checkable action to the server menu.
    void addServerItem(QString sName, QString sUrl);
    // Removes every menu action and picker row of the URL.
    void removeServerItem(QString sUrl);
    // Remembers a server after its page loaded; a known URL changes nothing.
    void saveServer(QString sName, QString sUrl);
    // Fills the picker at start from the server list: every entry gets its row and
    // action; the last default entry is shown, or the last entry without a default.
    void fillServerPicker(const ServerList& servers);

public slots:
    void slot_buttonContinue();
    void slot_checkbox_auto_connect(bool isChecked);
    void slot_comboBoxNameChanged(QString s);
    void slot_switch_new_server();
    void slot_switch_select_server();
    void slot_exitBrowserModel();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

public:
    // Public so that the main window and the tests reach the controls directly.
    QListWidget* m_pListWidget = nullptr;
    bool m_isBrowserModel = false;
    QLabel* m_pLabelTip = nullptr;
    QLabel* m_pLabelLogo = nullptr;
    QLabel* m_pLabelTitle = nullptr;
    QLabel* m_pLabelAddress = nullptr;
    QLabel* m_pLabelAlias = nullptr;
    QLineEdit* m_pEditAddress = nullptr;
    QLabel* m_pLabelHttps = nullptr;
    CCombox* m_pComboServer = nullptr;
    QCheckBox* m_pCheckDefault = nullptr;
    QLineEdit* m_pEditAlias = nullptr;
    QPushButton* m_pBtnContinue = nullptr;
    QPushButton* m_pBtnNewServer = nullptr;
    QPushButton* m_pBtnSelectServer = nullptr;
    QLabel* m_pLabelSmallLogo = nullptr;
    QLabel* m_pLabelCopyright = nullptr;
    QLabel* m_pLabelBrowser = nullptr;
    QPushButton* m_pBtnExitBrowser = nullptr;

private:
    // Answers input that Continue cannot hand on: the message line says what is
    // wrong and the field to mend (if any) is marked and takes the focus.
    void showInputProblem(ServerInput::Problem problem, QLineEdit* field);
    void setFieldMarked(QLineEdit* field, bool isMarked);
    // Builds the row widget of a picker item from the server the item keeps.
    void makeServerRow(QListWidgetItem* item);

    // The catalogue text the message line shows for bad input, so that a language
    // switch shows it in the new language; null for the main window's messages.
    QString LanguageTexts::*m_pTipText = nullptr;

    // Draws no focus rectangle in the drop-down list; a child of this window,
    // created after the combo box so that it outlives the list that uses it.
    NoFocusRectStyle* m_pNoFocusStyle = nullptr;
    // Builds the picker's rows as they come into view; a child of the list.
    DeferredRows* m_pDeferredRows = nullptr;
};
