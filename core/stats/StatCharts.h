// The seven statistics charts of the ledger as chart descriptions: the figures each needs, and the
// builders that turn them into the title, options, groups, legends and colours of a chart. A
// description becomes a filled CGraph with MakeGraph; the statistics panel keeps the description of
// its last chart and draws it again whenever it is painted.
#pragma once

#include "budget/CBudgetBook.h"
#include "charts/CGraph.h"

#include <QDate>
#include <QString>
#include <array>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

// The kinds in the order of the dialog's list; the drawn-kind code is the index plus one.
enum class StatKind { TotalAssets = 0, IncomeAgainstExpense, IncomeByItem, ExpenseByItem, AnnualBars, AnnualLines, BudgetAgainstSpent };
constexpr int kStatKindCount = 7;
QString StatKindName(StatKind kind);

struct ChartPlan
{
    int type = CGraph::Pie3D;
    QString title;
    std::optional<double> depthRatio;
    // The annual charts' axes.
    bool axes = false;
    QString xAxisLabel, yAxisLabel;
    int tickMinimum = 0, tickMaximum = 100, tickStep = 10;
    struct Group
    {
        QString label;
        std::vector<std::pair<int, int>> points;  // (index, value)
    };
    std::vector<Group> groups;
    std::vector<QString> legends;   // by index
    std::vector<GraphRgb> colors;   // by index
};

// The chart described, ready to draw.
std::unique_ptr<CGraph> MakeGraph(const ChartPlan &plan);

// The six holdings, as their books total them.
struct Holdings
{
    double cash = 0, fixedSavings = 0, demandSavings = 0, assets = 0, insurance = 0, credit = 0;
};
ChartPlan TotalAssetsChart(const Holdings &holdings);

// Income and expense over a range, in whole cents; expense counted positive.
struct RangeSums
{
    qint64 incomeCents = 0, expenseCents = 0;
};
// "从 2003年 05月 01日 到 2003年 12月 31日", the label of a range chart.
QString RangeLabel(const QDate &start, const QDate &end);
ChartPlan IncomeAgainstExpenseChart(const RangeSums &sums, const QDate &start, const QDate &end);

// sum + cents, kept at the largest (or smallest) whole cents 64 bits hold rather than wrapping: a
// million records of the largest amounts reach beyond them.
qint64 AddCents(qint64 sum, qint64 cents);
// sum - cents, kept in the same way.
qint64 SubtractCents(qint64 sum, qint64 cents);

// An item with its sum over a range, in whole cents.
struct ItemCents
{
    QString name;
    qint64 cents = 0;
};
// The item chart's entries from the items in order of first appearance: the nine largest by name (the
// first appearing among equal sums first), then, when any are left, their sum as "其它项目".
std::vector<ItemCents> SelectItemShares(const std::vector<ItemCents> &itemsInOrder);
ChartPlan ItemChart(bool income, const std::vector<ItemCents> &shares, const QDate &start, const QDate &end);

// Each month's income and expense of one year (index 1 to 12), in whole cents.
struct YearSums
{
    std::array<qint64, 13> incomeCents{}, expenseCents{};
};
// The top of the value axis: 20000 while every month fits, else the next multiple of 20000.
int AnnualAxisTop(const YearSums &sums);
ChartPlan AnnualChart(bool bars, int year, const YearSums &sums);

// The top of a value axis of ten steps that holds the largest value: ten times the smallest step of
// 1, 2 or 5 times a power of ten that reaches it (at least 100).
int NiceAxisTop(qint64 largest);
// A month's budgets as bars, each budget beside what was spent on it, the items over their budget
// first and marked "（超支）", the month's whole expense last when it has a budget.
ChartPlan BudgetChart(const BudgetView &view);
