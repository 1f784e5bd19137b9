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
    if (entry->account.isEmpty())
        return QStringLiteral(" 请填写帐户");
    if (entry->currency.isEmpty())
        return QStringLiteral(" 请选择货币种类");
    if (entry->bank.isEmpty())
        return QStringLiteral(" 请选择办理银行");
    if (entry->person.isEmpty())
        return QStringLiteral(" 请选择经手人");
    if (entry->note.isEmpty())
        return QStringLiteral(" 请选择注释");
    if (entry->amount.isEmpty())
        return QStringLiteral(" 请填写金额");
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
