// The six statistics charts on the large ledger: each from choosing it to its drawn image, its
// aggregation and its drawing apart, the aggregation beside the plain SQL that computes the same
// figures from the records (its floor), and the opening of the dialog.
// With $ZARVEL_BENCH_PG each also on the ledger's copy on a server (bench_books says how).
#include "BenchSupport.h"
#include "BenchWindow.h"
#include "LedgerGenerator.h"

#include "app/CLedgerApp.h"
#include "app/CMainDlg.h"
#include "charts/CStatPanel.h"
#include "charts/QtCanvas.h"
#include "common/LedgerDate.h"
#include "budget/CBudgetBook.h"
#include "db/CArticleBook.h"
#include "db/CCreditBook.h"
#include "db/CCurrentBook.h"
#include "db/CDepositBook.h"
#include "db/CInsureBook.h"
#include "db/CMoneyBook.h"
#include "db/Ledger.h"
#include "db/SqlConnection.h"
#include "dialogs/CStatDlg.h"
#include "stats/MoneyFigures.h"
#include "stats/StatNavigator.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <memory>

namespace {

BenchLedger g_ledger;

const char *const kKindNames[kStatKindCount] = {"TotalAssets", "IncomeAgainstExpense", "IncomeByItem",
                                                "ExpenseByItem", "AnnualBars",  "AnnualLines", "BudgetAgainstSpent"};

// The statistics as the dialog holds them: the main window's book for the first and last dates, the
// holdings read at opening, the kept figures.
struct Statistics
{
    CMoneyBook money;
    std::shared_ptr<SqlConnection> db = OpenLedgerDatabase();
    CMoneyFigures figures{*db};
    Holdings holdings;
    CStatNavigator navigator;

    Statistics()
    {
        money.ShowPage(1, QStringLiteral("Date"));
        CCreditBook credit;
        CInsureBook insure;
        CArticleBook article;
        CCurrentBook current;
        CDepositBook deposit;
        credit.ComputeTotals();
        insure.ComputeTotals();
        article.ComputeTotals();
        current.ComputeTotals();
        deposit.ComputeTotals();
        money.ComputeTotal();
        holdings = {money.GetTotal(), deposit.GetDepositTotal(), current.GetTotal(), article.GetTotalValue(),
                    insure.GetTotal(), credit.GetTotal()};
    }
    void Choose(int kind) { navigator.Choose(StatKind(kind), money.GetFirstDate(), money.GetLastDate(), LedgerNow()); }
};

QImage Draw(const ChartPlan &chart)
{
    QImage image(486, 330, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(image.rect(), Qt::white);
    QtCanvas canvas(painter, image.width(), image.height());
    MakeGraph(chart)->DrawGraph(canvas);
    return image;
}

// Choosing the kind in the list: its range or year set up, aggregated, described and drawn.
void ChartToImage(benchmark::State &state, int kind)
{
    Statistics stats;
    for (auto _ : state) {
        stats.Choose(kind);
        benchmark::DoNotOptimize(Draw(stats.navigator.Chart(stats.figures, stats.holdings)));
    }
}

void Aggregate(benchmark::State &state, int kind)
{
    Statistics stats;
    stats.Choose(kind);
    for (auto _ : state)
        benchmark::DoNotOptimize(stats.navigator.Chart(stats.figures, stats.holdings));
}

void Drawing(benchmark::State &state, int kind)
{
    Statistics stats;
    stats.Choose(kind);
    const ChartPlan chart = stats.navigator.Chart(stats.figures, stats.holdings);
    for (auto _ : state)
        benchmark::DoNotOptimize(Draw(chart));
}

// The same figures computed from the records by plain SQL, over the same range or year.
void Aggregate_Floor(benchmark::State &state, int kind)
{
    Statistics stats;
    stats.Choose(kind);
    const QString start = DbDateText(stats.navigator.Start()), end = DbDateText(stats.navigator.End());
    const QString yearStart = QStringLiteral("%1-01-01 00:00:00").arg(stats.navigator.Year());
    const QString yearEnd = QStringLiteral("%1-12-31 23:59:59").arg(stats.navigator.Year());
    const QString monthStart = DbDateText(LedgerDateTime(stats.navigator.Month()));
    const QString monthEnd = DbDateText(LedgerDateTime(stats.navigator.Month().addMonths(1)));
    const auto raw = Plain();
    for (auto _ : state) {
        switch (StatKind(kind)) {
        case StatKind::TotalAssets:
            raw->Run("SELECT sum(Money) FROM Money");
            raw->Run("SELECT sum(BMoney) FROM Deposit WHERE MKind='人民币'");
            raw->Run("SELECT sum(Money) FROM Current WHERE MKind='人民币'");
            raw->Run("SELECT sum(Value) FROM Article");
            raw->Run("SELECT -sum(Money) FROM InsureRecord WHERE Money<0");
            raw->Run("SELECT sum(Money) FROM Credit");
            break;
        case StatKind::IncomeAgainstExpense:
            raw->Run("SELECT sum(CASE WHEN Money>0 THEN Money ELSE 0 END), sum(CASE WHEN Money<=0 THEN -Money ELSE 0 END) "
                     "FROM Money WHERE Date>=? AND Date<=?",
                     {start, end});
            break;
        case StatKind::IncomeByItem:
            raw->Run("SELECT Item, sum(Money), min(ID) FROM Money WHERE Money>0 AND Date>=? AND Date<=? GROUP BY Item",
                     {start, end});
            break;
        case StatKind::ExpenseByItem:
            raw->Run("SELECT Item, -sum(Money), min(ID) FROM Money WHERE Money<0 AND Date>=? AND Date<=? GROUP BY Item",
                     {start, end});
            break;
        case StatKind::AnnualBars:
        case StatKind::AnnualLines:
            raw->Run("SELECT substr(Date,6,2), sum(CASE WHEN Money>0 THEN Money ELSE 0 END), "
                     "sum(CASE WHEN Money<=0 THEN -Money ELSE 0 END) FROM Money WHERE Date>=? AND Date<=? GROUP BY 1",
                     {yearStart, yearEnd});
            break;
        case StatKind::BudgetAgainstSpent:
            raw->Run("SELECT Item, -sum(Money) FROM Money WHERE Money<0 AND Date>=? AND Date<? GROUP BY Item", {monthStart, monthEnd});
            break;
        }
    }
}

// 统计 pressed: the dialog made (six books' totals, the first chart) and its panel drawn.
void OpenDialog(benchmark::State &state)
{
    CMainDlg window(CMainDlg::Options{false});
    for (auto _ : state) {
        CStatDlg dialog(window.m_moneyBook, &window);
        benchmark::DoNotOptimize(dialog.Panel()->Picture());
    }
}

// A month's budget view: ten items budgeted, their spending read from the kept monthly sums; its
// floor, the same spending summed from the month's records through the date index. The budgets are
// taken away again afterwards, unmeasured.
const QStringList kBudgeted{QStringLiteral("餐饮"), QStringLiteral("买菜"), QStringLiteral("日用品"), QStringLiteral("服装"),
                            QStringLiteral("交通"), QStringLiteral("通讯"), QStringLiteral("医疗"), QStringLiteral("教育"),
                            QStringLiteral("娱乐"), QStringLiteral("旅游")};

QString BusiestMonth()
{
    SqlStatement month = OpenLedgerDatabase()->Prepare(QStringLiteral("SELECT \"Month\" FROM \"MoneyMonths\" ORDER BY \"N\" DESC LIMIT 1"));
    return month.Step() ? month.Text(0) : QString();
}

void BudgetView_(benchmark::State &state)
{
    CBudgetBook budgets(OpenLedgerDatabase());
    for (const QString &item : kBudgeted)
        budgets.SetBudget(item, QString(), 500);
    budgets.SetBudget(QString(), QString(), 5000);
    const QString month = BusiestMonth();
    qint64 spent = 0;
    for (auto _ : state)
        spent = budgets.View(month).whole.spentCents;
    state.counters["spent"] = double(spent) / 100.0;
    for (const QString &item : kBudgeted)
        budgets.SetBudget(item, QString(), 0);
    budgets.SetBudget(QString(), QString(), 0);
}

void BudgetView_Floor(benchmark::State &state)
{
    const auto raw = Plain();
    const QDate first = QDate::fromString(BusiestMonth() + QStringLiteral("-01"), QStringLiteral("yyyy-MM-dd"));
    const QVariantList month{DbDateText(LedgerDateTime(first)), DbDateText(LedgerDateTime(first.addMonths(1)))};
    for (auto _ : state)
        raw->Run("SELECT Item, -sum(CAST(round(Money * 100) AS INTEGER)) FROM Money WHERE Date >= ? AND Date < ? AND Money < 0 "
                 "GROUP BY Item", month);
}

} // namespace

int main(int argc, char **argv)
{
    return RunWindowBenchmarks(argc, argv, [](const QString &ledger) {
        g_ledger.folder = ledger;
        if (!FindOnServer(g_ledger, BenchLedgerSize()))
            return false;
        using Body = void (*)(benchmark::State &, int);
        const std::pair<const char *, Body> steps[] = {
            {"_Chart", ChartToImage}, {"_Aggregate", Aggregate}, {"_Aggregate_Floor", Aggregate_Floor}, {"_Draw", Drawing}};
        for (int kind = 0; kind < kStatKindCount; ++kind) {
            for (const auto &[step, body] : steps)
                RegisterOnEach(kKindNames[kind] + std::string(step), g_ledger, [body, kind](benchmark::State &state) { body(state, kind); });
        }
        RegisterOnEach("OpenDialog", g_ledger, OpenDialog);
        RegisterOnEach("BudgetView", g_ledger, BudgetView_);
        RegisterOnEach("BudgetView_Floor", g_ledger, BudgetView_Floor);
        return true;
    });
}
