// The common part of every book: the rows of a list (cell texts and the record ID of each), the
// selected row, the find queue, and the notifications a view needs to follow them.
// A book is the only path by which its table's records are added, changed, deleted and searched.
#pragma once

#include "db/RecordSet.h"

#include <QStringList>
#include <deque>
#include <vector>

// What a view of a book listens to.
class IBookListener
{
public:
    virtual ~IBookListener() = default;
    virtual void RowsReset() = 0;              // every row may have changed
    virtual void RowInserted(int row) = 0;
    virtual void RowRemoved(int row) = 0;
    virtual void RowChanged(int row) = 0;
    virtual void SelectRequested(int row) = 0; // show the row selected and scroll it into view
};

class CBook
{
public:
    explicit CBook(int columnCount);
    virtual ~CBook();
    CBook(const CBook &) = delete;
    CBook &operator=(const CBook &) = delete;

    int GetColumnCount() const { return m_columnCount; }
    int GetItemCount() const { return int(m_rows.size()); }
    QString GetItemText(int row, int column) const;
    QStringList GetRowTexts(int row) const;
    qint64 GetItemData(int row) const;

    int GetSelected() const { return m_nSelected; }
    void SetSelected(int row) { m_nSelected = row; }

    // Asks the view to show the row selected and scrolled into view.
    void SelectRow(int row);

    // Queues the rows whose text in the column equals the text exactly and selects the first;
    // true when more matches wait. "记录集为空" on an empty list, "没有匹配的记录" without a match.
    bool FindText(int column, const QString &text);

    // Selects the next row of the find queue; true when more matches wait.
    virtual bool FindNext();

    // Closes the record set if it is open.
    virtual void Close();

    void SetListener(IBookListener *listener) { m_listener = listener; }

protected:
    virtual CRecordSet &RecordSet() = 0;
    // The row texts of the record set's current record, as a fill from the table shows them.
    virtual QStringList RecordTexts() = 0;

    // Lists every record of the table in the order of the sort column (the simple books' Fill).
    // Row texts are read from the table when first shown.
    void FillRows(const QString &sort);
    // Lists as many rows as the record set has records, each read (ID and texts) when first needed.
    void ListRowsByPosition(qint64 count);
    // Reads every row's texts now (for searches and sums over the list).
    void LoadAllTexts() const;

    // Replaces every row by the records with the IDs; their texts are read when first shown.
    void ResetRows(const std::vector<qint64> &ids);
    int AppendRow(qint64 id, const QStringList &texts);
    void SetRowTexts(int row, const QStringList &texts);
    void SetRowText(int row, int column, const QString &text);
    void DeleteRow(int row);
    void DeleteAllRows();
    // Deletes every record matching the filter, all or nothing, then their rows; no row stays
    // selected. each runs for every record before it goes, with its values in the fields.
    void DeleteRecordsOf(const QString &filter, const std::function<void()> &each);

    // "记录集没有打开" when the record set is closed; false then.
    bool TellIfClosed();

    // Finds the selected row's record in the record set; false (and nothing found) without a selection.
    bool FindSelectedRecord();

    // Deletes the selected row's record and its row, then reselects. takeOutOfTotals runs once the
    // record is deleted, with the record's values still in the fields. True when records remain.
    bool RemoveSelected(const std::function<void()> &takeOutOfTotals = {});

    // After the selected row's record and row were deleted: the selection rule shared by the books.
    // Returns true when records remain.
    bool ReselectAfterRemove(int removedRow, int rowCountBefore);

    // Runs work with the record set reopened on the filter, then restores the filter and reopens.
    // Work that deletes records says so: rows still listed by position learn their IDs first.
    enum class Changes { None, Records };
    template <typename Work>
    void WithFilter(const QString &filter, Work work, Changes changes = Changes::None)
    {
        CRecordSet &set = RecordSet();
        if (changes == Changes::Records || (set.IsOpen() && set.HasWrittenSinceOpen()))
            EnsureAllIds();  // the reopened set lists the records in their new order
        const QString kept = set.m_strFilter;
        if (set.IsOpen())
            set.Close();
        set.m_strFilter = filter;
        set.Open();
        try {
            work();
        } catch (...) {
            // The book stays usable: its set is open again on its own filter.
            set.Close();
            set.m_strFilter = kept;
            set.Open();
            throw;
        }
        set.Close();
        set.m_strFilter = kept;
        set.Open();
    }

    // Appends entry() of every record, in the book's sort order, unless the list already holds it.
    void CollectDistinct(const std::function<QString()> &entry, QStringList *list);


    std::deque<QString> m_findResults;  // row numbers as decimal texts
    int m_nSelected = -1;

private:
    struct Row
    {
        qint64 id = 0;       // 0 until read: the record at this row's position of the record set
        QStringList texts;   // empty until read
        bool loaded = false;
    };
    void LoadTexts(int row) const;
    // Reads the IDs of rows listed by position only, before anything changes the set's order.
    void EnsureAllIds() const;

    int m_columnCount;
    mutable std::vector<Row> m_rows;
    IBookListener *m_listener = nullptr;
};
