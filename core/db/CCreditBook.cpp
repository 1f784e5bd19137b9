// Lending and borrowing records.
#include "CCreditBook.h"

#include "db/BookValues.h"
#include "db/KeptFigures.h"

CCreditBook::CCreditBook() : CBook(7) {}

QStringList CCreditBook::Row(const QString &dateText, const QString &active, const QString &moneyText,
                             const QString &people, const QString &member, const QString &explain)
{
    return QStringList{dateText, active} + SignedColumns(moneyText) + QStringList{people, member, explain};
}

QStringList CCreditBook::RecordTexts()
{
    return Row(ListDateText(m_set.m_Date), m_set.m_Active, TrimAmount(m_set.m_Money), m_set.m_People,
               m_set.m_Member, m_set.m_Explain);
}

// The kinds of the columns above: 日期、借贷活动、借出、借入、关系人、经手人、备注.
QList<ColumnKind> CCreditBook::ColumnKinds() const
{
    return {ColumnKind::Date, ColumnKind::Text, ColumnKind::Amount, ColumnKind::Amount, ColumnKind::Text,
            ColumnKind::Text, ColumnKind::Text};
}

void CCreditBook::Fill(const QString &sort)
{
    FillRows(sort);
}

void CCreditBook::Write(const QString &dateText, const QString &active, const QString &moneyText,
                        const QString &people, const QString &member, const QString &explain)
{
    m_set.m_Date = DateValue(dateText);
    m_set.m_Active = active;
    m_set.m_Money = AmountValue(moneyText);
    m_set.m_People = people;
    m_set.m_Member = member;
    m_set.m_Explain = explain;
}

void CCreditBook::ReadTotals()
{
    m_totalCents = KeptFigure(m_set.Connection(), QStringLiteral("Credit"), QStringLiteral("Money")).value_or(0);
}

bool CCreditBook::Add(const QString &dateText, const QString &active, const QString &moneyText,
                      const QString &people, const QString &member, const QString &explain)
{
    ChangeBatch batch(*this);
    if (TellIfClosed())
        return false;
    const qint64 id = CommitAdd([&] { Write(dateText, active, moneyText, people, member, explain); });
    AppendRow(id, Row(dateText, active, moneyText, people, member, explain));
    return true;
}

bool CCreditBook::Modify(const QString &dateText, const QString &active, const QString &moneyText,
                         const QString &people, const QString &member, const QString &explain)
{
    ChangeBatch batch(*this);
    if (!CommitModify([&] { Write(dateText, active, moneyText, people, member, explain); }))
        return false;
    SetRowTexts(GetSelected(), Row(dateText, active, moneyText, people, member, explain));
    return true;
}

bool CCreditBook::Remove()
{
    ChangeBatch batch(*this);
    return CommitRemove();
}

void CCreditBook::ComputeTotals()
{
    ChangeBatch batch(*this);
    if (!m_set.IsOpen())
        m_set.Open();
    ReadTotals();
    MarkChanged();
}
