// The savings dialogs driven as a user would: deposits and instalments, demand-savings movements,
// balances and closing an account, and the transfer of a deposit to cash.
#include "app/CMainDlg.h"
#include "controls/CCalcPad.h"
#include "dialogs/CDepositDlg.h"
#include "lists/ReferenceLists.h"

#include "MessageRecorder.h"
#include "TestInstallation.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

CMainDlg::Options Quiet()
{
    CMainDlg::Options options;
    options.showSplash = false;
    return options;
}

template <typename T>
T *Find(QWidget *dialog, int id)
{
    return dialog->findChild<T *>(QString::number(id));
}

void Type(QWidget *dialog, int id, const QString &text)
{
    auto *field = Find<QLineEdit>(dialog, id);
    if (!field)
        field = Find<QComboBox>(dialog, id)->lineEdit();  // an account: a list with an edit field
    field->clear();
    QTest::keyClicks(field, text);
}

void Choose(QWidget *dialog, int id, const QString &entry)
{
    auto *box = Find<QComboBox>(dialog, id);
    const int index = box->findText(entry);
    QVERIFY2(index >= 0, qPrintable(entry));
    box->setCurrentIndex(index);
    emit box->activated(index);
}

} // namespace

class TestSavingsDlg : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_install = std::make_unique<TestInstallation>();
        m_messages = std::make_unique<MessageRecorder>();
        m_window = std::make_unique<CMainDlg>(Quiet());
        g_memberList = {QStringLiteral("小明明"), QString(), QStringLiteral("小明"), QString()};
        m_window->show();
        m_window->PressButton(1009);
    }
    void cleanup()
    {
        CCalcPad::CloseOpen();
        m_window.reset();
        m_messages.reset();
        m_install.reset();
    }

    void depositShowsItsMaturityAndIsSaved()
    {
        CDepositDlg dialog(m_window.get());
        dialog.show();
        QVERIFY(!dialog.IsContinueMode());
        Type(&dialog, 1067, QStringLiteral("12#3"));
        QCOMPARE(Find<QComboBox>(&dialog, 1067)->currentText(), QStringLiteral("123"));
        Choose(&dialog, 1076, QStringLiteral("一年"));
        QCOMPARE(Find<QLineEdit>(&dialog, 1077)->text(), QStringLiteral("1.98"));
        Type(&dialog, 1073, QStringLiteral("10000"));
        QCOMPARE(Find<QLineEdit>(&dialog, 1078)->text(), QStringLiteral("10198"));  // no interest tax in the list
        Type(&dialog, 1077, QStringLiteral("2.25"));
        QCOMPARE(Find<QLineEdit>(&dialog, 1078)->text(), QStringLiteral("10225"));
        Find<QLineEdit>(&dialog, 1077)->clear();
        QCOMPARE(Find<QLineEdit>(&dialog, 1078)->text(), QString());  // no rate, no amount due
        QVERIFY(!dialog.SaveAndClose());
        QCOMPARE(m_messages->Last(), QStringLiteral(" 请填写利率"));
        Type(&dialog, 1077, QStringLiteral("2.25"));
        auto *date = dialog.findChild<QDateTimeEdit *>(QStringLiteral("1068"));
        date->setDate(QDate(2003, 11, 30));
        Choose(&dialog, 1076, QStringLiteral("三个月"));
        QCOMPARE(Find<QLineEdit>(&dialog, 1077)->text(), QStringLiteral("1.71"));
        QVERIFY(dialog.SaveAndClose());
        const CDepositBook &book = m_window->m_depositBook;
        QCOMPARE(book.GetItemCount(), 1);
        QCOMPARE(book.GetRowTexts(0).mid(0, 8),
                 QStringList({"2003-11-30", "123", "人民币", "整存整取", "10000", "10042.75", "2004-02-29", "中国工商银行"}));
        QVERIFY(!m_window->m_bEditDeposit);
    }

    void instalmentPlanAndItsNextInstalment()
    {
        {
            CDepositDlg dialog(m_window.get());
            Type(&dialog, 1067, QStringLiteral("plan1"));
            Choose(&dialog, 1075, QStringLiteral("零存整取"));
            QCOMPARE(m_messages->Last(), QStringLiteral("请在存入金额中填入本次存入的金额"));
            QCOMPARE(Find<QComboBox>(&dialog, 1076)->count(), 3);
            Choose(&dialog, 1076, QStringLiteral("三年"));
            Type(&dialog, 1077, QStringLiteral("1.71"));
            Type(&dialog, 1073, QStringLiteral("100"));
            QCOMPARE(Find<QLineEdit>(&dialog, 1078)->text(), QStringLiteral("3694.91"));
            QVERIFY(dialog.SaveAndClose());
        }
        CDepositBook &book = m_window->m_depositBook;
        book.SetSelected(0);
        m_window->m_bEditDeposit = true;
        CDepositDlg dialog(m_window.get());
        QVERIFY(dialog.IsContinueMode());
        QVERIFY(!Find<QComboBox>(&dialog, 1067)->isEnabled());
        QVERIFY(!Find<QComboBox>(&dialog, 1075)->isEnabled());
        QCOMPARE(Find<QLineEdit>(&dialog, 1078)->text(), QStringLiteral("3694.91"));
        QVERIFY(!Find<QLineEdit>(&dialog, 1078)->isEnabled());
        QCOMPARE(Find<QComboBox>(&dialog, 1072)->currentText(), QStringLiteral("小明明"));
        Type(&dialog, 1073, QStringLiteral("100"));
        QVERIFY(dialog.SaveAndClose());
        QCOMPARE(book.GetItemText(0, 4), QStringLiteral("200"));
        QCOMPARE(book.GetItemText(0, 5), QStringLiteral("3694.91"));
        QVERIFY(!m_window->m_bEditDeposit);
    }

    void accountChosenFromTheListSelectsItsBank()
    {
        m_window->m_depositBook.Add(QStringLiteral("2003-01-01"), QStringLiteral("工资卡"), QStringLiteral("人民币"),
                                    QStringLiteral("整存整取"), QStringLiteral("100"), QStringLiteral("101"),
                                    QStringLiteral("2004-01-01"), QStringLiteral("中国银行"), QStringLiteral("小明"), QString());
        CDepositDlg dialog(m_window.get());
        dialog.show();
        auto *account = Find<QComboBox>(&dialog, 1067);
        account->showPopup();
        account->hidePopup();
        QCOMPARE(account->count(), 1);
        emit account->activated(0);
        QCOMPARE(account->currentText(), QStringLiteral("工资卡"));
        QCOMPARE(Find<QComboBox>(&dialog, 1070)->currentText(), QStringLiteral("中国银行"));
    }

private:
    std::unique_ptr<TestInstallation> m_install;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<CMainDlg> m_window;
};

QTEST_MAIN(TestSavingsDlg)
#include "tst_savingsdlg.moc"
