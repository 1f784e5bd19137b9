// Demand-savings movements; totals count the home currency only.
#include "CCurrentBook.h"

#include "db/BookValues.h"
#include "db/FilterParser.h"
#include "lists/ReferenceLists.h"


CCurrentBook::CCurrentBook() : CBook(8) {}

QStringList CCurrentBook::RecordTexts()
{
    return {ListDateText(m_set.m_Date), m_set.m_Account, m_set.m_Bank, m_set.m_MKind, TrimAmount(m_set.m_Money),
            m_set.m_Reason, m_set.m_Member, m_set.m_Explain};
}

double CCurrentBook::HomeAmount() const
{
    return m_set.m_MKind == kHomeCurrency ? m_set.m_Money : 0.0;
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
    m_set.m_Money = AtoF(moneyText);
    m_set.m_Reason = reason;
    m_set.m_Member = member;
    m_set.m_Explain = explain;
}

void CCurrentBook::Add(const QString &dateText, const QString &account, const QString &bank, const QString &kind,
                       const QString &moneyText, const QString &reason, const QString &member,
                       const QString &explain)
{
    if (TellIfClosed())
        return;
    DateValue(dateText);
    m_set.AddNew();
    Write(dateText, account, bank, kind, moneyText, reason, member, explain);
    const double home = HomeAmount();  // Update brings back the record that was current before
    m_set.Update();
    m_dTotal += home;
    m_set.MoveLast();
    AppendRow(m_set.m_ID, {dateText, account, bank, kind, moneyText, reason, member, explain});
}

void CCurrentBook::Modify(const QString &dateText, const QString &account, const QString &bank, const QString &kind,
                          const QString &moneyText, const QString &reason, const QString &member,
                          const QString &explain)
{
    if (!m_set.IsOpen() || !FindSelectedRecord())
        return;
    DateValue(dateText);
    m_set.Edit();
    const double old = HomeAmount();
    Write(dateText, account, bank, kind, moneyText, reason, member, explain);
    m_set.Update();
    m_dTotal += HomeAmount() - old;
    SetRowTexts(m_nSelected, {dateText, account, bank, kind, moneyText, reason, member, explain});
}

bool CCurrentBook::Remove()
{
    return RemoveSelected([this] { m_dTotal -= HomeAmount(); });
}

void CCurrentBook::ComputeTotals()
{
    WithFilter(QStringLiteral("MKind=") + QuoteFilterText(kHomeCurrency),
               [this] { m_dTotal = m_set.Sum(QStringLiteral("Money")); });
}

void CCurrentBook::CollectAccounts(QStringList *accounts)
{
    CollectDistinct([this] { return m_set.m_Account + QStringLiteral(" ## ") + m_set.m_Bank; }, accounts);
}

void CCurrentBook::ComputeBalances(const QString &currency)
{
    m_balanceList.clear();
    LoadAllTexts();
    QHash<QString, int> balanceOf;  // account -> position of its balance in the list
    for (int row = 0; row < GetItemCount(); ++row) {
        const QString account = GetItemText(row, 1);
        if (!balanceOf.contains(account)) {
            m_balanceList << account << QStringLiteral("0.00");
            balanceOf.insert(account, int(m_balanceList.size()) - 1);
        }
    }
    for (int row = 0; row < GetItemCount(); ++row) {
        if (GetItemText(row, 3) != currency)
            continue;
        QString &balance = m_balanceList[balanceOf.value(GetItemText(row, 1))];
        balance = FormatDouble("%.2f", AtoF(balance) + AtoF(GetItemText(row, 4)));
    }
}

void CCurrentBook::CloseAccount(const QString &account)
{
    double removed = 0.0;
    DeleteRecordsOf(QStringLiteral("Account=") + QuoteFilterText(account), [&] { removed += HomeAmount(); });
    m_dTotal -= removed;  // only once every movement is gone
}
