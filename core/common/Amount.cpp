// Amount formatting and C-style number reading, locale-independent.
#include "Amount.h"

#include <cmath>
#include <climits>
#include <clocale>
#include <cstdio>

QString FormatDouble(const char *format, double value)
{
    // snprintf honours LC_NUMERIC, which a desktop session may set to a comma locale;
    // the ledger always writes a point, so the separator is put right afterwards.
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, value);
    QString text = QString::fromLatin1(buffer);
    const QChar localePoint = QChar::fromLatin1(*std::localeconv()->decimal_point);
    if (localePoint != QLatin1Char('.'))
        text.replace(localePoint, QLatin1Char('.'));
    return text;
}

QString TrimAmount(double amount)
{
    QString text = FormatDouble("%.2f", amount);
    const int point = text.indexOf(QLatin1Char('.'));
    if (point < 0)
        return text;
    if (text.indexOf(QLatin1String("00"), point) >= 0)
        return text.left(point);
    if (text.indexOf(QLatin1Char('0'), point + 2) >= 0)
        return text.left(point + 2);
    return text;
}

QString FormatAmount(double amount)
{
    const QString trimmed = TrimAmount(amount);
    int start = trimmed.startsWith(QLatin1Char('-')) ? 1 : 0;
    int end = trimmed.indexOf(QLatin1Char('.'));
    if (end < 0)
        end = trimmed.size();
    QString result = trimmed.left(start);
    const QString digits = trimmed.mid(start, end - start);
    for (int i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            result += QLatin1Char(',');
        result += digits.at(i);
    }
    result += trimmed.mid(end);
    return result;
}

QString FormatLg(double value)
{
    return FormatDouble("%lg", value);
}

namespace {

// Length of the leading number of text from position pos: [sign] digits [. digits] [e [sign] digits].
int ScanNumber(const QString &text, int pos, bool allowFraction)
{
    const int begin = pos;
    auto isDigit = [&](int i) { return i < text.size() && text.at(i).unicode() >= '0' && text.at(i).unicode() <= '9'; };
    if (pos < text.size() && (text.at(pos) == QLatin1Char('+') || text.at(pos) == QLatin1Char('-')))
        ++pos;
    int digits = 0;
    while (isDigit(pos)) { ++pos; ++digits; }
    if (allowFraction && pos < text.size() && text.at(pos) == QLatin1Char('.')) {
        int after = pos + 1;
        int fraction = 0;
        while (isDigit(after)) { ++after; ++fraction; }
        if (digits + fraction > 0) { pos = after; digits += fraction; }
    }
    if (digits == 0)
        return 0;
    if (allowFraction && pos < text.size() && (text.at(pos) == QLatin1Char('e') || text.at(pos) == QLatin1Char('E'))) {
        int exp = pos + 1;
        if (exp < text.size() && (text.at(exp) == QLatin1Char('+') || text.at(exp) == QLatin1Char('-')))
            ++exp;
        if (isDigit(exp)) {
            while (isDigit(exp)) ++exp;
            pos = exp;
        }
    }
    return pos - begin;
}

int SkipBlanks(const QString &text)
{
    int pos = 0;
    while (pos < text.size() && (text.at(pos) == QLatin1Char(' ') || text.at(pos) == QLatin1Char('\t')
                                 || text.at(pos) == QLatin1Char('\n') || text.at(pos) == QLatin1Char('\r')))
        ++pos;
    return pos;
}

} // namespace

double AtoF(const QString &text)
{
    const int pos = SkipBlanks(text);
    const int length = ScanNumber(text, pos, true);
    if (length == 0)
        return 0.0;
    bool ok = false;
    const double value = text.mid(pos, length).toLatin1().toDouble(&ok);
    if (ok)
        return value;
    // Out of range: toDouble refuses, atof gives +-HUGE_VAL.
    return text.at(pos) == QLatin1Char('-') ? -HUGE_VAL : HUGE_VAL;
}

int AtoI(const QString &text)
{
    const int pos = SkipBlanks(text);
    const int length = ScanNumber(text, pos, false);
    if (length == 0)
        return 0;
    bool ok = false;
    const qlonglong value = text.mid(pos, length).toLatin1().toLongLong(&ok);
    if (!ok || value > INT_MAX || value < INT_MIN)
        return text.at(pos) == QLatin1Char('-') ? INT_MIN : INT_MAX;
    return int(value);
}
