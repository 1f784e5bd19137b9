// The rules of the fixed-term deposit: the rate of a kind and term from the rate table, the amount
// due at maturity, the due date, and the checks before a save.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

// The kinds of deposit, in list order, and the terms of each.
const QStringList &DepositKinds();                 // 整存整取, 零存整取, 定活两便
QStringList DepositTerms(int kindPosition);        // six terms, or the three of 零存整取
constexpr int kInstalmentKind = 1;                 // 零存整取

struct DepositRate
{
    double rate = 0;   // percent a year
    double years = 0;  // the term
};

// The rate and term in years of a kind and term position in the rate table (sixteen numbers:
// six 整存整取, three 零存整取, six 定活两便, the interest-tax rate); nothing outside the table.
std::optional<DepositRate> LookupDepositRate(int kindPosition, int termPosition, const double *rateTable);
double InterestTaxRate(const double *rateTable);

// A rate as the rate field shows it: three decimals, trailing zeros and a bare point dropped
// (2.250 -> "2.25", 2.000 -> "2").
QString RateText(double rate);

// The amount due at maturity of amount (the monthly instalment for 零存整取) at rate percent for
// years, less the interest tax at taxRate percent when deductTax; in cents as CentsText writes it.
QString MaturityText(int kindPosition, double amount, double rate, double years, double taxRate, bool deductTax);

// The due date of a deposit made on begin for the term's text ("三个月" ... "五年"): the same day of
// the due month, or its last day where the month is shorter. Invalid for an unknown term.
QDate DueDate(const QDate &begin, const QString &term);

// The term (its position among the three 零存整取 terms: 一年, 三年, 五年) of an instalment plan last
// paid into on lastPaid and falling due on due. Neither the term nor the plan's first day is stored,
// and each instalment moves the date kept to its own day: the term is the shortest whose plan, ending
// on the due date, began on or before that day (a plan of three years paid into in its second year is
// not taken for one of a year). 一年 when none does, or a date is missing.
int InstalmentTermPosition(const QDate &lastPaid, const QDate &due);

// The field texts a deposit is saved from.
struct DepositEntry
{
    QString account, kind, currency, bank, person, term, amount, rate;
    bool instalment = false;  // an instalment saves neither term nor rate: they are not checked
};
// The checks of the deposit dialog in order: the first failure's message (with its leading blank),
// or empty when all pass; a passing amount is rewritten as its cents.
QString CheckDeposit(DepositEntry *entry);
