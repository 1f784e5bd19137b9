// The statistics charts' descriptions.
#include "StatCharts.h"

#include "common/Amount.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const GraphRgb kRed{255, 0, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255};

// A share of the sum in whole percent, truncated; nothing of an empty sum.
int Percent(double part, double sum)
{
    return sum > 0 ? int(part / sum * 100.0) : 0;
}

double Amount(qint64 cents)
{
    return double(cents) / 100.0;
}

// Whole yuan of a month's figure, truncated toward zero, within what an axis can hold.
int WholeYuan(qint64 cents)
{
    return int(std::clamp<qint64>(cents / 100, -2000000000, 2000000000));
}

} // namespace

qint64 AddCents(qint64 sum, qint64 cents)
{
    qint64 result;
    if (!__builtin_add_overflow(sum, cents, &result))
        return result;
    return cents > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
}

qint64 SubtractCents(qint64 sum, qint64 cents)
{
    qint64 result;
    if (!__builtin_sub_overflow(sum, cents, &result))
        return result;
    return cents < 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
}

QString StatKindName(StatKind kind)
{
    static const QString names[kStatKindCount] = {
        QStringLiteral("总资产统计图"), QStringLiteral("收支统计图"),     QStringLiteral("收入统计图"),
        QStringLiteral("支出统计图"),   QStringLiteral("年度收支对比图"), QStringLiteral("年度收支走势图"),
        QStringLiteral("月度预算执行图")};
    return names[int(kind)];
}

std::unique_ptr<CGraph> MakeGraph(const ChartPlan &plan)
{
    auto graph = std::make_unique<CGraph>(plan.type);
    graph->SetTitle(plan.title);
    if (plan.axes) {
        graph->SetXLabelAngle(0);
        graph->SetXAxisLabel(plan.xAxisLabel);
        graph->SetYAxisLabel(plan.yAxisLabel);
        graph->SetTickRange(plan.tickMinimum, plan.tickMaximum, plan.tickStep);
    }
    if (plan.depthRatio)
        graph->SetDepthRatio(*plan.depthRatio);
    if (plan.axes)
        graph->SetGridLines(true);
    // A group is handed over whole: the graph counts its points when it is added.
    for (const ChartPlan::Group &source : plan.groups) {
        auto group = std::make_unique<CGraphGroup>();
        group->SetLabel(source.label);
        for (const auto &[index, value] : source.points)
            group->AddPoint(index, value);
        graph->AddGroup(std::move(group));
    }
    for (size_t i = 0; i < plan.legends.size(); ++i)
        graph->SetLegend(int(i), plan.legends[i]);
    for (size_t i = 0; i < plan.colors.size(); ++i)
        graph->SetColor(int(i), plan.colors[i]);
    return graph;
}

ChartPlan TotalAssetsChart(const Holdings &h)
{
    ChartPlan plan;
    plan.type = CGraph::Pie3D;
    plan.title = QStringLiteral("总资产统计");
    plan.depthRatio = 0.1;
    const double values[6] = {h.cash, h.fixedSavings, h.demandSavings, h.assets, h.insurance, h.credit};
    static const char *const names[6] = {"现金:", "定期储蓄:", "活期储蓄:", "财产:", "保险:", "债权债务:"};
    double sum = 0;
    for (double value : values)
        sum += value;
    // Cash, demand savings and credit at or below nothing have no slice; the legend keeps their amounts.
    double slices[6];
    double sliceSum = 0;
    for (int i = 0; i < 6; ++i) {
        const bool clamped = (i == 0 || i == 2 || i == 5) && values[i] <= 0;
        slices[i] = clamped ? 0 : values[i];
        sliceSum += slices[i];
    }
    ChartPlan::Group group;
    for (int i = 0; i < 6; ++i) {
        plan.legends.push_back(QString::fromUtf8(names[i]) + TrimAmount(values[i]));
        group.points.push_back({i, Percent(slices[i], sliceSum)});
    }
    group.points.push_back({6, 0});  // gives the legend its total line
    plan.legends.push_back(QStringLiteral("总计:") + TrimAmount(sum));
    plan.groups.push_back(group);
    plan.colors = {kRed, kBlue, {255, 143, 107}, {255, 51, 153}, {199, 177, 255}, {0, 192, 0}, kWhite};
    return plan;
}

QString RangeLabel(const QDate &start, const QDate &end)
{
    const QString format = QStringLiteral("yyyy年 MM月 dd日");
    return QStringLiteral("从 ") + start.toString(format) + QStringLiteral(" 到 ") + end.toString(format);
}

ChartPlan IncomeAgainstExpenseChart(const RangeSums &sums, const QDate &start, const QDate &end)
{
    ChartPlan plan;
    plan.type = CGraph::Pie3D;
    plan.title = QStringLiteral("收支统计");
    plan.depthRatio = 0.1;
    const double income = Amount(sums.incomeCents), expense = Amount(sums.expenseCents);
    const double sum = income + expense;
    plan.legends = {QStringLiteral("收入:") + TrimAmount(income), QStringLiteral("支出:") + TrimAmount(expense)};
    plan.groups.push_back({RangeLabel(start, end), {{0, Percent(income, sum)}, {1, Percent(expense, sum)}}});
    plan.colors = {kBlue, kRed};
    return plan;
}

std::vector<ItemCents> SelectItemShares(const std::vector<ItemCents> &itemsInOrder)
{
    // The largest first; among equal sums the one that appeared first (a stable sort keeps their order).
    std::vector<ItemCents> items = itemsInOrder;
    std::stable_sort(items.begin(), items.end(), [](const ItemCents &a, const ItemCents &b) { return a.cents > b.cents; });
    constexpr size_t kNamed = 9;
    if (items.size() <= kNamed)
        return items;
    ItemCents others{QStringLiteral("其它项目"), 0};
    for (size_t i = kNamed; i < items.size(); ++i)
        others.cents = AddCents(others.cents, items[i].cents);
    items.resize(kNamed);
    items.push_back(others);
    return items;
}

ChartPlan ItemChart(bool income, const std::vector<ItemCents> &shares, const QDate &start, const QDate &end)
{
    ChartPlan plan;
    plan.type = CGraph::Pie3D;
    plan.title = income ? QStringLiteral("收入统计") : QStringLiteral("支出统计");
    plan.depthRatio = 0.1;
    qint64 sumCents = 0;
    for (const ItemCents &share : shares)
        sumCents = AddCents(sumCents, share.cents);
    const double sum = Amount(sumCents);
    ChartPlan::Group group{RangeLabel(start, end), {}};
    for (size_t i = 0; i < shares.size(); ++i) {
        const double amount = Amount(shares[i].cents);
        plan.legends.push_back(shares[i].name + QLatin1Char(':') + TrimAmount(amount));
        group.points.push_back({int(i), Percent(amount, sum)});
    }
    plan.legends.push_back(QStringLiteral("总计:") + TrimAmount(sum));
    group.points.push_back({int(shares.size()), 0});
    plan.groups.push_back(group);
    plan.colors = {kRed,        kBlue,        {255, 143, 107}, {255, 51, 153},   {199, 177, 255}, {0, 192, 192},
                   {80, 50, 0}, {128, 0, 0},  {192, 192, 192}, {255, 198, 107}, kWhite};
    return plan;
}

int AnnualAxisTop(const YearSums &sums)
{
    constexpr int kStep = 20000;
    qint64 largest = 0;
    for (int month = 1; month <= 12; ++month)
        largest = std::max({largest, sums.incomeCents[size_t(month)] / 100, sums.expenseCents[size_t(month)] / 100});
    if (largest <= kStep)
        return kStep;
    // Beyond the usual axis: up to the next multiple of its top, as far as an int axis goes.
    const qint64 top = (largest + kStep - 1) / kStep * kStep;
    return int(std::min<qint64>(top, 2000000000));
}

ChartPlan AnnualChart(bool bars, int year, const YearSums &sums)
{
    ChartPlan plan;
    plan.type = bars ? CGraph::Bars3D : CGraph::Lines;
    plan.title = bars ? QStringLiteral("年度收支对比") : QStringLiteral("年度收支走势");
    plan.axes = true;
    plan.xAxisLabel = QStringLiteral("%1 年").arg(year, 4, 10, QLatin1Char('0'));
    plan.yAxisLabel = bars ? QStringLiteral("单位：元") : QStringLiteral("单位:元");
    plan.tickMaximum = AnnualAxisTop(sums);
    plan.tickStep = plan.tickMaximum / 10;
    if (bars)
        plan.depthRatio = 0.05;
    for (int month = 1; month <= 12; ++month) {
        // Whole yuan, truncated toward zero.
        plan.groups.push_back({QStringLiteral("%1月").arg(month),
                               {{0, WholeYuan(sums.incomeCents[size_t(month)])}, {1, WholeYuan(sums.expenseCents[size_t(month)])}}});
    }
    plan.colors = {kBlue, kRed};
    plan.legends = {QStringLiteral("收入"), QStringLiteral("支出")};
    return plan;
}

int NiceAxisTop(qint64 largest)
{
    constexpr qint64 kLimit = 2000000000;
    for (qint64 power = 10; power <= kLimit / 10; power *= 10) {
        for (const qint64 factor : {1, 2, 5}) {
            // A top past the int axis is the axis's limit (the bars stop there too).
            if (factor * power * 10 >= largest)
                return int(std::min(factor * power * 10, kLimit));
        }
    }
    return int(kLimit);
}

ChartPlan BudgetChart(const BudgetView &view)
{
    ChartPlan plan;
    plan.type = CGraph::Bars3D;
    plan.title = QStringLiteral("月度预算执行");
    plan.axes = true;
    const QDate month = QDate::fromString(view.month + QStringLiteral("-01"), QStringLiteral("yyyy-MM-dd"));
    plan.xAxisLabel = month.isValid() ? QStringLiteral("%1 年 %2 月").arg(month.year()).arg(month.month()) : view.month;
    plan.yAxisLabel = QStringLiteral("单位：元");
    plan.depthRatio = 0.05;
    std::vector<BudgetLine> lines = view.items;
    if (view.hasWhole) {
        BudgetLine whole = view.whole;
        whole.item = QStringLiteral("全月支出");
        lines.push_back(whole);
    }
    qint64 largest = 0;
    for (const BudgetLine &line : lines) {
        largest = std::max({largest, line.budgetCents / 100, line.spentCents / 100});
        const QString label = line.Over() ? line.item + QStringLiteral("（超支）") : line.item;
        plan.groups.push_back({label, {{0, WholeYuan(line.budgetCents)}, {1, WholeYuan(line.spentCents)}}});
    }
    if (lines.empty())
        plan.groups.push_back({QStringLiteral("本月没有预算"), {{0, 0}, {1, 0}}});
    plan.tickMaximum = NiceAxisTop(largest);
    plan.tickStep = plan.tickMaximum / 10;
    plan.colors = {kBlue, kRed};
    plan.legends = {QStringLiteral("预算"), QStringLiteral("已支出")};
    return plan;
}
