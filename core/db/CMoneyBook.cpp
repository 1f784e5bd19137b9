// Paging, totals and search of the income and expense book.
#include "CMoneyBook.h"

#include "common/Amount.h"
#include "common/LedgerDate.h"
#include "common/Messages.h"
#include "db/DbError.h"
#include "db/FilterParser.h"
#include "db/KeptFigures.h"
#include "db/MoneyBlocks.h"
#include "db/BookValues.h"

#include <algorithm>

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

// The kinds of the columns above: 日期、收支项目、收入、支出、家庭成员、备注.
QList<ColumnKind> CMoneyBook::ColumnKinds() const
{
    return {ColumnKind::Date, ColumnKind::Text, ColumnKind::Amount, ColumnKind::Amount, ColumnKind::Text,
            ColumnKind::Text};
}

void CMoneyBook::ReadTotals()
{
    m_totalCents = KeptFigure(m_set.Connection(), QStringLiteral("Money"), QStringLiteral("Money")).value_or(0);
}

void CMoneyBook::OpenIfClosed()
{
    if (!m_set.IsOpen()) {
        m_set.m_strFilter = m_strFilter;
        m_set.Open();
    }
}

void CMoneyBook::CountPages()
{
    m_nCount = m_set.GetRecordCount();
    m_nPageCount = m_nCount > 0 ? int((m_nCount - 1) / kPageSize + 1) : 0;
}

void CMoneyBook::ShowPage(int page, const QString &sort)
{
    ChangeBatch batch(*this);
    m_set.m_strSort = sort;
    m_set.m_strFilter = m_strFilter;
    if (!m_set.IsOpen())
        m_set.Open();
    SetSelected(-1);  // also when the page stays empty: no row is left to act on
    CountPages();
    if (m_nCount == 0) {
        m_nCurrentPage = 0;
        DeleteAllRows();
        return;
    }
    m_nCurrentPage = page;
    const qint64 skip = qint64(page - 1) * kPageSize;
    if (skip < 0 || skip > m_nCount) {
        DeleteAllRows();
        return;
    }
    // The page's records, in order; their texts are made when the list shows them.
    ResetRows(m_set.IdsAt(skip, kPageSize));
}

void CMoneyBook::RereadPage()
{
    const qint64 selected = GetItemData(GetSelected());
    CountPages();
    if (m_nCount == 0) {
        m_nCurrentPage = 0;
        SetSelected(-1);
        DeleteAllRows();
        return;
    }
    m_nCurrentPage = std::clamp(m_nCurrentPage, 1, m_nPageCount);
    ResetRows(m_set.IdsAt(qint64(m_nCurrentPage - 1) * kPageSize, kPageSize), true);
    SetSelected(RowOfId(selected));
}

void CMoneyBook::SetFilter(const QString &filter)
{
    ChangeBatch batch(*this);
    ForgetFinds();  // the matches were numbered in the set as it was filtered
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

bool CMoneyBook::Add(const QDateTime &date, const QString &item, double amount, const QString &member,
                     const QString &explain)
{
    ChangeBatch batch(*this);
    OpenIfClosed();
    AmountValue(amount);
    const qint64 id = CommitAdd([&] { Write(date, item, amount, member, explain); });
    CountPages();
    if (m_nCurrentPage == 0)
        m_nCurrentPage = 1;
    // The set lists the new record last until it is reopened: it joins the page shown when that is
    // where its position falls, as the next row of a page that is not full.
    const long position = m_nCount - 1;
    if (position / kPageSize + 1 == m_nCurrentPage) {
        if (GetItemCount() == position % kPageSize)
            AppendRow(id, MoneyRow(date, item, amount, member, explain));
        else
            RereadPage();
    }
    return true;
}

bool CMoneyBook::AddMany(const std::vector<MoneyEntry> &entries, const std::function<bool(qsizetype)> &progress,
                         const Alongside &alongside)
{
    ChangeBatch batch(*this);  // the whole import is one change to those who show the book
    OpenIfClosed();
    for (const MoneyEntry &entry : entries)
        AmountValue(entry.amount);  // refused before anything is written
    struct Cancelled {};
    constexpr qsizetype kProgressStep = 500;
    try {
        Commit([&] {
            if (alongside.before)
                alongside.before(m_set.Connection());
            std::vector<size_t> claimed;
            claimed.reserve(entries.size());
            for (size_t i = 0; i < entries.size(); ++i) {
                if (!alongside.claim || alongside.claim(m_set.Connection(), qsizetype(i)))
                    claimed.push_back(i);
            }
            m_set.InsertRecords(qsizetype(claimed.size()), [&](qsizetype i) {
                if (progress && i % kProgressStep == 0 && !progress(i))
                    throw Cancelled();
                const MoneyEntry &entry = entries[claimed[size_t(i)]];
                Write(entry.date, entry.item, entry.amount, entry.member, entry.explain);
            });
            if (progress && !progress(qsizetype(entries.size())))
                throw Cancelled();
        });
    } catch (const Cancelled &) {
        return false;
    }
    // The set lists records written around it from its next open. The records are stored: a failure
    // to list them again must not make them look unsaved.
    try {
        m_set.Close();
        ShowPage(std::max(1, m_nCurrentPage), QStringLiteral("Date"));
    } catch (const DbError &error) {
        ShowMessage(error.Message(), QStringLiteral("数据库错误"), MessageIcon::Error);
    }
    return true;
}

bool CMoneyBook::Modify(const QDateTime &date, const QString &item, double amount, const QString &member,
                        const QString &explain)
{
    ChangeBatch batch(*this);
    OpenIfClosed();
    AmountValue(amount);
    bool moved = false;
    const bool saved = CommitModify([&] {
        moved = DbDateText(m_set.m_Date) != DbDateText(date);
        Write(date, item, amount, member, explain);
    });
    if (!saved)
        return false;
    SetRowTexts(GetSelected(), MoneyRow(date, item, amount, member, explain));
    // A new date moves the record in the order, and under a filter any change may take it out of the
    // filter: the page is read again.
    if (moved || !m_strFilter.trimmed().isEmpty())
        RereadPage();
    return true;
}

bool CMoneyBook::Remove()
{
    ChangeBatch batch(*this);
    OpenIfClosed();
    const int removed = GetSelected();
    const int rowsBefore = GetItemCount();
    if (removed < 0 || removed >= rowsBefore)
        return m_nCount > 0;
    if (!FindSelectedRecord())
        return m_nCount > 0;
    CommitOnShown(removed, [this] { m_set.Delete(); });
    DeleteRow(removed);
    CountPages();
    if (m_nCount == 0) {
        m_nCurrentPage = 0;
    } else if (m_nCurrentPage > m_nPageCount) {
        ShowPage(m_nCurrentPage - 1, QStringLiteral("Date"));
    } else if (rowsBefore == kPageSize && GetItemCount() > 0) {
        // Keeps the page full: the record after its last row, found by key, closes it.
        for (qint64 id : m_set.IdsAfter(GetItemData(GetItemCount() - 1), 1))
            AppendRow(id);
    }
    return ReselectAfterRemove(removed, rowsBefore);
}

void CMoneyBook::ComputeTotal()
{
    ChangeBatch batch(*this);
    OpenIfClosed();
    ReadTotals();
    MarkChanged();
}

bool CMoneyBook::FindRecords(const QString &dateText, bool useDate, const QString &itemText, bool useItem,
                             const QString &amountText, bool useAmount, const QString &memberText, bool useMember)
{
    ChangeBatch batch(*this);
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

    // Matches are found as they are asked for: the first now, each next one as the previous is shown.
    m_findCondition = criteria.join(QStringLiteral(" AND "));
    const qint64 first = impossible ? -1 : m_set.NextMatch(m_findCondition, -1);
    if (first >= 0)
        m_findResults.push_back(QString::number(first));
    if (m_findResults.empty()) {
        ShowMessage(QStringLiteral("当前没有匹配的记录"), QStringLiteral("查找"));
        return false;
    }
    return true;
}

bool CMoneyBook::FindNext()
{
    ChangeBatch batch(*this);
    if (m_findResults.empty())
        return false;
    const long position = m_findResults.front().toLong();
    m_findResults.pop_front();
    // The one after it is looked for first: whether one waits decides 下一项.
    const qint64 next = m_set.NextMatch(m_findCondition, position);
    const int page = int(position / kPageSize + 1);
    if (page != m_nCurrentPage)
        ShowPage(page, QStringLiteral("Date"));
    SetSelected(int(position % kPageSize));
    if (next >= 0)
        m_findResults.push_back(QString::number(next));
    return !m_findResults.empty();
}

QList<QStringList> CMoneyBook::AllRowTexts()
{
    // A set of its own over the filtered table: the book's page and selection stay as they are.
    CMoneyRecord all;
    all.m_strFilter = m_strFilter;
    all.m_strSort = QStringLiteral("Date");
    all.Open();
    QList<QStringList> rows;
    const std::vector<qint64> ids = all.AllIds();
    rows.reserve(qsizetype(ids.size()));
    // A stretch at a time, so a large ledger's records are never all held as read at once.
    constexpr size_t kStretch = 10000;
    for (size_t first = 0; first < ids.size(); first += kStretch) {
        const std::vector<qint64> stretch(ids.begin() + qsizetype(first),
                                          ids.begin() + qsizetype(std::min(ids.size(), first + kStretch)));
        all.ForEachById(stretch, [&](qint64) {
            rows << MoneyRow(all.m_Date, all.m_Item, all.m_Money, all.m_Member, all.m_Explain);
        });
    }
    return rows;
}

QDateTime CMoneyBook::EdgeDate(bool last)
{
    // A set of its own, over the whole table in date order: the book's set and page stay as they are.
    CMoneyRecord edge;
    edge.m_strSort = QStringLiteral("Date");
    edge.Open();
    QDateTime date = LedgerNow();
    if (edge.GetRecordCount() > 0) {
        if (last)
            edge.MoveLast();
        date = edge.m_Date;
    }
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

void CMoneyBook::Reload()
{
    ChangeBatch batch(*this);
    const int page = std::max(1, m_nCurrentPage);
    Close();
    ShowPage(page, QStringLiteral("Date"));
    ComputeTotal();
}

void CMoneyBook::BeforeCommit(SqlConnection &db)
{
    SplitCrowdedBlocks(db);
}
