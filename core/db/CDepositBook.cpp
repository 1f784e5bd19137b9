// Fixed-term deposits; totals count the home currency only.
#include "CDepositBook.h"

#include "db/BookValues.h"
#include "db/FilterParser.h"
#include "lists/ReferenceLists.h"


CDepositBook::CDepositBook() : CBook(10) {}

QStringList CDepositBook::RecordTexts()
{
    return {ListDateText(m_set.m_BDate), m_set.m_Account, m_set.m_MKind, m_set.m_DKind, TrimAmount(m_set.m_BMoney),
            TrimAmount(m_set.m_EMoney), ListDateText(m_set.m_EDate), m_set.m_Bank, m_set.m_Member, m_set.m_Explain};
}

bool CDepositBook::IsHome() const
{
    return m_set.m_MKind == kHomeCurrency;
}

void CDepositBook::Fill(const QString &sort)
{
    FillRows(sort);
}

void CDepositBook::Add(const QString &beginText, const QString &account, const QString &kind,
                       const QString &depositKind, const QString &depositText, const QString &dueText,
                       const QString &endText, const QString &bank, const QString &member, const QString &explain)
{
    if (!m_set.IsOpen())
        return;
    const QDateTime begin = DateValue(beginText);
    const QDateTime end = DateValue(endText);
    m_set.AddNew();
    m_set.m_BDate = begin;
    m_set.m_Account = account;
    m_set.m_MKind = kind;
    m_set.m_DKind = depositKind;
    m_set.m_BMoney = AtoF(depositText);
    m_set.m_EMoney = AtoF(dueText);
    m_set.m_EDate = end;
    m_set.m_Bank = bank;
    m_set.m_Member = member;
    m_set.m_Explain = explain;
    m_set.Update();
    if (kind == kHomeCurrency) {
        m_dDepositTotal += AtoF(depositText);
        m_dDueTotal += AtoF(dueText);
    }
    m_set.MoveLast();
    AppendRow(m_set.m_ID, {beginText, account, kind, depositKind, depositText, dueText, endText, bank, member, explain});
}

void CDepositBook::AddInstalment(const QString &dateText, const QString &amountText, const QString &member,
                                 const QString &explain)
{
    if (!m_set.IsOpen() || !FindSelectedRecord())
        return;
    const QDateTime date = DateValue(dateText);
    const double amount = AtoF(amountText);
    m_set.Edit();
    m_set.m_BDate = date;
    m_set.m_BMoney += amount;
    m_set.m_Member = member;
    m_set.m_Explain = explain;
    m_set.Update();
    if (IsHome())
        m_dDepositTotal += amount;
    QStringList texts = GetRowTexts(m_nSelected);
    texts[0] = dateText;
    texts[4] = TrimAmount(m_set.m_BMoney);
    texts[8] = member;
    texts[9] = explain;
    SetRowTexts(m_nSelected, texts);
}

bool CDepositBook::Remove()
{
    return RemoveSelected([this] {
        if (IsHome()) {
            m_dDepositTotal -= m_set.m_BMoney;
            m_dDueTotal -= m_set.m_EMoney;
        }
    });
}

void CDepositBook::ComputeTotals()
{
    WithFilter(QStringLiteral("MKind=") + QuoteFilterText(kHomeCurrency), [this] {
        m_dDepositTotal = m_set.Sum(QStringLiteral("BMoney"));
        m_dDueTotal = m_set.Sum(QStringLiteral("EMoney"));
    });
}

void CDepositBook::CollectAccounts(QStringList *accounts)
{
    CollectDistinct([this] { return m_set.m_Account + QStringLiteral(" ## ") + m_set.m_Bank; }, accounts);
}
