// Amount field rules.
#include "AmountRules.h"

#include "entry/NumberRules.h"

bool IsAmountKey(QChar key)
{
    return key.isDigit() || key == QLatin1Char('\b') || key == QLatin1Char('+') || key == QLatin1Char('-')
           || key == QLatin1Char('.');
}

QString AmountTextAfterChange(const QString &text, int maxLength)
{
    for (QChar c : text) {
        if (!(c >= QLatin1Char('0') && c <= QLatin1Char('9')) && !IsAmountKey(c))
            return QString();
    }
    QString result = text.left(maxLength);
    if (result.startsWith(QLatin1Char('.')))
        return QString();
    return result;
}

QString CheckAmount(QString *amountText)
{
    if (amountText->isEmpty())
        return QStringLiteral(" 请输入金额");
    // The rule every amount field keeps: one point at most, a sign only first, cents rounded alike.
    return CheckAmountField(amountText, QStringLiteral(" 金额不能为零"), QStringLiteral(" 金额输入错误"));
}

QString SignedAmountText(const QString &amountText, bool expense)
{
    if (expense && !amountText.contains(QLatin1Char('-')))
        return QLatin1Char('-') + amountText;
    return amountText;
}
