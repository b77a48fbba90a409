#pragma once

#include <QWidget>

class QLabel;

// One row of the server drop-down: the server's display text and a delete button.
// Its object name is the server's name, its accessible name the server's URL. A text
// longer than the row ends in "..." (the tooltip holds it whole).
class ItemWidgetFile : public QWidget
{
    Q_OBJECT

public:
    explicit ItemWidgetFile(QWidget* parent = nullptr);

    QLabel* m_pLabel = nullptr;

    // The server's display text, shown as far as the row allows.
    void setText(const QString& sText);
    QString text() const { return m_sText; }

    // Marks the row as an administrator's server: a padlock instead of the delete
    // button, and sTip as its tooltip.
    void setManaged(const QString& sTip);

signals:
    void signal_mouseClick(QString s);
    // The delete button: the user wants to forget the row's server.
    void deleteRequested(QString sUrl);

public slots:
    // Asks for the row's server to be forgotten.
    void slot_buttonDelete();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    // The label's text follows the label's width.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void elide();

    QString m_sText;
};
