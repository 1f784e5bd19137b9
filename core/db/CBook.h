// The common part of every book: the rows of a list (the record ID of each, and its cell texts, read
// when first shown), the selected row, the find queue, the one write path, and the notifications a
// view needs to follow them. A book is the only path by which its table's records are added,
// changed, deleted and searched.
#pragma once

#include "common/ColumnKind.h"
#include "db/RecordSet.h"

#include <QStringList>
#include <deque>
#include <functional>
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
    // The selected row changed (-1: none): the view highlights exactly this row and scrolls it into view.
    virtual void SelectionChanged(int row) = 0;
    // Once at the end of every operation that changed the rows, the selection or the totals (a write,
    // an import, a page or fill, a find step), after the notices above. A listener must not throw.
    virtual void BookChanged() {}
};

// A listener that redraws what it shows of a book (a status line, a summary) once a change is whole,
// and follows no single row.
class IBookChangeListener : public IBookListener
{
public:
    void RowsReset() override {}
    void RowInserted(int) override {}
    void RowRemoved(int) override {}
    void RowChanged(int) override {}
    void SelectionChanged(int) override {}
    void BookChanged() override = 0;
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
    // A row's text; the texts of a block of rows are read from the table when first asked for.
    // Throws DbError when they cannot be read.
    QString GetItemText(int row, int column) const;
    QStringList GetRowTexts(int row) const;
    qint64 GetItemData(int row) const;  // the row's record ID (0 outside the list)

    // The row the buttons act on (-1: none). The view is told of every change, so that the row it
    // highlights is always this one.
    int GetSelected() const { return m_nSelected; }
    void SetSelected(int row);

    // Queues the rows whose text in the column equals the text exactly and selects the first;
    // true when more matches wait. "记录集为空" on an empty list, "没有匹配的记录" without a match.
    bool FindText(int column, const QString &text);

    // Selects the next row of the find queue; true when more matches wait.
    virtual bool FindNext();
    bool FindsWaiting() const { return !m_findResults.empty(); }
    // Called whenever a change to the book (a write, a list filled or filtered afresh) empties its find
    // queue, whose row numbers would point at other records from then on. One watcher: the open find
    // window; an empty function removes it.
    void SetFindWatcher(std::function<void()> watcher) { m_findWatcher = std::move(watcher); }

    // Every row of the list as it stands, in order, with its texts (for an export): a paged list gives
    // the rows of all its pages under its filter.
    virtual QList<QStringList> AllRowTexts();
    // What each column's texts are, for an export that types its cells. A book says so beside its
    // RecordTexts; one that does not shows only text.
    virtual QList<ColumnKind> ColumnKinds() const;

    // Closes the record set if it is open.
    virtual void Close();

    // Listeners are told in the order they were added; one must be removed before it goes.
    void AddListener(IBookListener *listener);
    void RemoveListener(IBookListener *listener);

    // Gathers what changes while it lives into one BookChanged, told when the outermost batch ends
    // (also when it ends by an exception: what did change is told). A change that writes two books in
    // one transaction holds a batch on each until that transaction is committed or rolled back and
    // read again, so that no listener shows what the transaction may still take back.
    class ChangeBatch
    {
    public:
        explicit ChangeBatch(CBook &book) : m_book(book) { ++m_book.m_batchDepth; }
        ~ChangeBatch();
        ChangeBatch(const ChangeBatch &) = delete;
        ChangeBatch &operator=(const ChangeBatch &) = delete;

    private:
        CBook &m_book;
    };

protected:
    // The rows, the selection or the totals changed: told now, or at the end of the open batch.
    void MarkChanged();

    virtual CRecordSet &RecordSet() = 0;
    // The row texts of the record set's current record, as a fill from the table shows them.
    virtual QStringList RecordTexts() = 0;
    // Reads the book's totals from the figures the database keeps; called after every commit.
    virtual void ReadTotals() {}

    // Lists every record of the set in its order (the simple books' Fill). The IDs of the first rows
    // are read at once, the whole keyset when a later row is first needed or before anything changes.
    void FillRows(const QString &sort);
    // Reads every row's texts now (for searches and sums over the list).
    void LoadAllTexts() const;

    // Replaces every row by the records with the IDs; texts are read anew when shown, or, with
    // keepTexts, kept for the records that were listed before.
    void ResetRows(const std::vector<qint64> &ids, bool keepTexts = false);
    int AppendRow(qint64 id, const QStringList &texts);
    int AppendRow(qint64 id);  // texts read when first shown
    void SetRowTexts(int row, const QStringList &texts);
    void DeleteRow(int row);
    void DeleteAllRows();
    int RowOfId(qint64 id) const;  // -1 when no row shows the record

    // The write path. Every change runs in one transaction and is committed before anything the user
    // sees changes: rows and selection after the commit, totals read again from the database. A failure
    // throws DbError and leaves the table, the rows and the totals as they were.

    // "记录集没有打开" when the record set is closed; true then (and nothing may be written).
    bool TellIfClosed();
    // Inserts a record whose fields fill() sets, with alsoWrite's changes in the same transaction.
    // Returns the new record's ID.
    qint64 CommitAdd(const std::function<void()> &fill, const std::function<void()> &alsoWrite = {});
    // Changes the selected row's record: fill() runs with its old values in the fields and sets the new
    // ones. False (and said) when no row is selected or its record is gone.
    bool CommitModify(const std::function<void()> &fill, const std::function<void()> &alsoWrite = {});
    // Deletes the selected row's record (alsoWrite runs first, with its values in the fields), then its
    // row, and reselects. True when records remain.
    bool CommitRemove(const std::function<void()> &alsoWrite = {});
    // Deletes every record of the table matching the condition, then their rows; no row stays selected.
    // before runs first in the same transaction (a check that may refuse the whole change).
    void CommitDeleteMatching(const QString &condition, const std::function<void()> &before = {});
    // Runs work in one transaction of the book's connection, then reads the totals again.
    void Commit(const std::function<void()> &work);
    // What a book keeps beside its records, brought up to date in the write's transaction.
    virtual void BeforeCommit(SqlConnection &) {}

    // Finds the selected row's record in the record set; false (and said) when it cannot. On a shared
    // ledger, a record another computer deleted (or took out of the list) is shown as it now is and
    // refused: throws RecordChangedElsewhere.
    bool FindSelectedRecord();
    // Runs work in one transaction (Commit) on the selected row's record, found by FindSelectedRecord.
    // On a ledger other computers write too, the record is first locked and read again: one changed or
    // deleted since the row showed it (and not by this program) is refused before anything is written;
    // after the rollback the row shows the record as it now is (or goes, and nothing stays selected),
    // and RecordChangedElsewhere is thrown.
    void CommitOnShown(int row, const std::function<void()> &work);

    // After the selected row's record and row were deleted: the selection rule shared by the books.
    // Returns true when records remain.
    bool ReselectAfterRemove(int removedRow, int rowCountBefore);

    // Appends entry() of every record, in the book's sort order, unless the list already holds it.
    void CollectDistinct(const std::function<QString()> &entry, QStringList *list);

    // Empties the find queue and tells the watcher.
    void ForgetFinds();
    // The first row after the row whose text in the column searched equals the text searched; -1 when
    // none follows. Texts are read as far as the search goes.
    int NextTextMatch(int afterRow) const;

    std::deque<QString> m_findResults;  // row numbers as decimal texts
    int m_findColumn = 0;               // what FindText searches for
    QString m_findText;

private:
    int m_nSelected = -1;
    struct Row
    {
        qint64 id = 0;
        QStringList texts;   // empty until read
        bool loaded = false;
        quint64 version = 0;  // on a shared ledger, of the record as its texts were read (RecordVersion)
    };
    // In the write's transaction: the record (current in the set) is still as the row showed it, or as
    // this program last wrote it; throws RecordChangedElsewhere otherwise.
    void GuardShownRecord(qint64 id, quint64 shown);
    // After a refused write: the row of the record shows it as it now is, or goes. Throws the refusal.
    [[noreturn]] void ShowRowAsItIs(qint64 id);
    void LoadTexts(int row) const;
    // Reads the IDs of every row not known yet, in one go: rows read later in any order then all
    // know their records. A set whose order changed in the meantime lists its rows afresh.
    void EnsureAllIds() const;

    int m_columnCount;
    mutable std::vector<Row> m_rows;
    mutable size_t m_knownIds = 0;  // the rows before this one know their record IDs
    template <class Notice>
    void Tell(const Notice &notice) const
    {
        for (IBookListener *listener : m_listeners)
            notice(listener);
    }
    void TellChanged();

    std::vector<IBookListener *> m_listeners;
    int m_batchDepth = 0;
    bool m_changed = false;
    std::function<void()> m_findWatcher;
};
