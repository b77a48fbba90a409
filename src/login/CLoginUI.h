#pragma once

#include "login/ServerInput.h"
#include "servers/ServerEntry.h"
#include "ui/LanguageTexts.h"

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

namespace orbisk {
class ServerBook;
}

// True while the login window is in browser mode; written only by
// CLoginUI::setBrowserModel, read by the main window's delayed login.
extern bool g_isBrowserMode;

// The small fixed-size window in which the user enters a new server, picks a known
// one, or (in browser mode) chooses to take the service back from the browser.
// It never connects by itself: it asks for what the user wants with its signals, and
// its picker follows the server book.
class CLoginUI : public QMainWindow
{
    Q_OBJECT

public:
    explicit CLoginUI(QWidget* parent = nullptr);
    ~CLoginUI() override;

    // The server list the picker shows and changes; its rows follow the book's signals.
    void setServerBook(orbisk::ServerBook* pBook);

    void setTipText(QString text);
    void clearTipText();
    void setUiEnabled(bool isEnabled);
    void setBrowserModel(bool isBrowserModel);
    void switchServerMode(bool isNewServer);
    // Shows the texts in the language the client now shows.
    void retranslateUi(const LanguageTexts& texts);

    // Adds a server's row to the picker.
    void addServerItem(QString sName, QString sUrl);
    // Removes every picker row of the URL.
    void removeServerItem(QString sUrl);
    // Remembers a server after its page loaded, as the default when the box is ticked;
    // a known URL changes nothing.
    void saveServer(QString sName, QString sUrl);
    // Fills the picker at start from the server list: every entry gets its row; the
    // last default entry is shown, or the last entry without a default.
    void fillServerPicker(const ServerList& servers);

signals:
    // Continue with valid input: the server to load.
    void continueRequested(QString sName, QString sUrl);
    // The window was closed.
    void closeRequested();
    // A row's delete button: forget the server.
    void deleteRequested(QString sUrl);
    // The user asked to leave browser mode.
    void exitBrowserModeRequested();
    // The picker shows another server, by its display text.
    void shownServerChanged(QString sText);

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

    orbisk::ServerBook* m_pBook = nullptr;
    LanguageTexts m_texts;

    // The catalogue text the message line shows for bad input, so that a language
    // switch shows it in the new language; null for the main window's messages.
    QString LanguageTexts::*m_pTipText = nullptr;

    // Draws no focus rectangle in the drop-down list; a child of this window,
    // created after the combo box so that it outlives the list that uses it.
    NoFocusRectStyle* m_pNoFocusStyle = nullptr;
    // Builds the picker's rows as they come into view; a child of the list.
    DeferredRows* m_pDeferredRows = nullptr;
};
