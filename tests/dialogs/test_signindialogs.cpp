// The sign-in and client-certificate dialogs as the keyboard drives them.
#include "dialogs/CClientCertificateUI.h"
#include "dialogs/CCredentialsUI.h"
#include "ui/LanguageTexts.h"

#include "TestCertificates.h"
#include "WidgetHelpers.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QtTest>

class TestSignInDialogs : public QObject
{
    Q_OBJECT

private slots:
    void credentialsByKeyboard_data();
    void credentialsByKeyboard();
    void certificateByKeyboard_data();
    void certificateByKeyboard();

private:
    LanguageTexts m_texts = [] {
        LanguageTexts texts;
        texts.NoSecretStore = QStringLiteral("no store");
        return texts;
    }();
};

void TestSignInDialogs::credentialsByKeyboard_data()
{
    QTest::addColumn<QString>("user"); // filled in by a refusal
    QTest::addColumn<bool>("canRemember");
    QTest::addColumn<int>("finalKey");
    QTest::addColumn<int>("result");

    QTest::newRow("typed, Enter") << QString() << true << int(Qt::Key_Return) << int(QDialog::Accepted);
    QTest::newRow("refused before, Enter")
        << QStringLiteral("bob") << true << int(Qt::Key_Enter) << int(QDialog::Accepted);
    QTest::newRow("no secret store, Esc") << QString() << false << int(Qt::Key_Escape) << int(QDialog::Rejected);
}

void TestSignInDialogs::credentialsByKeyboard()
{
    QFETCH(QString, user);
    QFETCH(bool, canRemember);
    QFETCH(int, finalKey);
    QFETCH(int, result);
    CCredentialsUI dialog(m_texts, QStringLiteral("proxy asks"), QStringLiteral("Corp"), user,
        user.isEmpty() ? QString() : QStringLiteral("refused"), canRemember);
    QVERIFY(orbisk::test::showExposed(&dialog));
    QCOMPARE(dialog.m_pLabelProblem->isVisible(), !user.isEmpty());
    QCOMPARE(dialog.m_pCheckRemember->isEnabled(), canRemember);
    QCOMPARE(dialog.m_pCheckRemember->toolTip(), canRemember ? QString() : QStringLiteral("no store"));
    QCOMPARE(dialog.m_pEditPassword->echoMode(), QLineEdit::Password);

    // The user name first, Tab to the password, Space ticks the box after another Tab.
    QTRY_COMPARE(QApplication::focusWidget(), dialog.m_pEditUser);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("ice"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), dialog.m_pEditPassword);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("s3cret"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(finalKey));

    QCOMPARE(dialog.result(), result);
    // A name filled in is selected, so typing replaces it.
    QCOMPARE(dialog.user(), QStringLiteral("ice"));
    QCOMPARE(dialog.password(), QStringLiteral("s3cret"));
    QCOMPARE(dialog.isRemembered(), canRemember);
}

void TestSignInDialogs::certificateByKeyboard_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("index");

    QTest::newRow("Enter takes the first") << QList<int>{Qt::Key_Return} << int(QDialog::Accepted) << 0;
    QTest::newRow("Down, Enter takes the second")
        << QList<int>{Qt::Key_Down, Qt::Key_Return} << int(QDialog::Accepted) << 1;
    QTest::newRow("Esc goes without") << QList<int>{Qt::Key_Escape} << int(QDialog::Rejected) << 0;
}

void TestSignInDialogs::certificateByKeyboard()
{
    QFETCH(QList<int>, keys);
    QFETCH(int, result);
    QFETCH(int, index);
    const QList<QSslCertificate> certificates{
        QSslCertificate(orbisk::test::kSelfSignedPem), QSslCertificate(orbisk::test::kIssuedPem)};
    CClientCertificateUI dialog(m_texts, QStringLiteral("files.example:443"), certificates);
    QVERIFY(orbisk::test::showExposed(&dialog));
    QCOMPARE(dialog.m_pList->topLevelItemCount(), 2);
    QCOMPARE(
        dialog.m_pList->topLevelItem(0)->text(0), certificates.at(0).subjectInfo(QSslCertificate::CommonName).value(0));
    QTRY_COMPARE(QApplication::focusWidget(), dialog.m_pList);
    for (const int key : keys)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QCOMPARE(dialog.result(), result);
    QCOMPARE(dialog.selectedIndex(), index);
}

QTEST_MAIN(TestSignInDialogs)
#include "test_signindialogs.moc"
