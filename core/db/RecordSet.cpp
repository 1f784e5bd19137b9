// Dynaset semantics over SQLite, read in blocks as the cursor moves.
#include "RecordSet.h"

#include "common/LedgerDate.h"
#include "common/Paths.h"
#include "db/DbError.h"

#include <QHash>
#include <algorithm>

namespace {

constexpr int kPositionalBlock = 100;
constexpr int kLargestBlock = 2000;

QString Quoted(const QString &name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

qint64 AsInt(const SqlValue &value)
{
    if (std::holds_alternative<qint64>(value))
        return std::get<qint64>(value);
    if (std::holds_alternative<double>(value))
        return qint64(std::get<double>(value));
    if (std::holds_alternative<QString>(value))
        return std::get<QString>(value).toLongLong();
    return 0;
}

double AsDouble(const SqlValue &value)
{
    if (std::holds_alternative<double>(value))
        return std::get<double>(value);
    if (std::holds_alternative<qint64>(value))
        return double(std::get<qint64>(value));
    if (std::holds_alternative<QString>(value))
        return std::get<QString>(value).toDouble();
    return 0.0;
}

QString AsText(const SqlValue &value)
{
    if (std::holds_alternative<QString>(value))
        return std::get<QString>(value);
    if (std::holds_alternative<qint64>(value))
        return QString::number(std::get<qint64>(value));
    if (std::holds_alternative<double>(value))
        return QString::number(std::get<double>(value));
    return QString();
}

} // namespace

const SqlValue &FieldExchange::Next()
{
    static const SqlValue empty;
    const size_t index = m_index++;
    return index < m_row->size() ? (*m_row)[index] : empty;
}

void FieldExchange::Describe(const char *name, FieldType type)
{
    m_columns->push_back({QString::fromLatin1(name), type});
}

void FieldExchange::Long(const char *name, qint32 &value)
{
    switch (m_mode) {
    case Mode::Describe: Describe(name, FieldType::Long); break;
    case Mode::Load: value = qint32(AsInt(Next())); break;
    case Mode::Store: m_row->push_back(qint64(value)); break;
    case Mode::Clear: value = 0; break;
    }
}

void FieldExchange::Short(const char *name, qint16 &value)
{
    switch (m_mode) {
    case Mode::Describe: Describe(name, FieldType::Short); break;
    case Mode::Load: value = qint16(AsInt(Next())); break;
    case Mode::Store: m_row->push_back(qint64(value)); break;
    case Mode::Clear: value = 0; break;
    }
}

void FieldExchange::Double(const char *name, double &value)
{
    switch (m_mode) {
    case Mode::Describe: Describe(name, FieldType::Double); break;
    case Mode::Load: value = AsDouble(Next()); break;
    case Mode::Store: m_row->push_back(value); break;
    case Mode::Clear: value = 0.0; break;
    }
}

void FieldExchange::Text(const char *name, QString &value)
{
    switch (m_mode) {
    case Mode::Describe: Describe(name, FieldType::Text); break;
    case Mode::Load: value = AsText(Next()); break;
    case Mode::Store: m_row->push_back(value); break;
    case Mode::Clear: value.clear(); break;
    }
}

void FieldExchange::DateTime(const char *name, QDateTime &value)
{
    switch (m_mode) {
    case Mode::Describe: Describe(name, FieldType::DateTime); break;
    case Mode::Load: value = DateFromDb(AsText(Next())); break;
    case Mode::Store: m_row->push_back(DbDateText(value.isValid() ? value : ZeroDate())); break;
    case Mode::Clear: value = ZeroDate(); break;
    }
}

CRecordSet::CRecordSet(const QString &table) : m_table(table) {}

CRecordSet::~CRecordSet() = default;

const std::vector<ColumnInfo> &CRecordSet::Columns()
{
    Describe();
    return m_columns;
}

void CRecordSet::Describe()
{
    if (!m_columns.empty())
        return;
    FieldExchange fx(FieldExchange::Mode::Describe, &m_columns, nullptr);
    DoFieldExchange(fx);
    QStringList names;
    for (const ColumnInfo &column : m_columns)
        names.append(Quoted(column.name));
    m_selectList = names.join(QLatin1Char(','));
}

std::optional<std::pair<QString, FieldType>> CRecordSet::LookupColumn(const QString &name) const
{
    for (const ColumnInfo &column : m_columns) {
        if (column.name.compare(name, Qt::CaseInsensitive) == 0)
            return std::make_pair(column.name, column.type);
    }
    return std::nullopt;
}

SqlConnection &CRecordSet::Connection()
{
    RequireOpen();
    return *m_db;
}

void CRecordSet::RequireOpen() const
{
    if (!m_open)
        throw DbError(QStringLiteral("记录集没有打开"));
}

void CRecordSet::Open()
{
    if (m_open)
        throw DbError(QStringLiteral("记录集已经打开"));
    Describe();
    const ColumnLookup lookup = [this](const QString &name) { return LookupColumn(name); };
    SqlCondition where = ParseFilter(m_strFilter, lookup);
    int sortIndex = -1;
    const QString sort = m_strSort.trimmed();
    if (!sort.isEmpty()) {
        for (size_t i = 0; i < m_columns.size(); ++i) {
            if (m_columns[i].name.compare(sort, Qt::CaseInsensitive) == 0)
                sortIndex = int(i);
        }
        if (sortIndex < 0)
            throw DbError(QStringLiteral("无法识别的排序列：%1").arg(m_strSort));
    }
    std::shared_ptr<SqlConnection> db = SqlConnection::Open(DatabasePath());
    SqlStatement maxId = db->Prepare(QStringLiteral("SELECT ifnull(max(ID),0) FROM ") + Quoted(m_table));
    maxId.Step();

    m_db = std::move(db);
    m_where = std::move(where);
    m_openFilter = m_strFilter.trimmed();
    m_sortIndex = sortIndex;
    m_maxId = maxId.Int(0);
    m_baseCount = -1;
    m_foreignInserts = false;
    m_appended.clear();
    m_buffer.clear();
    m_blockSize = kPositionalBlock;
    m_seenSerial = m_db->ChangeSerial(m_table);
    m_editMode = EditMode::None;
    m_written = false;
    m_open = true;
    GoTo(0);
}

void CRecordSet::Close()
{
    m_open = false;
    m_buffer.clear();
    m_appended.clear();
    m_currentRow.clear();
    m_hasCurrent = false;
    m_currentDeleted = false;
    m_position = -1;
    m_editMode = EditMode::None;
    m_db.reset();
}

QString CRecordSet::BaseWhere(std::vector<SqlValue> *params) const
{
    // The open-time part of the set: the filter, without the records that joined the table since.
    // Records this set added are left out by ID; only inserts by other sets need the ID bound,
    // which would keep SQLite from answering from an index alone.
    constexpr size_t kLargestExclusion = 200;
    QStringList parts;
    if (!m_where.sql.isEmpty()) {
        parts << QLatin1Char('(') + m_where.sql + QLatin1Char(')');
        params->insert(params->end(), m_where.params.begin(), m_where.params.end());
    }
    if (m_foreignInserts || m_appended.size() > kLargestExclusion) {
        parts << QStringLiteral("ID <= ?");
        params->push_back(m_maxId);
    } else if (!m_appended.empty()) {
        QStringList marks;
        for (qint64 id : m_appended) {
            marks << QStringLiteral("?");
            params->push_back(id);
        }
        parts << QStringLiteral("ID NOT IN (") + marks.join(QLatin1Char(',')) + QLatin1Char(')');
    }
    return parts.isEmpty() ? QStringLiteral("1") : parts.join(QStringLiteral(" AND "));
}

void CRecordSet::CheckForeignInserts()
{
    if (m_foreignInserts)
        return;
    SqlStatement newer = m_db->Prepare(QStringLiteral("SELECT count(*) FROM ") + Quoted(m_table)
                                       + QStringLiteral(" WHERE ID > ?"));
    newer.Bind(1, m_maxId);
    newer.Step();
    m_foreignInserts = newer.Int(0) > qint64(m_appended.size());
}

QString CRecordSet::OrderBy(bool descending) const
{
    const QString direction = descending ? QStringLiteral(" DESC") : QString();
    if (m_sortIndex <= 0)
        return QStringLiteral("ID") + direction;
    return Quoted(m_columns[size_t(m_sortIndex)].name) + direction + QStringLiteral(", ID") + direction;
}

void CRecordSet::SyncWithOtherWriters()
{
    const quint64 serial = m_db->ChangeSerial(m_table);
    if (serial != m_seenSerial) {
        m_buffer.clear();
        m_baseCount = -1;
        m_seenSerial = serial;
        // Records this set added may be gone: deleted elsewhere, or their insert rolled back.
        if (!m_appended.empty()) {
            SqlStatement exists = m_db->Prepare(QStringLiteral("SELECT 1 FROM ") + Quoted(m_table)
                                                + QStringLiteral(" WHERE ID = ?"));
            std::vector<qint64> alive;
            for (qint64 id : m_appended) {
                exists.Reset();
                exists.Bind(1, id);
                if (exists.Step())
                    alive.push_back(id);
            }
            m_appended = std::move(alive);
        }
        CheckForeignInserts();
    }
}

void CRecordSet::NoteOwnChange()
{
    m_written = true;
    m_db->NoteChange(m_table);
    m_seenSerial = m_db->ChangeSerial(m_table);
}

std::optional<double> CRecordSet::KeptTotal(const QString &column, const QString &condition)
{
    // Only a set that is exactly the table's records (under the condition) can use the kept figure.
    if (!m_appended.empty() || m_foreignInserts || !m_db->HasTable(QStringLiteral("Totals")))
        return std::nullopt;
    SqlStatement kept = m_db->Prepare(QStringLiteral("SELECT \"Value\" FROM \"Totals\" WHERE \"Name\" = ?"));
    kept.Bind(1, m_table + QLatin1Char('|') + column + QLatin1Char('|') + condition);
    if (!kept.Step())
        return std::nullopt;
    return kept.Double(0);
}

qint64 CRecordSet::BaseCount()
{
    SyncWithOtherWriters();
    if (m_baseCount < 0) {
        if (const auto kept = KeptTotal(QStringLiteral("count"), m_openFilter)) {
            m_baseCount = qint64(*kept);
            return m_baseCount;
        }
        std::vector<SqlValue> params;
        SqlStatement count = m_db->Prepare(QStringLiteral("SELECT count(*) FROM ") + Quoted(m_table)
                                           + QStringLiteral(" WHERE ") + BaseWhere(&params));
        count.BindAll(params);
        count.Step();
        m_baseCount = count.Int(0);
    }
    return m_baseCount;
}

void CRecordSet::ReadBlock(SqlStatement &statement, std::vector<SqlRow> *rows)
{
    const int columns = int(m_columns.size());
    while (statement.Step()) {
        SqlRow row;
        row.reserve(size_t(columns));
        for (int c = 0; c < columns; ++c)
            row.push_back(statement.Value(c));
        rows->push_back(std::move(row));
    }
}

bool CRecordSet::FetchBlockAt(qint64 position)
{
    const qint64 count = m_baseCount;
    if (count >= 0 && position >= count)
        return false;
    m_blockSize = kPositionalBlock;
    // Near the end of a large set, counting back from the end is far cheaper than skipping forward.
    const bool fromEnd = count >= 0 && position > count / 2;
    const qint64 offset = fromEnd ? std::max<qint64>(0, count - position - m_blockSize) : position;
    // A long skip goes through the IDs alone (an index walk) and then reads the block's rows by ID.
    constexpr qint64 kShortSkip = 2000;
    std::vector<SqlValue> params;
    const QString where = BaseWhere(&params);
    const QString order = QStringLiteral(" ORDER BY ") + OrderBy(fromEnd);
    const QString from = QStringLiteral(" FROM ") + Quoted(m_table) + QStringLiteral(" WHERE ");
    const QString sql = offset <= kShortSkip
        ? QStringLiteral("SELECT ") + m_selectList + from + where + order + QStringLiteral(" LIMIT ? OFFSET ?")
        : QStringLiteral("SELECT ") + m_selectList + QStringLiteral(" FROM ") + Quoted(m_table)
              + QStringLiteral(" WHERE ID IN (SELECT ID") + from + where + order + QStringLiteral(" LIMIT ? OFFSET ?)")
              + order;
    SqlStatement statement = m_db->Prepare(sql);
    statement.BindAll(params);
    statement.Bind(int(params.size()) + 1, qint64(m_blockSize));
    statement.Bind(int(params.size()) + 2, offset);
    std::vector<SqlRow> rows;
    ReadBlock(statement, &rows);
    if (fromEnd) {
        std::reverse(rows.begin(), rows.end());
        m_bufferStart = count - offset - qint64(rows.size());
    } else {
        if (rows.empty()) {
            if (position == 0)
                m_baseCount = 0;
            return false;
        }
        if (int(rows.size()) < m_blockSize)
            m_baseCount = position + qint64(rows.size());
        m_bufferStart = position;
    }
    m_buffer = std::move(rows);
    m_bufferSeekable = true;
    return position >= m_bufferStart && position < m_bufferStart + qint64(m_buffer.size());
}

bool CRecordSet::FetchAfterBuffer(bool walking)
{
    const qint64 next = m_bufferStart + qint64(m_buffer.size());
    if (m_baseCount >= 0 && next >= m_baseCount)
        return false;
    const SqlRow &last = m_buffer.back();
    std::vector<SqlValue> params;
    QString sql = QStringLiteral("SELECT ") + m_selectList + QStringLiteral(" FROM ") + Quoted(m_table)
                  + QStringLiteral(" WHERE ") + BaseWhere(&params);
    if (m_sortIndex > 0) {
        sql += QStringLiteral(" AND (") + Quoted(m_columns[size_t(m_sortIndex)].name) + QStringLiteral(", ID) > (?, ?)");
        params.push_back(last[size_t(m_sortIndex)]);
    } else {
        sql += QStringLiteral(" AND ID > ?");
    }
    params.push_back(last[0]);
    sql += QStringLiteral(" ORDER BY ") + OrderBy(false) + QStringLiteral(" LIMIT ?");
    // A cursor walking forward record by record reads ever larger blocks.
    m_blockSize = walking ? std::min(m_blockSize * 2, kLargestBlock) : kPositionalBlock;
    params.push_back(qint64(m_blockSize));
    SqlStatement statement = m_db->Prepare(sql);
    statement.BindAll(params);
    std::vector<SqlRow> rows;
    ReadBlock(statement, &rows);
    if (int(rows.size()) < m_blockSize)
        m_baseCount = next + qint64(rows.size());
    if (rows.empty())
        return false;
    m_buffer = std::move(rows);
    m_bufferStart = next;
    return true;
}

bool CRecordSet::LoadAppended(size_t index)
{
    SqlStatement statement = m_db->Prepare(QStringLiteral("SELECT ") + m_selectList + QStringLiteral(" FROM ")
                                           + Quoted(m_table) + QStringLiteral(" WHERE ID = ?"));
    statement.Bind(1, m_appended[index]);
    std::vector<SqlRow> rows;
    ReadBlock(statement, &rows);
    if (rows.empty())
        return false;
    LoadCurrent(rows.front());
    return true;
}

void CRecordSet::LoadCurrent(const SqlRow &row)
{
    m_currentRow = row;
    SqlRow copy = row;
    FieldExchange fx(FieldExchange::Mode::Load, nullptr, &copy);
    DoFieldExchange(fx);
    m_hasCurrent = true;
    m_currentDeleted = false;
}

void CRecordSet::SetNoCurrent(qint64 position)
{
    m_position = position;
    m_hasCurrent = false;
    m_currentDeleted = false;
    m_currentRow.clear();
}

bool CRecordSet::EnsureBuffered(qint64 position, bool walking)
{
    auto inBuffer = [&] { return position >= m_bufferStart && position < m_bufferStart + qint64(m_buffer.size()); };
    if (!inBuffer() && (m_baseCount < 0 || position < m_baseCount)) {
        if (!m_buffer.empty() && m_bufferSeekable && position == m_bufferStart + qint64(m_buffer.size()))
            FetchAfterBuffer(walking);
        else
            FetchBlockAt(position);
    }
    return inBuffer();
}

void CRecordSet::GoTo(qint64 position, bool walking)
{
    RequireOpen();
    SyncWithOtherWriters();
    if (position < 0) {
        SetNoCurrent(-1);
        return;
    }
    if (EnsureBuffered(position, walking)) {
        m_position = position;
        LoadCurrent(m_buffer[size_t(position - m_bufferStart)]);
        return;
    }
    // Past the records of the open-time part: the records this set added, in the order added.
    qint64 index = position - BaseCount();
    while (index >= 0 && index < qint64(m_appended.size())) {
        if (LoadAppended(size_t(index))) {
            m_position = position;
            return;
        }
        m_appended.erase(m_appended.begin() + index);  // gone: its insert was rolled back
    }
    SetNoCurrent(std::max<qint64>(position, 0));
}

std::vector<qint64> CRecordSet::IdsAt(qint64 first, qint64 count)
{
    RequireOpen();
    SyncWithOtherWriters();
    std::vector<qint64> ids;
    for (qint64 position = std::max<qint64>(first, 0); position < first + count; ++position) {
        if (EnsureBuffered(position)) {
            ids.push_back(AsInt(m_buffer[size_t(position - m_bufferStart)].at(0)));
            continue;
        }
        const qint64 index = position - BaseCount();
        if (index < 0 || index >= qint64(m_appended.size()))
            break;
        ids.push_back(m_appended[size_t(index)]);
    }
    return ids;
}

qint64 CRecordSet::ResolvePosition()
{
    if (m_position != kUnknownPosition)
        return m_position;
    const qint64 id = AsInt(m_currentRow.at(0));
    const auto appended = std::find(m_appended.begin(), m_appended.end(), id);
    if (appended != m_appended.end()) {
        m_position = BaseCount() + (appended - m_appended.begin());
        return m_position;
    }
    std::vector<SqlValue> params;
    QString sql = QStringLiteral("SELECT count(*) FROM ") + Quoted(m_table) + QStringLiteral(" WHERE ") + BaseWhere(&params);
    if (m_sortIndex > 0) {
        sql += QStringLiteral(" AND (") + Quoted(m_columns[size_t(m_sortIndex)].name) + QStringLiteral(", ID) < (?, ?)");
        params.push_back(m_currentRow.at(size_t(m_sortIndex)));
    } else {
        sql += QStringLiteral(" AND ID < ?");
    }
    params.push_back(id);
    SqlStatement statement = m_db->Prepare(sql);
    statement.BindAll(params);
    statement.Step();
    m_position = statement.Int(0);
    return m_position;
}

long CRecordSet::GetRecordCount()
{
    RequireOpen();
    return long(BaseCount() + qint64(m_appended.size()));
}

void CRecordSet::MoveFirst()
{
    GoTo(0);
}

void CRecordSet::MoveNext()
{
    RequireOpen();
    if (m_currentDeleted)
        GoTo(m_position == kUnknownPosition ? GetRecordCount() : m_position);
    else if (m_hasCurrent)
        GoTo(ResolvePosition() + 1, true);
    else if (m_position < 0)
        GoTo(0);
    else
        GoTo(GetRecordCount());
}

void CRecordSet::MovePrev()
{
    RequireOpen();
    if (m_currentDeleted || !m_hasCurrent)
        GoTo(std::min<qint64>(m_position == kUnknownPosition ? 0 : m_position, GetRecordCount()) - 1);
    else
        GoTo(ResolvePosition() - 1);
}

void CRecordSet::MoveLast()
{
    RequireOpen();
    GoTo(qint64(GetRecordCount()) - 1);
}

void CRecordSet::Move(long rows)
{
    RequireOpen();
    const qint64 from = m_hasCurrent ? ResolvePosition() : std::max<qint64>(m_position, -1);
    GoTo(std::clamp<qint64>(from + rows, -1, GetRecordCount()));
}

bool CRecordSet::IsEOF()
{
    RequireOpen();
    return !m_hasCurrent && !m_currentDeleted && (m_position >= 0 || GetRecordCount() == 0);
}

bool CRecordSet::IsBOF()
{
    RequireOpen();
    return !m_hasCurrent && !m_currentDeleted && (m_position < 0 || GetRecordCount() == 0);
}

bool CRecordSet::FindFirst(const QString &criterion)
{
    RequireOpen();
    SyncWithOtherWriters();
    const ColumnLookup lookup = [this](const QString &name) { return LookupColumn(name); };
    const SqlCondition condition = ParseFilter(criterion, lookup);
    const QString extra = condition.sql.isEmpty() ? QString() : QStringLiteral(" AND (") + condition.sql + QLatin1Char(')');

    std::vector<SqlValue> params;
    SqlStatement statement = m_db->Prepare(QStringLiteral("SELECT ") + m_selectList + QStringLiteral(" FROM ")
                                           + Quoted(m_table) + QStringLiteral(" WHERE ") + BaseWhere(&params) + extra
                                           + QStringLiteral(" ORDER BY ") + OrderBy(false) + QStringLiteral(" LIMIT 1"));
    params.insert(params.end(), condition.params.begin(), condition.params.end());
    statement.BindAll(params);
    std::vector<SqlRow> rows;
    ReadBlock(statement, &rows);
    if (!rows.empty()) {
        LoadCurrent(rows.front());
        m_position = kUnknownPosition;
        return true;
    }
    for (size_t i = 0; i < m_appended.size(); ++i) {
        SqlStatement appended = m_db->Prepare(QStringLiteral("SELECT ") + m_selectList + QStringLiteral(" FROM ")
                                              + Quoted(m_table) + QStringLiteral(" WHERE ID = ?") + extra);
        appended.Bind(1, m_appended[i]);
        appended.BindAll(condition.params, 2);
        ReadBlock(appended, &rows);
        if (!rows.empty()) {
            LoadCurrent(rows.front());
            m_position = BaseCount() + qint64(i);
            return true;
        }
    }
    return false;
}

SqlRow CRecordSet::StoreFields()
{
    SqlRow row;
    FieldExchange fx(FieldExchange::Mode::Store, nullptr, &row);
    DoFieldExchange(fx);
    return row;
}

void CRecordSet::AddNew()
{
    RequireOpen();
    FieldExchange fx(FieldExchange::Mode::Clear, nullptr, nullptr);
    DoFieldExchange(fx);
    m_editMode = EditMode::Adding;
}

void CRecordSet::Edit()
{
    RequireOpen();
    if (!m_hasCurrent)
        throw DbError(QStringLiteral("没有当前记录"));
    m_editMode = EditMode::Editing;
}

void CRecordSet::Update()
{
    RequireOpen();
    SyncWithOtherWriters();
    SqlRow row = StoreFields();
    QStringList names;
    for (size_t i = 1; i < m_columns.size(); ++i)
        names.append(Quoted(m_columns[i].name));
    const SqlRow values(row.begin() + 1, row.end());

    if (m_editMode == EditMode::Adding) {
        QStringList marks;
        for (int i = 0; i < names.size(); ++i)
            marks.append(QStringLiteral("?"));
        SqlStatement insert = m_db->Prepare(QStringLiteral("INSERT INTO ") + Quoted(m_table) + QStringLiteral(" (")
                                            + names.join(QLatin1Char(',')) + QStringLiteral(") VALUES (")
                                            + marks.join(QLatin1Char(',')) + QLatin1Char(')'));
        insert.BindAll(values);
        insert.Run();
        m_appended.push_back(m_db->LastInsertId());
        m_editMode = EditMode::None;
        NoteOwnChange();
        // As after an insert into a dynaset, the record current before AddNew is current again.
        if (m_hasCurrent) {
            LoadCurrent(m_currentRow);
        } else {
            FieldExchange fx(FieldExchange::Mode::Clear, nullptr, nullptr);
            DoFieldExchange(fx);
        }
        return;
    }
    if (m_editMode != EditMode::Editing)
        throw DbError(QStringLiteral("没有调用 AddNew 或 Edit"));

    const qint64 id = AsInt(m_currentRow.at(0));
    SqlStatement update = m_db->Prepare(QStringLiteral("UPDATE ") + Quoted(m_table) + QStringLiteral(" SET ")
                                        + names.join(QStringLiteral("=?,")) + QStringLiteral("=? WHERE ID = ?"));
    update.BindAll(values);
    update.Bind(int(values.size()) + 1, id);
    update.Run();
    m_editMode = EditMode::None;
    NoteOwnChange();

    row[0] = id;
    const bool sortKeyChanged = m_sortIndex > 0 && m_currentRow.at(size_t(m_sortIndex)) != row.at(size_t(m_sortIndex));
    if (sortKeyChanged || !m_where.sql.isEmpty()) {
        // The record may now stand elsewhere in the order, or outside the filter.
        m_buffer.clear();
        m_baseCount = -1;
        if (sortKeyChanged && m_position != kUnknownPosition && id <= m_maxId)
            m_position = kUnknownPosition;
    } else {
        for (SqlRow &buffered : m_buffer) {
            if (AsInt(buffered.at(0)) == id)
                buffered = row;
        }
    }
    m_currentRow = row;
}

void CRecordSet::Delete()
{
    RequireOpen();
    SyncWithOtherWriters();
    if (!m_hasCurrent)
        throw DbError(QStringLiteral("没有当前记录"));
    const qint64 id = AsInt(m_currentRow.at(0));
    SqlStatement remove = m_db->Prepare(QStringLiteral("DELETE FROM ") + Quoted(m_table) + QStringLiteral(" WHERE ID = ?"));
    remove.Bind(1, id);
    remove.Run();
    NoteOwnChange();

    const auto appended = std::find(m_appended.begin(), m_appended.end(), id);
    if (appended != m_appended.end()) {
        m_appended.erase(appended);
    } else {
        if (m_baseCount > 0)
            --m_baseCount;
        const auto buffered = std::find_if(m_buffer.begin(), m_buffer.end(),
                                           [id](const SqlRow &row) { return AsInt(row.at(0)) == id; });
        if (buffered != m_buffer.end()) {
            if (m_position == kUnknownPosition)
                m_position = m_bufferStart + (buffered - m_buffer.begin());
            m_buffer.erase(buffered);  // the records after it move up one place, as in the set
        } else {
            m_buffer.clear();
        }
    }
    m_hasCurrent = false;
    m_currentDeleted = true;
}

double CRecordSet::Sum(const QString &column, const QString &extraCondition)
{
    RequireOpen();
    const auto canonical = LookupColumn(column);
    if (!canonical)
        throw DbError(QStringLiteral("无法识别的列：%1").arg(column));
    const ColumnLookup lookup = [this](const QString &name) { return LookupColumn(name); };
    const SqlCondition condition = ParseFilter(extraCondition, lookup);
    const QString extra = condition.sql.isEmpty() ? QString() : QStringLiteral(" AND (") + condition.sql + QLatin1Char(')');
    if (m_openFilter.isEmpty() || extraCondition.trimmed().isEmpty()) {
        const QString keptCondition = m_openFilter.isEmpty() ? extraCondition.trimmed() : m_openFilter;
        if (const auto kept = KeptTotal(canonical->first, keptCondition))
            return *kept;
    }

    std::vector<SqlValue> params;
    SqlStatement statement = m_db->Prepare(QStringLiteral("SELECT total(") + Quoted(canonical->first)
                                           + QStringLiteral(") FROM ") + Quoted(m_table) + QStringLiteral(" WHERE ")
                                           + BaseWhere(&params) + extra);
    params.insert(params.end(), condition.params.begin(), condition.params.end());
    statement.BindAll(params);
    statement.Step();
    double sum = statement.Double(0);
    for (qint64 id : m_appended) {
        SqlStatement appended = m_db->Prepare(QStringLiteral("SELECT total(") + Quoted(canonical->first)
                                              + QStringLiteral(") FROM ") + Quoted(m_table)
                                              + QStringLiteral(" WHERE ID = ?") + extra);
        appended.Bind(1, id);
        appended.BindAll(condition.params, 2);
        appended.Step();
        sum += appended.Double(0);
    }
    return sum;
}

std::vector<qint64> CRecordSet::MatchingPositions(const QString &condition)
{
    RequireOpen();
    SyncWithOtherWriters();
    const ColumnLookup lookup = [this](const QString &name) { return LookupColumn(name); };
    const SqlCondition match = ParseFilter(condition, lookup);
    const QString matchSql = match.sql.isEmpty() ? QStringLiteral("1") : match.sql;

    // One walk through the set in its order, counting positions: with the sort index carrying the
    // searched columns, SQLite answers from the index alone.
    std::vector<SqlValue> params(match.params.begin(), match.params.end());
    SqlStatement statement = m_db->Prepare(QStringLiteral("SELECT (") + matchSql + QStringLiteral(") FROM ")
                                           + Quoted(m_table) + QStringLiteral(" WHERE ") + BaseWhere(&params)
                                           + QStringLiteral(" ORDER BY ") + OrderBy(false));
    statement.BindAll(params);
    std::vector<qint64> positions;
    qint64 position = 0;
    for (; statement.Step(); ++position) {
        if (statement.Int(0) != 0)
            positions.push_back(position);
    }
    m_baseCount = position;
    for (size_t i = 0; i < m_appended.size(); ++i) {
        SqlStatement appended = m_db->Prepare(QStringLiteral("SELECT 1 FROM ") + Quoted(m_table)
                                              + QStringLiteral(" WHERE ID = ? AND (") + matchSql + QLatin1Char(')'));
        appended.Bind(1, m_appended[i]);
        appended.BindAll(match.params, 2);
        if (appended.Step())
            positions.push_back(position + qint64(i));
    }
    return positions;
}

std::vector<qint64> CRecordSet::AllIds()
{
    RequireOpen();
    SyncWithOtherWriters();
    std::vector<SqlValue> params;
    SqlStatement statement = m_db->Prepare(QStringLiteral("SELECT ID FROM ") + Quoted(m_table) + QStringLiteral(" WHERE ")
                                           + BaseWhere(&params) + QStringLiteral(" ORDER BY ") + OrderBy(false));
    statement.BindAll(params);
    std::vector<qint64> ids;
    while (statement.Step())
        ids.push_back(statement.Int(0));
    m_baseCount = qint64(ids.size());
    ids.insert(ids.end(), m_appended.begin(), m_appended.end());
    return ids;
}

void CRecordSet::ForEachById(const std::vector<qint64> &ids, const std::function<void(qint64 id)> &visit)
{
    RequireOpen();
    if (m_editMode != EditMode::None)
        throw DbError(QStringLiteral("记录正在编辑"));
    // Rows already read for the cursor are not read again.
    QHash<qint64, size_t> buffered;
    for (size_t r = 0; r < m_buffer.size(); ++r)
        buffered.insert(AsInt(m_buffer[r].at(0)), r);
    std::vector<qint64> unread;
    for (qint64 id : ids) {
        if (!buffered.contains(id))
            unread.push_back(id);
    }
    std::vector<SqlRow> rows;
    constexpr size_t kChunk = 500;  // well below SQLite's limit of bound values
    for (size_t first = 0; first < unread.size(); first += kChunk) {
        const size_t count = std::min(kChunk, unread.size() - first);
        QStringList marks;
        for (size_t i = 0; i < count; ++i)
            marks.append(QStringLiteral("?"));
        SqlStatement statement = m_db->Prepare(QStringLiteral("SELECT ") + m_selectList + QStringLiteral(" FROM ")
                                               + Quoted(m_table) + QStringLiteral(" WHERE ID IN (")
                                               + marks.join(QLatin1Char(',')) + QLatin1Char(')'));
        for (size_t i = 0; i < count; ++i)
            statement.Bind(int(i) + 1, unread[first + i]);
        ReadBlock(statement, &rows);
    }
    QHash<qint64, size_t> read;
    for (size_t r = 0; r < rows.size(); ++r)
        read.insert(AsInt(rows[r].at(0)), r);
    // Visited in the order of the IDs given, which is the order the caller lists them in.
    for (qint64 id : ids) {
        SqlRow row;
        if (const auto inBuffer = buffered.constFind(id); inBuffer != buffered.constEnd())
            row = m_buffer[inBuffer.value()];
        else if (const auto inRead = read.constFind(id); inRead != read.constEnd())
            row = rows[inRead.value()];
        else
            continue;
        FieldExchange fx(FieldExchange::Mode::Load, nullptr, &row);
        DoFieldExchange(fx);
        visit(id);
    }
    if (m_hasCurrent) {
        SqlRow current = m_currentRow;
        FieldExchange fx(FieldExchange::Mode::Load, nullptr, &current);
        DoFieldExchange(fx);
    } else {
        FieldExchange fx(FieldExchange::Mode::Clear, nullptr, nullptr);
        DoFieldExchange(fx);
    }
}

qint64 CRecordSet::CurrentId() const
{
    return m_hasCurrent && !m_currentRow.empty() ? AsInt(m_currentRow.at(0)) : 0;
}
