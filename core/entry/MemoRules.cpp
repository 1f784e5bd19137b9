// Memos, address entries and the list filter.
#include "MemoRules.h"

#include "entry/NumberRules.h"

QString CheckMemo(const QString &member, const QString &matter)
{
    return FirstEmptyField({{member, QStringLiteral(" 请选择家庭成员")}, {matter, QStringLiteral(" 请输入备忘内容")}});
}

QString CheckAddressName(const QString &name)
{
    return name.isEmpty() ? QStringLiteral("请填入姓名") : QString();
}

QString FilterCondition(FilterChoice choice, const QDate &day)
{
    const QString since = QStringLiteral("Date>=#%1-%2-%3#");
    switch (choice) {
    case FilterChoice::SinceYear: return since.arg(day.year()).arg(1).arg(1);
    case FilterChoice::SinceMonth: return since.arg(day.year()).arg(day.month()).arg(1);
    case FilterChoice::SinceDay: return since.arg(day.year()).arg(day.month()).arg(day.day());
    case FilterChoice::All: break;
    }
    return QString();
}
