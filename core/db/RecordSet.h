// The record set shared by the nine tables: open with a filter and a sort order, count, move,
// find, add, edit, delete and sum, with the semantics of a dynaset.
//
// The set lists the table's records that were there when it was opened and match its filter, in the
// order of the sort column and then the ID (its key), followed by the records it added itself since,
// in the order added (so moving to the last record after an insert reaches the new record). Records
// other sets add join at the next open. The cursor is the current record's key: moving reads the
// neighbour by key, so a delete or an edit anywhere never leaves it on a wrong record. Positions are
// counted only when asked for; nothing is loaded for the whole set, so a large table opens at once.
#pragma once

#include "db/FieldExchange.h"
#include "db/FilterParser.h"
#include "db/KeysetQuery.h"
#include "db/SetPositions.h"
#include "db/SqlConnection.h"

#include <QDateTime>
#include <QString>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

// A digest of a record's values, every column, as read from the database: equal versions, the same
// values. Never 0 (which stands for none, or a record deleted).
quint64 RecordVersion(const SqlRow &row);

class CRecordSet
{
public:
    explicit CRecordSet(const QString &table);
    virtual ~CRecordSet();
    CRecordSet(const CRecordSet &) = delete;
    CRecordSet &operator=(const CRecordSet &) = delete;

    // Condition (Jet form, see ParseFilter) and sort column; both take effect at the next Open.
    QString m_strFilter;
    QString m_strSort;

    QString TableName() const { return m_table; }
    const std::vector<ColumnInfo> &Columns();

    // Opens on the first record. Throws DbError (the set stays closed) on a condition or sort column
    // the table does not have, or a database that cannot be read.
    void Open();
    bool IsOpen() const { return m_open; }
    void Close();

    long GetRecordCount();
    void MoveFirst();
    void MoveNext();
    void MovePrev();
    void MoveLast();
    void Move(long rows);           // relative to the current record
    bool IsEOF();
    bool IsBOF();

    // Makes the first record of the set that also matches the criterion current. False when none does;
    // the current record then stays as it was.
    bool FindFirst(const QString &criterion);

    void AddNew();                  // fields cleared for a new record, written by Update
    void Edit();                    // the current record's fields, written by Update
    // Writes the record. After an insert the record current before AddNew is current again, and the
    // new record's ID is LastAddedId.
    void Update();
    void Delete();                  // removes the current record; MoveNext then reaches the one after it
    // Leaves an AddNew or Edit that was not written: the fields show the current record again.
    void CancelUpdate();
    qint64 LastAddedId() const { return m_lastAddedId; }

    // Writes count new records at once, fill(i) setting the fields of the i-th; one statement serves
    // them all. They are not the set's own additions: every set, this one too, lists them from its
    // next open. Part of the caller's transaction; an exception from fill or the database stops it.
    void InsertRecords(qsizetype count, const std::function<void(qsizetype)> &fill);

    // The records added through the set, counted. When the transaction of some
    // additions is rolled back, ForgetAdditionsSince(count taken before them) drops them: their IDs are
    // free to be given to records other sets add, which this set must not take for its own.
    quint64 AdditionsMade() const { return m_additionsMade; }
    void ForgetAdditionsSince(quint64 made);

    // The sum of a column over the records of the set (and, when given, matching the extra condition),
    // in whole cents, and the same in yuan.
    qint64 SumCents(const QString &column, const QString &extraCondition = QString());
    double Sum(const QString &column, const QString &extraCondition = QString());

    // Positions (0-based, in set order) of the records of the set that match the condition.
    std::vector<qint64> MatchingPositions(const QString &condition);
    // The position of the first record of the set after the position (-1: from the start), in set
    // order, that matches the condition; -1 when none follows. Read forward from there, one record at
    // a time: the cursor stays.
    qint64 NextMatch(const QString &condition, qint64 afterPosition);

    // IDs of the records at positions first ... first + count - 1 (fewer at the end of the set),
    // read without moving the cursor or loading the fields.
    std::vector<qint64> IdsAt(qint64 first, qint64 count);

    // IDs of up to count records that follow the record with the ID in set order.
    std::vector<qint64> IdsAfter(qint64 id, qint64 count);

    // IDs of every record of the set, in set order: the set's keyset.
    std::vector<qint64> AllIds();

    // Deletes every record of the table that matches the condition (whatever the set's filter) and
    // returns their IDs, in ascending order. Part of the caller's transaction when one is open.
    std::vector<qint64> DeleteMatching(const QString &condition);

    // Loads each record with one of the IDs into the fields in turn and calls visit; afterwards the
    // fields hold the current record again. The cursor does not move. visit gets the record's ID.
    void ForEachById(const std::vector<qint64> &ids, const std::function<void(qint64 id)> &visit);

    // The select list of every record of the set, in set order, read in one pass; the cursor stays.
    void ForEachInOrder(const QString &selectList, const std::function<void(const SqlStatement &row)> &visit);

    // ID of the current record, 0 when there is none.
    qint64 CurrentId() const;

    // On a ledger other computers write too (SqlConnection::IsShared), in a write transaction: locks
    // the current record until the transaction ends and reads it again, so that what the write goes
    // on from is what the record now holds and no other writer changes it meanwhile. Returns its
    // version, 0 when it is gone. The fields show it as read.
    quint64 LockCurrent();
    // The version of the current record as last read or written (0: none).
    quint64 CurrentVersion() const;
    // On a shared ledger, the version of the record ForEachById has in the fields while it visits it;
    // 0 on a ledger file, where nothing else writes and no version is needed.
    quint64 VisitedVersion() const;

    SqlConnection &Connection();

protected:
    virtual void DoFieldExchange(FieldExchange &fx) = 0;
    QStringList ColumnNames() const;  // quoted, the ID left out
    QString InsertSql() const;

private:
    enum class At { BeforeFirst, Base, Added, AfterLast };
    static constexpr qint64 kUnknown = -2;

    void RequireOpen() const;
    void Describe();
    std::optional<std::pair<QString, FieldType>> LookupColumn(const QString &name) const;
    SqlCondition Parse(const QString &condition) const;

    // Drops what was read before another set (or a rolled-back transaction) changed the table, and
    // reads the current record again: it may have changed, gone, or come back.
    void Sync();
    void SyncCurrent();
    void NoteOwnChange();
    qint64 BaseCount();

    void LoadFields(const SqlRow &row);
    void ClearFields();
    void SetCurrent(At at, const SqlRow &row, qint64 position);
    void SetOutside(At at);
    void GoTo(qint64 position);
    void GoToAdded(size_t index, bool forward);
    void GoToLastOfBase();
    qint64 ResolvePosition();
    bool HasCurrent() const { return (m_at == At::Base || m_at == At::Added) && !m_deleted; }
    bool OnDeletedRecord() const { return (m_at == At::Base || m_at == At::Added) && m_deleted; }
    SqlRow StoreFields();

    QString m_table;
    std::shared_ptr<SqlConnection> m_db;
    std::vector<ColumnInfo> m_columns;
    bool m_open = false;
    KeysetQuery m_query;            // the records the set was opened on, and how they are read
    SetPositions m_positions;       // their number and the blocks that hold positions
    std::vector<qint64> m_added;    // IDs added through this set since the open, in the order added
    // Every ID the set added since the open, gone ones too: a rolled-back delete brings one back.
    std::vector<qint64> m_addedEver;
    qint64 m_lastAddedId = 0;
    quint64 m_additionsMade = 0;
    quint64 m_seenSerial = 0;

    // The cursor: where it stands, the current record's values (kept after a Delete, whose key still
    // places MoveNext), and its position when known.
    At m_at = At::BeforeFirst;
    SqlRow m_row;
    size_t m_addedIndex = 0;
    qint64 m_position = -1;
    bool m_deleted = false;
    enum class EditMode { None, Adding, Editing } m_editMode = EditMode::None;

    const SqlRow *m_visiting = nullptr;  // the record ForEachById visits
    // On a shared ledger: reads back the record just written, as the database keeps it, and notes its
    // version as this program's own.
    void NoteOwnWrite(qint64 id);

    // Read-ahead, valid until the table changes: the base records after the current one.
    std::deque<SqlRow> m_ahead;
    int m_blockSize = 100;
};
