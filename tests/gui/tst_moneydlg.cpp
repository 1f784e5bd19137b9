// The income and expense dialog with its calculator pad, and the member dialogs, driven as a user would.
#include "app/CMainDlg.h"
#include "controls/CCalcPad.h"
#include "controls/CEntryComboBox.h"
#include "db/CMoneyRecord.h"
#include "dialogs/CCreditDlg.h"
#include "dialogs/CCurrentDlg.h"
#include "dialogs/CDepositDlg.h"
#include "dialogs/CInsureDlg.h"
#include "dialogs/CMemoDlg.h"
#include "dialogs/CMoneyDlg.h"
#include "dialogs/CMoneyFindDlg.h"
#include "dialogs/CTransferDlg.h"
#include "lists/CAddMemberDlg.h"
#include "lists/CDeleteMemberDlg.h"
#include "lists/PasswordHash.h"
#include "lists/CLoginDlg.h"
#include "lists/CPasswordDlg.h"
#include "lists/LoginBackoff.h"
#include "lists/ReferenceLists.h"

#include "FileSizeLimit.h"
#include "MessageRecorder.h"
#include "OpenLedger.h"
#include "TestInstallation.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

namespace {

void Click(QWidget *dialog, int id)
{
    QTest::mouseClick(Find<QPushButton>(dialog, id), Qt::LeftButton);
}

} // namespace

class TestMoneyDlg : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_open = std::make_unique<OpenLedger>(QStringList{QStringLiteral("Li"), QString(), QStringLiteral("Wang"), QString()});
        m_install = &m_open->install;
        m_messages = &m_open->messages;
        m_window = &m_open->window;
        m_window->PressButton(1000);
    }
    void cleanup() { m_open.reset(); }

    void refusedSaveIsToldAndKeepsTheDialogOpen()
    {
        CMoneyDlg dialog(m_window->m_moneyBook, EntryMode::Add, m_window);
        dialog.show();
        Choose(&dialog, 1007, QStringLiteral("收入    工资"));
        Type(&dialog, 1006, QStringLiteral("6222021234567890"));  // a card number: more than money can hold to the cent
        Click(&dialog, 1011);
        QVERIFY(dialog.isVisible());
        QCOMPARE(m_messages->messages.size(), 1);
        QCOMPARE(m_messages->Last(), QStringLiteral(" 金额不能大于 9,999,999,999,999.99"));
        QCOMPARE(Find<QLineEdit>(&dialog, 1006)->text(), QStringLiteral("6222021234567890"));
        QCOMPARE(m_window->m_moneyBook.GetItemCount(), 0);
        QCOMPARE(m_window->m_moneyBook.GetTotalCents(), qint64(0));
        Type(&dialog, 1006, QStringLiteral("9999999999999.99"));  // the largest amount is taken, to the cent
        Click(&dialog, 1011);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(m_window->m_moneyBook.GetTotalCents(), qint64(999999999999999));
        QCOMPARE(m_window->m_moneyBook.GetItemText(0, 2), QStringLiteral("9999999999999.99"));
    }

    void expenseIsSignedAndListed()
    {
        CMoneyDlg dialog(m_window->m_moneyBook, EntryMode::Add, m_window);
        dialog.show();
        Choose(&dialog, 1007, QStringLiteral("支出    餐饮"));
        QCOMPARE(Find<CEntryComboBox>(&dialog, 1007)->ShownText(), QStringLiteral("餐饮"));
        QVERIFY(!dialog.IsIncome());
        Type(&dialog, 1006, QStringLiteral("25"));
        Click(&dialog, 1011);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        CMoneyBook &book = m_window->m_moneyBook;
        QCOMPARE(book.GetItemCount(), 1);
        QCOMPARE(book.GetItemText(0, 1), QStringLiteral("餐饮"));
        QCOMPARE(book.GetItemText(0, 3), QStringLiteral("-25"));
        QCOMPARE(book.GetItemText(0, 4), QStringLiteral("Li"));
        QCOMPARE(static_cast<QLabel *>(m_window->Control(1041))->text(), QStringLiteral("您的现金总额:-25元  "));
    }

    void kindFollowsTheItemHoweverItIsChosen()
    {
        CMoneyDlg dialog(m_window->m_moneyBook, EntryMode::Add, m_window);
        dialog.show();
        auto *items = Find<CEntryComboBox>(&dialog, 1007);
        const int entries = items->count();
        Choose(&dialog, 1007, QStringLiteral("收入    其他收入"));  // the last income entry
        items->setFocus();
        QTest::keyClick(items, Qt::Key_Down);  // the first expense entry
        QCOMPARE(items->ShownText(), QStringLiteral("餐饮"));
        QVERIFY(!dialog.IsIncome());
        Type(&dialog, 1006, QStringLiteral("7"));
        QVERIFY(dialog.SaveAndContinue());
        CMoneyBook &book = m_window->m_moneyBook;
        QCOMPARE(book.GetRowTexts(book.GetItemCount() - 1).mid(1, 3), QStringList({"餐饮", "", "-7"}));

        QWheelEvent up(QPointF(5, 5), items->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(items, &up);  // back to the last income entry
        QCOMPARE(items->ShownText(), QStringLiteral("其他收入"));
        QVERIFY(dialog.IsIncome());
        QVERIFY(dialog.SaveAndContinue());
        QCOMPARE(book.GetRowTexts(book.GetItemCount() - 1).mid(1, 3), QStringList({"其他收入", "7", ""}));

        QTest::keyClick(items, Qt::Key_Up);
        QTest::keyClick(items, Qt::Key_Up);
        QCOMPARE(items->ShownText(), QStringLiteral("礼金收入"));
        QCOMPARE(items->count(), entries);  // choices never leave names behind in the list
        QCOMPARE(items->currentText(), QStringLiteral("收入    礼金收入"));
    }

    void modifyShowsTheRecordsOwnItemAndKind()
    {
        // An item no longer in the list, spent: the box shows it and the list keeps only its entries.
        m_window->m_moneyBook.Add(LedgerDateTime(QDate(2003, 5, 1)), QStringLiteral("旧项目"), -30, QStringLiteral("Li"),
                                  QString());
        m_window->m_moneyBook.Add(LedgerDateTime(QDate(2003, 5, 2)), QStringLiteral("工资"), 40, QStringLiteral("Li"),
                                  QString());
        m_window->m_moneyBook.SetSelected(0);
        {
            CMoneyDlg dialog(m_window->m_moneyBook, EntryMode::Modify, m_window);
            auto *items = Find<CEntryComboBox>(&dialog, 1007);
            QCOMPARE(items->ShownText(), QStringLiteral("旧项目"));
            QCOMPARE(items->count(), int(g_itemList.size()));
            QVERIFY(!dialog.IsIncome());
            QVERIFY(dialog.SaveAndContinue());
            QCOMPARE(m_window->m_moneyBook.GetItemText(0, 3), QStringLiteral("-30"));
        }
        m_window->m_moneyBook.SetSelected(1);
        CMoneyDlg dialog(m_window->m_moneyBook, EntryMode::Modify, m_window);
        auto *items = Find<CEntryComboBox>(&dialog, 1007);
        QCOMPARE(items->currentText(), QStringLiteral("收入    工资"));  // the list opens on the record's entry
        QCOMPARE(items->ShownText(), QStringLiteral("工资"));
        QTest::keyClick(items, Qt::Key_Down);
        QCOMPARE(items->ShownText(), QStringLiteral("奖金"));
        QVERIFY(dialog.IsIncome());
    }

    void incomeItemTypedNegativeStaysNegative()
    {
        CMoneyDlg dialog(m_window->m_moneyBook, EntryMode::Add, m_window);
        Choose(&dialog, 1007, QStringLiteral("收入    工资"));
        Type(&dialog, 1006, QStringLiteral("-25"));
        QVERIFY(dialog.SaveAndContinue());
        QCOMPARE(m_window->m_moneyBook.GetTotal(), -25.0);
    }

    void firstFailedCheckIsShownAndNothingSaved()
    {
        CMoneyDlg dialog(m_window->m_moneyBook, EntryMode::Add, m_window);
        dialog.show();
        Click(&dialog, 1011);
        QCOMPARE(m_messages->Last(), QStringLiteral(" 请输入金额"));
        QCOMPARE(m_messages->messages.last().caption, QStringLiteral("错误"));
        Type(&dialog, 1006, QStringLiteral("12.346"));
        Click(&dialog, 1011);
        QCOMPARE(m_messages->Last(), QStringLiteral(" 收支项目未输入"));
        QCOMPARE(Find<QLineEdit>(&dialog, 1006)->text(), QStringLiteral("12.346"));  // rewritten only on a pass
        Choose(&dialog, 1007, QStringLiteral("收入    奖金"));
        g_memberList.clear();
        QTimer::singleShot(0, [] {
            if (auto *modal = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                modal->reject();
        });
        dialog.AddMember();  // cancelled: the member list is refilled, empty
        Click(&dialog, 1011);
        QCOMPARE(m_messages->Last(), QStringLiteral(" 家庭成员未输入"));
        QVERIFY(dialog.isVisible());
        QCOMPARE(m_window->m_moneyBook.GetItemCount(), 0);
    }

    void amountFieldRules()
    {
        CMoneyDlg dialog(m_window->m_moneyBook, EntryMode::Add, m_window);
        dialog.show();
        auto *amount = Find<QLineEdit>(&dialog, 1006);
        QTest::keyClicks(amount, QStringLiteral("1x2"));
        QCOMPARE(amount->text(), QStringLiteral("12"));
        amount->setText(QStringLiteral("12a"));  // a paste
        QCOMPARE(amount->text(), QString());
        amount->setText(QStringLiteral(".5"));
        QCOMPARE(amount->text(), QString());
        Choose(&dialog, 1007, QStringLiteral("收入    工资"));
        amount->setText(QStringLiteral("12.346"));
        QVERIFY(dialog.SaveAndContinue());
        QCOMPARE(amount->text(), QStringLiteral("12.35"));
        QCOMPARE(m_window->m_moneyBook.GetItemText(0, 2), QStringLiteral("12.35"));
    }

    void aSecondPointInTheAmountIsRefusedNotSavedAsLess()
    {
        // "12..5" was saved as 12 and "1.2.3" as 1.2; every other amount field refuses them.
        CMoneyDlg dialog(m_window->m_moneyBook, EntryMode::Add, m_window);
        dialog.show();
        Choose(&dialog, 1007, QStringLiteral("支出    餐饮"));
        for (const QString &typed : {QStringLiteral("12..5"), QStringLiteral("1.2.3")}) {
            m_messages->Clear();
            Type(&dialog, 1006, typed);
            QCOMPARE(Find<QLineEdit>(&dialog, 1006)->text(), typed);  // typing lets it stand, as elsewhere
            QVERIFY(!dialog.SaveAndContinue());
            QCOMPARE(m_messages->Last(), QStringLiteral(" 金额输入错误"));
            QCOMPARE(Find<QLineEdit>(&dialog, 1006)->text(), typed);
        }
        QCOMPARE(m_window->m_moneyBook.GetItemCount(), 0);
        Type(&dialog, 1006, QStringLiteral("12.5"));
        QVERIFY(dialog.SaveAndContinue());
        QCOMPARE(m_window->m_moneyBook.GetItemText(0, 3), QStringLiteral("-12.5"));
    }

    void emptyMemberListsSayWhereMembersAreAdded()
    {
        // A new household has no member, and every save failed with " 家庭成员未输入" with nothing to say
        // how to go on: each member list, empty, shows where members are added, and offers nothing.
        m_window->m_depositBook.Add(QStringLiteral("2003-01-01"), QStringLiteral("零存"), QStringLiteral("人民币"),
                                    QStringLiteral("零存整取"), QStringLiteral("1200"), QStringLiteral("1211.12"),
                                    QStringLiteral("2004-01-01"), QStringLiteral("中国银行"), QString(), QString());
        m_window->m_depositBook.SetSelected(0);
        g_memberList.clear();
        const QString hint = QStringLiteral("请先在 设置 → 系统 → 添加家庭成员 中添加成员");
        const auto emptyWithHint = [&](QWidget &dialog, int id) {
            auto *box = Find<QComboBox>(&dialog, id);
            QVERIFY2(box, qPrintable(QString::number(id)));
            QCOMPARE(box->count(), 0);
            QCOMPARE(box->currentText(), QString());
            QCOMPARE(box->placeholderText(), hint);
        };
        { CDepositDlg dialog(m_window->m_depositBook, EntryMode::Add, m_window); emptyWithHint(dialog, 1072); }
        { CCurrentDlg dialog(m_window->m_currentBook, EntryMode::Add, m_window); emptyWithHint(dialog, 1106); }
        { CTransferDlg dialog(m_window->m_depositBook, m_window->m_moneyBook, m_window); emptyWithHint(dialog, 1084); }
        { CInsureDlg dialog(m_window->m_insureBook, EntryMode::Add, m_window); emptyWithHint(dialog, 1152); }
        { CCreditDlg dialog(m_window->m_creditBook, EntryMode::Add, m_window); emptyWithHint(dialog, 1144); }
        { CMemoDlg dialog(m_window->m_memoBook, EntryMode::Add, m_window); emptyWithHint(dialog, 1116); }
        { CMoneyFindDlg dialog(m_window->m_moneyBook, m_window); emptyWithHint(dialog, 1035); }
        { CDeleteMemberDlg dialog; emptyWithHint(dialog, 1199); }
        { CPasswordDlg dialog; emptyWithHint(dialog, 1191); }

        // The rule and its message stay; a member added from the dialog takes the hint's place.
        CMoneyDlg dialog(m_window->m_moneyBook, EntryMode::Add, m_window);
        dialog.show();
        emptyWithHint(dialog, 1008);
        Choose(&dialog, 1007, QStringLiteral("收入    工资"));
        Type(&dialog, 1006, QStringLiteral("5"));
        QVERIFY(!dialog.SaveAndContinue());
        QCOMPARE(m_messages->Last(), QStringLiteral(" 家庭成员未输入"));
        QTimer::singleShot(0, [] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            Type(modal, 1015, QStringLiteral("Zhao"));
            QTest::mouseClick(Find<QPushButton>(modal, 1017), Qt::LeftButton);
        });
        dialog.AddMember();
        auto *member = Find<QComboBox>(&dialog, 1008);
        QCOMPARE(member->count(), 1);
        QCOMPARE(member->currentText(), QStringLiteral("Zhao"));
        QCOMPARE(member->placeholderText(), QString());
        QVERIFY(dialog.SaveAndContinue());
        QCOMPARE(m_window->m_moneyBook.GetItemText(0, 4), QStringLiteral("Zhao"));
    }

    void tabInANoteMovesOnInsteadOfTypingATab()
    {
        // A record was saved with the note "test\t\n": Tab in a note typed itself. It moves on now, and
        // Shift+Tab back, in the note of every entry dialog.
        CMoneyDlg dialog(m_window->m_moneyBook, EntryMode::Add, m_window);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto *note = Find<QPlainTextEdit>(&dialog, 1009);
        note->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(note, QStringLiteral("test"));
        QTest::keyClick(note, Qt::Key_Tab);
        QVERIFY(!note->hasFocus());
        QCOMPARE(note->toPlainText(), QStringLiteral("test"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(note->hasFocus());
        QCOMPARE(note->toPlainText(), QStringLiteral("test"));
        QTest::keyClick(note, Qt::Key_Return);  // a new line is still a new line
        QCOMPARE(note->toPlainText(), QStringLiteral("test\n"));

        CDepositDlg deposit(m_window->m_depositBook, EntryMode::Add, m_window);
        CCurrentDlg current(m_window->m_currentBook, EntryMode::Add, m_window);
        CCreditDlg credit(m_window->m_creditBook, EntryMode::Add, m_window);
        CMemoDlg memo(m_window->m_memoBook, EntryMode::Add, m_window);
        CInsureDlg insure(m_window->m_insureBook, EntryMode::Add, m_window);
        for (QDialog *other : std::initializer_list<QDialog *>{&deposit, &current, &credit, &memo, &insure}) {
            const auto notes = other->findChildren<QPlainTextEdit *>();
            QVERIFY(!notes.isEmpty());
            for (QPlainTextEdit *field : notes)
                QVERIFY2(field->tabChangesFocus(), qPrintable(other->windowTitle()));
        }
    }

    void modifyKeepsTheSignAndThenAdds()
    {
        m_window->m_moneyBook.Add(LedgerDateTime(QDate(2003, 5, 1), QTime(9, 30)), QStringLiteral("餐饮"), -30,
                                  QStringLiteral("Wang"), QStringLiteral("午饭"));
        m_window->m_moneyBook.SetSelected(0);
        CMoneyDlg dialog(m_window->m_moneyBook, EntryMode::Modify, m_window);
        QVERIFY(dialog.IsModifying());
        QCOMPARE(Find<CEntryComboBox>(&dialog, 1007)->ShownText(), QStringLiteral("餐饮"));
        QCOMPARE(Find<QLineEdit>(&dialog, 1006)->text(), QStringLiteral("-30"));
        QCOMPARE(Find<QComboBox>(&dialog, 1008)->currentText(), QStringLiteral("Wang"));
        Type(&dialog, 1006, QStringLiteral("35"));
        QVERIFY(dialog.SaveAndContinue());
        QVERIFY(!dialog.IsModifying());
        QCOMPARE(m_window->m_moneyBook.GetItemCount(), 1);
        QCOMPARE(m_window->m_moneyBook.GetItemText(0, 3), QStringLiteral("-35"));
        QVERIFY(dialog.SaveAndContinue());  // now an add, with the same values
        QCOMPARE(m_window->m_moneyBook.GetItemCount(), 2);
        QCOMPARE(m_window->m_moneyBook.GetTotal(), -70.0);
    }

    void addedRecordKeepsTheTimeTheDialogOpened()
    {
        const QDateTime before = LedgerNow();
        CMoneyDlg dialog(m_window->m_moneyBook, EntryMode::Add, m_window);
        const QDateTime after = LedgerNow();
        Choose(&dialog, 1007, QStringLiteral("收入    工资"));
        Type(&dialog, 1006, QStringLiteral("10"));
        QVERIFY(dialog.SaveAndContinue());
        CMoneyRecord set;
        set.Open();
        QCOMPARE(set.GetRecordCount(), 1L);
        set.MoveFirst();
        const QDateTime saved = set.m_Date;
        set.Close();
        QVERIFY2(saved >= before && saved <= after, qPrintable(saved.toString(Qt::ISODate)));
    }

    void modifyKeepsTheRecordsOwnMember()
    {
        g_memberList = {QStringLiteral("Lisa"), QString(), QStringLiteral("Li"), QString()};
        CMoneyBook &book = m_window->m_moneyBook;
        for (const QString &member : {QStringLiteral("Li"), QStringLiteral("Zhou")}) {  // Zhou is no member now
            book.Add(LedgerDateTime(QDate(2003, 5, 1)), QStringLiteral("工资"), 30, member, QString());
            int row = 0;
            while (row < book.GetItemCount() && book.GetItemText(row, 4) != member)
                ++row;
            book.SetSelected(row);
            CMoneyDlg dialog(m_window->m_moneyBook, EntryMode::Modify, m_window);
            auto *members = Find<QComboBox>(&dialog, 1008);
            QCOMPARE(members->currentText(), member);
            dialog.SaveAndClose();  // saved unchanged
            QCOMPARE(book.GetItemText(row, 4), member);
        }
        QCOMPARE(book.GetItemCount(), 2);
    }

    void closingWithoutSavingLeavesTheNextDialogAdding()
    {
        m_window->m_moneyBook.Add(LedgerDateTime(QDate(2003, 5, 1)), QStringLiteral("工资"), 30, QStringLiteral("Li"), QString());
        m_window->m_moneyBook.SetSelected(0);
        {
            CMoneyDlg dialog(m_window->m_moneyBook, EntryMode::Modify, m_window);
            dialog.show();
            QTest::keyClick(&dialog, Qt::Key_Escape);
            QVERIFY(dialog.isVisible());  // Escape is swallowed
            QVERIFY(dialog.IsModifying());
            Click(&dialog, 1012);
            QVERIFY(!dialog.isVisible());
        }
        CMoneyDlg next(m_window->m_moneyBook, EntryMode::Add, m_window);  // opened to add: adds, whatever the dialog before was told
        QVERIFY(!next.IsModifying());
        Choose(&next, 1007, QStringLiteral("收入    工资"));
        Type(&next, 1006, QStringLiteral("5"));
        QVERIFY(next.SaveAndContinue());
        QCOMPARE(m_window->m_moneyBook.GetItemCount(), 2);
    }

    void calculatorPadFillsTheAmount()
    {
        CMoneyDlg dialog(m_window->m_moneyBook, EntryMode::Add, m_window);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        Click(&dialog, 1013);
        QVERIFY(g_pCalcPad);
        CCalcPad *pad = g_pCalcPad;
        Click(&dialog, 1013);  // one pad only
        QCOMPARE(g_pCalcPad, pad);
        for (int key : {1023, 1024, 1021, 1028, 1022, 1031, 1021, 1028})  // 12.5 + 7.5
            QTest::mouseClick(pad->findChild<QPushButton *>(QString::number(key)), Qt::LeftButton);
        QCOMPARE(Find<QLineEdit>(&dialog, 1006)->text(), QStringLiteral("7.5"));
        QTest::mouseClick(pad->findChild<QPushButton *>(QStringLiteral("1036")), Qt::LeftButton);
        QCOMPARE(Find<QLineEdit>(&dialog, 1006)->text(), QStringLiteral("20"));
        QVERIFY(!g_pCalcPad);

        Click(&dialog, 1013);
        QVERIFY(g_pCalcPad);
        QTest::mouseClick(Find<QComboBox>(&dialog, 1008), Qt::LeftButton);  // a click elsewhere closes it
        QVERIFY(!g_pCalcPad);
        Click(&dialog, 1013);
        Choose(&dialog, 1007, QStringLiteral("收入    工资"));
        Click(&dialog, 1011);  // any other button closes it too
        QVERIFY(!g_pCalcPad);
        QCOMPARE(m_window->m_moneyBook.GetTotal(), 20.0);
    }

    void loginChecksNameAndPassword()
    {
        g_memberList = {QStringLiteral("Li"), QStringLiteral("pw")};
        CLoginDlg login(m_window);
        Find<QComboBox>(&login, 1063)->setEditText(QStringLiteral("li"));
        Click(&login, 1067);
        QCOMPARE(m_messages->Last(), QStringLiteral(" 您输入的用户不存在"));
        Find<QComboBox>(&login, 1063)->setEditText(QStringLiteral("Li"));
        Find<QLineEdit>(&login, 1064)->setText(QStringLiteral("pw"));
        Click(&login, 1067);
        QCOMPARE(login.Member(), QStringLiteral("Li"));
        QCOMPARE(login.result(), int(QDialog::Accepted));
        CLoginDlg again(m_window);
        Click(&again, 1066);
        QCOMPARE(again.result(), int(QDialog::Rejected));
        QVERIFY(again.Member().isEmpty());
    }

    void wrongPasswordsSlowTheLoginDown()
    {
        g_memberList = {QStringLiteral("Li"), QStringLiteral("pw")};
        qint64 now = 1000;
        LoginBackoff backoff([&now] { return now; });
        CLoginDlg login(m_window, backoff);
        Find<QComboBox>(&login, 1063)->setEditText(QStringLiteral("Li"));
        const auto tryPassword = [&](const QString &password) {
            Find<QLineEdit>(&login, 1064)->setText(password);
            Click(&login, 1067);
        };
        for (int i = 0; i < 4; ++i) {
            tryPassword(QStringLiteral("wrong"));
            QCOMPARE(m_messages->Last(), QStringLiteral(" 您输入的密码错误"));
        }
        tryPassword(QStringLiteral("wrong"));  // the fifth: the wait begins
        QCOMPARE(m_messages->Last(), QStringLiteral("您输入的密码错误\n错误次数过多，请 1 秒后再试。"));
        // While it waits, not even the right password is looked at.
        tryPassword(QStringLiteral("pw"));
        QCOMPARE(m_messages->Last(), QStringLiteral("错误次数过多，请 1 秒后再试。"));
        QVERIFY(login.Member().isEmpty());
        // Each further wrong try doubles the wait, up to 30 seconds.
        QList<int> waits;
        for (int i = 0; i < 7; ++i) {
            now += 30000;
            tryPassword(QStringLiteral("wrong"));
            waits << backoff.SecondsToWait();
        }
        QCOMPARE(waits, QList<int>({2, 4, 8, 16, 30, 30, 30}));
        now += 29500;
        QCOMPARE(backoff.SecondsToWait(), 1);
        now += 500;
        tryPassword(QStringLiteral("pw"));
        QCOMPARE(login.Member(), QStringLiteral("Li"));
        QCOMPARE(backoff.SecondsToWait(), 0);
        backoff.Failed();  // a right password started the count again
        QCOMPARE(backoff.SecondsToWait(), 0);
    }

    // The member dialogs on a file of hashes: the old password is typed, not shown, and the new one
    // follows it until a new one is typed; a damaged slot is set again without it.
    void memberDialogsWorkOnHashes()
    {
        QString cut = HashPassword(QStringLiteral("w"));
        cut.chop(3);
        g_memberList = {QStringLiteral("Li"), HashPassword(QStringLiteral("pw")), QStringLiteral("Wang"), cut};
        const auto loginOf = [](const QString &name) {
            const int member = FindMember(name);
            return member < 0 ? QString() : g_memberList.value(member + 1);
        };
        {
            CPasswordDlg dialog;
            dialog.show();
            Choose(&dialog, 1191, QStringLiteral("Li"));
            for (int field : {1195, 1196, 1197})
                QVERIFY(Find<QLineEdit>(&dialog, field)->text().isEmpty());
            Type(&dialog, 1195, QStringLiteral("bad"));
            Click(&dialog, 1192);
            QCOMPARE(m_messages->Last(), QStringLiteral("您输入的原密码错误"));
            QVERIFY(dialog.isVisible());
            Type(&dialog, 1195, QStringLiteral("pw"));
            QCOMPARE(Find<QLineEdit>(&dialog, 1196)->text(), QStringLiteral("pw"));
            QCOMPARE(Find<QLineEdit>(&dialog, 1197)->text(), QStringLiteral("pw"));
            Type(&dialog, 1194, QStringLiteral("Lee"));
            Click(&dialog, 1192);  // a rename alone: the password stays
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        QCOMPARE(MemberNames(), QStringList({"Lee", "Wang"}));
        QVERIFY(PasswordMatches(loginOf(QStringLiteral("Lee")), QStringLiteral("pw")));
        {
            CPasswordDlg dialog;
            dialog.show();
            Choose(&dialog, 1191, QStringLiteral("Wang"));
            auto *old = Find<QLineEdit>(&dialog, 1195);
            QVERIFY(!old->isEnabled());
            QVERIFY(!old->placeholderText().isEmpty());
            Type(&dialog, 1196, QStringLiteral("n1"));
            Type(&dialog, 1197, QStringLiteral("n1"));
            Click(&dialog, 1192);
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        QVERIFY(PasswordMatches(loginOf(QStringLiteral("Wang")), QStringLiteral("n1")));
        {
            CDeleteMemberDlg remove;
            remove.show();
            Choose(&remove, 1199, QStringLiteral("Wang"));
            Type(&remove, 1202, QStringLiteral("n"));
            Click(&remove, 1200);
            QCOMPARE(m_messages->Last(), QStringLiteral("密码错误"));
            Type(&remove, 1202, QStringLiteral("n1"));
            Click(&remove, 1200);
            QCOMPARE(MemberNames(), QStringList({"Lee"}));
        }
        // 19 characters beyond the BMP pasted: 18 are kept, and they are the password.
        const QString nineteen = QString(QStringLiteral("😀")).repeated(19);
        const QString eighteen = QString(QStringLiteral("😀")).repeated(18);
        {
            CAddMemberDlg add;
            add.show();
            Type(&add, 1015, QStringLiteral("Zhao"));
            Find<QLineEdit>(&add, 1016)->setText(nineteen);
            Find<QLineEdit>(&add, 1019)->setText(nineteen);
            QCOMPARE(Find<QLineEdit>(&add, 1016)->text(), eighteen);
            Click(&add, 1017);
        }
        CLoginDlg login(m_window);
        Find<QComboBox>(&login, 1063)->setEditText(QStringLiteral("Zhao"));
        Find<QLineEdit>(&login, 1064)->setText(eighteen);
        Click(&login, 1067);
        QCOMPARE(login.Member(), QStringLiteral("Zhao"));
    }

    // 删除家庭成员 and 修改密码 ask for a password too: their wrong guesses count with the login's, so
    // moving from one dialog to another starts no fresh five tries.
    void wrongPasswordsInTheMemberDialogsWaitToo()
    {
        g_memberList = {QStringLiteral("Li"), HashPassword(QStringLiteral("pw")), QStringLiteral("Wang"), HashPassword(QString())};
        LoginBackoff &run = LoginBackoff::OfTheRun();
        run.Succeeded();
        const auto cleanSlate = qScopeGuard([&run] { run.Succeeded(); });
        {
            CPasswordDlg change;
            change.show();
            Choose(&change, 1191, QStringLiteral("Li"));
            for (int i = 0; i < 3; ++i) {
                Type(&change, 1195, QStringLiteral("guess"));
                Click(&change, 1192);
                QCOMPARE(m_messages->Last(), QStringLiteral("您输入的原密码错误"));
            }
            // Not a guess: the new password typed twice differently.
            Type(&change, 1195, QStringLiteral("pw"));
            Type(&change, 1196, QStringLiteral("a"));
            Type(&change, 1197, QStringLiteral("b"));
            Click(&change, 1192);
            QCOMPARE(m_messages->Last(), QStringLiteral("确认密码错误"));
        }
        CDeleteMemberDlg remove;
        remove.show();
        Choose(&remove, 1199, QStringLiteral("Li"));
        Type(&remove, 1202, QStringLiteral("guess"));
        Click(&remove, 1200);
        QCOMPARE(m_messages->Last(), QStringLiteral("密码错误"));
        Click(&remove, 1200);  // the fifth in a row
        QCOMPARE(m_messages->Last(), QStringLiteral("密码错误\n错误次数过多，请 1 秒后再试。"));
        Type(&remove, 1202, QStringLiteral("pw"));
        Click(&remove, 1200);  // right, but the wait is on: not looked at
        QCOMPARE(m_messages->Last(), QStringLiteral("错误次数过多，请 1 秒后再试。"));
        QCOMPARE(MemberNames(), QStringList({"Li", "Wang"}));
    }

    // A member file that cannot take the hashes: the login stands, and the household is told.
    void loginOnAnUnwritableMemberFileIsTold()
    {
        g_memberList = {QStringLiteral("Li"), QStringLiteral("pw")};
        m_messages->Clear();
        CLoginDlg login(m_window);
        Find<QComboBox>(&login, 1063)->setEditText(QStringLiteral("Li"));
        Find<QLineEdit>(&login, 1064)->setText(QStringLiteral("pw"));
        {
            FileSizeLimit full(0);
            QVERIFY(full.IsValid());
            Click(&login, 1067);
        }
        QCOMPARE(login.Member(), QStringLiteral("Li"));
        QCOMPARE(m_messages->messages.size(), 1);
        QCOMPARE(m_messages->messages.last().caption, QStringLiteral("家庭成员"));
        QVERIFY(m_messages->Last().startsWith(QStringLiteral("保存家庭成员文件失败")));
        QCOMPARE(g_memberList, QStringList({"Li", "pw"}));
    }

    void reservedCharacterInANewName()
    {
        CAddMemberDlg add;
        QTest::keyClicks(Find<QLineEdit>(&add, 1015), QStringLiteral("a#b"));
        QCOMPARE(Find<QLineEdit>(&add, 1015)->text(), QStringLiteral("ab"));
        QCOMPARE(m_messages->Last(), QStringLiteral("符号 # 为保留字\n   请再次输入"));
        Find<QLineEdit>(&add, 1015)->setText(QStringLiteral("x##y"));  // a paste: one message per '#'
        QCOMPARE(Find<QLineEdit>(&add, 1015)->text(), QStringLiteral("xy"));
        QCOMPARE(m_messages->messages.size(), 3);
        Click(&add, 1017);
        QCOMPARE(MemberNames().mid(2), QStringList({"xy"}));
        QVERIFY(PasswordMatches(g_memberList.value(5), QString()));
    }

    void unsavedMemberChangeIsReportedOnceAndTheDialogStaysOpen()
    {
        m_messages->Clear();
        CAddMemberDlg add;
        add.show();
        Type(&add, 1015, QStringLiteral("Zhao"));
        {
            FileSizeLimit full(0);
            QVERIFY(full.IsValid());
            Click(&add, 1017);
        }
        QCOMPARE(m_messages->Texts(), QStringList({"保存家庭成员文件失败"}));
        QCOMPARE(m_messages->messages.last().caption, QStringLiteral("错误"));
        QVERIFY(add.isVisible());
        QCOMPARE(g_memberList, QStringList({"Li", "", "Wang", ""}));
    }

    void unsavedLoginSettingGoesBack()
    {
        g_bNeedPassword = 0;
        CPasswordDlg dialog;
        dialog.show();
        auto *box = Find<QCheckBox>(&dialog, 1198);
        {
            FileSizeLimit full(0);
            box->click();
        }
        QCOMPARE(m_messages->Last(), QStringLiteral("系统文件保存失败"));
        QCOMPARE(g_bNeedPassword, 0);
        QVERIFY(!box->isChecked());
    }

    void deletingMembersKeepsTheDialogOpen()
    {
        CDeleteMemberDlg remove;
        remove.show();
        auto *names = Find<QComboBox>(&remove, 1199);
        QCOMPARE(names->currentText(), QStringLiteral("Li"));
        Click(&remove, 1200);
        QVERIFY(remove.isVisible());
        QCOMPARE(names->count(), 1);
        QCOMPARE(names->currentText(), QStringLiteral("Wang"));
    }

    void loginSettingIsSavedAtOnce()
    {
        g_bNeedPassword = 0;
        CPasswordDlg dialog;
        dialog.show();
        Find<QCheckBox>(&dialog, 1198)->click();
        QCOMPARE(g_bNeedPassword, 1);
        Click(&dialog, 1193);
        QFile sys(m_install->DataFile("Sys.kwl"));
        QVERIFY(sys.open(QIODevice::ReadOnly));
        QCOMPARE(sys.readAll(), QByteArray("1#"));
    }

    void startUpWithoutMembersOffersToAddOne()
    {
        g_memberList.clear();
        QFile sys(m_install->DataFile("Sys.kwl"));
        QVERIFY(sys.open(QIODevice::WriteOnly | QIODevice::Truncate));
        sys.write("1#");
        sys.close();
        QString seen;
        QTimer::singleShot(0, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            seen = modal ? modal->windowTitle() : QString();
            if (modal)
                static_cast<QDialog *>(modal)->reject();
        });
        CMainDlg window(Quiet());
        QCOMPARE(seen, QStringLiteral("添加家庭成员"));
        QVERIFY(!window.IsEnded());
        QVERIFY(window.m_strMember.isEmpty());
    }

    void cancelledLoginEndsTheStart()
    {
        QFile members(m_install->DataFile("Member.kwl"));
        QVERIFY(members.open(QIODevice::WriteOnly | QIODevice::Truncate));
        members.write("Li#pw#");
        members.close();
        QFile sys(m_install->DataFile("Sys.kwl"));
        QVERIFY(sys.open(QIODevice::WriteOnly | QIODevice::Truncate));
        sys.write("1#");
        sys.close();
        ClearReferenceLists();
        QTimer::singleShot(0, [] {
            if (auto *modal = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                modal->findChild<QPushButton *>(QStringLiteral("1066"))->click();
        });
        CMainDlg window(Quiet());
        QVERIFY(window.IsEnded());
        QVERIFY(!window.m_moneyBook.GetItemCount());
    }

private:
    std::unique_ptr<OpenLedger> m_open;
    TestInstallation *m_install = nullptr;
    MessageRecorder *m_messages = nullptr;
    CMainDlg *m_window = nullptr;
};

QTEST_MAIN(TestMoneyDlg)
#include "tst_moneydlg.moc"
