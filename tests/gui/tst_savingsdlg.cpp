// The savings dialogs driven as a user would: deposits and instalments, demand-savings movements,
// balances and closing an account, and the transfer of a deposit to cash.
#include "app/CMainDlg.h"
#include "controls/CCalcPad.h"
#include "db/Ledger.h"
#include "db/SqlConnection.h"
#include "dialogs/CCurrentBalanceDlg.h"
#include "dialogs/CCurrentDlg.h"
#include "dialogs/CDepositDlg.h"
#include "dialogs/CTransferDlg.h"
#include "lists/ReferenceLists.h"

#include "CommittedView.h"
#include "DeferredGuard.h"
#include "DialogDriving.h"
#include "MessageRecorder.h"
#include "OpenLedger.h"
#include "TestInstallation.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <functional>


class TestSavingsDlg : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_open = std::make_unique<OpenLedger>(QStringList{QStringLiteral("小明明"), QString(), QStringLiteral("小明"), QString()});
        m_install = &m_open->install;
        m_messages = &m_open->messages;
        m_window = &m_open->window;
        m_window->PressButton(1009);
    }
    void cleanup() { m_open.reset(); }

    void depositShowsItsMaturityAndIsSaved()
    {
        CDepositDlg dialog(m_window->m_depositBook, EntryMode::Add, m_window);
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
        QVERIFY(!dialog.IsModifying());
    }

    void instalmentPlanAndItsNextInstalment()
    {
        {
            CDepositDlg dialog(m_window->m_depositBook, EntryMode::Add, m_window);
            Type(&dialog, 1067, QStringLiteral("plan1"));
            Choose(&dialog, 1075, QStringLiteral("零存整取"));
            QCOMPARE(m_messages->Last(), QStringLiteral("请在存入金额中填入本次存入的金额"));
            QCOMPARE(Find<QComboBox>(&dialog, 1076)->count(), 3);
            m_messages->Clear();
            Choose(&dialog, 1075, QStringLiteral("零存整取"));  // chosen again: the notice again, once
            QCOMPARE(m_messages->Texts(), QStringList({"请在存入金额中填入本次存入的金额"}));
            Choose(&dialog, 1076, QStringLiteral("三年"));
            Type(&dialog, 1077, QStringLiteral("1.71"));
            Type(&dialog, 1073, QStringLiteral("100"));
            QCOMPARE(Find<QLineEdit>(&dialog, 1078)->text(), QStringLiteral("3694.91"));
            QVERIFY(dialog.SaveAndClose());
        }
        CDepositBook &book = m_window->m_depositBook;
        book.SetSelected(0);
        CDepositDlg dialog(m_window->m_depositBook, EntryMode::Modify, m_window);
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
        QVERIFY(!dialog.IsModifying());
    }

    void continuingAnInstalmentPlanShowsItsOwnTermAndRate()
    {
        // 续存零整 showed the term and the rate empty; they are the plan's: three years at 1.89 here.
        {
            CDepositDlg dialog(m_window->m_depositBook, EntryMode::Add, m_window);
            Type(&dialog, 1067, QStringLiteral("plan3"));
            Choose(&dialog, 1075, QStringLiteral("零存整取"));
            Choose(&dialog, 1076, QStringLiteral("三年"));
            dialog.findChild<QDateTimeEdit *>(QStringLiteral("1068"))->setDate(QDate(2003, 3, 10));
            Type(&dialog, 1073, QStringLiteral("100"));
            QVERIFY(dialog.SaveAndClose());
        }
        CDepositBook &book = m_window->m_depositBook;
        const auto continueMode = [&](const std::function<void(CDepositDlg &)> &check) {
            book.SetSelected(0);
            CDepositDlg dialog(m_window->m_depositBook, EntryMode::Modify, m_window);
            QVERIFY(dialog.IsContinueMode());
            check(dialog);
        };
        continueMode([](CDepositDlg &dialog) {
            QCOMPARE(Find<QComboBox>(&dialog, 1076)->currentText(), QStringLiteral("三年"));
            QCOMPARE(Find<QLineEdit>(&dialog, 1077)->text(), QStringLiteral("1.89"));
            QVERIFY(!Find<QComboBox>(&dialog, 1076)->isEnabled());
            QVERIFY(!Find<QLineEdit>(&dialog, 1077)->isEnabled());
            QCOMPARE(Find<QLineEdit>(&dialog, 1078)->text(), QStringLiteral("3704.9"));  // the plan's amount due, kept
            // An instalment a year on moves the date kept to its own day.
            dialog.findChild<QDateTimeEdit *>(QStringLiteral("1068"))->setDate(QDate(2004, 5, 10));
            Type(&dialog, 1073, QStringLiteral("100"));
            QVERIFY(dialog.SaveAndClose());
        });
        QCOMPARE(book.GetItemText(0, 0), QStringLiteral("2004-05-10"));
        // Two years from that day to the due date: still the plan of three years, not one of a year.
        continueMode([](CDepositDlg &dialog) {
            QCOMPARE(Find<QComboBox>(&dialog, 1076)->currentText(), QStringLiteral("三年"));
            QCOMPARE(Find<QLineEdit>(&dialog, 1077)->text(), QStringLiteral("1.89"));
        });
    }

    void accountChosenFromTheListSelectsItsBank()
    {
        m_window->m_depositBook.Add(QStringLiteral("2003-01-01"), QStringLiteral("工资卡"), QStringLiteral("人民币"),
                                    QStringLiteral("整存整取"), QStringLiteral("100"), QStringLiteral("101"),
                                    QStringLiteral("2004-01-01"), QStringLiteral("中国银行"), QStringLiteral("小明"), QString());
        CDepositDlg dialog(m_window->m_depositBook, EntryMode::Add, m_window);
        dialog.show();
        auto *account = Find<QComboBox>(&dialog, 1067);
        account->showPopup();
        account->hidePopup();
        QCOMPARE(account->count(), 1);
        emit account->activated(0);
        QCOMPARE(account->currentText(), QStringLiteral("工资卡"));
        QCOMPARE(Find<QComboBox>(&dialog, 1070)->currentText(), QStringLiteral("中国银行"));
    }

    void typingAKnownAccountKeepsItsBankOutOfTheField()
    {
        // The drop-down entries are "account ## bank": typing the start of a known account must not
        // complete the field to the entry, which would save the bank's name as part of the account.
        m_window->m_currentBook.Add(QStringLiteral("2003-01-01"), QStringLiteral("card1"), QStringLiteral("中国银行"),
                                    QStringLiteral("人民币"), QStringLiteral("5"), QStringLiteral("存入现金"),
                                    QStringLiteral("小明"), QString());
        CCurrentDlg dialog(m_window->m_currentBook, EntryMode::Add, m_window);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        auto *account = Find<QComboBox>(&dialog, 1235);
        account->showPopup();
        account->hidePopup();
        account->lineEdit()->setFocus();
        QTest::keyClicks(account->lineEdit(), QStringLiteral("ca"));
        QVERIFY2(!account->currentText().contains(QStringLiteral("中国银行")), qPrintable(account->currentText()));
        QTest::keyClicks(account->lineEdit(), QStringLiteral("rd1"));
        QCOMPARE(account->currentText(), QStringLiteral("card1"));
    }

    void movementsAreSignedByTheirNote()
    {
        for (const auto &[note, expected] : {std::pair<QString, QString>{"出 取出现金", "-200"}, {"进 工资转入", "200"}}) {
            CCurrentDlg dialog(m_window->m_currentBook, EntryMode::Add, m_window);
            Type(&dialog, 1235, QStringLiteral("A"));
            Type(&dialog, 1103, QStringLiteral("200"));
            QVERIFY(!dialog.SaveAndClose());
            QCOMPARE(m_messages->Last(), QStringLiteral(" 请选择注释"));
            Choose(&dialog, 1105, note);
            QVERIFY(dialog.SaveAndClose());
            const CCurrentBook &book = m_window->m_currentBook;
            const QStringList row = book.GetRowTexts(book.GetItemCount() - 1);
            QCOMPARE(row.value(4), expected);
            QCOMPARE(row.value(5), note.mid(2));
        }
    }

    void modifyKeepsTheDirectionOfTheMovement()
    {
        CCurrentBook &book = m_window->m_currentBook;
        book.Add(QStringLiteral("2003-01-01"), QStringLiteral("A"), QStringLiteral("中国银行"), QStringLiteral("人民币"),
                 QStringLiteral("-200"), QStringLiteral("取出现金"), QStringLiteral("小明"), QString());
        book.SetSelected(0);
        CCurrentDlg dialog(m_window->m_currentBook, EntryMode::Modify, m_window);
        QVERIFY(dialog.IsModifyMode());
        QCOMPARE(Find<QLineEdit>(&dialog, 1103)->text(), QStringLiteral("200"));  // the magnitude, which its field can hold
        QVERIFY(dialog.IsOut());
        QCOMPARE(Find<QComboBox>(&dialog, 1106)->currentText(), QStringLiteral("小明"));  // not 小明明
        Type(&dialog, 1103, QStringLiteral("250"));
        QVERIFY(dialog.SaveAndClose());
        QCOMPARE(book.GetItemText(0, 4), QStringLiteral("-250"));
        QVERIFY(!dialog.IsModifying());
    }

    void balancesAndClosingAnAccount()
    {
        CCurrentBook &book = m_window->m_currentBook;
        const auto add = [&](const QString &account, const QString &currency, const QString &money) {
            book.Add(QStringLiteral("2003-01-01"), account, QStringLiteral("中国银行"), currency, money,
                     QStringLiteral("存入现金"), QStringLiteral("小明"), QString());
        };
        add(QStringLiteral("A"), QStringLiteral("美元"), QStringLiteral("100"));
        add(QStringLiteral("A"), QStringLiteral("美元"), QStringLiteral("-30"));
        add(QStringLiteral("B"), QStringLiteral("美元"), QStringLiteral("5"));
        add(QStringLiteral("C"), QStringLiteral("人民币"), QStringLiteral("7"));
        m_window->PressButton(1009);
        book.SetSelected(0);
        CCurrentBalanceDlg dialog(m_window->m_currentBook, m_window);
        auto *list = dialog.findChild<QTreeWidget *>(QStringLiteral("1110"));
        Choose(&dialog, 1111, QStringLiteral("美元"));
        QCOMPARE(list->topLevelItemCount(), 3);
        QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("70"));
        QCOMPARE(list->topLevelItem(1)->text(1), QStringLiteral("5"));
        QCOMPARE(list->topLevelItem(2)->text(1), QStringLiteral("0"));
        dialog.CloseChosenAccount();  // nothing chosen: nothing happens
        QCOMPARE(book.GetItemCount(), 4);
        dialog.ChooseRow(0);
        m_messages->answer = false;
        dialog.CloseChosenAccount();
        QCOMPARE(m_messages->Last(), QStringLiteral("确定要删除帐户 A 的所有记录吗?"));
        QCOMPARE(book.GetItemCount(), 4);
        m_messages->answer = true;
        dialog.CloseChosenAccount();
        QCOMPARE(book.GetItemCount(), 2);
        QCOMPARE(list->topLevelItemCount(), 2);
        QVERIFY(list->selectedItems().isEmpty());  // nothing left highlighted that 销户 would not act on
        QVERIFY(!Find<QPushButton>(&dialog, 1112)->isEnabled());
        QVERIFY(!m_window->Control(1068)->isEnabled() && !m_window->Control(1069)->isEnabled());
        QCOMPARE(CommittedView(m_install->DataFile("Kinward.db")).Rows(QStringLiteral("SELECT count(*) FROM Current WHERE Account='A'")),
                 QStringList({"0"}));
    }

    void balanceListTakingTheFocusChoosesNoAccount()
    {
        // The list takes the focus when the dialog opens and Qt made its first row current: 销户 was
        // enabled at once and asked to close an account nobody chose.
        CCurrentBook &book = m_window->m_currentBook;
        for (const char *account : {"A", "B"})
            book.Add(QStringLiteral("2003-01-01"), QString::fromLatin1(account), QStringLiteral("中国银行"),
                     QStringLiteral("人民币"), QStringLiteral("10"), QStringLiteral("存入现金"), QStringLiteral("小明"), QString());
        m_messages->Clear();
        CCurrentBalanceDlg dialog(m_window->m_currentBook, m_window);
        auto *list = dialog.findChild<QTreeWidget *>(QStringLiteral("1110"));
        auto *closeAccount = Find<QPushButton>(&dialog, 1112);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        list->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(list->hasFocus());
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(dialog.ChosenRow(), -1);
        QVERIFY(!closeAccount->isEnabled());
        QVERIFY(list->selectedItems().isEmpty());
        dialog.CloseChosenAccount();
        QVERIFY(m_messages->messages.isEmpty());  // no question about an account not chosen
        QCOMPARE(book.GetItemCount(), 2);

        // The focus leaving and coming back chooses nothing either.
        Find<QComboBox>(&dialog, 1111)->setFocus(Qt::TabFocusReason);
        list->setFocus(Qt::BacktabFocusReason);
        QVERIFY(list->hasFocus());
        QCOMPARE(dialog.ChosenRow(), -1);

        // The first key that moves chooses the first row; the next the second.
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(dialog.ChosenRow(), 0);
        QVERIFY(closeAccount->isEnabled());
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(dialog.ChosenRow(), 1);
        // A click chooses too.
        const QRect first = list->visualItemRect(list->topLevelItem(0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, first.center());
        QCOMPARE(dialog.ChosenRow(), 0);
    }

    void transferToCash()
    {
        CDepositBook &deposits = m_window->m_depositBook;
        deposits.Add(QStringLiteral("2003-01-01"), QStringLiteral("零存"), QStringLiteral("人民币"), QStringLiteral("零存整取"),
                     QStringLiteral("1200"), QStringLiteral("1211.12"), QStringLiteral("2004-01-01"),
                     QStringLiteral("中国银行"), QStringLiteral("小明"), QString());
        deposits.SetSelected(0);
        {
            CTransferDlg dialog(m_window->m_depositBook, m_window->m_moneyBook, m_window);
            QCOMPARE(Find<QLineEdit>(&dialog, 1088)->text(), QStringLiteral("1211.12"));
            QCOMPARE(Find<QComboBox>(&dialog, 1084)->currentText(), QStringLiteral("小明"));
            Type(&dialog, 1088, QStringLiteral("1211.13"));
            QVERIFY(!dialog.SaveAndClose());
            QCOMPARE(m_messages->Last(), QStringLiteral(" 转入金额不能大于存款到期金额"));
            Type(&dialog, 1088, QStringLiteral("1211.12"));
            QVERIFY(dialog.SaveAndClose());
        }
        QCOMPARE(deposits.GetItemCount(), 0);
        QVERIFY(m_window->Control(1041)->isHidden());  // the cash status line stays with its own panel
        QVERIFY(m_window->Control(1094)->isHidden());
        QCOMPARE(m_window->m_moneyBook.GetTotalCents(), qint64(121112));
        QCOMPARE(m_window->m_moneyBook.GetItemText(0, 1), QStringLiteral("资金互转"));
    }

    void transferThatFailsAtTheEndChangesNothing()
    {
        CDepositBook &deposits = m_window->m_depositBook;
        deposits.Add(QStringLiteral("2003-01-01"), QStringLiteral("定期"), QStringLiteral("人民币"), QStringLiteral("整存整取"),
                     QStringLiteral("1000"), QStringLiteral("1019.8"), QStringLiteral("2004-01-01"),
                     QStringLiteral("中国银行"), QStringLiteral("小明"), QString());
        auto db = OpenLedgerDatabase(m_install->DataFile("Kinward.db"));
        LayDeferredGuard(*db);
        FailCommitOfDeletes(*db, QStringLiteral("Deposit"));
        deposits.SetSelected(0);
        CTransferDlg dialog(m_window->m_depositBook, m_window->m_moneyBook, m_window);
        QVERIFY(!dialog.SaveAndClose());
        QCOMPARE(m_messages->messages.last().caption, QStringLiteral("错误"));
        QCOMPARE(deposits.GetItemCount(), 1);
        QCOMPARE(m_window->m_moneyBook.GetItemCount(), 0);
        QCOMPARE(m_window->m_moneyBook.GetTotalCents(), qint64(0));
        CommittedView view(m_install->DataFile("Kinward.db"));
        QCOMPARE(view.Rows(QStringLiteral("SELECT count(*) FROM Money")), QStringList({"0"}));
        QCOMPARE(view.Rows(QStringLiteral("SELECT count(*) FROM Deposit")), QStringList({"1"}));
        QCOMPARE(deposits.GetDueTotal(), 1019.8);
    }

    void transferOfADepositGoneFromTheLedgerAddsNoMoney()
    {
        // The deposit was taken away elsewhere (another window of the ledger, which may have moved it to
        // cash itself): the remove finds nothing to delete, so the money must not be added either.
        CDepositBook &deposits = m_window->m_depositBook;
        deposits.Add(QStringLiteral("2003-01-01"), QStringLiteral("定期"), QStringLiteral("人民币"), QStringLiteral("整存整取"),
                     QStringLiteral("1000"), QStringLiteral("1019.8"), QStringLiteral("2004-01-01"),
                     QStringLiteral("中国银行"), QStringLiteral("小明"), QString());
        deposits.SetSelected(0);
        CTransferDlg dialog(m_window->m_depositBook, m_window->m_moneyBook, m_window);
        OpenLedgerDatabase(m_install->DataFile("Kinward.db"))->Execute(QStringLiteral("DELETE FROM Deposit"));
        QVERIFY(!dialog.SaveAndClose());
        QCOMPARE(m_window->m_moneyBook.GetItemCount(), 0);
        QCOMPARE(m_window->m_moneyBook.GetTotalCents(), qint64(0));
        QCOMPARE(CommittedView(m_install->DataFile("Kinward.db")).Rows(QStringLiteral("SELECT count(*) FROM Money")),
                 QStringList({"0"}));
    }

private:
    std::unique_ptr<OpenLedger> m_open;
    TestInstallation *m_install = nullptr;
    MessageRecorder *m_messages = nullptr;
    CMainDlg *m_window = nullptr;
};

QTEST_MAIN(TestSavingsDlg)
#include "tst_savingsdlg.moc"
