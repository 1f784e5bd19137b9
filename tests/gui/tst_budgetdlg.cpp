// 预算 as the household uses it: budgets set for an item and for the whole month, the month's view
// with the items over their budget first and in red, and a budget that cannot be refused.
#include "common/LedgerDate.h"
#include "dialogs/CAmountEdit.h"
#include "lists/CBudgetDlg.h"

#include "OpenLedger.h"

#include <QComboBox>
#include <QDateEdit>
#include <QTableWidget>
#include <QTest>

class TestBudgetDlg : public QObject
{
    Q_OBJECT
private slots:
    void budgetsSetAndTheMonthShown()
    {
        OpenLedger ledger({QStringLiteral("爸爸"), QString()});
        CMoneyBook &book = ledger.window.m_moneyBook;
        QVERIFY(book.Add(LedgerDateTime(QDate(2026, 3, 2)), QStringLiteral("餐饮"), -120.5, QStringLiteral("爸爸"), {}));
        QVERIFY(book.Add(LedgerDateTime(QDate(2026, 3, 9)), QStringLiteral("交通"), -30, QStringLiteral("爸爸"), {}));
        QVERIFY(book.Add(LedgerDateTime(QDate(2026, 4, 1)), QStringLiteral("餐饮"), -500, QStringLiteral("爸爸"), {}));

        CBudgetDlg dialog;
        dialog.Month()->setDate(QDate(2026, 3, 15));
        const auto setBudget = [&](const QString &item, const QString &amount, int scope) {
            dialog.Item()->setCurrentText(item);
            dialog.Amount()->setText(amount);
            dialog.Scope()->setCurrentIndex(scope);
            return dialog.SetBudget();
        };
        QVERIFY(setBudget(QStringLiteral("餐饮"), QStringLiteral("100"), 0));
        QVERIFY(setBudget(QStringLiteral("交通"), QStringLiteral("200"), 0));
        QVERIFY(setBudget(QStringLiteral("（本月全部支出）"), QStringLiteral("1000"), 1));  // March alone
        QVERIFY(!setBudget(QStringLiteral("交通"), QStringLiteral("-5"), 0));
        QTableWidget *table = dialog.Table();
        QCOMPARE(table->rowCount(), 3);
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("餐饮"));  // over its budget: first, in red
        QCOMPARE(table->item(0, 3)->text(), QStringLiteral("超支 20.5"));
        QCOMPARE(table->item(0, 3)->foreground().color(), QColor(0xC0, 0, 0));
        QCOMPARE(table->item(1, 3)->text(), QStringLiteral("170"));
        QCOMPARE(table->item(2, 2)->text(), QStringLiteral("150.5"));  // the whole month
        // April: the every-month budgets, no whole-month budget.
        dialog.Month()->setDate(QDate(2026, 4, 15));
        QCOMPARE(table->item(0, 3)->text(), QStringLiteral("超支 400"));
        QCOMPARE(table->item(2, 1)->text(), QStringLiteral("（未设）"));
        // 0 takes a budget away.
        QVERIFY(setBudget(QStringLiteral("交通"), QStringLiteral("0"), 0));
        QCOMPARE(table->rowCount(), 2);
    }
};

QTEST_MAIN(TestBudgetDlg)
#include "tst_budgetdlg.moc"
