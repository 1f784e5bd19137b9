// The rules of an insurance activity: its kinds, the checks before a save, and its sign.
#pragma once

#include <QString>
#include <QStringList>

// 保单开户, 缴纳保费, 保险金给付, 退保.
const QStringList &InsureActivities();

struct InsureEntry
{
    QString activity, policy, person, amount;
};
// The checks in order: the first failure's message (leading blank), or empty. A passing amount
// is rewritten as its cents.
QString CheckInsureActivity(InsureEntry *entry);

// The amount as saved: money paid out (保单开户, 缴纳保费) carries a '-' (NegatedAmountText); money
// received (保险金给付, 退保) is kept as entered.
QString SignedInsureText(const QString &amount, const QString &activity);

struct PolicyEntry
{
    QString name, premium, sumInsured, paid;
    int years = 0;
};
// The policy checks in order: the first failure's message (leading blank), or empty. nameTaken: a
// policy of the name exists (refused only when adding). Passing amounts are rewritten
// as their cents; years of payment must lie within 0 to 100.
QString CheckPolicy(PolicyEntry *entry, bool adding, bool nameTaken);
