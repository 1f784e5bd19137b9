// 周期收支 as the household meets it: a template made in its editor, the list with its next dates,
// and the records come due written, changed or skipped in the dialog that offers them.
#include "dialogs/CAmountEdit.h"
#include "dialogs/CDueRecordsDlg.h"
#include "db/Ledger.h"
#include "db/SqlConnection.h"
#include "lists/CRecurringDlg.h"
#include "lists/CRecurringEditDlg.h"
#include "lists/CSettingsDlg.h"
#include "lists/ReferenceLists.h"

#include "OpenLedger.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QSpinBox>
#include <QTableWidget>
#include <QApplication>
#include <QTest>
#include <QTimer>

namespace {

// Father's rent of 3,500 a month, from the first date on.
RecurringTemplate Rent(const QDate &first)
{
    RecurringTemplate rent;
    rent.item = QStringLiteral("房租");
    rent.amount = -3500;
    rent.member = QStringLiteral("爸爸");
    rent.rule.first = first;
    return rent;
}

} // namespace

class TestRecurringDlg : public QObject
{
    Q_OBJECT
private slots:
    void aTemplateMadeInItsEditor()
    {
        OpenLedger ledger({QStringLiteral("爸爸"), QString()});
        RecurringTemplate fresh;
        fresh.rule.first = QDate(2026, 1, 31);
        CRecurringEditDlg editor(fresh);
        QCOMPARE(editor.Problem(), QStringLiteral("请选择收支项目"));
        editor.Item()->setCurrentIndex(editor.Item()->findText(QStringLiteral("支出    房租")));
        QVERIFY(editor.Problem().contains(QStringLiteral("金额")));  // none typed yet
        editor.Amount()->setText(QStringLiteral("3500"));
        editor.Ends()->setChecked(true);
        editor.End()->setDate(QDate(2026, 1, 1));
        QCOMPARE(editor.Problem(), QStringLiteral("结束日期早于开始日期"));
        editor.End()->setDate(QDate(2026, 12, 31));
        QVERIFY(editor.DayOfMonth()->isEnabled());
        editor.DayOfMonth()->setValue(31);
        QCOMPARE(editor.Problem(), QString());
        const RecurringTemplate made = editor.Template();
        QCOMPARE(made.item, QStringLiteral("房租"));
        QCOMPARE(made.amount, -3500.0);  // an expense item: spending
        QCOMPARE(made.member, QStringLiteral("爸爸"));
        QCOMPARE(made.rule.dayOfMonth, 31);
        QCOMPARE(made.rule.end, QDate(2026, 12, 31));
        editor.Unit()->setCurrentIndex(int(RepeatUnit::Weeks));
        QVERIFY(!editor.DayOfMonth()->isEnabled());
        QCOMPARE(editor.Template().rule.dayOfMonth, 0);

        // Kept through the list, which shows its rule and next date.
        CRecurringDlg list(&ledger.window.m_moneyBook);
        RecurringTemplate rent = made;
        QCOMPARE(list.Book().Add(rent), QString());
        CRecurringDlg shown(&ledger.window.m_moneyBook);
        QCOMPARE(shown.Table()->rowCount(), 1);
        QCOMPARE(shown.Table()->item(0, 3)->text(), QStringLiteral("每月 31 日（月份较短时为最后一天）"));

        // A template kept without a member is edited without one being chosen for it.
        RecurringTemplate nobody = rent;
        nobody.member.clear();
        CRecurringEditDlg again(nobody);
        again.Amount()->setText(QStringLiteral("3800"));
        QCOMPARE(again.Template().member, QString());
    }

    void aRecordTheLedgerHoldsAlreadyIsNotWrittenTwiceUnasked()
    {
        OpenLedger ledger({QStringLiteral("爸爸"), QString()});
        CRecurringBook recurring(OpenLedgerDatabase());
        RecurringTemplate rent = Rent(QDate(2026, 5, 1));
        QCOMPARE(recurring.Add(rent), QString());
        RecurringTemplate salary = rent;
        salary.item = QStringLiteral("工资");
        salary.amount = 9000;
        salary.rule.first = QDate(2026, 5, 10);
        QCOMPARE(recurring.Add(salary), QString());
        CMoneyBook &book = ledger.window.m_moneyBook;
        // June's rent entered by hand before the dialog offers it.
        QVERIFY(book.Add(LedgerDateTime(QDate(2026, 6, 1), QTime(9, 30)), QStringLiteral("房租"), -3500, QStringLiteral("爸爸"), QString()));
        CDueRecordsDlg dialog(recurring, book, QDate(2026, 6, 30));
        QTableWidget *table = dialog.Table();
        QCOMPARE(table->rowCount(), 4);  // May's and June's rent and salary, by date
        QCOMPARE(table->item(2, 0)->text(), QStringLiteral("2026-06-01"));
        QCOMPARE(table->item(2, 0)->checkState(), Qt::Unchecked);
        QCOMPARE(table->item(2, 5)->text(), QStringLiteral("帐本中已有同日、同项目、同金额的记录"));
        // May's salary unticked by hand stays unticked after May's rent is written.
        table->item(1, 0)->setCheckState(Qt::Unchecked);
        table->item(3, 0)->setCheckState(Qt::Unchecked);
        QVERIFY(dialog.WriteTicked());
        QCOMPARE(table->rowCount(), 3);
        QCOMPARE(table->item(0, 0)->checkState(), Qt::Unchecked);
        // 全部记入 asks about the one held; answered no, its date is skipped, not written.
        ledger.messages.answer = false;
        QVERIFY(dialog.WriteAll());
        QVERIFY(ledger.messages.Last().contains(QStringLiteral("已有同日、同项目、同金额的记录")));
        QCOMPARE(book.GetTotalCents(), -350000 - 350000 + 900000 + 900000);
        QVERIFY(recurring.DueUpTo(QDate(2026, 6, 30)).empty());
    }

    void whatCameDueIsOfferedAtStart()
    {
        OpenLedger ledger({QStringLiteral("爸爸"), QString()});
        const auto tables = [] {
            SqlStatement count = OpenLedgerDatabase()->Prepare(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'Recurring'"));
            count.Step();
            return count.Int(0);
        };
        // A household that never made a template: nothing offered, nothing written to the ledger.
        ledger.window.OfferDueRecords(QDate(2026, 3, 31));
        QCOMPARE(tables(), 0);
        CRecurringBook recurring(OpenLedgerDatabase());
        RecurringTemplate salary;
        salary.item = QStringLiteral("工资");
        salary.amount = 9000;
        salary.member = QStringLiteral("爸爸");
        salary.rule.first = QDate(2026, 3, 10);
        QCOMPARE(recurring.Add(salary), QString());
        int offered = 0;
        QTimer::singleShot(0, [&] {
            for (QWidget *top : QApplication::topLevelWidgets()) {
                if (auto *due = qobject_cast<CDueRecordsDlg *>(top); due && due->isVisible()) {
                    offered = due->Table()->rowCount();
                    QVERIFY(due->WriteAll());  // the dialog closes once nothing is left due
                }
            }
        });
        ledger.window.OfferDueRecords(QDate(2026, 3, 31));
        QCOMPARE(offered, 1);
        QCOMPARE(ledger.window.m_moneyBook.GetTotalCents(), 900000);
    }

    void theHomePageLineTellsWhatWaitsAndOpensIt()
    {
        OpenLedger ledger({QStringLiteral("爸爸"), QString()});
        auto *line = qobject_cast<QLabel *>(ledger.window.Control(1233));
        QVERIFY(line && line->isHidden());  // a ledger without recurring records shows no line
        const QDate today = QDate::currentDate();
        CRecurringBook recurring(OpenLedgerDatabase());
        RecurringTemplate rent;
        rent.item = QStringLiteral("房租");
        rent.amount = -3500;
        rent.rule.unit = RepeatUnit::Weeks;
        rent.rule.first = today.addDays(-7);
        QCOMPARE(recurring.Add(rent), QString());
        ledger.window.PressButton(1000);
        ledger.window.PressButton(1018);  // the home page shown again reads the line
        QVERIFY(!line->isHidden());
        QCOMPARE(line->text(), QStringLiteral("周期收支    待确认 2 条"));
        QTimer::singleShot(0, [] {
            for (QWidget *top : QApplication::topLevelWidgets()) {
                if (auto *due = qobject_cast<CDueRecordsDlg *>(top); due && due->isVisible())
                    QVERIFY(due->WriteAll());
            }
        });
        ledger.window.PressButton(1233);
        QCOMPARE(ledger.window.m_moneyBook.GetTotalCents(), -700000);
        QCOMPARE(line->text(), QStringLiteral("周期收支    下次 %1 房租").arg(today.addDays(7).toString(QStringLiteral("MM-dd"))));
        // A template added in the settings shows on the line as the settings close.
        QTimer::singleShot(0, [&] {
            for (QWidget *top : QApplication::topLevelWidgets()) {
                if (auto *settings = qobject_cast<CSettingsDlg *>(top); settings && settings->isVisible()) {
                    RecurringTemplate bus;
                    bus.item = QStringLiteral("交通");
                    bus.amount = -50;
                    bus.rule.unit = RepeatUnit::Days;
                    bus.rule.every = 3;
                    bus.rule.first = today.addDays(2);
                    QCOMPARE(CRecurringBook(OpenLedgerDatabase()).Add(bus), QString());
                    settings->accept();
                }
            }
        });
        ledger.window.PressButton(1020);
        QCOMPARE(line->text(), QStringLiteral("周期收支    下次 %1 交通").arg(today.addDays(2).toString(QStringLiteral("MM-dd"))));
    }

    void recordsComeDueWrittenChangedOrSkipped()
    {
        OpenLedger ledger({QStringLiteral("爸爸"), QString()});
        CRecurringBook recurring(OpenLedgerDatabase());
        RecurringTemplate rent = Rent(QDate(2026, 1, 31));
        QCOMPARE(recurring.Add(rent), QString());
        RecurringTemplate gone = rent;
        gone.item = QStringLiteral("旧项目");  // since taken off the item list
        gone.amount = -20;
        gone.rule.first = QDate(2026, 2, 1);
        gone.rule.times = 1;
        QCOMPARE(recurring.Add(gone), QString());

        CMoneyBook &book = ledger.window.m_moneyBook;
        CDueRecordsDlg dialog(recurring, book, QDate(2026, 3, 31));
        QTableWidget *table = dialog.Table();
        QCOMPARE(table->rowCount(), 4);  // three rents and the old item's one
        QCOMPARE(table->item(1, 0)->text(), QStringLiteral("2026-02-01"));
        QCOMPARE(table->item(1, 0)->checkState(), Qt::Unchecked);  // its item is gone: not written unasked
        QVERIFY(!table->item(1, 5)->text().isEmpty());
        // January's rent changed in its row, February's left for later, March's skipped.
        table->item(0, 2)->setText(QStringLiteral("-3600"));
        table->item(2, 0)->setCheckState(Qt::Unchecked);
        table->item(3, 0)->setCheckState(Qt::Unchecked);
        QVERIFY(dialog.WriteTicked());
        QCOMPARE(book.GetTotalCents(), -360000);
        QCOMPARE(table->rowCount(), 3);
        table->item(0, 0)->setCheckState(Qt::Unchecked);
        table->item(1, 0)->setCheckState(Qt::Unchecked);
        table->item(2, 0)->setCheckState(Qt::Checked);
        QVERIFY(dialog.SkipTicked());
        QCOMPARE(table->rowCount(), 2);
        // A row that cannot be read is told and nothing is written.
        table->item(0, 2)->setText(QStringLiteral("三千"));
        table->item(0, 0)->setCheckState(Qt::Checked);
        QVERIFY(!dialog.WriteTicked());
        QVERIFY(ledger.messages.Last().contains(QStringLiteral("第 1 行")));
        QCOMPARE(book.GetTotalCents(), -360000);
    }
};

QTEST_MAIN(TestRecurringDlg)
#include "tst_recurringdlg.moc"
