// Demand-savings movements; totals count the home currency only.
#include "CCurrentBook.h"

#include "common/Amount.h"
#include "db/BookValues.h"
#include "db/FilterParser.h"
#include "db/KeptFigures.h"
#include "lists/ReferenceLists.h"

#include <QHash>
#include <cmath>


CCurrentBook::CCurrentBook() : CBook(8) {}

QStringList CCurrentBook::RecordTexts()
{
    return {ListDateText(m_set.m_Date), m_set.m_Account, m_set.m_Bank, m_set.m_MKind, TrimAmount(m_set.m_Money),
            m_set.m_Reason, m_set.m_Member, m_set.m_Explain};
}

// The kinds of the columns above: 办理日期、帐户、办理银行、货币种类、金额、注释、经手人、备注.
QList<ColumnKind> CCurrentBook::ColumnKinds() const
{
    return {ColumnKind::Date, ColumnKind::Text, ColumnKind::Text, ColumnKind::Text, ColumnKind::Amount,
            ColumnKind::Text, ColumnKind::Text, ColumnKind::Text};
}

void CCurrentBook::ReadTotals()
{
    m_totalCents = KeptFigure(m_set.Connection(), QStringLiteral("Current"), QStringLiteral("Money"),
                              QStringLiteral("MKind=") + QuoteFilterText(kHomeCurrency)).value_or(0);
}

void CCurrentBook::Fill(const QString &sort)
{
    FillRows(sort);
}

void CCurrentBook::Write(const QString &dateText, const QString &account, const QString &bank, const QString &kind,
                         const QString &moneyText, const QString &reason, const QString &member,
                         const QString &explain)
{
    m_set.m_Date = DateValue(dateText);
    m_set.m_Account = account;
    m_set.m_Bank = bank;
    m_set.m_MKind = kind;
    m_set.m_Money = AmountValue(moneyText);
    m_set.m_Reason = reason;
    m_set.m_Member = member;
    m_set.m_Explain = explain;
}

bool CCurrentBook::Add(const QString &dateText, const QString &account, const QString &bank, const QString &kind,
                       const QString &moneyText, const QString &reason, const QString &member,
                       const QString &explain)
{
    ChangeBatch batch(*this);
    if (TellIfClosed())
        return false;
    const qint64 id = CommitAdd([&] { Write(dateText, account, bank, kind, moneyText, reason, member, explain); });
    AppendRow(id, {dateText, account, bank, kind, moneyText, reason, member, explain});
    return true;
}

bool CCurrentBook::Modify(const QString &dateText, const QString &account, const QString &bank, const QString &kind,
                          const QString &moneyText, const QString &reason, const QString &member,
                          const QString &explain)
{
    ChangeBatch batch(*this);
    if (!CommitModify([&] { Write(dateText, account, bank, kind, moneyText, reason, member, explain); }))
        return false;
    SetRowTexts(GetSelected(), {dateText, account, bank, kind, moneyText, reason, member, explain});
    return true;
}

bool CCurrentBook::Remove()
{
    ChangeBatch batch(*this);
    return CommitRemove();
}

void CCurrentBook::ComputeTotals()
{
    ChangeBatch batch(*this);
    if (!m_set.IsOpen())
        m_set.Open();
    ReadTotals();
    MarkChanged();
}
void CCurrentBook::CollectAccounts(QStringList *accounts)
{
    CollectDistinct([this] { return m_set.m_Account + QStringLiteral(" ## ") + m_set.m_Bank; }, accounts);
}

void CCurrentBook::ComputeBalances(const QString &currency)
{
    // One pass over the list's records in order: each account once, where it first appears, with the
    // sum in cents of its amounts in the currency (0.00 when it has none).
    if (!m_set.IsOpen())
        m_set.Open();
    QStringList accounts;
    QHash<QString, qint64> cents;
    // Each amount counts as its row shows it (TrimAmount): a text the field does not read as a number
    // counts 0, and half a cent goes the way the row's "%.2f" takes it. Sums in cents stay exact.
    const auto shownCents = [](const SqlValue &money) -> qint64 {
        const double value = DoubleOfValue(money);
        // Clear of a half cent the nearest cent is the row's; at one, the row's own text decides.
        const double hundredfold = value * 100.0;
        const double nearest = std::round(hundredfold);
        if (std::fabs(value) < 1e13 && std::fabs(hundredfold - nearest) < 0.49)
            return qint64(nearest);
        const double shown = AtoF(TrimAmount(value));
        return std::fabs(shown) < 1e16 ? ToCents(shown) : 0;  // beyond any amount a ledger can hold
    };
    m_set.ForEachInOrder(QStringLiteral("\"Account\", \"MKind\", \"Money\""),
                         [&](const SqlStatement &row) {
                             const QString account = TextOfValue(row.Value(0));
                             auto balance = cents.find(account);
                             if (balance == cents.end()) {
                                 accounts << account;
                                 balance = cents.insert(account, 0);
                             }
                             if (TextOfValue(row.Value(1)) == currency)
                                 *balance += shownCents(row.Value(2));
                         });
    m_balanceList.clear();
    for (const QString &account : std::as_const(accounts))
        m_balanceList << account << FormatDouble("%.2f", double(cents.value(account)) / 100.0);
}

void CCurrentBook::CloseAccount(const QString &account)
{
    ChangeBatch batch(*this);
    CommitDeleteMatching(QStringLiteral("Account=") + QuoteFilterText(account));
}
