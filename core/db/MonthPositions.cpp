// Month counts of the income/expense list.
#include "MonthPositions.h"

#include "db/KeptFigures.h"
#include "db/SqlConnection.h"

#include <QHash>
#include <QRegularExpression>
#include <algorithm>

namespace {

// The date column has numeric affinity: compared with it, a month key that reads as a number
// ("2003.05" of a date written 2003.05.01, "2003050" of 20030501) is taken as that number, which
// every date text sorts after, so the key cannot mark where its month starts in the list.
bool ReadsAsNumber(const QString &month)
{
    bool number = false;
    month.trimmed().toDouble(&number);
    return number;
}

} // namespace

std::unique_ptr<MonthPositions> MonthPositions::For(const QString &table, const QString &sortColumn,
                                                    const SqlCondition &condition)
{
    if (table != QLatin1String("Money") || sortColumn.compare(QLatin1String("Date"), Qt::CaseInsensitive) != 0)
        return nullptr;
    if (condition.sql.isEmpty())
        return std::unique_ptr<MonthPositions>(new MonthPositions(Kind::All, condition));
    static const QRegularExpression item(QStringLiteral("^\"Item\" = \\?$"));
    static const QRegularExpression date(QStringLiteral("^\"Date\" (=|<|>|<=|>=) \\?$"));
    if (condition.params.size() != 1 || !std::holds_alternative<QString>(condition.params.front()))
        return nullptr;
    if (item.match(condition.sql).hasMatch())
        return std::unique_ptr<MonthPositions>(new MonthPositions(Kind::Item, condition));
    const QRegularExpressionMatch comparison = date.match(condition.sql);
    if (!comparison.hasMatch())
        return nullptr;
    std::unique_ptr<MonthPositions> positions(new MonthPositions(Kind::Date, condition));
    positions->m_dateOp = comparison.captured(1);
    return positions;
}

void MonthPositions::ReadKept(SqlConnection &db)
{
    m_months.clear();
    m_counts.clear();
    SqlStatement kept = m_kind == Kind::Item
        ? db.Prepare(QStringLiteral("SELECT \"Month\", sum(\"N\") FROM \"MoneyMonthItems\" WHERE \"Item\" = ? "
                                    "GROUP BY \"Month\" ORDER BY \"Month\""))
        : db.Prepare(QStringLiteral("SELECT \"Month\", \"N\" FROM \"MoneyMonths\" ORDER BY \"Month\""));
    if (m_kind == Kind::Item)
        kept.BindAll(m_condition.params);
    while (kept.Step()) {
        m_months.push_back(kept.Text(0));
        m_counts.push_back(kept.Int(1));
    }
}

QString MonthPositions::CountDateMonths(SqlConnection &db, qint64 maxId, bool newer)
{
    const QString limit = std::get<QString>(m_condition.params.front());
    const QString limitMonth = limit.left(7);
    const bool before = m_dateOp.startsWith(QLatin1Char('<'));
    const bool after = m_dateOp.startsWith(QLatin1Char('>'));
    for (size_t i = 0; i < m_months.size(); ++i) {
        const QString &month = m_months[i];
        if (month == limitMonth) {
            // The one month the comparison cuts through: counted in the index, within the month.
            QString sql = QStringLiteral("SELECT count(*) FROM \"Money\" WHERE \"Date\" >= ? AND (") + m_condition.sql
                          + QLatin1Char(')');
            std::vector<SqlValue> params{month, m_condition.params.front()};
            if (i + 1 < m_months.size()) {
                sql += QStringLiteral(" AND \"Date\" < ?");
                params.push_back(m_months[i + 1]);
            }
            if (newer) {
                sql += QStringLiteral(" AND ID <= ?");
                params.push_back(maxId);
            }
            SqlStatement count = db.Prepare(sql);
            count.BindAll(params);
            count.Step();
            m_counts[i] = count.Int(0);
        } else if (month.isEmpty()) {
            // Dates that are not text: numbers and empty texts sort before every date text, and stay
            // counted for a "<" comparison (so the counts decline); dates stored as bytes sort after
            // them and meet a ">" one, counted here.
            if (after) {
                SqlStatement bytes = db.Prepare(QStringLiteral("SELECT count(*) FROM \"Money\" WHERE \"Date\" >= x''"));
                bytes.Step();
                m_counts[i] = bytes.Int(0);
            } else if (!before) {
                m_counts[i] = 0;
            }
        } else if (month < limitMonth ? !before : !after) {
            m_counts[i] = 0;  // every date of the month is on the wrong side of the limit
        }
    }
    return limitMonth;
}

void MonthPositions::TakeNewer(SqlConnection &db, qint64 maxId, const QString &counted)
{
    QString sql = QStringLiteral("SELECT ") + MonthKeySql(QStringLiteral("\"Date\""))
                  + QStringLiteral(", count(*) FROM \"Money\" WHERE ID > ?");
    std::vector<SqlValue> params{maxId};
    if (!m_condition.sql.isEmpty()) {
        sql += QStringLiteral(" AND (") + m_condition.sql + QLatin1Char(')');
        params.insert(params.end(), m_condition.params.begin(), m_condition.params.end());
    }
    SqlStatement newer = db.Prepare(sql + QStringLiteral(" GROUP BY 1"));
    newer.BindAll(params);
    QHash<QString, qint64> counts;
    while (newer.Step())
        counts.insert(newer.Text(0), newer.Int(1));
    for (size_t i = 0; i < m_months.size(); ++i) {
        if (m_months[i] != counted)
            m_counts[i] -= counts.value(m_months[i]);
    }
}

bool MonthPositions::Read(SqlConnection &db, qint64 maxId, bool newer)
{
    ReadKept(db);
    QString counted;
    if (m_kind == Kind::Date)
        counted = CountDateMonths(db, maxId, newer);
    if (newer)
        TakeNewer(db, maxId, counted);
    m_starts.assign(m_months.size(), 0);
    m_count = 0;
    bool usable = true;
    for (size_t i = 0; i < m_months.size(); ++i) {
        if (m_counts[i] < 0 || (m_months[i].isEmpty() && m_counts[i] > 0))
            usable = false;  // dates that are not text sort apart from the month keys
        if (ReadsAsNumber(m_months[i]))
            usable = false;
        m_starts[i] = m_count;
        m_count += m_counts[i];
    }
    if (usable && m_kind == Kind::All && !newer) {
        // The counts per month must add up to the kept count of the table, or they are not to be trusted.
        usable = KeptFigure(db, QStringLiteral("Money"), QStringLiteral("count")) == m_count;
    }
    return usable;
}

std::optional<MonthPositions::Place> MonthPositions::Locate(qint64 position) const
{
    if (position < 0 || position >= m_count)
        return std::nullopt;
    // The last month that starts at or before the position: it holds the position, since the next starts after it.
    const auto next = std::upper_bound(m_starts.begin(), m_starts.end(), position);
    const size_t index = size_t(next - m_starts.begin()) - 1;
    return Place{m_months[index], position - m_starts[index]};
}

std::optional<qint64> MonthPositions::MonthStart(const QString &month) const
{
    const auto found = std::find(m_months.begin(), m_months.end(), month);
    if (found == m_months.end())
        return std::nullopt;
    return m_starts[size_t(found - m_months.begin())];
}
