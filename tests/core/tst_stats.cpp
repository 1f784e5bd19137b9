// The statistics: the charts' points, legends and axes; the item selection; the dialog's ranges and
// years; and the kept monthly sums giving the same figures as a walk over the records.
#include "common/Amount.h"
#include "common/LedgerDate.h"
#include "db/CMoneyBook.h"
#include "db/CMoneyRecord.h"
#include "db/Ledger.h"
#include "db/SqlConnection.h"
#include "stats/MoneyFigures.h"
#include "stats/StatNavigator.h"

#include "MessageRecorder.h"
#include "RecordingCanvas.h"
#include "TestInstallation.h"

#include <QRandomGenerator>
#include <limits>
#include <QTest>

namespace {

QList<int> Values(const ChartPlan::Group &group)
{
    QList<int> values;
    for (const auto &point : group.points)
        values << point.second;
    return values;
}

QDateTime At(int year, int month, int day, int hour = 12, int minute = 0, int second = 0)
{
    return LedgerDateTime(QDate(year, month, day), QTime(hour, minute, second));
}

// Adds cents to the item of the name, appended when it is new (items keep their first appearance).
void AddToItem(std::vector<ItemCents> &items, const QString &name, qint64 cents)
{
    for (ItemCents &item : items) {
        if (item.name == name) {
            item.cents += cents;
            return;
        }
    }
    items.push_back({name, cents});
}

// The figures as a walk over every record gives them: what the kept sums must equal.
struct Walked
{
    RangeSums sums;
    std::vector<ItemCents> income, expense;  // in order of first appearance
    YearSums year;
};

Walked Walk(SqlConnection &db, const QDateTime &start, const QDateTime &end, int year)
{
    Walked walked;
    SqlStatement rows = db.Prepare(QStringLiteral("SELECT Date, Item, Money FROM Money ORDER BY ID"));
    auto add = AddToItem;
    while (rows.Step()) {
        const QString date = rows.Text(0);
        const double money = rows.Double(2);
        const qint64 cents = qRound64(money * 100);
        if (date >= DbDateText(start) && date <= DbDateText(end)) {
            if (money > 0) {
                walked.sums.incomeCents += cents;
                add(walked.income, rows.Text(1), cents);
            } else {
                walked.sums.expenseCents -= cents;
                if (money < 0)
                    add(walked.expense, rows.Text(1), -cents);
            }
        }
        if (date.left(4).toInt() == year) {
            const int month = date.mid(5, 2).toInt();
            if (money > 0)
                walked.year.incomeCents[size_t(month)] += cents;
            else
                walked.year.expenseCents[size_t(month)] -= cents;
        }
    }
    return walked;
}

// The figures as the ledger reads its records: every record through the income and expense record
// set, its date as the set gives it (a date the ledger cannot read is the empty date), in table order.
Walked WalkRecords(const QDateTime &start, const QDateTime &end, int year)
{
    Walked walked;
    auto add = AddToItem;
    CMoneyRecord records;
    records.Open();
    for (; !records.IsEOF(); records.MoveNext()) {
        const QDateTime date = records.m_Date;
        const double money = records.m_Money;
        const qint64 cents = qRound64(money * 100);
        if (start <= date && date <= end) {
            if (money > 0) {
                walked.sums.incomeCents += cents;
                add(walked.income, records.m_Item, cents);
            } else {
                walked.sums.expenseCents -= cents;
                if (money < 0)
                    add(walked.expense, records.m_Item, -cents);
            }
        }
        if (date.date().year() == year) {
            if (money > 0)
                walked.year.incomeCents[size_t(date.date().month())] += cents;
            else
                walked.year.expenseCents[size_t(date.date().month())] -= cents;
        }
    }
    return walked;
}

QStringList Names(const std::vector<ItemCents> &items)
{
    QStringList names;
    for (const ItemCents &item : items)
        names << QStringLiteral("%1=%2").arg(item.name).arg(item.cents);
    return names;
}

} // namespace

class TestStats : public QObject
{
    Q_OBJECT
private slots:
    void totalAssets()
    {
        const ChartPlan plan = TotalAssetsChart({5000, 10000, -200, 3000, 1200, 800});
        QCOMPARE(plan.title, QStringLiteral("总资产统计"));
        QCOMPARE(plan.type, int(CGraph::Pie3D));
        QCOMPARE(plan.depthRatio.value(), 0.1);
        QCOMPARE(plan.groups.size(), size_t(1));
        QCOMPARE(Values(plan.groups[0]), QList<int>({25, 50, 0, 15, 6, 4, 0}));
        QCOMPARE(plan.legends[2], QStringLiteral("活期储蓄:-200"));
        QCOMPARE(plan.legends[6], QStringLiteral("总计:19800"));
        QCOMPARE(plan.colors.size(), size_t(7));
        QVERIFY(plan.colors[6] == (GraphRgb{255, 255, 255}));

        // Nothing held (or only debts): an empty pie with its legend, no division by nothing.
        const ChartPlan empty = TotalAssetsChart({-50, 0, 0, 0, 0, -10});
        QCOMPARE(Values(empty.groups[0]), QList<int>({0, 0, 0, 0, 0, 0, 0}));
        QCOMPARE(empty.legends[0], QStringLiteral("现金:-50"));
        RecordingCanvas canvas(480, 320);
        MakeGraph(empty)->DrawGraph(canvas);
        QVERIFY(!canvas.Calls(QStringLiteral("text ")).filter(QStringLiteral("总计:-60")).isEmpty());
    }

    void incomeAgainstExpense()
    {
        const QDate start(2003, 5, 1), end(2003, 12, 31);
        const ChartPlan plan = IncomeAgainstExpenseChart({300000, 100000}, start, end);
        QCOMPARE(Values(plan.groups[0]), QList<int>({75, 25}));
        QCOMPARE(plan.legends, (std::vector<QString>{"收入:3000", "支出:1000"}));
        QCOMPARE(plan.groups[0].label, QStringLiteral("从 2003年 05月 01日 到 2003年 12月 31日"));
        QCOMPARE(Values(IncomeAgainstExpenseChart({}, start, end).groups[0]), QList<int>({0, 0}));
        // Amounts in legends as the ledger writes them.
        QCOMPARE(IncomeAgainstExpenseChart({120000, 120050}, start, end).legends[1], QStringLiteral("支出:1200.5"));
    }

    void itemSelection()
    {
        std::vector<ItemCents> eleven;
        for (int i = 0; i < 11; ++i)
            eleven.push_back({QStringLiteral("i%1").arg(i), qint64(100 * (i + 1))});
        const std::vector<ItemCents> shares = SelectItemShares(eleven);
        QCOMPARE(shares.size(), size_t(10));
        QCOMPARE(shares[0].name, QStringLiteral("i10"));
        QCOMPARE(shares[8].name, QStringLiteral("i2"));
        QCOMPARE(shares[9].name, QStringLiteral("其它项目"));
        QCOMPARE(shares[9].cents, qint64(100 + 200));  // the two smallest

        // One left over still goes under "其它项目".
        eleven.pop_back();
        QCOMPARE(SelectItemShares(eleven).back().name, QStringLiteral("其它项目"));
        QCOMPARE(SelectItemShares(eleven).back().cents, qint64(100));

        // Equal sums: the one that appeared first is taken first.
        const std::vector<ItemCents> tied = SelectItemShares({{"a", 5}, {"b", 9}, {"c", 9}});
        QCOMPARE(Names(tied), QStringList({"b=9", "c=9", "a=5"}));

        const ChartPlan chart = ItemChart(true, shares, QDate(2003, 1, 1), QDate(2003, 12, 31));
        QCOMPARE(chart.title, QStringLiteral("收入统计"));
        QCOMPARE(chart.legends.size(), size_t(11));
        QCOMPARE(chart.legends[9], QStringLiteral("其它项目:3"));
        QCOMPARE(chart.legends[10], QStringLiteral("总计:66"));
        QCOMPARE(chart.groups[0].points.back(), std::make_pair(10, 0));
        QCOMPARE(chart.colors.size(), size_t(11));
        QCOMPARE(ItemChart(false, {}, QDate(2003, 1, 1), QDate(2003, 1, 1)).legends,
                 std::vector<QString>{QStringLiteral("总计:0")});
    }

    void theRangeLabelStaysOnTheCanvas()
    {
        std::vector<ItemCents> shares;
        for (int i = 0; i < 10; ++i)
            shares.push_back({QStringLiteral("兼职收入%1").arg(i), qint64(100000 + i)});
        for (int width : {300, 400, 486}) {
            RecordingCanvas canvas(width, 330);
            MakeGraph(ItemChart(true, shares, QDate(2006, 1, 1), QDate(2026, 12, 8)))->DrawGraph(canvas);
            const QStringList label = canvas.Calls(QStringLiteral("text ")).filter(QStringLiteral("从 2006年"));
            QCOMPARE(label.size(), 1);
            QVERIFY2(label[0].section(QLatin1Char(' '), 1, 1).section(QLatin1Char(','), 0, 0).toInt() >= 0,
                     qPrintable(label[0]));
        }
    }

    void annualAxisGrowsWithTheLargestMonth()
    {
        YearSums sums;
        sums.incomeCents[3] = 2000000;     // 20000: the usual axis
        sums.expenseCents[7] = 1234599;
        ChartPlan bars = AnnualChart(true, 2003, sums);
        QCOMPARE(bars.tickMaximum, 20000);
        QCOMPARE(bars.tickStep, 2000);
        QCOMPARE(bars.groups.size(), size_t(12));
        QCOMPARE(bars.groups[6].label, QStringLiteral("7月"));
        QCOMPARE(Values(bars.groups[6]), QList<int>({0, 12345}));  // truncated
        QCOMPARE(bars.xAxisLabel, QStringLiteral("2003 年"));
        QCOMPARE(bars.yAxisLabel, QStringLiteral("单位：元"));
        QCOMPARE(bars.depthRatio.value(), 0.05);
        sums.incomeCents[3] = 2000100;  // 20001
        bars = AnnualChart(true, 2003, sums);
        QCOMPARE(bars.tickMaximum, 40000);
        QCOMPARE(bars.tickStep, 4000);
        const ChartPlan lines = AnnualChart(false, 2003, sums);
        QCOMPARE(lines.type, int(CGraph::Lines));
        QCOMPARE(lines.yAxisLabel, QStringLiteral("单位:元"));
        QVERIFY(!lines.depthRatio);
        RecordingCanvas canvas(480, 320);
        MakeGraph(lines)->DrawGraph(canvas);
        QVERIFY(!canvas.Calls(QStringLiteral("text ")).filter(QStringLiteral("40000")).isEmpty());
    }

    void budgetChartSetsEachBudgetBesideItsSpendingTheOverspentFirst()
    {
        BudgetView view;
        view.month = QStringLiteral("2026-11");
        view.items = {{QStringLiteral("餐饮"), 150000, 190050}, {QStringLiteral("交通"), 50000, 12000}};
        view.hasWhole = true;
        view.whole = {QString(), 400000, 350000};
        const ChartPlan plan = BudgetChart(view);
        QCOMPARE(plan.type, int(CGraph::Bars3D));
        QCOMPARE(plan.xAxisLabel, QStringLiteral("2026 年 11 月"));
        QCOMPARE(plan.groups.size(), size_t(3));
        QCOMPARE(plan.groups[0].label, QStringLiteral("餐饮（超支）"));
        QCOMPARE(plan.groups[0].points, (std::vector<std::pair<int, int>>{{0, 1500}, {1, 1900}}));
        QCOMPARE(plan.groups[1].label, QStringLiteral("交通"));
        QCOMPARE(plan.groups[2].label, QStringLiteral("全月支出"));
        QCOMPARE(plan.tickMaximum, 5000);  // 4000 reached by ten steps of 500
        QCOMPARE(plan.tickStep, 500);
        // A month without budgets still draws, saying so.
        const ChartPlan empty = BudgetChart(BudgetView{QStringLiteral("2026-12"), {}, false, {}});
        QCOMPARE(empty.groups.size(), size_t(1));
        QCOMPARE(empty.groups[0].label, QStringLiteral("本月没有预算"));
        QCOMPARE(NiceAxisTop(0), 100);
        QCOMPARE(NiceAxisTop(101), 200);
        QCOMPARE(NiceAxisTop(2000), 2000);
        QCOMPARE(NiceAxisTop(9999999999999LL), 2000000000);
    }

    void budgetMonthsStepBetweenTheFirstRecordAndNow()
    {
        CStatNavigator month;
        month.Choose(StatKind::BudgetAgainstSpent, At(2026, 9, 15), At(2026, 10, 1), At(2026, 12, 8));
        QCOMPARE(month.Month(), QDate(2026, 12, 1));
        QVERIFY(month.CanGoBack() && !month.CanGoOn());
        for (int i = 0; i < 5; ++i)
            month.StepBack();
        QCOMPARE(month.Month(), QDate(2026, 9, 1));
        QVERIFY(!month.CanGoBack() && month.CanGoOn());
        // Records dated ahead of today are reached too.
        month.Choose(StatKind::BudgetAgainstSpent, At(2026, 12, 1), At(2027, 2, 1), At(2026, 12, 8));
        month.StepOn();
        month.StepOn();
        month.StepOn();
        QCOMPARE(month.Month(), QDate(2027, 2, 1));
    }

    void budgetMonthsStopAtNowWhenTheEdgeRecordsDateCannotBeRead()
    {
        // The first record's date unreadable (the empty date): the months begin at now's, not
        // thousands of years back with the back button never greyed.
        CStatNavigator month;
        month.Choose(StatKind::BudgetAgainstSpent, QDateTime(), At(2026, 10, 1), At(2026, 12, 8));
        QCOMPARE(month.Month(), QDate(2026, 12, 1));
        QVERIFY(!month.CanGoBack());
        month.StepBack();
        QCOMPARE(month.Month(), QDate(2026, 12, 1));
        // The last record's unreadable: the months end at now's.
        month.Choose(StatKind::BudgetAgainstSpent, At(2026, 11, 3), QDateTime(), At(2026, 12, 8));
        QVERIFY(month.CanGoBack() && !month.CanGoOn());
        month.StepBack();
        QCOMPARE(month.Month(), QDate(2026, 11, 1));
        QVERIFY(!month.CanGoBack() && month.CanGoOn());
    }

    void budgetAxisHoldsEveryBarOfAVeryLargeBudget()
    {
        // Between two and five thousand million yuan the next nice top is past what an int axis holds:
        // the axis stops at the bars' own limit, never wraps round below them.
        for (const qint64 largest : {2000000001LL, 3000000000LL, 5000000000LL, 7000000000LL})
            QCOMPARE(NiceAxisTop(largest), 2000000000);
        BudgetView view;
        view.month = QStringLiteral("2026-11");
        view.items = {{QStringLiteral("购房"), 300000000000LL, 120000000000LL}};
        const ChartPlan plan = BudgetChart(view);
        for (const auto &[series, value] : plan.groups[0].points)
            QVERIFY2(value <= plan.tickMaximum, qPrintable(QStringLiteral("%1 > %2").arg(value).arg(plan.tickMaximum)));
        QCOMPARE(plan.tickStep, plan.tickMaximum / 10);
    }

    void yearButtonsAndRanges()
    {
        CStatNavigator one;
        one.Choose(StatKind::AnnualBars, At(2003, 2, 1), At(2003, 11, 1), At(2026, 1, 1));
        QCOMPARE(one.Year(), 2003);
        QVERIFY(!one.CanGoBack());
        QVERIFY(!one.CanGoOn());

        CStatNavigator three;
        three.Choose(StatKind::AnnualLines, At(2001, 3, 1), At(2003, 6, 1), At(2026, 1, 1));
        QCOMPARE(three.Year(), 2001);
        QVERIFY(!three.CanGoBack());
        QVERIFY(three.CanGoOn());
        three.StepOn();
        QVERIFY(three.CanGoBack());
        three.StepOn();
        QCOMPARE(three.Year(), 2003);
        QVERIFY(!three.CanGoOn());
        three.StepOn();
        QCOMPARE(three.Year(), 2003);

        CStatNavigator range;
        const QDateTime now = At(2026, 12, 8, 11, 30);
        range.Choose(StatKind::IncomeByItem, At(2001, 3, 1, 9, 15), At(2003, 6, 1), now);
        QCOMPARE(range.Start(), At(2001, 3, 1, 9, 15));
        QCOMPARE(range.End(), now);
        QVERIFY(!range.CanGoBack() && !range.CanGoOn());
        range.SetStartDay(QDate(2002, 1, 5));
        range.SetEndDay(QDate(2002, 1, 5));
        QCOMPARE(range.Start(), At(2002, 1, 5, 0, 0, 0));
        QCOMPARE(range.End(), At(2002, 1, 5, 23, 59, 59));
        QCOMPARE(range.FirstDay(), QDate(2001, 3, 1));
        QCOMPARE(range.LastDay(), QDate(2026, 12, 8));
        // Chosen again: the range is reset.
        range.Choose(StatKind::IncomeByItem, At(2001, 3, 1, 9, 15), At(2003, 6, 1), now);
        QCOMPARE(range.Start(), At(2001, 3, 1, 9, 15));
    }

    // The kept sums, after adds, changes and deletes through the book, give what a walk gives, over
    // whole months, edge months, one month, one day and a reversed range.
    void keptSumsEqualAWalk()
    {
        TestInstallation install;
        MessageRecorder messages;
        CMoneyBook book;
        book.ShowPage(1, QStringLiteral("Date"));
        QRandomGenerator random(14);
        const QStringList items{"工资", "餐饮", "交通", "奖金", "房租", "水电", "礼金", "医疗", "教育", "服装", "旅游", "通讯"};
        for (int i = 0; i < 600; ++i) {
            const QDateTime date = At(2001 + random.bounded(3), 1 + random.bounded(12), 1 + random.bounded(28),
                                      random.bounded(24), random.bounded(60));
            const double amount = (random.bounded(2) ? 1 : -1) * random.bounded(100000) / 100.0;
            book.Add(date, items.at(random.bounded(items.size())), i % 50 == 0 ? 0 : amount, "Li", QString());
        }
        // Records exactly at the range's ends, and at midnight of a month.
        book.Add(At(2002, 3, 10, 8, 0, 0), QStringLiteral("边界"), 77, "Li", QString());
        book.Add(At(2002, 9, 20, 18, 30, 0), QStringLiteral("边界"), 11, "Li", QString());
        book.Add(At(2002, 4, 1, 0, 0, 0), QStringLiteral("月初"), -5, "Li", QString());
        for (int i = 0; i < 80; ++i) {
            book.SetSelected(random.bounded(book.GetItemCount()));
            if (i % 2)
                book.Remove();
            else
                book.Modify(At(2001 + random.bounded(3), 1 + random.bounded(12), 2), items.at(random.bounded(items.size())),
                            random.bounded(5000) - 2500, "Wang", QString());
        }
        book.Close();

        auto db = OpenLedgerDatabase(install.DataFile(QStringLiteral("Kinward.db")));
        CMoneyFigures figures(*db);
        const QList<std::pair<QDateTime, QDateTime>> ranges{
            {At(2000, 1, 1), At(2030, 1, 1)},
            {At(2002, 3, 10, 8, 0, 0), At(2002, 9, 20, 18, 30, 0)},  // records at both ends counted
            {At(2002, 4, 1, 0, 0, 0), At(2002, 4, 30, 23, 59, 59)},
            {At(2002, 6, 3, 0, 0, 0), At(2002, 6, 3, 23, 59, 59)},
            {At(2002, 12, 31, 23, 0, 0), At(2003, 1, 1, 1, 0, 0)},
            {At(2003, 1, 1), At(2002, 1, 1)},
        };
        for (const auto &[start, end] : ranges) {
            const Walked walked = Walk(*db, start, end, 2002);
            const RangeSums sums = figures.IncomeAndExpense(start, end);
            QCOMPARE(sums.incomeCents, walked.sums.incomeCents);
            QCOMPARE(sums.expenseCents, walked.sums.expenseCents);
            QCOMPARE(Names(SelectItemShares(figures.Items(true, start, end))), Names(SelectItemShares(walked.income)));
            QCOMPARE(Names(SelectItemShares(figures.Items(false, start, end))), Names(SelectItemShares(walked.expense)));
        }
        const Walked walked = Walk(*db, At(2000, 1, 1), At(2000, 1, 1), 2002);
        const YearSums year = figures.Year(2002);
        for (int month = 1; month <= 12; ++month) {
            QCOMPARE(year.incomeCents[size_t(month)], walked.year.incomeCents[size_t(month)]);
            QCOMPARE(year.expenseCents[size_t(month)], walked.year.expenseCents[size_t(month)]);
        }
        QVERIFY(!Names(figures.Items(true, ranges[1].first, ranges[1].second)).filter("边界=8800").isEmpty());
    }

    void equalItemSumsFollowTheTableOrder()
    {
        TestInstallation install;
        CMoneyBook book;
        book.ShowPage(1, QStringLiteral("Date"));
        // 房租 is entered first but dated later: the table's order decides, not the dates.
        book.Add(At(2003, 5, 20), QStringLiteral("房租"), -300, "Li", QString());
        book.Add(At(2003, 5, 2), QStringLiteral("餐饮"), -100, "Li", QString());
        book.Add(At(2003, 5, 3), QStringLiteral("餐饮"), -200, "Li", QString());
        book.Add(At(2003, 5, 4), QStringLiteral("空"), 0, "Li", QString());
        book.Close();
        auto db = OpenLedgerDatabase(install.DataFile(QStringLiteral("Kinward.db")));
        CMoneyFigures figures(*db);
        const auto expense = SelectItemShares(figures.Items(false, At(2003, 1, 1), At(2003, 12, 31)));
        QCOMPARE(Names(expense), QStringList({"房租=30000", "餐饮=30000"}));
        QVERIFY(figures.Items(true, At(2003, 1, 1), At(2003, 12, 31)).empty());  // a record of nothing is neither
        QCOMPARE(figures.IncomeAndExpense(At(2003, 1, 1), At(2003, 12, 31)).expenseCents, qint64(60000));
    }
    // Dates the ledger did not write itself (a number, an empty text, a day without its time, other
    // separators) are read as the record set reads them, the unreadable ones as the empty date: the
    // kept sums give what a walk over the records gives.
    void datesNotWrittenByTheLedger()
    {
        TestInstallation install;
        MessageRecorder messages;
        {
            CMoneyBook book;
            book.ShowPage(1, QStringLiteral("Date"));
            book.Add(At(2003, 5, 10), QStringLiteral("工资"), 1000, "Li", QString());
            book.Add(At(2003, 6, 10), QStringLiteral("餐饮"), -200, "Li", QString());
            book.Add(At(2004, 2, 1), QStringLiteral("工资"), 500, "Li", QString());
            book.Close();
        }
        auto db = OpenLedgerDatabase(install.DataFile(QStringLiteral("Kinward.db")));
        SqlStatement insert = db->Prepare(QStringLiteral("INSERT INTO Money (Date, Item, Money) VALUES (?, ?, ?)"));
        const QList<std::tuple<SqlValue, QString, double>> odd{
            {qint64(20030501), QStringLiteral("奖金"), 300},      // a number: the empty date
            {QStringLiteral(""), QStringLiteral("餐饮"), -40},       // an empty text: the empty date
            {QStringLiteral("2003-05-01"), QStringLiteral("奖金"), 70},  // a day without its time
            {QStringLiteral("2003/5/20"), QStringLiteral("兼职"), 60},
            {QStringLiteral("2003.06.02"), QStringLiteral("餐饮"), -25},
            // 兼职 and 奖金 tie at 100 from May on: 奖金's first record of the range is the day without its time.
            {QStringLiteral("2003-09-01 12:00:00"), QStringLiteral("兼职"), 40},
            {QStringLiteral("2003-10-01 12:00:00"), QStringLiteral("奖金"), 30},
        };
        for (const auto &[date, item, money] : odd) {
            insert.Reset();
            insert.BindAll({date, item, money});
            insert.Run();
        }
        CMoneyBook book;
        const QDateTime first = book.GetFirstDate();
        QCOMPARE(first, ZeroDate());
        CMoneyFigures figures(*db);
        const QList<std::pair<QDateTime, QDateTime>> ranges{
            {first, LedgerNow()},
            {At(2003, 5, 1, 0, 0, 0), At(2003, 5, 31, 23, 59, 59)},
            {At(2003, 5, 1, 0, 0, 0), At(2003, 12, 31, 23, 59, 59)},
            {At(2003, 4, 15, 0, 0, 0), At(2003, 6, 15, 23, 59, 59)},
            {At(2003, 5, 15, 0, 0, 0), At(2004, 6, 15, 23, 59, 59)},
            {At(1899, 12, 30, 0, 0, 0), At(1899, 12, 30, 23, 59, 59)},
        };
        for (const auto &[start, end] : ranges) {
            const Walked walked = WalkRecords(start, end, 2003);
            const QByteArray range = (DbDateText(start) + QStringLiteral(" - ") + DbDateText(end)).toUtf8();
            const RangeSums sums = figures.IncomeAndExpense(start, end);
            QVERIFY2(sums.incomeCents == walked.sums.incomeCents, range.constData());
            QVERIFY2(sums.expenseCents == walked.sums.expenseCents, range.constData());
            QCOMPARE(Names(SelectItemShares(figures.Items(true, start, end))), Names(SelectItemShares(walked.income)));
            QCOMPARE(Names(SelectItemShares(figures.Items(false, start, end))), Names(SelectItemShares(walked.expense)));
        }
        for (int year : {1899, 2003, 2004}) {
            const Walked walked = WalkRecords(At(2000, 1, 1), At(2000, 1, 1), year);
            const YearSums sums = figures.Year(year);
            for (int month = 1; month <= 12; ++month) {
                const QByteArray which = QStringLiteral("%1-%2").arg(year).arg(month).toUtf8();
                QVERIFY2(sums.incomeCents[size_t(month)] == walked.year.incomeCents[size_t(month)], which.constData());
                QVERIFY2(sums.expenseCents[size_t(month)] == walked.year.expenseCents[size_t(month)], which.constData());
            }
        }
    }
    // An item may be named with quotes or not at all: its sums, its place among equals and its legend
    // line are those of any other item, and the items after an unnamed one are still shown.
    void itemsNamedWithQuotesOrNothing()
    {
        TestInstallation install;
        const QString quoted = QStringLiteral("O'Neil \"书\"");
        {
            CMoneyBook book;
            book.ShowPage(1, QStringLiteral("Date"));
            book.Add(At(2003, 5, 20), quoted, 100, "Li", QString());
            book.Add(At(2003, 5, 21), QString(), 100, "Li", QString());
            book.Add(At(2003, 7, 1), QStringLiteral("工资"), 500, "Li", QString());
            book.Add(At(2003, 8, 1), QString(), 200, "Li", QString());
            book.Add(At(2003, 9, 1), quoted, 200, "Li", QString());
            book.Add(At(2003, 10, 2), QStringLiteral("奖金"), 50, "Li", QString());
            book.Close();
        }
        auto db = OpenLedgerDatabase(install.DataFile(QStringLiteral("Kinward.db")));
        CMoneyFigures figures(*db);
        for (const auto &[start, end] : QList<std::pair<QDateTime, QDateTime>>{{At(2003, 1, 1), At(2003, 12, 31)},
                                                                              {At(2003, 5, 20), At(2003, 10, 2)}}) {
            const Walked walked = WalkRecords(start, end, 2003);
            const std::vector<ItemCents> shares = SelectItemShares(figures.Items(true, start, end));
            QCOMPARE(Names(shares), Names(SelectItemShares(walked.income)));
            QCOMPARE(Names(shares), QStringList({"工资=50000", quoted + "=30000", "=30000", "奖金=5000"}));
            const ChartPlan chart = ItemChart(true, shares, start.date(), end.date());
            QCOMPARE(chart.legends, (std::vector<QString>{"工资:500", quoted + ":300", ":300", "奖金:50", "总计:1150"}));
            QCOMPARE(Values(chart.groups[0]), QList<int>({43, 26, 26, 4, 0}));
        }
    }
    // Thirteen thousand records of the largest amount an entry takes sum beyond what whole cents in 64
    // bits hold: the figures stop at the largest they can show, never turning negative.
    void sumsBeyondTheLargestFigure()
    {
        TestInstallation install;
        {
            CMoneyBook book;
            book.ShowPage(1, QStringLiteral("Date"));
            book.Add(At(2003, 4, 20), QStringLiteral("小"), -1, "Li", QString());
            book.Close();
        }
        auto db = OpenLedgerDatabase(install.DataFile(QStringLiteral("Kinward.db")));
        {
            SqlTransaction transaction(*db);
            SqlStatement insert = db->Prepare(QStringLiteral("INSERT INTO Money (Date, Item, Money) VALUES (?, ?, ?)"));
            for (int i = 0; i < 13000; ++i) {
                insert.Reset();
                insert.BindAll({DbDateText(At(2003, 5 + i % 4, 1 + i % 28)), QStringLiteral("大%1").arg(i % 2),
                                (i % 4 == 3 ? -1 : 1) * kLargestAmount});
                insert.Run();
            }
            transaction.Commit();
        }
        constexpr qint64 kMost = std::numeric_limits<qint64>::max();
        CMoneyFigures figures(*db);
        const RangeSums sums = figures.IncomeAndExpense(At(2003, 1, 1), At(2003, 12, 31));
        QCOMPARE(sums.incomeCents, kMost);
        QCOMPARE(sums.expenseCents, qint64(3250) * qint64(999999999999999) + 100);
        const ChartPlan chart = IncomeAgainstExpenseChart(sums, QDate(2003, 1, 1), QDate(2003, 12, 31));
        QVERIFY2(!chart.legends[0].contains(QLatin1Char('-')), qPrintable(chart.legends[0]));

        const std::vector<ItemCents> items = SelectItemShares(figures.Items(true, At(2003, 1, 1), At(2003, 12, 31)));
        QCOMPARE(Names(items), QStringList({"大0=6499999999999993500", "大1=3249999999999996750"}));
        const ChartPlan byItem = ItemChart(true, items, QDate(2003, 1, 1), QDate(2003, 12, 31));
        QVERIFY2(!byItem.legends.back().contains(QLatin1Char('-')), qPrintable(byItem.legends.back()));
        std::vector<ItemCents> eleven(11, ItemCents{QStringLiteral("满"), kMost});
        QCOMPARE(SelectItemShares(eleven).back().cents, kMost);

        const YearSums year = figures.Year(2003);
        for (int month = 5; month <= 7; ++month)
            QVERIFY2(year.incomeCents[size_t(month)] > 0, qPrintable(QString::number(month)));
    }
};

QTEST_MAIN(TestStats)
#include "tst_stats.moc"
