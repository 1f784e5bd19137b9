// Insurance activities. Every change of a premium activity and of its policy's PayedMoney is one transaction.
#include "CInsureBook.h"

#include "db/BookValues.h"
#include "db/CInsureNoteRecord.h"
#include "db/DbError.h"
#include "db/FilterParser.h"
#include "db/KeptFigures.h"

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

// The kinds of the columns above: 日期、保单名称、保险活动、收入、支出、经手人、备注.
QList<ColumnKind> CInsureBook::ColumnKinds() const
{
    return {ColumnKind::Date, ColumnKind::Text, ColumnKind::Text, ColumnKind::Amount, ColumnKind::Amount,
            ColumnKind::Text, ColumnKind::Text};
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
    // PayedMoney is read and written back: on a shared ledger the policy is locked first, so that
    // another computer's premium written meanwhile is added to, not overwritten.
    const bool gone = !note.IsEOF() && note.Connection().IsShared() && note.LockCurrent() == 0;
    if (note.IsEOF() || gone) {
        if (required)
            throw DbError(QStringLiteral("保单“%1”不存在，记录没有保存。").arg(policy));
        return;
    }
    note.Edit();
    // Whole cents, so that premiums added and taken out one by one leave no float noise.
    note.m_PayedMoney = double(ToCents(note.m_PayedMoney) + ToCents(change)) / 100.0;
    note.Update();
}

void CInsureBook::ReadTotals()
{
    // Premiums paid: every amount paid out, counted positive. 0 minus the sum, never -0.
    m_totalCents = 0 - KeptFigure(m_set.Connection(), QStringLiteral("InsureRecord"), QStringLiteral("Money"),
                                  QStringLiteral("Money<0")).value_or(0);
}

bool CInsureBook::Add(const QString &dateText, const QString &policy, const QString &active, const QString &moneyText,
                      const QString &member, const QString &explain)
{
    ChangeBatch batch(*this);
    if (TellIfClosed())
        return false;
    const double money = AmountValue(moneyText);
    const qint64 id = CommitAdd([&] { Write(DateValue(dateText), policy, active, money, member, explain); },
                                [&] {
                                    if (IsPremium(active))
                                        UpdatePolicy(policy, -money, true);
                                });
    AppendRow(id, Row(dateText, policy, active, moneyText, member, explain));
    return true;
}

bool CInsureBook::Modify(const QString &dateText, const QString &policy, const QString &active,
                         const QString &moneyText, const QString &member, const QString &explain)
{
    ChangeBatch batch(*this);
    QString oldPolicy;
    bool oldPremium = false;
    double oldMoney = 0.0;
    const double money = AmountValue(moneyText);
    const bool saved = CommitModify(
        [&] {
            oldPolicy = m_set.m_InsureName;
            oldPremium = IsPremium(m_set.m_Active);
            oldMoney = m_set.m_Money;
            Write(DateValue(dateText), policy, active, money, member, explain);
        },
        [&] {
            // The old activity's premium leaves its policy, the new one enters: a change of policy or of
            // activity kind keeps every PayedMoney true.
            if (oldPremium)
                UpdatePolicy(oldPolicy, oldMoney, false);
            if (IsPremium(active))
                UpdatePolicy(policy, -money, true);
        });
    if (!saved)
        return false;
    SetRowTexts(GetSelected(), Row(dateText, policy, active, moneyText, member, explain));
    return true;
}

bool CInsureBook::Remove()
{
    ChangeBatch batch(*this);
    return CommitRemove([this] {
        if (IsPremium(m_set.m_Active))
            UpdatePolicy(m_set.m_InsureName, m_set.m_Money, false);  // an orphan activity can still be deleted
    });
}

void CInsureBook::RemoveActivities(const QString &policy)
{
    ChangeBatch batch(*this);
    CommitDeleteMatching(QStringLiteral("InsureName=") + QuoteFilterText(policy));
}

void CInsureBook::ComputeTotals()
{
    ChangeBatch batch(*this);
    if (!m_set.IsOpen())
        m_set.Open();
    ReadTotals();
    MarkChanged();
}

void CInsureBook::Reload()
{
    ChangeBatch batch(*this);
    Close();
    Fill(QStringLiteral("Date"));
    ComputeTotals();
}
