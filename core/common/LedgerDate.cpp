// Conversions between the ledger's date texts and QDateTime.
#include "LedgerDate.h"

#include <QRegularExpression>

QDateTime LedgerDateTime(const QDate &date, const QTime &time)
{
    return QDateTime(date, time, Qt::UTC);
}

QDateTime LedgerNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    return LedgerDateTime(now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second()));
}

QDateTime ZeroDate()
{
    return LedgerDateTime(QDate(1899, 12, 30));
}

QDateTime NoEndDate()
{
    return LedgerDateTime(QDate(1979, 11, 25));
}

QString ListDateText(const QDateTime &date)
{
    const QDate d = date.date();
    return QString::asprintf("%04d-%02d-%02d", d.year(), d.month(), d.day());
}

QString DbDateText(const QDateTime &date)
{
    const QDate d = date.date();
    const QTime t = date.time();
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", d.year(), d.month(), d.day(),
                             t.hour(), t.minute(), t.second());
}

QDateTime DateFromDb(const QString &text)
{
    // The stored form is fixed, and read for every row shown: parsed by hand.
    auto number = [&](int from, int length, int *value) {
        *value = 0;
        for (int i = from; i < from + length; ++i) {
            const ushort c = text.at(i).unicode();
            if (c < '0' || c > '9')
                return false;
            *value = *value * 10 + (c - '0');
        }
        return true;
    };
    int year, month, day, hour = 0, minute = 0, second = 0;
    if (text.size() >= 10 && text.at(4) == QLatin1Char('-') && text.at(7) == QLatin1Char('-')
        && number(0, 4, &year) && number(5, 2, &month) && number(8, 2, &day)) {
        if (text.size() >= 19)
            number(11, 2, &hour) && number(14, 2, &minute) && number(17, 2, &second);
        const QDate date(year, month, day);
        const QTime time(hour, minute, second);
        if (date.isValid())
            return LedgerDateTime(date, time.isValid() ? time : QTime(0, 0));
    }
    const QDateTime parsed = ParseDateText(text);
    return parsed.isValid() ? parsed : ZeroDate();
}

QDateTime ParseDateText(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(\\d{1,4})[-/.](\\d{1,2})[-/.](\\d{1,2})(?:[ T]\\d{1,2}:\\d{1,2}(?::\\d{1,2})?)?\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return QDateTime();
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    if (!date.isValid())
        return QDateTime();
    return LedgerDateTime(date);
}
