// The credit, memo and address dialogs, the income/expense filter and the find windows, driven as a
// user would: signs and checks, modify filling back, the filter from its first midnight, and find
// windows stepping through matches until a change to their list takes the matches away.
#include "app/CMainDlg.h"
#include "controls/CCalcPad.h"
#include "dialogs/CAddressDlg.h"
#include "dialogs/CCreditDlg.h"
#include "dialogs/CFilterDlg.h"
#include "dialogs/CFindDlg.h"
#include "dialogs/CMemoDlg.h"
#include "dialogs/CMoneyFindDlg.h"
#include "lists/ReferenceLists.h"

#include "CommittedView.h"
#include "DialogDriving.h"
#include "MessageRecorder.h"
#include "OpenLedger.h"
#include "TestInstallation.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

QDateTime At(int year, int month, int day, int hour = 12)
{
    return LedgerDateTime(QDate(year, month, day), QTime(hour, 0));
}

} // namespace

class TestFindDlg : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_open = std::make_unique<OpenLedger>(QStringList{QStringLiteral("Li"), QString(), QStringLiteral("Wang"), QString()});
        m_install = &m_open->install;
        m_messages = &m_open->messages;
        m_window = &m_open->window;
    }
    void cleanup() { m_open.reset(); }

    void borrowedMoneyIsSavedNegativeAndFillsBack()
    {
        m_window->PressButton(1012);
        m_window->PressButton(1074);
        CCreditBook &book = m_window->m_creditBook;
        {
            CCreditDlg dialog(m_window->m_creditBook, EntryMode::Add, m_window);
            dialog.show();
            QVERIFY(!dialog.IsModifyMode());
            Type(&dialog, 1139, QStringLiteral("500"));
            QVERIFY(!dialog.SaveAndClose());
            QCOMPARE(m_messages->Last(), QStringLiteral(" 请选择借贷活动"));
            Choose(&dialog, 1138, QStringLiteral("借入"));
            QVERIFY(dialog.SaveAndClose());  // no other party: accepted
        }
        QCOMPARE(book.GetRowTexts(0).mid(1, 5), QStringList({"借入", "", "-500", "", "Li"}));
        QCOMPARE(book.GetTotal(), -500.0);
        QCOMPARE(CommittedView(m_install->DataFile("Kinward.db")).Rows("SELECT Money FROM Credit"), QStringList({"-500.0"}));
        QCOMPARE(qobject_cast<QLabel *>(m_window->Control(1049))->text(), QStringLiteral("您的债权债务总额:-500元"));

        book.SetSelected(0);
        CCreditDlg dialog(m_window->m_creditBook, EntryMode::Modify, m_window);
        QVERIFY(dialog.IsModifyMode());
        QCOMPARE(Find<QComboBox>(&dialog, 1138)->currentText(), QStringLiteral("借入"));
        QCOMPARE(Find<QLineEdit>(&dialog, 1139)->text(), QStringLiteral("-500"));
        Find<QLineEdit>(&dialog, 1139)->setText(QStringLiteral("5-"));  // would be +5, money lent
        QVERIFY(!dialog.SaveAndClose());
        QCOMPARE(m_messages->Last(), QStringLiteral(" 金额填写错误"));
        Find<QLineEdit>(&dialog, 1139)->setText(QStringLiteral("+300"));
        Find<QLineEdit>(&dialog, 1141)->setText(QStringLiteral("张三"));
        QVERIFY(dialog.SaveAndClose());
        QVERIFY(!dialog.IsModifying());
        QCOMPARE(book.GetItemCount(), 1);
        QCOMPARE(book.GetRowTexts(0).mid(1, 4), QStringList({"借入", "", "-300", "张三"}));
        QCOMPARE(book.GetTotal(), -300.0);

        // Lent as "007": listed and found as 7, as the ledger shows it when opened again.
        CCreditDlg lent(m_window->m_creditBook, EntryMode::Add, m_window);
        Choose(&lent, 1138, QStringLiteral("借出"));
        Find<QLineEdit>(&lent, 1139)->setText(QStringLiteral("007"));
        QVERIFY(lent.SaveAndClose());
        QCOMPARE(book.GetItemText(1, 2), QStringLiteral("7"));
        m_window->PressButton(1028);
        Find<QComboBox>(m_window->FindWindow(), 1090)->setCurrentIndex(2);
        Find<QLineEdit>(m_window->FindWindow(), 1091)->setText(QStringLiteral("7"));
        static_cast<CFindDlg *>(m_window->FindWindow())->Find();
        QCOMPARE(book.GetSelected(), 1);
    }

    void memoOfBlanksIsAMemo()
    {
        m_window->PressButton(1012);
        CMemoDlg dialog(m_window->m_memoBook, EntryMode::Add, m_window);
        Find<QDateTimeEdit>(&dialog, 1115)->setDate(QDate(2003, 5, 1));
        QVERIFY(!dialog.SaveAndClose());
        QCOMPARE(m_messages->Last(), QStringLiteral(" 请输入备忘内容"));
        QCOMPARE(m_messages->messages.last().caption, QStringLiteral("错误"));
        Find<QPlainTextEdit>(&dialog, 1117)->setPlainText(QStringLiteral("   "));
        Find<QComboBox>(&dialog, 1116)->setCurrentIndex(1);
        QVERIFY(dialog.SaveAndClose());
        QCOMPARE(m_window->m_memoBook.GetRowTexts(0), QStringList({"2003-05-01", "   ", "Wang"}));

        m_window->m_memoBook.SetSelected(0);
        CMemoDlg modify(m_window->m_memoBook, EntryMode::Modify, m_window);
        QCOMPARE(Find<QComboBox>(&modify, 1116)->currentText(), QStringLiteral("Wang"));
        QCOMPARE(Find<QDateTimeEdit>(&modify, 1115)->date(), QDate(2003, 5, 1));
        Find<QPlainTextEdit>(&modify, 1117)->setPlainText(QStringLiteral("交电费"));
        QVERIFY(modify.SaveAndClose());
        QCOMPARE(m_window->m_memoBook.GetItemCount(), 1);
        QCOMPARE(m_window->m_memoBook.GetItemText(0, 1), QStringLiteral("交电费"));
    }

    void addressesAreSearchedByAnyOfTheirFifteenColumns()
    {
        m_window->PressButton(1012);
        m_window->PressButton(1073);
        const auto add = [&](const QString &name, const QString &email, const QString &note2) {
            CAddressDlg dialog(m_window->m_addressBook, EntryMode::Add, m_window);
            Find<QLineEdit>(&dialog, 1120)->setText(name);
            Find<QLineEdit>(&dialog, 1131)->setText(email);
            Find<QPlainTextEdit>(&dialog, 1134)->setPlainText(note2);
            return dialog.SaveAndClose();
        };
        QVERIFY(!add(QString(), QStringLiteral("a@b"), QString()));
        QCOMPARE(m_messages->Last(), QStringLiteral("请填入姓名"));
        QCOMPARE(m_window->m_addressBook.GetItemCount(), 0);
        QVERIFY(add(QStringLiteral("王"), QStringLiteral("w@x"), QStringLiteral("老同学")));
        QVERIFY(add(QStringLiteral("李"), QString(), QString()));  // a name and nothing else
        QVERIFY(add(QStringLiteral("赵"), QString(), QStringLiteral("老同学")));
        CAddressBook &book = m_window->m_addressBook;
        QStringList expected(15);
        expected[0] = QStringLiteral("王");
        expected[6] = QStringLiteral("w@x");  // 电子邮件 is the seventh value
        expected[14] = QStringLiteral("老同学");
        QCOMPARE(book.GetRowTexts(0), expected);

        m_window->PressButton(1024);
        auto *finder = qobject_cast<CFindDlg *>(m_window->FindWindow());
        QVERIFY(finder);
        QCOMPARE(finder->GetMode(), CFindDlg::Mode::Address);
        QCOMPARE(finder->windowTitle(), QStringLiteral("通讯录查找"));
        auto *column = Find<QComboBox>(finder, 1090);
        QCOMPARE(column->count(), 15);
        QCOMPARE(column->itemText(14), QStringLiteral("备注2"));
        column->setCurrentIndex(14);
        Find<QLineEdit>(finder, 1091)->setText(QStringLiteral("老同学"));
        finder->Find();
        QCOMPARE(book.GetSelected(), 0);
        QVERIFY(m_window->Control(1022)->isEnabled());  // the row buttons follow the match
        QVERIFY(finder->IsNextEnabled());
        finder->FindNext();
        QCOMPARE(book.GetSelected(), 2);
        QVERIFY(!finder->IsNextEnabled());

        // Modify shows the fifteen texts in their places.
        CAddressDlg modify(m_window->m_addressBook, EntryMode::Modify, m_window);
        QCOMPARE(modify.FieldTexts(), book.GetRowTexts(2));
    }

    void eachListHasItsOwnSearchAndOneWindowAtATime()
    {
        m_window->PressButton(1012);
        m_window->PressButton(1016);
        QCOMPARE(qobject_cast<CFindDlg *>(m_window->FindWindow())->GetMode(), CFindDlg::Mode::Memo);
        QCOMPARE(Find<QComboBox>(m_window->FindWindow(), 1090)->count(), 3);
        QPointer<QDialog> first = m_window->FindWindow();
        m_window->PressButton(1016);
        QCOMPARE(m_window->FindWindow(), first.data());
        m_window->PressButton(1074);  // the memo panel left: its window goes, at once
        QVERIFY(!m_window->FindWindow());
        QVERIFY(!first);
        m_window->PressButton(1028);
        QCOMPARE(m_window->FindWindow()->windowTitle(), QStringLiteral("备债权债务查找"));
        QCOMPARE(Find<QComboBox>(m_window->FindWindow(), 1090)->itemText(3), QStringLiteral("借入"));
        QTest::keyClick(m_window->FindWindow(), Qt::Key_Escape);
        QVERIFY(!m_window->FindWindow());
        m_window->PressButton(1009);
        m_window->PressButton(1064);
        QCOMPARE(m_window->FindWindow()->windowTitle(), QStringLiteral("定期储蓄查找"));
        static_cast<CFindDlg *>(m_window->FindWindow())->Find();
        QCOMPARE(m_messages->Last(), QStringLiteral("请选择查找的项目"));
        m_window->FindWindow()->close();
        QVERIFY(!m_window->FindWindow());
        m_window->PressButton(1066);
        m_window->PressButton(1070);
        QCOMPARE(m_window->FindWindow()->windowTitle(), QStringLiteral("活期储蓄查找"));
        m_window->PressButton(1019);
        QVERIFY(!m_window->FindWindow());
        m_window->PressButton(1055);
        QCOMPARE(qobject_cast<CFindDlg *>(m_window->FindWindow())->GetMode(), CFindDlg::Mode::Insure);
    }

    void aDeleteAfterAFindTakesTheMatchesAway()
    {
        m_window->PressButton(1012);
        CMemoBook &book = m_window->m_memoBook;
        for (int day = 1; day <= 4; ++day)
            book.Add(QStringLiteral("2003-05-0%1").arg(day), QStringLiteral("m%1").arg(day), QStringLiteral("Li"));
        m_window->PressButton(1016);
        auto *finder = static_cast<CFindDlg *>(m_window->FindWindow());
        Find<QComboBox>(finder, 1090)->setCurrentIndex(2);
        Find<QLineEdit>(finder, 1091)->setText(QStringLiteral("Li"));
        finder->Find();
        QCOMPARE(book.GetSelected(), 0);
        QVERIFY(finder->IsNextEnabled());
        m_window->PressButton(1014);  // 删除: the first memo goes, the next is selected
        QVERIFY(!finder->IsNextEnabled());
        QCOMPARE(book.GetItemCount(), 3);
        finder->FindNext();  // pressed anyway: nothing else is selected, so 删除 cannot take it
        QCOMPARE(book.GetSelected(), 0);
        QCOMPARE(book.GetItemText(0, 1), QStringLiteral("m2"));
    }

    void incomeAndExpenseSearch()
    {
        CMoneyBook &book = m_window->m_moneyBook;
        book.Add(At(2003, 5, 1), QStringLiteral("餐饮"), -12.5, QStringLiteral("Li"), QString());
        book.Add(At(2003, 5, 2), QStringLiteral("工资"), 3000, QStringLiteral("Wang"), QString());
        book.Add(At(2003, 5, 3), QStringLiteral("餐饮"), -30, QStringLiteral("Wang"), QString());
        book.Add(At(2003, 5, 4), QStringLiteral("餐饮"), -12.5, QStringLiteral("Wang"), QString());
        m_window->PressButton(1000);
        m_window->PressButton(1038);
        auto *finder = qobject_cast<CMoneyFindDlg *>(m_window->FindWindow());
        QVERIFY(finder);
        QCOMPARE(finder->windowTitle(), QStringLiteral("查找选项"));
        for (int id : {1028, 1030, 1032, 1034})
            Find<QCheckBox>(finder, id)->click();
        QVERIFY(!Find<QLineEdit>(finder, 1033)->isEnabled());
        QVERIFY(!Find<QPushButton>(finder, 1039)->isEnabled());
        finder->Find();
        QCOMPARE(m_messages->Last(), QStringLiteral("必须选择一项"));

        // The member only.
        Find<QCheckBox>(finder, 1034)->click();
        Find<QComboBox>(finder, 1035)->setCurrentIndex(1);
        finder->Find();
        QCOMPARE(book.GetSelected(), 1);
        QVERIFY(m_window->Control(1002)->isEnabled());
        finder->FindNext();
        finder->FindNext();
        QCOMPARE(book.GetSelected(), 3);
        QVERIFY(!finder->IsNextEnabled());

        // The amount only, opened with the pad and typed as the field allows.
        Find<QCheckBox>(finder, 1034)->click();
        Find<QCheckBox>(finder, 1032)->click();
        finder->OpenCalcPad();
        QVERIFY(g_pCalcPad);
        Type(finder, 1033, QStringLiteral("-12.5"));
        finder->Find();
        QVERIFY(!g_pCalcPad);  // a search closes the pad
        QCOMPARE(book.GetSelected(), 0);
        QVERIFY(finder->IsNextEnabled());

        // A record added meanwhile: the match waiting would be counted in the old list.
        book.Add(At(2003, 4, 1), QStringLiteral("餐饮"), -1, QStringLiteral("Li"), QString());
        QVERIFY(!finder->IsNextEnabled());

        // The item by its bare name, with the amount.
        Find<QCheckBox>(finder, 1030)->click();
        Choose(finder, 1031, g_itemList.filter(QStringLiteral("餐饮")).value(0));
        finder->Find();
        QCOMPARE(book.GetItemText(book.GetSelected(), 4), QStringLiteral("Li"));
        QVERIFY(finder->IsNextEnabled());
        m_window->PressButton(1018);  // the panel left: the window goes
        QVERIFY(!m_window->FindWindow());
    }

    void filterFromTheFirstMidnightAndBackToAll()
    {
        CMoneyBook &book = m_window->m_moneyBook;
        book.Add(At(2003, 4, 30, 23), QStringLiteral("餐饮"), -1, QStringLiteral("Li"), QString());
        book.Add(At(2003, 5, 1, 0), QStringLiteral("餐饮"), -2, QStringLiteral("Li"), QString());
        book.Add(At(2003, 5, 20), QStringLiteral("餐饮"), -3, QStringLiteral("Li"), QString());
        m_window->PressButton(1000);
        book.SetSelected(0);
        QVERIFY(m_window->Control(1003)->isEnabled());

        CFilterDlg dialog(m_window->m_moneyBook, m_window);
        dialog.show();
        QVERIFY(!dialog.Apply());
        QCOMPARE(m_messages->Last(), QStringLiteral("请选择过滤选项"));
        QVERIFY(dialog.isVisible());
        Find<QDateTimeEdit>(&dialog, 1020)->setDate(QDate(2003, 5, 20));
        Find<QRadioButton>(&dialog, 1024)->click();
        QCOMPARE(Find<QRadioButton>(&dialog, 1024)->text(), QStringLiteral("   显示所选月份以来"));
        QVERIFY(dialog.Apply());
        QCOMPARE(book.GetFilter(), QStringLiteral("Date>=#2003-5-1#"));
        QCOMPARE(book.GetItemCount(), 2);  // the record at 00:00:00 of May 1st is shown
        QVERIFY(!m_window->Control(1002)->isEnabled());
        QVERIFY(!m_window->Control(1003)->isEnabled());

        CFilterDlg all(m_window->m_moneyBook, m_window);
        Find<QRadioButton>(&all, 1026)->click();
        QVERIFY(all.Apply());
        QCOMPARE(book.GetFilter(), QString());
        QCOMPARE(book.GetItemCount(), 3);
    }

private:
    std::unique_ptr<OpenLedger> m_open;
    TestInstallation *m_install = nullptr;
    MessageRecorder *m_messages = nullptr;
    CMainDlg *m_window = nullptr;
};

QTEST_MAIN(TestFindDlg)
#include "tst_finddlg.moc"
