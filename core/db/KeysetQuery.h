// The statement a record set reads with: the records of one table that were there when the set was
// opened and match its filter, in the order of its sort column and then the ID (the keyset). Every
// read of them (rows after or before a key, a row by ID, IDs by position, counts, sums) is built here
// as parameterised SQL; the set's cursor only says where it stands.
#pragma once

#include "db/FilterParser.h"
#include "db/SqlConnection.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

using SqlRow = std::vector<SqlValue>;

// A key of a keyset's order: the sort column's value (as the table holds it) and the ID.
struct SortKey
{
    SqlValue value;
    qint64 id = 0;
};

struct ColumnInfo
{
    QString name;
    FieldType type;
};

class KeysetQuery
{
public:
    KeysetQuery() = default;
    // The keyset of the table's records up to maxId (the highest ID at the open) that match the
    // condition (filter: its text, for the figures kept under it), sorted on the column at sortIndex
    // (-1 or 0: by ID alone).
    KeysetQuery(const QString &table, const std::vector<ColumnInfo> &columns, SqlCondition where, const QString &filter,
                int sortIndex, qint64 maxId);

    // The same keyset narrowed to the records that also match the condition (no kept figure serves it).
    KeysetQuery Narrowed(const SqlCondition &also) const;

    static QString Quoted(const QString &name);
    static qint64 HighestId(SqlConnection &db, const QString &table);

    const QString &Table() const { return m_table; }
    const QString &Filter() const { return m_filter; }
    const SqlCondition &Where() const { return m_where; }
    int SortIndex() const { return m_sortIndex; }
    qint64 MaxId() const { return m_maxId; }
    // Whether records above the highest ID at the open exist: the keyset then leaves them out.
    bool Newer() const { return m_newer; }
    void SetNewer(bool newer) { m_newer = newer; }

    // The keyset's condition, its order, and the test for the records after (or before) a row's key.
    QString BaseWhere(std::vector<SqlValue> *params) const;
    QString OrderBy(bool descending) const;
    QString KeyTest(const SqlRow &row, bool after, std::vector<SqlValue> *params) const;

    // Rows of the keyset that also match the extra condition, in order (or backwards), limit of them
    // from offset on; a long skip walks the keys alone and then reads the rows.
    std::vector<SqlRow> ReadBase(SqlConnection &db, const QString &extra, const std::vector<SqlValue> &extraParams,
                                 bool descending, qint64 limit, qint64 offset = 0) const;
    // The row with the ID when it exists (and matches the condition), whether in the keyset or not.
    std::optional<SqlRow> ReadById(SqlConnection &db, qint64 id, const SqlCondition &also = SqlCondition()) const;
    // The row with the ID when it exists, locked until the transaction ends where the ledger locks
    // records (SqlConnection::RowLockClause).
    std::optional<SqlRow> ReadByIdLocked(SqlConnection &db, qint64 id) const;
    // The select list of every column, the ID first, as the rows are read.
    const QString &SelectList() const { return m_selectList; }
    // The rows with the IDs that exist, in no particular order.
    std::vector<SqlRow> ReadByIds(SqlConnection &db, const std::vector<qint64> &ids) const;

    qint64 Count(SqlConnection &db) const;
    // Records of the keyset before the row's key.
    qint64 CountBefore(SqlConnection &db, const SqlRow &row) const;
    // Records above the highest ID at the open that match the condition.
    qint64 CountNewer(SqlConnection &db) const;

    // IDs of count records from offset on, in order or counted from the end (then given in order),
    // counted from the key when one is given (the records at or after it).
    std::vector<qint64> IdsFrom(SqlConnection &db, qint64 offset, qint64 count, bool fromEnd, const SortKey *from) const;
    std::vector<qint64> IdsAfter(SqlConnection &db, const SqlRow &row, qint64 count) const;
    std::vector<qint64> AllIds(SqlConnection &db) const;
    // The first record of the keyset after the row's key (from the start without one) that also matches,
    // read in order from there; nothing when none follows. With within, only that many records after
    // the key are looked at.
    std::optional<SqlRow> NextMatch(SqlConnection &db, const SqlCondition &match, const SqlRow *after,
                                    qint64 within = -1) const;
    // Records of the keyset from the key (included) up to the other (left out; to the end without one).
    qint64 CountBetween(SqlConnection &db, const SortKey &from, const SortKey *to) const;
    // The row's key in the keyset's order.
    SortKey KeyOf(const SqlRow &row) const;
    // Positions of the keyset's records that match, walking it once; *count gets the keyset's size.
    std::vector<qint64> MatchingPositions(SqlConnection &db, const SqlCondition &match, qint64 *count) const;
    // The select list (columns or expressions) of every record of the keyset in order, then of each
    // added record that still exists, in the order added; visit reads each row from the statement.
    void ForEachInOrder(SqlConnection &db, const QString &selectList, const std::vector<qint64> &added,
                        const std::function<void(const SqlStatement &row)> &visit) const;
    // Sum in whole cents of the column over the keyset and the added records, matching the extra condition.
    qint64 SumCents(SqlConnection &db, const QString &column, const SqlCondition &extra, const std::vector<qint64> &added) const;

private:
    // The keyset's condition kept from the index, and the records from the key on (and before the
    // other): the keys, not a date of the filter, say where an index walk starts.
    QString KeyRangeWhere(const SortKey &from, const SortKey *to, std::vector<SqlValue> *params) const;
    std::vector<SqlRow> ReadRows(SqlStatement &statement) const;
    std::vector<qint64> ReadIds(SqlStatement &statement) const;

    QString m_table;
    std::vector<ColumnInfo> m_columns;
    QString m_selectList;
    SqlCondition m_where;
    QString m_filter;
    int m_sortIndex = -1;
    qint64 m_maxId = 0;
    bool m_newer = false;
};
