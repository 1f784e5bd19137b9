// Demand-savings movements; totals count the home currency only.
#include "CCurrentBook.h"

#include "db/BookValues.h"
#include "db/FilterParser.h"
#include "db/KeptFigures.h"
#include "lists/ReferenceLists.h"


CCurrentBook::CCurrentBook() : CBook(8) {}

QStringList CCurrentBook::RecordTexts()
{
    return {ListDateText(m_set.m_Date), m_set.m_Account, m_set.m_Bank, m_set.m_MKind, TrimAmount(m_set.m_Money),
            m_set.m_Reason, m_set.m_Member, m_set.m_Explain};
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
    ChangeBatch batch(*this);
    CommitDeleteMatching(QStringLiteral("Account=") + QuoteFilterText(account));
}
