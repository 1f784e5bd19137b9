// The income and expense book: the Money table a page of 100 rows at a time, with the cash total.
#pragma once

#include "db/CBook.h"
#include "db/CMoneyRecord.h"

#include <QDateTime>
#include <functional>
#include <vector>

// One income (amount above nothing) or expense record as it is written.
struct MoneyEntry
{
    QDateTime date;
    QString item;
    double amount = 0;
    QString member;
    QString explain;
};

class CMoneyBook : public CBook
{
public:
    static constexpr int kPageSize = 100;
    static constexpr int kNoteBytes = 90;  // the longest note, in GBK bytes

    CMoneyBook();

    void ShowPage(int page, const QString &sort);
    void SetFilter(const QString &filter);
    QString GetFilter() const { return m_strFilter; }
    int GetPageCount() const { return m_nPageCount; }
    int GetCurrentPage() const { return m_nCurrentPage; }

    // Each true when the record was saved; a refused value or a database failure throws DbError and
    // changes nothing.
    bool Add(const QDateTime &date, const QString &item, double amount, const QString &member, const QString &explain);
    bool Modify(const QDateTime &date, const QString &item, double amount, const QString &member, const QString &explain);
    bool Remove();
    // Writes the records in one transaction: all of them or, on a refused value, a database failure or
    // a cancel, none. progress(written so far) is asked every few hundred records; false cancels.
    // Returns false when cancelled. The list shows the page it showed, read again, and the new total.
    // What is written beside the records in their transaction: before runs first; claim(entry) says
    // whether the entry is still to be written (false: another copy of the program wrote it already).
    struct Alongside
    {
        std::function<void(SqlConnection &)> before;
        std::function<bool(SqlConnection &, qsizetype)> claim;
    };
    bool AddMany(const std::vector<MoneyEntry> &entries, const std::function<bool(qsizetype)> &progress = {},
                 const Alongside &alongside = {});

    // The cash total: the sum of every record, as the database keeps it, in whole cents.
    void ComputeTotal();
    // The current page listed and the total read again, after a change rolled back elsewhere may have
    // left the list behind the table.
    void Reload();
    qint64 GetTotalCents() const { return m_totalCents; }
    double GetTotal() const { return double(m_totalCents) / 100.0; }

    // Collects the records of the shown (filtered) set that meet every criterion whose flag is set.
    bool FindRecords(const QString &dateText, bool useDate, const QString &itemText, bool useItem,
                     const QString &amountText, bool useAmount, const QString &memberText, bool useMember);
    bool FindNext() override;
    // The income and expense list is searched by FindRecords over the whole filtered table.
    bool FindText(int column, const QString &text) = delete;

    // Every record under the filter, in the list's order, as its rows show it.
    QList<QStringList> AllRowTexts() override;

    QDateTime GetFirstDate();
    QDateTime GetLastDate();

    QList<ColumnKind> ColumnKinds() const override;

protected:
    CRecordSet &RecordSet() override { return m_set; }
    QStringList RecordTexts() override;
    void ReadTotals() override;
    // The list's blocks grown past their size by the write are cut, once for a whole import.
    void BeforeCommit(SqlConnection &db) override;

private:
    QDateTime EdgeDate(bool last);
    void OpenIfClosed();
    void Write(const QDateTime &date, const QString &item, double amount, const QString &member, const QString &explain);
    void CountPages();
    // Lists the current page again from the set, keeping the selected record selected if it stays.
    void RereadPage();

    CMoneyRecord m_set;
    QString m_strFilter;
    QString m_findCondition;  // the criteria of the last search, in the filter's form
    long m_nCount = 0;
    int m_nPageCount = 0;
    int m_nCurrentPage = 1;
    qint64 m_totalCents = 0;
};
