// The keyset's SQL: conditions, order and reads.
#include "KeysetQuery.h"

#include "db/FieldExchange.h"
#include "db/KeptFigures.h"

namespace {

constexpr qint64 kShortSkip = 2000;  // a longer skip walks the IDs alone, then reads the rows

} // namespace

KeysetQuery::KeysetQuery(const QString &table, const std::vector<ColumnInfo> &columns, SqlCondition where,
                         const QString &filter, int sortIndex, qint64 maxId)
    : m_table(table), m_columns(columns), m_where(std::move(where)), m_filter(filter), m_sortIndex(sortIndex), m_maxId(maxId)
{
    QStringList names;
    for (const ColumnInfo &column : m_columns)
        names.append(Quoted(column.name));
    m_selectList = names.join(QLatin1Char(','));
}

KeysetQuery KeysetQuery::Narrowed(const SqlCondition &also) const
{
    SqlCondition where = m_where;
    if (!also.sql.isEmpty()) {
        where.sql = where.sql.isEmpty() ? also.sql : where.sql + QStringLiteral(" AND ") + also.sql;
        where.params.insert(where.params.end(), also.params.begin(), also.params.end());
    }
    KeysetQuery narrowed(m_table, m_columns, std::move(where), QString(), m_sortIndex, m_maxId);
    narrowed.m_newer = m_newer;
    return narrowed;
}

QString KeysetQuery::Quoted(const QString &name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

qint64 KeysetQuery::HighestId(SqlConnection &db, const QString &table)
{
    SqlStatement highest = db.Prepare(QStringLiteral("SELECT ifnull(max(ID),0) FROM ") + Quoted(table));
    highest.Step();
    return highest.Int(0);
}

QString KeysetQuery::BaseWhere(std::vector<SqlValue> *params) const
{
    QStringList parts;
    if (!m_where.sql.isEmpty()) {
        parts << QLatin1Char('(') + m_where.sql + QLatin1Char(')');
        params->insert(params->end(), m_where.params.begin(), m_where.params.end());
    }
    if (m_newer) {
        parts << QStringLiteral("ID <= ?");
        params->push_back(m_maxId);
    }
    return parts.isEmpty() ? QStringLiteral("1=1") : parts.join(QStringLiteral(" AND "));
}

QString KeysetQuery::OrderBy(bool descending) const
{
    const QString direction = descending ? QStringLiteral(" DESC") : QString();
    if (m_sortIndex <= 0)
        return QStringLiteral("ID") + direction;
    return Quoted(m_columns[size_t(m_sortIndex)].name) + direction + QStringLiteral(", ID") + direction;
}

QString KeysetQuery::KeyTest(const SqlRow &row, bool after, std::vector<SqlValue> *params) const
{
    const QString op = after ? QStringLiteral(" > ") : QStringLiteral(" < ");
    if (m_sortIndex <= 0) {
        params->push_back(row.at(0));
        return QStringLiteral("ID") + op + QLatin1Char('?');
    }
    params->push_back(row.at(size_t(m_sortIndex)));
    params->push_back(row.at(0));
    return QLatin1Char('(') + Quoted(m_columns[size_t(m_sortIndex)].name) + QStringLiteral(", ID)") + op
           + QStringLiteral("(?, ?)");
}

std::vector<SqlRow> KeysetQuery::ReadRows(SqlStatement &statement) const
{
    const int columns = int(m_columns.size());
    std::vector<SqlRow> rows;
    while (statement.Step()) {
        SqlRow row;
        row.reserve(size_t(columns));
        for (int c = 0; c < columns; ++c)
            row.push_back(statement.Value(c));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<qint64> KeysetQuery::ReadIds(SqlStatement &statement) const
{
    std::vector<qint64> ids;
    while (statement.Step())
        ids.push_back(statement.Int(0));
    return ids;
}

std::vector<SqlRow> KeysetQuery::ReadBase(SqlConnection &db, const QString &extra, const std::vector<SqlValue> &extraParams,
                                          bool descending, qint64 limit, qint64 offset) const
{
    std::vector<SqlValue> params;
    QString where = BaseWhere(&params);
    if (!extra.isEmpty()) {
        where += QStringLiteral(" AND (") + extra + QLatin1Char(')');
        params.insert(params.end(), extraParams.begin(), extraParams.end());
    }
    const QString order = QStringLiteral(" ORDER BY ") + OrderBy(descending);
    const QString from = QStringLiteral(" FROM ") + Quoted(m_table) + QStringLiteral(" WHERE ");
    // A long skip goes through the keys alone (an index walk) and then reads the block's rows by ID.
    const QString sql = offset <= kShortSkip
        ? QStringLiteral("SELECT ") + m_selectList + from + where + order + QStringLiteral(" LIMIT ? OFFSET ?")
        : QStringLiteral("SELECT ") + m_selectList + QStringLiteral(" FROM ") + Quoted(m_table)
              + QStringLiteral(" WHERE ID IN (SELECT ID") + from + where + order
              + QStringLiteral(" LIMIT ? OFFSET ?)") + order;
    params.push_back(limit);
    params.push_back(offset);
    SqlStatement statement = db.Prepare(sql);
    statement.BindAll(params);
    return ReadRows(statement);
}

std::optional<SqlRow> KeysetQuery::ReadById(SqlConnection &db, qint64 id, const SqlCondition &also) const
{
    QString sql = QStringLiteral("SELECT ") + m_selectList + QStringLiteral(" FROM ") + Quoted(m_table)
                  + QStringLiteral(" WHERE ID = ?");
    if (!also.sql.isEmpty())
        sql += QStringLiteral(" AND (") + also.sql + QLatin1Char(')');
    SqlStatement statement = db.Prepare(sql);
    statement.Bind(1, id);
    statement.BindAll(also.params, 2);
    std::vector<SqlRow> rows = ReadRows(statement);
    if (rows.empty())
        return std::nullopt;
    return std::move(rows.front());
}

std::optional<SqlRow> KeysetQuery::ReadByIdLocked(SqlConnection &db, qint64 id) const
{
    SqlStatement statement = db.Prepare(QStringLiteral("SELECT ") + m_selectList + QStringLiteral(" FROM ") + Quoted(m_table)
                                        + QStringLiteral(" WHERE ID = ?") + db.RowLockClause());
    statement.Bind(1, id);
    std::vector<SqlRow> rows = ReadRows(statement);
    if (rows.empty())
        return std::nullopt;
    return std::move(rows.front());
}

std::vector<SqlRow> KeysetQuery::ReadByIds(SqlConnection &db, const std::vector<qint64> &ids) const
{
    std::vector<SqlRow> rows;
    constexpr size_t kChunk = 500;  // well below SQLite's limit of bound values
    for (size_t first = 0; first < ids.size(); first += kChunk) {
        const size_t count = std::min(kChunk, ids.size() - first);
        QStringList marks;
        for (size_t i = 0; i < count; ++i)
            marks.append(QStringLiteral("?"));
        SqlStatement statement = db.Prepare(QStringLiteral("SELECT ") + m_selectList + QStringLiteral(" FROM ")
                                            + Quoted(m_table) + QStringLiteral(" WHERE ID IN (")
                                            + marks.join(QLatin1Char(',')) + QLatin1Char(')'));
        for (size_t i = 0; i < count; ++i)
            statement.Bind(int(i) + 1, ids[first + i]);
        for (SqlRow &row : ReadRows(statement))
            rows.push_back(std::move(row));
    }
    return rows;
}

qint64 KeysetQuery::Count(SqlConnection &db) const
{
    std::vector<SqlValue> params;
    SqlStatement count = db.Prepare(QStringLiteral("SELECT count(*) FROM ") + Quoted(m_table) + QStringLiteral(" WHERE ")
                                    + BaseWhere(&params));
    count.BindAll(params);
    count.Step();
    return count.Int(0);
}

qint64 KeysetQuery::CountBefore(SqlConnection &db, const SqlRow &row) const
{
    std::vector<SqlValue> params;
    QString sql = QStringLiteral("SELECT count(*) FROM ") + Quoted(m_table) + QStringLiteral(" WHERE ") + BaseWhere(&params);
    sql += QStringLiteral(" AND ") + KeyTest(row, false, &params);
    SqlStatement statement = db.Prepare(sql);
    statement.BindAll(params);
    statement.Step();
    return statement.Int(0);
}

qint64 KeysetQuery::CountNewer(SqlConnection &db) const
{
    std::vector<SqlValue> params;
    QString sql = QStringLiteral("SELECT count(*) FROM ") + Quoted(m_table) + QStringLiteral(" WHERE ID > ?");
    params.push_back(m_maxId);
    if (!m_where.sql.isEmpty()) {
        sql += QStringLiteral(" AND (") + m_where.sql + QLatin1Char(')');
        params.insert(params.end(), m_where.params.begin(), m_where.params.end());
    }
    SqlStatement count = db.Prepare(sql);
    count.BindAll(params);
    count.Step();
    return count.Int(0);
}

QString KeysetQuery::KeyRangeWhere(const SortKey &from, const SortKey *to, std::vector<SqlValue> *params) const
{
    const QString key = QLatin1Char('(') + Quoted(m_columns[size_t(m_sortIndex)].name) + QStringLiteral(", ID)");
    QString where = QStringLiteral("+(") + BaseWhere(params) + QStringLiteral(") AND ") + key + QStringLiteral(" >= (?, ?)");
    params->push_back(from.value);
    params->push_back(from.id);
    if (to) {
        where += QStringLiteral(" AND ") + key + QStringLiteral(" < (?, ?)");
        params->push_back(to->value);
        params->push_back(to->id);
    }
    return where;
}

SortKey KeysetQuery::KeyOf(const SqlRow &row) const
{
    return SortKey{row.at(size_t(m_sortIndex)), IntOfValue(row.at(0))};
}

std::vector<qint64> KeysetQuery::IdsFrom(SqlConnection &db, qint64 offset, qint64 count, bool fromEnd, const SortKey *from) const
{
    std::vector<SqlValue> params;
    const QString where = from ? KeyRangeWhere(*from, nullptr, &params) : BaseWhere(&params);
    SqlStatement statement = db.Prepare(QStringLiteral("SELECT ID FROM ") + Quoted(m_table) + QStringLiteral(" WHERE ")
                                        + where + QStringLiteral(" ORDER BY ") + OrderBy(fromEnd)
                                        + QStringLiteral(" LIMIT ? OFFSET ?"));
    params.push_back(count);
    params.push_back(offset);
    statement.BindAll(params);
    std::vector<qint64> ids = ReadIds(statement);
    if (fromEnd)
        std::reverse(ids.begin(), ids.end());
    return ids;
}

std::vector<qint64> KeysetQuery::IdsAfter(SqlConnection &db, const SqlRow &row, qint64 count) const
{
    std::vector<SqlValue> params;
    QString sql = QStringLiteral("SELECT ID FROM ") + Quoted(m_table) + QStringLiteral(" WHERE ") + BaseWhere(&params);
    sql += QStringLiteral(" AND ") + KeyTest(row, true, &params) + QStringLiteral(" ORDER BY ") + OrderBy(false)
           + QStringLiteral(" LIMIT ?");
    params.push_back(count);
    SqlStatement statement = db.Prepare(sql);
    statement.BindAll(params);
    return ReadIds(statement);
}

std::vector<qint64> KeysetQuery::AllIds(SqlConnection &db) const
{
    std::vector<SqlValue> params;
    SqlStatement statement = db.Prepare(QStringLiteral("SELECT ID FROM ") + Quoted(m_table) + QStringLiteral(" WHERE ")
                                        + BaseWhere(&params) + QStringLiteral(" ORDER BY ") + OrderBy(false));
    statement.BindAll(params);
    return ReadIds(statement);
}

std::vector<qint64> KeysetQuery::MatchingPositions(SqlConnection &db, const SqlCondition &match, qint64 *count) const
{
    const QString matchSql = match.sql.isEmpty() ? QStringLiteral("1=1") : match.sql;
    // One walk through the set in its order, counting positions: with the sort index carrying the
    // searched columns, SQLite answers from the index alone.
    std::vector<SqlValue> params(match.params.begin(), match.params.end());
    SqlStatement statement = db.Prepare(QStringLiteral("SELECT (") + matchSql + QStringLiteral(") FROM ")
                                        + Quoted(m_table) + QStringLiteral(" WHERE ") + BaseWhere(&params)
                                        + QStringLiteral(" ORDER BY ") + OrderBy(false));
    statement.BindAll(params);
    std::vector<qint64> positions;
    qint64 position = 0;
    for (; statement.Step(); ++position) {
        if (statement.Int(0) != 0)
            positions.push_back(position);
    }
    *count = position;
    return positions;
}

qint64 KeysetQuery::SumCents(SqlConnection &db, const QString &column, const SqlCondition &extraCondition,
                             const std::vector<qint64> &added) const
{
    const QString extra = extraCondition.sql.isEmpty() ? QString() : QStringLiteral(" AND (") + extraCondition.sql + QLatin1Char(')');
    const QString cents = QStringLiteral("ifnull(sum(") + CentsSql(Quoted(column)) + QStringLiteral("),0)");
    std::vector<SqlValue> params;
    SqlStatement statement = db.Prepare(QStringLiteral("SELECT ") + cents + QStringLiteral(" FROM ") + Quoted(m_table)
                                        + QStringLiteral(" WHERE ") + BaseWhere(&params) + extra);
    params.insert(params.end(), extraCondition.params.begin(), extraCondition.params.end());
    statement.BindAll(params);
    statement.Step();
    qint64 sum = statement.Int(0);
    SqlStatement one = db.Prepare(QStringLiteral("SELECT ") + cents + QStringLiteral(" FROM ") + Quoted(m_table)
                                  + QStringLiteral(" WHERE ID = ?") + extra);
    for (qint64 id : added) {
        one.Reset();
        one.Bind(1, id);
        one.BindAll(extraCondition.params, 2);
        one.Step();
        sum += one.Int(0);
    }
    return sum;
}

void KeysetQuery::ForEachInOrder(SqlConnection &db, const QString &selectList, const std::vector<qint64> &added,
                                 const std::function<void(const SqlStatement &row)> &visit) const
{
    std::vector<SqlValue> params;
    SqlStatement statement = db.Prepare(QStringLiteral("SELECT ") + selectList + QStringLiteral(" FROM ") + Quoted(m_table)
                                        + QStringLiteral(" WHERE ") + BaseWhere(&params) + QStringLiteral(" ORDER BY ")
                                        + OrderBy(false));
    statement.BindAll(params);
    while (statement.Step())
        visit(statement);
    SqlStatement one = db.Prepare(QStringLiteral("SELECT ") + selectList + QStringLiteral(" FROM ") + Quoted(m_table)
                                  + QStringLiteral(" WHERE ID = ?"));
    for (qint64 id : added) {
        one.Reset();
        one.Bind(1, id);
        if (one.Step())
            visit(one);
    }
}

std::optional<SqlRow> KeysetQuery::NextMatch(SqlConnection &db, const SqlCondition &match, const SqlRow *after,
                                             qint64 within) const
{
    std::vector<SqlValue> params;
    QString sql = QStringLiteral("SELECT ") + m_selectList + QStringLiteral(" FROM ") + Quoted(m_table) + QStringLiteral(" WHERE ");
    if (within >= 0 && m_sortIndex > 0) {
        // Up to the key of the last record looked at: the walk starts at the row's key and ends there.
        std::vector<SqlValue> lastParams;
        QString last = QStringLiteral("SELECT ") + Quoted(m_columns[size_t(m_sortIndex)].name) + QStringLiteral(", ID FROM ")
                       + Quoted(m_table) + QStringLiteral(" WHERE +(") + BaseWhere(&lastParams) + QLatin1Char(')');
        if (after)
            last += QStringLiteral(" AND ") + KeyTest(*after, true, &lastParams);
        SqlStatement lastRead = db.Prepare(last + QStringLiteral(" ORDER BY ") + OrderBy(false) + QStringLiteral(" LIMIT 1 OFFSET ?"));
        lastParams.push_back(std::max<qint64>(within - 1, 0));
        lastRead.BindAll(lastParams);
        sql += QStringLiteral("+(") + BaseWhere(&params) + QLatin1Char(')');
        if (lastRead.Step()) {
            sql += QStringLiteral(" AND (") + Quoted(m_columns[size_t(m_sortIndex)].name) + QStringLiteral(", ID) <= (?, ?)");
            params.push_back(lastRead.Value(0));
            params.push_back(lastRead.Int(1));
        }
    } else {
        sql += BaseWhere(&params);
    }
    if (after)
        sql += QStringLiteral(" AND ") + KeyTest(*after, true, &params);
    if (!match.sql.isEmpty()) {
        sql += QStringLiteral(" AND (") + match.sql + QLatin1Char(')');
        params.insert(params.end(), match.params.begin(), match.params.end());
    }
    SqlStatement statement = db.Prepare(sql + QStringLiteral(" ORDER BY ") + OrderBy(false) + QStringLiteral(" LIMIT 1"));
    statement.BindAll(params);
    std::vector<SqlRow> rows = ReadRows(statement);
    if (rows.empty())
        return std::nullopt;
    return std::move(rows.front());
}

qint64 KeysetQuery::CountBetween(SqlConnection &db, const SortKey &from, const SortKey *to) const
{
    std::vector<SqlValue> params;
    SqlStatement statement = db.Prepare(QStringLiteral("SELECT count(*) FROM ") + Quoted(m_table) + QStringLiteral(" WHERE ")
                                        + KeyRangeWhere(from, to, &params));
    statement.BindAll(params);
    statement.Step();
    return statement.Int(0);
}
