// Rows of a long list are built as they come into view; a long server list is whole
// in the picker and the menu all the same.
#include "login/CCombox.h"
#include "login/CLoginUI.h"
#include "login/DeferredRows.h"
#include "login/ItemWidgetFile.h"
#include "mainwindow/CMainWindow.h"

#include "ClientWindows.h"
#include "TestEnvironment.h"
#include "WidgetHelpers.h"

#include <QLabel>
#include <QListWidget>
#include <QScrollBar>

namespace {
int builtRows(const QListWidget& list)
{
    int built = 0;
    for (int i = 0; i < list.count(); ++i)
        built += list.itemWidget(list.item(i)) != nullptr;
    return built;
}

// A list of count items whose rows are labels naming their row.
void fill(QListWidget& list, DeferredRows& rows, int count)
{
    for (int i = 0; i < count; ++i) {
        auto* item = new QListWidgetItem(&list);
        item->setData(Qt::UserRole, i);
        rows.added(item);
    }
}
} // namespace

class TestDeferredRows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { orbisk::test::prepareTestEnvironment(); }

    void shortListIsBuiltAtOnce()
    {
        QListWidget list;
        DeferredRows rows(&list, [&list](QListWidgetItem* item) {
            list.setItemWidget(item, new QLabel(item->data(Qt::UserRole).toString()));
        });
        fill(list, rows, DeferredRows::kEagerRows);
        QCOMPARE(builtRows(list), DeferredRows::kEagerRows);
    }

    void rowsInViewAreBuilt_data()
    {
        QTest::addColumn<double>("position"); // of the scroll bar, 0 top to 1 bottom
        QTest::newRow("top") << 0.0;
        QTest::newRow("middle") << 0.5;
        QTest::newRow("bottom") << 1.0;
    }
    void rowsInViewAreBuilt()
    {
        QFETCH(double, position);
        QListWidget list;
        int iBuilt = 0;
        DeferredRows rows(&list, [&list, &iBuilt](QListWidgetItem* item) {
            list.setItemWidget(item, new QLabel(item->data(Qt::UserRole).toString()));
            ++iBuilt;
        });
        const int count = 20 * DeferredRows::kEagerRows;
        fill(list, rows, count);
        QCOMPARE(iBuilt, DeferredRows::kEagerRows);

        list.resize(300, 10 * list.sizeHintForRow(0));
        QVERIFY(orbisk::test::showExposed(&list));
        QScrollBar* bar = list.verticalScrollBar();
        bar->setValue(bar->minimum() + int(position * (bar->maximum() - bar->minimum())));

        // Every row in view has its widget; the rest of the long list has none.
        const QModelIndex top = list.indexAt(QPoint(1, 1));
        const QModelIndex bottom = list.indexAt(QPoint(1, list.viewport()->height() - 2));
        QVERIFY(top.isValid());
        for (int row = top.row(); row <= (bottom.isValid() ? bottom.row() : count - 1); ++row)
            QVERIFY2(list.itemWidget(list.item(row)), qPrintable(QString::number(row)));
        QVERIFY2(iBuilt < DeferredRows::kEagerRows + 50, qPrintable(QString::number(iBuilt)));

        // An item added while the list is in view gets its row at once.
        auto* item = new QListWidgetItem(&list);
        rows.added(item);
        QVERIFY(list.itemWidget(item));
    }

    void longServerListIsWholeInPickerAndMenu()
    {
        const int count = 3 * DeferredRows::kEagerRows;
        ServerList servers;
        for (int i = 0; i < count; ++i)
            servers.append({QStringLiteral("s%1").arg(i), QStringLiteral("https://s%1.example").arg(i), false});
        orbisk::test::writeServerFile(servers);
        orbisk::test::ClientWindows client;
        client.start();
        CLoginUI* login = client.login;

        QCOMPARE(login->m_pListWidget->count(), count);
        QCOMPARE(orbisk::test::serverActions(client.window).size(), count);
        QCOMPARE(login->m_pComboServer->currentText(), QStringLiteral("s%1 (https://s%1.example)").arg(count - 1));
        QCOMPARE(orbisk::test::checkedServerAction(client.window), login->m_pComboServer->currentText());

        // Scrolled to the end of the drop-down, the last server's row is built for it.
        client.present();
        login->m_pComboServer->showPopup();
        login->m_pListWidget->scrollToBottom();
        QListWidgetItem* last = login->m_pListWidget->item(count - 1);
        QTRY_VERIFY(login->m_pListWidget->itemWidget(last));
        auto* row = qobject_cast<ItemWidgetFile*>(login->m_pListWidget->itemWidget(last));
        QCOMPARE(row->text(), login->m_pComboServer->currentText());
        QCOMPARE(row->accessibleName(), QStringLiteral("https://s%1.example").arg(count - 1));
        login->m_pComboServer->hidePopup();

        // A server whose row was never built is deleted like any other.
        const int deleted = 2 * DeferredRows::kEagerRows;
        QVERIFY(!login->m_pListWidget->itemWidget(login->m_pListWidget->item(deleted)));
        const QString sUrl = servers.at(deleted).url;
        client.window->serverBook().remove(sUrl);
        QCOMPARE(login->m_pListWidget->count(), count - 1);
        QCOMPARE(orbisk::test::serverActions(client.window).size(), count - 1);
        for (int i = 0; i < login->m_pListWidget->count(); ++i)
            QVERIFY(login->m_pListWidget->item(i)->data(Qt::UserRole + 1).toString() != sUrl);
    }
};

ORBISK_WEBENGINE_TEST_MAIN(TestDeferredRows)
#include "test_deferredrows.moc"
