// Block counts of the income/expense list.
#include "BlockPositions.h"

#include "db/KeptFigures.h"
#include "db/KeysetQuery.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

namespace {

// The conditions the filter parser writes for a comparison: "Date" > ?, optionally in parentheses.
const QRegularExpression &TermPattern()
{
    static const QRegularExpression term(QStringLiteral("^\\(?\"(Date|Item|Member)\" (=|<>|<|>|<=|>=) \\?\\)?$"));
    return term;
}

// Keys read from the same table: equal values have the same type.
bool SameValue(const SqlValue &a, const SqlValue &b)
{
    return a == b;
}

} // namespace

std::unique_ptr<BlockPositions> BlockPositions::For(const QString &table, const QString &sortColumn,
                                                    const SqlCondition &condition)
{
    if (table != QLatin1String("Money") || sortColumn.compare(QLatin1String("Date"), Qt::CaseInsensitive) != 0)
        return nullptr;
    std::unique_ptr<BlockPositions> positions(new BlockPositions(condition));
    if (condition.sql.isEmpty())
        return positions;
    // An AND of comparisons, each with one value: the values follow the terms in order.
    const QStringList terms = condition.sql.split(QStringLiteral(" AND "));
    if (qsizetype(condition.params.size()) != terms.size())
        return nullptr;
    QStringList dateTerms, partTerms;
    for (qsizetype i = 0; i < terms.size(); ++i) {
        const QRegularExpressionMatch match = TermPattern().match(terms.at(i));
        const QString &term = terms.at(i);
        if (!match.hasMatch() || term.startsWith(QLatin1Char('(')) != term.endsWith(QLatin1Char(')')))
            return nullptr;
        const SqlValue &value = condition.params[size_t(i)];
        const QString column = match.captured(1);
        const QString op = match.captured(2);
        if (column == QLatin1String("Date")) {
            if (op == QLatin1String("<>"))
                return nullptr;  // true on both sides of a date: a block's ends tell nothing
            if (op == QLatin1String("=")) {
                // Equal to a date: at or after it and at or before it, each one-sided.
                dateTerms << QStringLiteral("%1 >= ?") << QStringLiteral("%1 <= ?");
                positions->m_dateParams.push_back(value);
                positions->m_dateParams.push_back(value);
            } else {
                dateTerms << QStringLiteral("%1 ") + op + QStringLiteral(" ?");
                positions->m_dateParams.push_back(value);
            }
        } else {
            partTerms << QLatin1Char('"') + column + QStringLiteral("\" ") + op + QStringLiteral(" ?");
            positions->m_partParams.push_back(value);
        }
    }
    positions->m_dateTerms = dateTerms.join(QStringLiteral(" AND "));
    positions->m_partTerms = partTerms.join(QStringLiteral(" AND "));
    return positions;
}

bool BlockPositions::ReadBlocks(SqlConnection &db)
{
    // A block's dates lie between its start and the next block's start, both included. A comparison
    // that holds at both ends holds for every date between (the comparisons are one-sided); one that
    // fails at both fails for all. Anything else cuts through the block, which is then counted.
    const QStringList terms = m_dateTerms.isEmpty() ? QStringList() : m_dateTerms.split(QStringLiteral(" AND "));
    QStringList every, none;
    for (const QString &term : terms) {
        every << QStringLiteral("(%1 AND %2)").arg(term.arg(QStringLiteral("\"Start\"")), term.arg(QStringLiteral("\"Next\"")));
        none << QStringLiteral("(NOT %1 AND NOT %2)").arg(term.arg(QStringLiteral("\"Start\"")), term.arg(QStringLiteral("\"Next\"")));
    }
    // The two lists bind the same values, each term's twice in a row. The last block has no next
    // start: its comparisons there are NULL, so it is never taken as whole or empty, but counted.
    std::vector<SqlValue> params;
    for (int pass = 0; pass < 2; ++pass) {
        for (const SqlValue &value : m_dateParams) {
            params.push_back(value);
            params.push_back(value);
        }
    }
    // 1 or 0 as numbers, an unknown (NULL) condition as 0: a condition is no number on every database.
    const auto asNumber = [](const QString &condition) { return QStringLiteral("(CASE WHEN %1 THEN 1 ELSE 0 END)").arg(condition); };
    const QString everySql = every.isEmpty() ? QStringLiteral("1") : asNumber(every.join(QStringLiteral(" AND ")));
    const QString noneSql = none.isEmpty() ? QStringLiteral("0") : asNumber(none.join(QStringLiteral(" OR ")));
    SqlStatement blocks = db.Prepare(
        QStringLiteral("SELECT \"Start\", \"StartId\", \"N\", %1, %2, typeof(\"Start\") = 'blob' FROM (SELECT \"Start\", \"StartId\", \"N\", "
                       "lead(\"Start\") OVER (ORDER BY \"Start\", \"StartId\") AS \"Next\" FROM \"MoneyBlocks\") AS \"Blocks\" "
                       "ORDER BY \"Start\", \"StartId\"")
            .arg(everySql, noneSql));
    blocks.BindAll(params);
    m_blocks.clear();
    m_state.clear();
    while (blocks.Step()) {
        if (blocks.Int(5) != 0)
            return false;  // a date stored as bytes reads back as text: its key could not be bound again
        m_blocks.push_back(Block{SortKey{blocks.Value(0), blocks.Int(1)}, blocks.Int(2), false});
        m_state.push_back(blocks.Int(3) != 0 ? 1 : blocks.Int(4) != 0 ? 0 : -1);
    }
    return !m_blocks.empty();
}

bool BlockPositions::ReadParts(SqlConnection &db)
{
    if (m_partTerms.isEmpty())
        return true;
    // Per block, the records of the item and member the filter asks for. A part key holds x'' for a
    // NULL item or member, which a comparison could take for a value: should one pass, decline.
    SqlStatement parts = db.Prepare(QStringLiteral("SELECT \"Start\", \"StartId\", sum(\"N\"), "
                                                   "sum(CASE WHEN typeof(\"Item\") = 'blob' OR typeof(\"Member\") = 'blob' THEN 1 ELSE 0 END) "
                                                   "FROM \"MoneyBlockParts\" WHERE %1 GROUP BY \"Start\", \"StartId\" "
                                                   "ORDER BY \"Start\", \"StartId\"")
                                        .arg(m_partTerms));
    parts.BindAll(m_partParams);
    std::vector<qint64> counts(m_blocks.size(), 0);
    size_t next = 0;
    while (parts.Step()) {
        if (parts.Int(3) != 0)
            return false;
        const SortKey start{parts.Value(0), parts.Int(1)};
        // Both lists are in the same order; the parts skip the blocks that have none.
        while (next < m_blocks.size() && !(m_blocks[next].start.id == start.id && SameValue(m_blocks[next].start.value, start.value)))
            ++next;
        if (next == m_blocks.size())
            return false;
        counts[next++] = parts.Int(2);
    }
    for (size_t i = 0; i < m_blocks.size(); ++i)
        m_blocks[i].count = counts[i];
    return true;
}

void BlockPositions::TakeNewer(SqlConnection &db, const KeysetQuery &query)
{
    // Records above the highest ID at the open are not in the list; they are few (added since), and
    // each is taken from its block unless the block was counted record by record.
    QString sql = QStringLiteral("SELECT (SELECT b.\"Start\" FROM \"MoneyBlocks\" b WHERE (b.\"Start\", b.\"StartId\") <= (m.\"Date\", m.\"ID\") "
                                 "ORDER BY b.\"Start\" DESC, b.\"StartId\" DESC LIMIT 1), "
                                 "(SELECT b.\"StartId\" FROM \"MoneyBlocks\" b WHERE (b.\"Start\", b.\"StartId\") <= (m.\"Date\", m.\"ID\") "
                                 "ORDER BY b.\"Start\" DESC, b.\"StartId\" DESC LIMIT 1) FROM \"Money\" m WHERE m.\"ID\" > ?");
    std::vector<SqlValue> params{query.MaxId()};
    if (!m_condition.sql.isEmpty()) {
        sql += QStringLiteral(" AND (") + m_condition.sql + QLatin1Char(')');
        params.insert(params.end(), m_condition.params.begin(), m_condition.params.end());
    }
    SqlStatement newer = db.Prepare(sql);
    newer.BindAll(params);
    while (newer.Step()) {
        if (const std::optional<size_t> index = IndexOf(SortKey{newer.Value(0), newer.Int(1)})) {
            if (!m_blocks[*index].exact)
                --m_blocks[*index].count;
        }
    }
}

std::optional<size_t> BlockPositions::IndexOf(const SortKey &start) const
{
    // Starts are unique keys; an ID starts two blocks only when its record moved between splits.
    for (size_t index : m_byStartId.values(start.id)) {
        if (SameValue(m_blocks[index].start.value, start.value))
            return index;
    }
    return std::nullopt;
}

bool BlockPositions::Read(SqlConnection &db, const KeysetQuery &query)
{
    m_count = 0;
    m_starts.clear();
    m_byStartId.clear();
    if (!ReadBlocks(db) || !ReadParts(db))
        return false;
    for (size_t i = 0; i < m_blocks.size(); ++i) {
        Block &block = m_blocks[i];
        if (m_state[i] == 0) {
            block.count = 0;
            block.exact = true;
        } else if (m_state[i] < 0) {
            // A block the date terms cut through: its records of the list counted within it.
            block.count = query.CountBetween(db, block.start, i + 1 < m_blocks.size() ? &m_blocks[i + 1].start : nullptr);
            block.exact = true;
        }
        m_byStartId.insert(block.start.id, i);
    }
    if (query.Newer())
        TakeNewer(db, query);
    m_starts.assign(m_blocks.size(), 0);
    for (size_t i = 0; i < m_blocks.size(); ++i) {
        if (m_blocks[i].count < 0)
            return false;
        m_starts[i] = m_count;
        m_count += m_blocks[i].count;
    }
    // Unfiltered, the blocks must add up to the kept count of the table, or they are not to be trusted.
    if (m_condition.sql.isEmpty() && !query.Newer())
        return KeptFigure(db, QStringLiteral("Money"), QStringLiteral("count")) == m_count;
    return true;
}

std::optional<BlockPositions::Place> BlockPositions::Locate(qint64 position) const
{
    if (position < 0 || position >= m_count)
        return std::nullopt;
    // The last block that starts at or before the position and holds records of the list.
    const auto next = std::upper_bound(m_starts.begin(), m_starts.end(), position);
    // Empty blocks share their start position with the block after them, so they are passed over.
    const size_t index = size_t(next - m_starts.begin()) - 1;
    return Place{m_blocks[index].start, position - m_starts[index]};
}

std::optional<BlockPositions::Place> BlockPositions::BlockOf(SqlConnection &db, const SortKey &key) const
{
    SqlStatement block = db.Prepare(QStringLiteral("SELECT \"Start\", \"StartId\" FROM \"MoneyBlocks\" WHERE (\"Start\", \"StartId\") <= (?, ?) "
                                                   "ORDER BY \"Start\" DESC, \"StartId\" DESC LIMIT 1"));
    block.BindAll({key.value, key.id});
    if (!block.Step())
        return std::nullopt;
    const std::optional<size_t> index = IndexOf(SortKey{block.Value(0), block.Int(1)});
    if (!index)
        return std::nullopt;
    return Place{m_blocks[*index].start, m_starts[*index]};
}
