// Lending and borrowing records.
#include "CCreditBook.h"

#include "db/BookValues.h"

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

void CCreditBook::Fill(const QString &sort)
{
    FillRows(sort);
}

void CCreditBook::Write(const QString &dateText, const QString &active, const QString &moneyText,
                        const QString &people, const QString &member, const QString &explain)
{
    m_set.m_Date = DateValue(dateText);
    m_set.m_Active = active;
    m_set.m_Money = AtoF(moneyText);
    m_set.m_People = people;
    m_set.m_Member = member;
    m_set.m_Explain = explain;
}

void CCreditBook::Add(const QString &dateText, const QString &active, const QString &moneyText,
                      const QString &people, const QString &member, const QString &explain)
{
    if (TellIfClosed())
        return;
    DateValue(dateText);
    m_set.AddNew();
    Write(dateText, active, moneyText, people, member, explain);
    m_set.Update();
    m_set.MoveLast();
    AppendRow(m_set.m_ID, Row(dateText, active, moneyText, people, member, explain));
    m_dTotal += AtoF(moneyText);
}

void CCreditBook::Modify(const QString &dateText, const QString &active, const QString &moneyText,
                         const QString &people, const QString &member, const QString &explain)
{
    if (!m_set.IsOpen() || !FindSelectedRecord())
        return;
    DateValue(dateText);
    m_set.Edit();
    const double old = m_set.m_Money;
    Write(dateText, active, moneyText, people, member, explain);
    m_set.Update();
    m_dTotal += m_set.m_Money - old;
    SetRowTexts(m_nSelected, Row(dateText, active, moneyText, people, member, explain));
}

bool CCreditBook::Remove()
{
    return RemoveSelected([this] {
        m_dTotal -= m_set.m_Money;
    });
}

void CCreditBook::ComputeTotals()
{
    WithFilter(QString(), [this] { m_dTotal = m_set.Sum(QStringLiteral("Money")); });
}
