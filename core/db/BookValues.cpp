// Record values from dialog texts.
#include "BookValues.h"

#include "db/DbError.h"

#include <QStringList>

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
