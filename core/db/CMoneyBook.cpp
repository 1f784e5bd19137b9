// Paging, totals and search of the income and expense book.
#include "CMoneyBook.h"

#include "common/Amount.h"
#include "common/LedgerDate.h"
#include "common/Messages.h"
#include "db/DbError.h"
#include "db/FilterParser.h"

namespace {

// Columns 2 and 3: the amount stands in the column of its sign.
QStringList MoneyRow(const QDateTime &date, const QString &item, double amount, const QString &member,
                     const QString &explain)
{
    const QString text = TrimAmount(amount);
    return {ListDateText(date), item, amount >= 0 ? text : QString(), amount < 0 ? text : QString(), member, explain};
}

QString DayLiteral(const QDate &day)
{
    return QStringLiteral("#%1-%2-%3#").arg(day.year()).arg(day.month()).arg(day.day());
}

} // namespace

CMoneyBook::CMoneyBook() : CBook(6) {}

QStringList CMoneyBook::RecordTexts()
{
    return MoneyRow(m_set.m_Date, m_set.m_Item, m_set.m_Money, m_set.m_Member, m_set.m_Explain);
}

void CMoneyBook::UpdatePageCount()
{
    m_nPageCount = m_nCount > 0 ? int((m_nCount - 1) / kPageSize + 1) : 0;
}

void CMoneyBook::ShowPage(int page, const QString &sort)
{
    m_set.m_strSort = sort;
    m_set.m_strFilter = m_strFilter;
    if (!m_set.IsOpen())
        m_set.Open();
    m_nSelected = -1;  // also when the page stays empty: no row is left to act on
    m_nCount = m_set.GetRecordCount();
    if (m_nCount == 0) {
        m_nCurrentPage = 0;
        m_nPageCount = 0;
        DeleteAllRows();
        return;
    }
    UpdatePageCount();
    m_nCurrentPage = page;
    const qint64 skip = qint64(page - 1) * kPageSize;
    if (skip < 0 || skip > m_nCount) {
        DeleteAllRows();
        return;
    }
    // The page's records, in order; their texts are made when the list shows them.
    ResetRows(m_set.IdsAt(skip, kPageSize));
}

void CMoneyBook::SetFilter(const QString &filter)
{
    if (m_set.IsOpen())
        m_set.Close();
    const QString kept = m_strFilter;
    m_strFilter = filter;
    m_set.m_strFilter = filter;
    try {
        ShowPage(1, QStringLiteral("Date"));
    } catch (const DbError &) {
        // A condition the database refuses leaves the list as it was filtered before.
        if (m_set.IsOpen())
            m_set.Close();
        m_strFilter = kept;
        m_set.m_strFilter = kept;
        ShowPage(1, QStringLiteral("Date"));
        throw;
    }
}

void CMoneyBook::Write(const QDateTime &date, const QString &item, double amount, const QString &member,
                       const QString &explain)
{
    m_set.m_Date = date;
    m_set.m_Item = item;
    m_set.m_Money = amount;
    m_set.m_Member = member;
    m_set.m_Explain = explain;
}

void CMoneyBook::Add(const QDateTime &date, const QString &item, double amount, const QString &member,
                     const QString &explain)
{
    if (!m_set.IsOpen()) {
        m_set.m_strFilter = m_strFilter;
        m_set.Open();
    }
    m_set.AddNew();
    Write(date, item, amount, member, explain);
    m_set.Update();
    m_dTotal += amount;
    ++m_nCount;
    UpdatePageCount();
    if (m_nCurrentPage == 0)
        m_nCurrentPage = 1;
    if (GetItemCount() < kPageSize) {
        m_set.MoveLast();  // the new record, with the ID the database gave it
        AppendRow(m_set.m_ID, RecordTexts());
    }
}

void CMoneyBook::Modify(const QDateTime &date, const QString &item, double amount, const QString &member,
                        const QString &explain)
{
    if (!m_set.IsOpen())
        m_set.Open();
    if (!FindSelectedRecord())
        return;
    m_set.Edit();
    const double old = m_set.m_Money;
    Write(date, item, amount, member, explain);
    m_set.Update();
    m_dTotal += amount - old;
    SetRowTexts(m_nSelected, MoneyRow(date, item, amount, member, explain));
}

bool CMoneyBook::Remove()
{
    if (!m_set.IsOpen())
        m_set.Open();
    const int removed = m_nSelected;
    const int rowsBefore = GetItemCount();
    if (removed < 0 || removed >= rowsBefore)
        return m_nCount > 0;
    if (!FindSelectedRecord())
        return m_nCount > 0;
    const double money = m_set.m_Money;
    m_set.Delete();
    m_dTotal -= money;
    DeleteRow(removed);

    --m_nCount;
    if (m_nCount <= 0) {
        m_nCount = 0;
        m_nCurrentPage = 0;
        m_nPageCount = 0;
    } else {
        UpdatePageCount();
    }
    if (m_nCount >= kPageSize) {
        if (m_nCurrentPage > m_nPageCount) {
            ShowPage(m_nCurrentPage - 1, QStringLiteral("Date"));
        } else if (m_nCurrentPage < m_nPageCount) {
            // Keeps the page full: the record that opened the next page closes this one. With the
            // deleted record gone from the set, it stands at the last position of this page.
            m_set.MoveFirst();
            m_set.Move(long(qint64(m_nCurrentPage) * kPageSize - 1));
            if (!m_set.IsEOF())
                AppendRow(m_set.m_ID, RecordTexts());
        }
    }
    return ReselectAfterRemove(removed, rowsBefore);
}

void CMoneyBook::ComputeTotal()
{
    WithFilter(QString(), [this] { m_dTotal = m_set.Sum(QStringLiteral("Money")); });
}

bool CMoneyBook::FindRecords(const QString &dateText, bool useDate, const QString &itemText, bool useItem,
                             const QString &amountText, bool useAmount, const QString &memberText, bool useMember)
{
    if (!m_set.IsOpen()) {
        m_set.m_strFilter = m_strFilter;
        m_set.Open();
    }
    if (m_set.GetRecordCount() == 0)
        return false;
    m_findResults.clear();

    QStringList criteria;
    bool impossible = false;
    if (useDate) {
        // The record's date shown as "%Y-%m-%d" equals the text: the record lies within that day.
        const QDateTime day = ParseDateText(dateText);
        if (!day.isValid() || ListDateText(day) != dateText.trimmed())
            impossible = true;
        else
            criteria << QStringLiteral("Date>=") + DayLiteral(day.date()) + QStringLiteral(" AND Date<")
                            + DayLiteral(day.date().addDays(1));
    }
    if (useItem)
        criteria << QStringLiteral("Item=") + QuoteFilterText(itemText);
    if (useAmount)
        criteria << QStringLiteral("Money=") + FormatDouble("%.17g", AtoF(amountText));
    if (useMember)
        criteria << QStringLiteral("Member=") + QuoteFilterText(memberText);

    if (!impossible) {
        for (qint64 position : m_set.MatchingPositions(criteria.join(QStringLiteral(" AND "))))
            m_findResults.push_back(QString::number(position));
    }
    if (m_findResults.empty()) {
        ShowMessage(QStringLiteral("当前没有匹配的记录"), QStringLiteral("查找"));
        return false;
    }
    return true;
}

bool CMoneyBook::FindNext()
{
    if (m_findResults.empty())
        return false;
    const long position = m_findResults.front().toLong();
    const int page = int(position / kPageSize + 1);
    if (page != m_nCurrentPage)
        ShowPage(page, QStringLiteral("Date"));
    m_nSelected = int(position % kPageSize);
    SelectRow(m_nSelected);
    m_findResults.pop_front();
    return !m_findResults.empty();
}

QDateTime CMoneyBook::EdgeDate(bool last)
{
    const QString keptSort = m_set.m_strSort;
    const QString keptFilter = m_set.m_strFilter;
    if (m_set.IsOpen())
        m_set.Close();
    m_set.m_strSort = QStringLiteral("Date");
    m_set.m_strFilter.clear();
    m_set.Open();
    QDateTime date = LedgerNow();
    if (m_set.GetRecordCount() > 0) {
        if (last)
            m_set.MoveLast();
        date = m_set.m_Date;
    }
    m_set.Close();
    m_set.m_strSort = keptSort;
    m_set.m_strFilter = keptFilter;
    m_set.Open();
    return date;
}

QDateTime CMoneyBook::GetFirstDate()
{
    return EdgeDate(false);
}

QDateTime CMoneyBook::GetLastDate()
{
    return EdgeDate(true);
}
