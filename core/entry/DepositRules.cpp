// Deposit rules.
#include "DepositRules.h"

#include "common/Amount.h"
#include "entry/NumberRules.h"

#include <cmath>

const QStringList &DepositKinds()
{
    static const QStringList kinds{QStringLiteral("整存整取"), QStringLiteral("零存整取"), QStringLiteral("定活两便")};
    return kinds;
}

QStringList DepositTerms(int kindPosition)
{
    if (kindPosition == kInstalmentKind)
        return {QStringLiteral("一年"), QStringLiteral("三年"), QStringLiteral("五年")};
    return {QStringLiteral("三个月"), QStringLiteral("半年"), QStringLiteral("一年"), QStringLiteral("二年"),
            QStringLiteral("三年"), QStringLiteral("五年")};
}

std::optional<DepositRate> LookupDepositRate(int kindPosition, int termPosition, const double *rateTable)
{
    static const double sixTerms[] = {0.25, 0.5, 1, 2, 3, 5};
    static const double threeTerms[] = {1, 3, 5};
    if (kindPosition == kInstalmentKind) {
        if (termPosition < 0 || termPosition > 2)
            return std::nullopt;
        return DepositRate{rateTable[6 + termPosition], threeTerms[termPosition]};
    }
    if ((kindPosition != 0 && kindPosition != 2) || termPosition < 0 || termPosition > 5)
        return std::nullopt;
    return DepositRate{rateTable[(kindPosition == 0 ? 0 : 9) + termPosition], sixTerms[termPosition]};
}

double InterestTaxRate(const double *rateTable)
{
    return rateTable[15];
}

QString RateText(double rate)
{
    QString text = FormatDouble("%.3f", rate);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

QString MaturityText(int kindPosition, double amount, double rate, double years, double taxRate, bool deductTax)
{
    const double kept = deductTax ? 1 - taxRate * 0.01 : 1;
    double due = 0;
    if (kindPosition == kInstalmentKind) {
        const double yearly = (amount * rate * 0.065 + amount * rate * (years - 1) * 0.06) * kept;
        due = (12 * amount + yearly) * years;
    } else {
        due = amount + amount * rate * kept * years * 0.01;
    }
    return CentsText(due);
}

QDate DueDate(const QDate &begin, const QString &term)
{
    static const QStringList terms{QStringLiteral("三个月"), QStringLiteral("半年"), QStringLiteral("一年"),
                                   QStringLiteral("二年"), QStringLiteral("三年"), QStringLiteral("五年")};
    static const int months[] = {3, 6, 12, 24, 36, 60};
    const int position = int(terms.indexOf(term));
    if (position < 0 || !begin.isValid())
        return QDate();
    return begin.addMonths(months[position]);  // the month's last day where the day does not exist
}

int InstalmentTermPosition(const QDate &lastPaid, const QDate &due)
{
    if (!lastPaid.isValid() || !due.isValid())
        return 0;
    static const int years[] = {1, 3, 5};
    for (int position = 0; position < 3; ++position) {
        // Back from the due date to where a plan of this term began: a plan begun on 29 February fell due
        // on the 28th, and going back lands on the 28th, still not after its first day.
        if (due.addYears(-years[position]) <= lastPaid)
            return position;
    }
    return 0;
}

QString CheckDeposit(DepositEntry *entry)
{
    const QString missing = FirstEmptyField({{entry->account, QStringLiteral(" 请填写帐户")},
                                             {entry->kind, QStringLiteral(" 请选择储蓄种类")},
                                             {entry->currency, QStringLiteral(" 请选择货币种类")},
                                             {entry->bank, QStringLiteral(" 请选择办理银行")},
                                             {entry->person, QStringLiteral(" 请选择经手人")}});
    if (!missing.isEmpty())
        return missing;
    if (entry->term.isEmpty() && !entry->instalment)
        return QStringLiteral(" 请选择存款时间");
    if (entry->amount.isEmpty())
        return QStringLiteral(" 请填写存入金额");
    const QString amount = CheckAmountField(&entry->amount, QStringLiteral(" 金额不可为零"), QStringLiteral(" 金额填写错误"));
    if (!amount.isEmpty())
        return amount;
    if (entry->instalment)
        return QString();
    if (entry->rate.isEmpty())
        return QStringLiteral(" 请填写利率");
    if (!IsWellFormedNumber(entry->rate))
        return QStringLiteral(" 利率填写错误");
    return QString();
}
