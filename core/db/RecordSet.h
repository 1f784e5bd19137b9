// The record set shared by the nine tables: open with a filter and a sort order, count, move,
// find, add, edit, delete and sum, with the semantics of a dynaset.
//
// A dynaset holds the records that matched when it was opened, in sort order, followed by the
// records it added itself since, in the order added (so moving to the last record after an insert
// reaches the new record). Records are read in blocks from SQLite as the cursor moves; nothing
// is loaded for the whole set at open, so opening and paging stay cheap on large tables.
#pragma once

#include "db/FilterParser.h"
#include "db/SqlConnection.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

using SqlRow = std::vector<SqlValue>;

struct ColumnInfo
{
    QString name;
    FieldType type;
};

// Binds a record set's member fields to its columns, in column order (ID first).
class FieldExchange
{
public:
    enum class Mode { Describe, Load, Store, Clear };
    FieldExchange(Mode mode, std::vector<ColumnInfo> *columns, SqlRow *row)
        : m_mode(mode), m_columns(columns), m_row(row) {}

    void Long(const char *name, qint32 &value);
    void Short(const char *name, qint16 &value);
    void Double(const char *name, double &value);
    void Text(const char *name, QString &value);
    void DateTime(const char *name, QDateTime &value);

private:
    const SqlValue &Next();
    void Describe(const char *name, FieldType type);
    Mode m_mode;
    std::vector<ColumnInfo> *m_columns;
    SqlRow *m_row;
    size_t m_index = 0;
};

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
    void Update();
    void Delete();                  // removes the current record; MoveNext then reaches the one after it

    // The sum of a column over the records of the set (and, when given, matching the extra condition).
    double Sum(const QString &column, const QString &extraCondition = QString());

    // Positions (0-based, in set order) of the records of the set that match the condition.
    std::vector<qint64> MatchingPositions(const QString &condition);

    // IDs of the records at positions first ... first + count - 1 (fewer at the end of the set),
    // read without moving the cursor or loading the fields.
    std::vector<qint64> IdsAt(qint64 first, qint64 count);

    // IDs of every record of the set, in set order: a cheap way to list the set without reading it.
    std::vector<qint64> AllIds();

    // Loads each record with one of the IDs into the fields in turn and calls visit; afterwards the
    // fields hold the current record again. The cursor does not move. visit gets the record's ID.
    void ForEachById(const std::vector<qint64> &ids, const std::function<void(qint64 id)> &visit);

    // ID of the current record, 0 when there is none.
    qint64 CurrentId() const;

    SqlConnection &Connection();

    // Whether this set has written to its table since it was opened (a reopen may then list its
    // records in another order).
    bool HasWrittenSinceOpen() const { return m_written; }

protected:
    virtual void DoFieldExchange(FieldExchange &fx) = 0;

private:
    static constexpr qint64 kUnknownPosition = -2;

    void RequireOpen() const;
    void Describe();
    std::optional<std::pair<QString, FieldType>> LookupColumn(const QString &name) const;
    QString BaseWhere(std::vector<SqlValue> *params) const;
    QString OrderBy(bool descending) const;
    void SyncWithOtherWriters();
    void CheckForeignInserts();
    qint64 BaseCount();
    // A total the database keeps current for this set (see Totals in the schema), when it has one.
    std::optional<double> KeptTotal(const QString &column, const QString &condition);
    void GoTo(qint64 position, bool walking = false);
    bool EnsureBuffered(qint64 position, bool walking = false);
    bool FetchBlockAt(qint64 position);
    bool FetchAfterBuffer(bool walking);
    void ReadBlock(SqlStatement &statement, std::vector<SqlRow> *rows);
    bool LoadAppended(size_t index);
    void LoadCurrent(const SqlRow &row);
    void SetNoCurrent(qint64 position);
    qint64 ResolvePosition();
    SqlRow StoreFields();
    void NoteOwnChange();

    QString m_table;
    std::shared_ptr<SqlConnection> m_db;
    std::vector<ColumnInfo> m_columns;
    QString m_selectList;
    int m_sortIndex = -1;           // column index of the sort column, -1 for the ID order
    bool m_open = false;
    bool m_written = false;
    SqlCondition m_where;
    QString m_openFilter;           // the filter text the set was opened with
    qint64 m_maxId = 0;             // records above this ID joined the table after the open
    bool m_foreignInserts = false;  // records above m_maxId that other sets added, which this set must not list
    qint64 m_baseCount = -1;        // records of the open-time part, -1 until counted
    std::vector<qint64> m_appended; // IDs added through this set since the open
    quint64 m_seenSerial = 0;

    std::vector<SqlRow> m_buffer;   // rows at positions m_bufferStart ...
    qint64 m_bufferStart = 0;
    bool m_bufferSeekable = false;  // the last buffered row may anchor the next block
    int m_blockSize = 100;

    qint64 m_position = -1;         // -1 before the first, >= count after the last
    bool m_hasCurrent = false;
    bool m_currentDeleted = false;
    SqlRow m_currentRow;
    enum class EditMode { None, Adding, Editing } m_editMode = EditMode::None;
};
