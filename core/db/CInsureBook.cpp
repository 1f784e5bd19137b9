// Insurance activities. Every change of a premium activity and of its policy's PayedMoney is one transaction.
#include "CInsureBook.h"

#include "db/BookValues.h"
#include "db/CInsureNoteRecord.h"
#include "db/DbError.h"
#include "db/FilterParser.h"

CInsureBook::CInsureBook() : CBook(7) {}

bool CInsureBook::IsPremium(const QString &active)
{
    return active == QStringLiteral("缴纳保费") || active == QStringLiteral("保单开户");
}

QStringList CInsureBook::Row(const QString &dateText, const QString &policy, const QString &active,
                             const QString &moneyText, const QString &member, const QString &explain)
{
    return QStringList{dateText, policy, active} + SignedColumns(moneyText) + QStringList{member, explain};
}

QStringList CInsureBook::RecordTexts()
{
    return Row(ListDateText(m_set.m_Date), m_set.m_InsureName, m_set.m_Active, TrimAmount(m_set.m_Money),
               m_set.m_Member, m_set.m_Explain);
}

void CInsureBook::Fill(const QString &sort)
{
    FillRows(sort);
}

void CInsureBook::Write(const QDateTime &date, const QString &policy, const QString &active, double money,
                        const QString &member, const QString &explain)
{
    m_set.m_Date = date;
    m_set.m_InsureName = policy;
    m_set.m_Active = active;
    m_set.m_Money = money;
    m_set.m_Member = member;
    m_set.m_Explain = explain;
}

void CInsureBook::UpdatePolicy(const QString &policy, double change, bool required)
{
    CInsureNoteRecord note;
    note.m_strFilter = QStringLiteral("Name=") + QuoteFilterText(policy);
    note.Open();
    if (note.IsEOF()) {
        if (required)
            throw DbError(QStringLiteral("保单“%1”不存在").arg(policy));
        return;
    }
    note.Edit();
    note.m_PayedMoney += change;
    note.Update();
}

void CInsureBook::Add(const QString &dateText, const QString &policy, const QString &active, const QString &moneyText,
                      const QString &member, const QString &explain)
{
    if (TellIfClosed())
        return;
    const double money = AtoF(moneyText);
    {
        SqlTransaction transaction(m_set.Connection());
        m_set.AddNew();
        Write(DateValue(dateText), policy, active, money, member, explain);
        m_set.Update();
        if (IsPremium(active))
            UpdatePolicy(policy, -money, true);
        transaction.Commit();
    }
    if (IsPremium(active))
        m_dTotal -= money;
    m_set.MoveLast();
    AppendRow(m_set.m_ID, Row(dateText, policy, active, moneyText, member, explain));
}

void CInsureBook::Modify(const QString &dateText, const QString &policy, const QString &active,
                         const QString &moneyText, const QString &member, const QString &explain)
{
    if (!m_set.IsOpen() || !FindSelectedRecord())
        return;
    const QDateTime date = DateValue(dateText);
    const double money = AtoF(moneyText);
    const QString oldPolicy = m_set.m_InsureName;
    const bool oldPremium = IsPremium(m_set.m_Active);
    const double oldMoney = m_set.m_Money;
    {
        // The old activity's premium leaves its policy and the total, the new one enters: a change of
        // policy or of activity kind keeps every PayedMoney and the total true.
        SqlTransaction transaction(m_set.Connection());
        m_set.Edit();
        Write(date, policy, active, money, member, explain);
        m_set.Update();
        if (oldPremium)
            UpdatePolicy(oldPolicy, oldMoney, false);
        if (IsPremium(active))
            UpdatePolicy(policy, -money, true);
        transaction.Commit();
    }
    if (oldPremium)
        m_dTotal += oldMoney;
    if (IsPremium(active))
        m_dTotal -= money;
    SetRowTexts(m_nSelected, Row(dateText, policy, active, moneyText, member, explain));
}

bool CInsureBook::Remove()
{
    SqlTransaction transaction(m_set.Connection());
    const bool remain = RemoveSelected([this] {
        if (!IsPremium(m_set.m_Active))
            return;
        UpdatePolicy(m_set.m_InsureName, m_set.m_Money, false);  // an orphan activity can still be deleted
        m_dTotal += m_set.m_Money;
    });
    transaction.Commit();
    return remain;
}

void CInsureBook::RemoveActivities(const QString &policy)
{
    double premiums = 0.0;
    DeleteRecordsOf(QStringLiteral("InsureName=") + QuoteFilterText(policy), [&] {
        if (IsPremium(m_set.m_Active))
            premiums += m_set.m_Money;
    });
    m_dTotal += premiums;  // only once every activity is gone
}

void CInsureBook::ComputeTotals()
{
    // 0 minus the sum, not its negation: an empty sum gives 0, never -0.
    WithFilter(QString(), [this] { m_dTotal = 0.0 - m_set.Sum(QStringLiteral("Money"), QStringLiteral("Money<0")); });
}
