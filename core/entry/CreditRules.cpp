// Lent and borrowed money.
#include "CreditRules.h"

#include "entry/NumberRules.h"

const QStringList &CreditActivities()
{
    static const QStringList activities{QStringLiteral("借出"), QStringLiteral("借入")};
    return activities;
}

QString CheckCreditEntry(CreditEntry *entry)
{
    const QString missing = FirstEmptyField({{entry->activity, QStringLiteral(" 请选择借贷活动")},
                                             {entry->person, QStringLiteral(" 请选择经手人")},
                                             {entry->amount, QStringLiteral(" 请填写金额")}});
    if (!missing.isEmpty())
        return missing;
    return CheckAmountField(&entry->amount, QStringLiteral(" 金额不可为零"), QStringLiteral(" 金额填写错误"));
}

QString SignedCreditText(const QString &amount, const QString &activity)
{
    return activity == QStringLiteral("借入") ? NegatedAmountText(amount) : amount;
}
