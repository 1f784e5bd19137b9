// Record values from dialog texts.
#include "BookValues.h"

#include "db/DbError.h"

#include <QStringList>
#include <cmath>
#include <limits>

QDateTime DateValue(const QString &text)
{
    const QDateTime date = ParseDateText(text);
    if (!date.isValid())
        throw DbError(QStringLiteral("日期格式错误：%1").arg(text));
    return date;
}

QDateTime EndDateValue(const QString &text)
{
    return text.isEmpty() ? NoEndDate() : DateValue(text);
}

QStringList SignedColumns(const QString &amountText)
{
    const bool income = AtoF(amountText) >= 0;
    return {income ? amountText : QString(), income ? QString() : amountText};
}

QString AmountOfSignedColumns(const QStringList &row, int first)
{
    return row.value(first).isEmpty() ? row.value(first + 1) : row.value(first);
}

double AmountValue(double amount)
{
    if (!(std::fabs(amount) <= kLargestAmount))
        throw DbError(QStringLiteral("金额 %1 超出范围：金额的绝对值不能大于 9,999,999,999,999.99。").arg(FormatDouble("%.2f", amount)));
    return amount;
}

double AmountValue(const QString &text)
{
    return AmountValue(AtoF(text));
}

qint16 ShortValue(int value, const QString &field)
{
    if (value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max())
        throw DbError(QStringLiteral("%1 %2 超出范围：只能在 -32768 到 32767 之间。").arg(field).arg(value));
    return qint16(value);
}

qint16 ShortValue(const QString &text, const QString &field)
{
    return ShortValue(AtoI(text), field);  // AtoI saturates, so a long digit string is refused too
}
