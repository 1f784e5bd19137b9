// Memo records.
#include "CMemoBook.h"

#include "db/BookValues.h"

CMemoBook::CMemoBook() : CBook(3) {}

QStringList CMemoBook::RecordTexts()
{
    return {ListDateText(m_set.m_Date), m_set.m_Matter, m_set.m_Member};
}

void CMemoBook::Fill(const QString &sort)
{
    FillRows(sort);
}

void CMemoBook::Write(const QString &dateText, const QString &matter, const QString &member)
{
    m_set.m_Date = DateValue(dateText);
    m_set.m_Matter = matter;
    m_set.m_Member = member;
}

void CMemoBook::Add(const QString &dateText, const QString &matter, const QString &member)
{
    if (TellIfClosed())
        return;
    DateValue(dateText);  // refuses an unreadable date before anything is written
    m_set.AddNew();
    Write(dateText, matter, member);
    m_set.Update();
    m_set.MoveLast();
    AppendRow(m_set.m_ID, {dateText, matter, member});
}

void CMemoBook::Modify(const QString &dateText, const QString &matter, const QString &member)
{
    if (TellIfClosed() || !FindSelectedRecord())
        return;
    DateValue(dateText);
    m_set.Edit();
    Write(dateText, matter, member);
    m_set.Update();
    SetRowTexts(m_nSelected, {dateText, matter, member});
}

bool CMemoBook::Remove()
{
    return RemoveSelected();
}
