// Conversions between the ledger's date texts and QDateTime.
#include "LedgerDate.h"

#include <QRegularExpression>

QDateTime ZeroDate()
{
    return QDateTime(QDate(1899, 12, 30), QTime(0, 0, 0));
}

QDateTime NoEndDate()
{
    return QDateTime(QDate(1979, 11, 25), QTime(0, 0, 0));
}

QString ListDateText(const QDateTime &date)
{
    return date.date().toString(QStringLiteral("yyyy-MM-dd"));
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
    const QDateTime date = ParseDateText(text);
    if (!date.isValid())
        return ZeroDate();
    const QString timePart = text.mid(11, 8);
    const QTime time = QTime::fromString(timePart, QStringLiteral("HH:mm:ss"));
    return QDateTime(date.date(), time.isValid() ? time : QTime(0, 0, 0));
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
    return QDateTime(date, QTime(0, 0, 0));
}
