// Memo records.
#include "CMemoBook.h"

#include "db/BookValues.h"

CMemoBook::CMemoBook() : CBook(3) {}

QStringList CMemoBook::RecordTexts()
{
    return {ListDateText(m_set.m_Date), m_set.m_Matter, m_set.m_Member};
}

// The kinds of the columns above: 记录日期、备忘内容、记录人.
QList<ColumnKind> CMemoBook::ColumnKinds() const
{
    return {ColumnKind::Date, ColumnKind::Text, ColumnKind::Text};
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

bool CMemoBook::Add(const QString &dateText, const QString &matter, const QString &member)
{
    ChangeBatch batch(*this);
    if (TellIfClosed())
        return false;
    const qint64 id = CommitAdd([&] { Write(dateText, matter, member); });
    AppendRow(id, {dateText, matter, member});
    return true;
}

bool CMemoBook::Modify(const QString &dateText, const QString &matter, const QString &member)
{
    ChangeBatch batch(*this);
    if (!CommitModify([&] { Write(dateText, matter, member); }))
        return false;
    SetRowTexts(GetSelected(), {dateText, matter, member});
    return true;
}

bool CMemoBook::Remove()
{
    ChangeBatch batch(*this);
    return CommitRemove();
}
