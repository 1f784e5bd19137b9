// Insurance activity rules.
#include "InsureRules.h"

#include "entry/NumberRules.h"

const QStringList &InsureActivities()
{
    static const QStringList activities{QStringLiteral("保单开户"), QStringLiteral("缴纳保费"), QStringLiteral("保险金给付"),
                                        QStringLiteral("退保")};
    return activities;
}

QString CheckInsureActivity(InsureEntry *entry)
{
    if (entry->activity.isEmpty())
        return QStringLiteral(" 请选择保险活动");
    if (entry->policy.isEmpty())
        return QStringLiteral(" 请选择保单名称");
    if (entry->person.isEmpty())
        return QStringLiteral(" 请选择经手人");
    if (entry->amount.isEmpty())
        return QStringLiteral(" 请填写金额");
    return CheckAmountField(&entry->amount, QStringLiteral(" 金额不可为零"), QStringLiteral(" 金额填写错误"));
}

QString SignedInsureText(const QString &amount, const QString &activity)
{
    const bool paidOut = activity == QStringLiteral("保单开户") || activity == QStringLiteral("缴纳保费");
    if (paidOut && !amount.contains(QLatin1Char('-')))
        return QLatin1Char('-') + amount;
    return amount;
}
