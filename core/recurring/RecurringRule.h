// When a recurring record comes due: every n days, weeks, months (on a day of the month, the month's
// last day when it is shorter) or years, from a first date, until an end date or for a number of times.
#pragma once

#include <QDate>
#include <QList>
#include <QString>

enum class RepeatUnit { Days = 0, Weeks = 1, Months = 2, Years = 3 };

struct RecurringRule
{
    RepeatUnit unit = RepeatUnit::Months;
    int every = 1;       // 1 … kLongestInterval
    int dayOfMonth = 0;  // for months: 1 … 31, the month's last day when it is shorter; 0: the first date's day
    QDate first;
    QDate end;      // invalid: none
    int times = 0;  // 0: no limit
};

constexpr int kLongestInterval = 999;

// What is wrong with the rule ("结束日期早于开始日期" …), or an empty text.
QString RecurringRuleProblem(const RecurringRule &rule);

// The occurrence numbered from 0, counted from the first date each time, so that a month's last day
// stays the last day of each month after a short one; invalid beyond the end or the number of times.
QDate Occurrence(const RecurringRule &rule, int index);

// The occurrences from the first up to and including upTo, the earliest first (at most `most`).
QList<QDate> DueDates(const RecurringRule &rule, const QDate &upTo, int most = 10000);

// The rule as a household reads it: "每月 15 日", "每 2 周", "每年", "每月最后一天（31 日）".
QString DescribeRule(const RecurringRule &rule);
