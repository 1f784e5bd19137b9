// The rules of money lent and borrowed: the two activities, the checks before a save, and the sign.
#pragma once

#include <QString>
#include <QStringList>

// 借出 (lent), 借入 (borrowed).
const QStringList &CreditActivities();

struct CreditEntry
{
    QString activity, person, amount;
};
// The checks in order: the first failure's message (leading blank), or empty. The other party is not
// checked. A passing amount is rewritten as its cents.
QString CheckCreditEntry(CreditEntry *entry);

// The amount as saved: borrowed money carries a '-' (NegatedAmountText); lent money is kept as entered.
QString SignedCreditText(const QString &amount, const QString &activity);
