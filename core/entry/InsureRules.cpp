// Insurance activity rules.
#include "InsureRules.h"

#include "common/Amount.h"
#include "entry/NumberRules.h"

#include <cmath>

const QStringList &InsureActivities()
{
    static const QStringList activities{QStringLiteral("保单开户"), QStringLiteral("缴纳保费"), QStringLiteral("保险金给付"),
                                        QStringLiteral("退保")};
    return activities;
}

QString CheckInsureActivity(InsureEntry *entry)
{
    const QString missing = FirstEmptyField({{entry->activity, QStringLiteral(" 请选择保险活动")},
                                             {entry->policy, QStringLiteral(" 请选择保单名称")},
                                             {entry->person, QStringLiteral(" 请选择经手人")},
                                             {entry->amount, QStringLiteral(" 请填写金额")}});
    if (!missing.isEmpty())
        return missing;
    return CheckAmountField(&entry->amount, QStringLiteral(" 金额不可为零"), QStringLiteral(" 金额填写错误"));
}

QString SignedInsureText(const QString &amount, const QString &activity)
{
    const bool paidOut = activity == QStringLiteral("保单开户") || activity == QStringLiteral("缴纳保费");
    return paidOut ? NegatedAmountText(amount) : amount;
}

QString CheckPolicy(PolicyEntry *entry, bool adding, bool nameTaken)
{
    if (entry->name.isEmpty())
        return QStringLiteral(" 请输入保单名称");
    if (adding && nameTaken)
        return QStringLiteral(" 保单名称重复,请重新输入");
    if (entry->premium.isEmpty())
        return QStringLiteral(" 请输入投保金额");
    QString refused = CheckUnsignedAmount(&entry->premium, QStringLiteral(" 投保金额输入错误"));
    if (!refused.isEmpty())
        return refused;
    if (entry->sumInsured.isEmpty())
        return QStringLiteral(" 请输入保险金额");
    if (AtoF(entry->sumInsured) == 0.0 || AtoF(CentsText(AtoF(entry->sumInsured))) == 0.0)
        return QStringLiteral(" 保险金额不可为零");
    // The sum insured and the paid amount share one message for their form.
    const QString wrongSum = QStringLiteral(" 保险金额输入错误");
    refused = CheckUnsignedAmount(&entry->sumInsured, wrongSum);
    if (!refused.isEmpty())
        return refused;
    if (entry->paid.isEmpty())
        return QStringLiteral(" 请输入已交金额");
    refused = CheckUnsignedAmount(&entry->paid, wrongSum);
    if (!refused.isEmpty())
        return refused;
    if (entry->years < 0 || entry->years > 100)
        return QStringLiteral(" 交费年限只能在 0 到 100 之间");
    return QString();
}
