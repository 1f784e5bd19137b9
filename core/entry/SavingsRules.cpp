// Demand savings and transfer checks.
#include "SavingsRules.h"

#include "common/Amount.h"
#include "entry/NumberRules.h"

#include <cmath>

namespace {

bool IsZeroToTheCent(const QString &amount)
{
    return AtoF(amount) == 0.0 || AtoF(TrimAmount(AtoF(amount))) == 0.0;
}

} // namespace

QString CheckMovement(MovementEntry *entry)
{
    const QString missing = FirstEmptyField({{entry->account, QStringLiteral(" 请填写帐户")},
                                             {entry->currency, QStringLiteral(" 请选择货币种类")},
                                             {entry->bank, QStringLiteral(" 请选择办理银行")},
                                             {entry->person, QStringLiteral(" 请选择经手人")},
                                             {entry->note, QStringLiteral(" 请选择注释")},
                                             {entry->amount, QStringLiteral(" 请填写金额")}});
    if (!missing.isEmpty())
        return missing;
    return CheckAmountField(&entry->amount, QStringLiteral(" 金额不可为零"), QStringLiteral(" 金额填写错误"));
}

QString SignedMovementText(const QString &amount, bool out)
{
    QString magnitude = amount;
    while (magnitude.startsWith(QLatin1Char('-')) || magnitude.startsWith(QLatin1Char('+')))
        magnitude.remove(0, 1);
    return out ? QLatin1Char('-') + magnitude : magnitude;
}

QString CheckTransfer(const QString &person, QString *amount, double amountDue)
{
    if (person.isEmpty())
        return QStringLiteral(" 请输入经手人");
    if (amount->isEmpty())
        return QStringLiteral(" 请输入金额");
    if (!IsWellFormedNumber(*amount) || amount->startsWith(QLatin1Char('-')))
        return QStringLiteral(" 金额输入错误");
    if (IsZeroToTheCent(*amount))
        return QStringLiteral(" 金额不能为零");
    const QString cents = TrimAmount(AtoF(*amount));
    if (AtoF(cents) > AtoF(TrimAmount(amountDue)))
        return QStringLiteral(" 转入金额不能大于存款到期金额");
    *amount = cents;
    return QString();
}
