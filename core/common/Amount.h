// Amount texts: the two ways the ledger writes money, and the C-style number reading it relies on.
#pragma once

#include <QString>

// The largest amount the ledger holds, either way: whole cents stay exact in a double up to it.
constexpr double kLargestAmount = 9999999999999.99;

// "%.2f" with trailing zero decimals dropped: 12.00 -> "12", 12.50 -> "12.5", 12.05 -> "12.05".
QString TrimAmount(double amount);

// TrimAmount with a comma between groups of three integer digits: 1234567.5 -> "1,234,567.5".
QString FormatAmount(double amount);

// printf "%lg": six significant digits, exponent form for large or tiny values.
QString FormatLg(double value);

// printf with one double argument, independent of the process locale.
QString FormatDouble(const char *format, double value);

// atof: the longest leading decimal number of the text (after blanks), 0 when there is none.
double AtoF(const QString &text);

// atoi: the leading decimal integer of the text (after blanks), 0 when there is none.
int AtoI(const QString &text);
