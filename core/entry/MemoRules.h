// The checks of a memo and of an address entry, and the condition of the income/expense filter.
#pragma once

#include <QDate>
#include <QString>

// " 请选择家庭成员" without a member, " 请输入备忘内容" without text (blanks are text); empty when it passes.
QString CheckMemo(const QString &member, const QString &matter);

// "请填入姓名" without a name (only the name is required); empty when it passes.
QString CheckAddressName(const QString &name);

// What the income/expense list shows: the records from the start of the chosen day's year, month or
// day on, or all of them.
enum class FilterChoice { SinceYear = 0, SinceMonth = 1, SinceDay = 2, All = 3 };

// The list's filter condition: "Date>=#2003-5-1#" (month and day without leading zeros) from midnight
// of the first day shown, so records of that day at 00:00:00 are listed too; empty for all records.
QString FilterCondition(FilterChoice choice, const QDate &day);
