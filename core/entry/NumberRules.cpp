// Number fields.
#include "NumberRules.h"

#include "common/Amount.h"

#include <cmath>

QString NumberTextAfterTyping(const QString &text, NumberKind kind, int maxLength)
{
    for (QChar c : text) {
        if (!(c >= QLatin1Char('0') && c <= QLatin1Char('9')) && c != QLatin1Char('+') && c != QLatin1Char('-')
            && c != QLatin1Char('.'))
            return QString();
    }
    QString result = text.left(maxLength);
    const auto refused = [kind](const QString &t) {
        const bool sign = t.contains(QLatin1Char('+')) || t.contains(QLatin1Char('-'));
        switch (kind) {
        case NumberKind::Unsigned: return sign || t.startsWith(QLatin1Char('.'));
        case NumberKind::Whole: return sign || t.contains(QLatin1Char('.'));
        case NumberKind::Signed: return t.startsWith(QLatin1Char('.'));
        case NumberKind::Any: return false;
        }
        return false;
    };
    while (!result.isEmpty() && refused(result))
        result.chop(1);
    return result;
}

bool IsWellFormedNumber(const QString &text)
{
    if (text.isEmpty() || text.startsWith(QLatin1Char('.')) || text.endsWith(QLatin1Char('.')))
        return false;
    if (text.count(QLatin1Char('.')) > 1)
        return false;
    for (QChar sign : {QLatin1Char('+'), QLatin1Char('-')}) {
        if (text.lastIndexOf(sign) > 0)
            return false;
    }
    const QString body = text.mid(text.startsWith(QLatin1Char('+')) || text.startsWith(QLatin1Char('-')) ? 1 : 0);
    return !body.isEmpty() && !body.startsWith(QLatin1Char('.'));
}

QString CentsText(double amount)
{
    // Beyond the largest amount the cents no longer matter, and they would not fit in a qint64:
    // the figure stays as large as it is, for the save to refuse.
    if (!(std::fabs(amount) <= kLargestAmount))
        return TrimAmount(amount);
    // Six decimals of the value carry its decimal digits correctly; the third decides the cent.
    const QString text = FormatDouble("%.6f", std::fabs(amount));
    const int point = int(text.indexOf(QLatin1Char('.')));
    qint64 cents = text.left(point).toLongLong() * 100 + text.mid(point + 1, 2).toLongLong();
    if (text.at(point + 3) >= QLatin1Char('5'))
        ++cents;
    return TrimAmount(double(amount < 0 ? -cents : cents) / 100.0);
}

QString CheckAmountField(QString *amount, const QString &zeroMessage, const QString &wrongMessage)
{
    // Checked and kept as the same cents: less than half a cent is zero, as it would be saved as nothing.
    const QString cents = CentsText(AtoF(*amount));
    if (AtoF(*amount) == 0.0 || AtoF(cents) == 0.0)
        return zeroMessage;
    if (!IsWellFormedNumber(*amount))
        return wrongMessage;
    if (!(std::fabs(AtoF(cents)) <= kLargestAmount))
        return QStringLiteral(" 金额不能大于 9,999,999,999,999.99");
    *amount = cents;
    return QString();
}

QString CheckUnsignedAmount(QString *amount, const QString &wrongMessage)
{
    if (!IsWellFormedNumber(*amount) || amount->startsWith(QLatin1Char('-')))
        return wrongMessage;
    const QString cents = CentsText(AtoF(*amount));
    if (!(std::fabs(AtoF(cents)) <= kLargestAmount))
        return QStringLiteral(" 金额不能大于 9,999,999,999,999.99");
    *amount = cents;
    return QString();
}

QString NegatedAmountText(const QString &amount)
{
    if (amount.contains(QLatin1Char('-')))
        return amount;
    if (amount.startsWith(QLatin1Char('+')))
        return QLatin1Char('-') + amount.mid(1);
    return QLatin1Char('-') + amount;
}

QString FirstEmptyField(std::initializer_list<std::pair<QString, QString>> fields)
{
    for (const auto &[text, message] : fields) {
        if (text.isEmpty())
            return message;
    }
    return QString();
}
