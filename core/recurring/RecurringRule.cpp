// Due dates of recurring records.
#include "RecurringRule.h"

#include <algorithm>

QString RecurringRuleProblem(const RecurringRule &rule)
{
    if (!rule.first.isValid())
        return QStringLiteral("请填写开始日期");
    if (rule.every < 1 || rule.every > kLongestInterval)
        return QStringLiteral("间隔必须是 1 到 %1 之间的整数").arg(kLongestInterval);
    if (rule.unit == RepeatUnit::Months && (rule.dayOfMonth < 0 || rule.dayOfMonth > 31))
        return QStringLiteral("每月的日期必须在 1 到 31 之间");
    if (rule.end.isValid() && rule.end < rule.first)
        return QStringLiteral("结束日期早于开始日期");
    if (rule.times < 0)
        return QStringLiteral("次数不能为负数");
    return QString();
}

QDate Occurrence(const RecurringRule &rule, int index)
{
    if (index < 0 || !rule.first.isValid() || rule.every < 1 || (rule.times > 0 && index >= rule.times))
        return QDate();
    const qint64 steps = qint64(index) * rule.every;
    QDate day;
    switch (rule.unit) {
    case RepeatUnit::Days: day = rule.first.addDays(steps); break;
    case RepeatUnit::Weeks: day = rule.first.addDays(7 * steps); break;
    case RepeatUnit::Years: day = rule.first.addYears(int(steps)); break;  // 29 February: the 28th in other years
    case RepeatUnit::Months: {
        const int wanted = rule.dayOfMonth > 0 ? rule.dayOfMonth : rule.first.day();
        const QDate firstMonth(rule.first.year(), rule.first.month(), 1);
        const auto inMonth = [wanted](const QDate &month) {
            return QDate(month.year(), month.month(), std::min(wanted, month.daysInMonth()));
        };
        // A day of the month before the first date in its month: the rule's cadence starts a step later.
        const int late = inMonth(firstMonth) < rule.first ? rule.every : 0;
        day = inMonth(firstMonth.addMonths(int(steps) + late));
        break;
    }
    }
    if (!day.isValid() || (rule.end.isValid() && day > rule.end))
        return QDate();
    return day;
}

QList<QDate> DueDates(const RecurringRule &rule, const QDate &upTo, int most)
{
    QList<QDate> due;
    if (!RecurringRuleProblem(rule).isEmpty())
        return due;
    for (int index = 0; due.size() < most; ++index) {
        const QDate day = Occurrence(rule, index);
        if (!day.isValid() || day > upTo)
            break;
        due << day;
    }
    return due;
}

QString DescribeRule(const RecurringRule &rule)
{
    const QString every = rule.every == 1 ? QStringLiteral("每") : QStringLiteral("每 %1 ").arg(rule.every);
    switch (rule.unit) {
    case RepeatUnit::Days: return every + QStringLiteral("天");
    case RepeatUnit::Weeks: return every + QStringLiteral("周");
    case RepeatUnit::Years: return every + QStringLiteral("年（%1 月 %2 日）").arg(rule.first.month()).arg(rule.first.day());
    case RepeatUnit::Months: {
        const int day = rule.dayOfMonth > 0 ? rule.dayOfMonth : rule.first.day();
        const QString months = every + (rule.every == 1 ? QStringLiteral("月") : QStringLiteral("个月"));
        return day >= 29 ? months + QStringLiteral(" %1 日（月份较短时为最后一天）").arg(day) : months + QStringLiteral(" %1 日").arg(day);
    }
    }
    return QString();
}
