// Amount field rules.
#include "AmountRules.h"

#include "common/Amount.h"

#include <cmath>

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
    const QString text = *amountText;
    const QString wrong = QStringLiteral(" 金额输入错误");
    if (text.isEmpty())
        return QStringLiteral(" 请输入金额");
    if (AtoF(text) == 0.0)
        return QStringLiteral(" 金额不能为零");
    if (text.startsWith(QLatin1Char('.')) || text.endsWith(QLatin1Char('.')))
        return wrong;
    if (text.lastIndexOf(QLatin1Char('+')) > 0)
        return wrong;
    if (text.lastIndexOf(QLatin1Char('-')) > 0)
        return wrong;
    const QString cents = TrimAmount(AtoF(text));
    if (AtoF(cents) == 0.0)
        return QStringLiteral(" 金额不能为零");  // less than half a cent is saved as nothing
    if (!(std::fabs(AtoF(cents)) <= kLargestAmount))
        return QStringLiteral(" 金额不能大于 9,999,999,999,999.99");
    *amountText = cents;
    return QString();
}

QString SignedAmountText(const QString &amountText, bool expense)
{
    if (expense && !amountText.contains(QLatin1Char('-')))
        return QLatin1Char('-') + amountText;
    return amountText;
}
