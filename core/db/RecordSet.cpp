// Dynaset semantics over SQLite: a keyed cursor, read ahead in blocks as it walks.
#include "RecordSet.h"

#include "common/LedgerDate.h"
#include "common/Paths.h"
#include "db/DbError.h"
#include "db/Ledger.h"
#include "db/KeptFigures.h"

#include <QHash>
#include <algorithm>

namespace {

constexpr int kFirstBlock = 100;
constexpr int kLargestBlock = 2000;
constexpr qint64 kShortWalk = 500;   // a walk this short costs less than reading the month counts

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

QDateTime DateOfValue(const SqlValue &value)
{
    return DateFromDb(AsText(value));
}

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
    case Mode::Load: value = DateOfValue(Next()); break;
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
}

std::optional<std::pair<QString, FieldType>> CRecordSet::LookupColumn(const QString &name) const
{
    for (const ColumnInfo &column : m_columns) {
        if (column.name.compare(name, Qt::CaseInsensitive) == 0)
            return std::make_pair(column.name, column.type);
    }
    return std::nullopt;
}

SqlCondition CRecordSet::Parse(const QString &condition) const
{
    const ColumnLookup lookup = [this](const QString &name) { return LookupColumn(name); };
    return ParseFilter(condition, lookup);
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
    SqlCondition where = Parse(m_strFilter);
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
    std::shared_ptr<SqlConnection> db = OpenLedgerDatabase();
    const qint64 highest = KeysetQuery::HighestId(*db, m_table);

    m_db = std::move(db);
    m_query = KeysetQuery(m_table, m_columns, where, m_strFilter.trimmed(), sortIndex, highest);
    m_positions.Start(MonthPositions::For(m_table, sortIndex > 0 ? m_columns[size_t(sortIndex)].name : QString(), where));
    m_added.clear();
    m_addedEver.clear();
    m_seenSerial = m_db->ChangeSerial(m_table);
    m_editMode = EditMode::None;
    m_ahead.clear();
    m_open = true;
    try {
        MoveFirst();
    } catch (...) {
        Close();
        throw;
    }
}

void CRecordSet::Close()
{
    m_open = false;
    m_added.clear();
    m_addedEver.clear();
    m_ahead.clear();
    m_row.clear();
    m_at = At::BeforeFirst;
    m_deleted = false;
    m_position = -1;
    m_editMode = EditMode::None;
    m_positions.Stop();
    m_db.reset();
}

void CRecordSet::Sync()
{
    const quint64 serial = m_db->ChangeSerial(m_table);
    if (serial == m_seenSerial)
        return;
    m_seenSerial = serial;
    m_ahead.clear();
    m_positions.TableChanged();
    if (m_at != At::AfterLast && m_at != At::BeforeFirst)
        m_position = kUnknown;
    m_query.SetNewer(KeysetQuery::HighestId(*m_db, m_table) > m_query.MaxId());
    // Records this set added may be gone (deleted elsewhere, or their insert rolled back) or back
    // (their delete rolled back).
    if (!m_addedEver.empty()) {
        SqlStatement exists = m_db->Prepare(QStringLiteral("SELECT 1 FROM ") + KeysetQuery::Quoted(m_table)
                                            + QStringLiteral(" WHERE ID = ?"));
        std::vector<qint64> alive;
        for (qint64 id : m_addedEver) {
            exists.Reset();
            exists.Bind(1, id);
            if (exists.Step())
                alive.push_back(id);
        }
        m_added = std::move(alive);
    }
    SyncCurrent();
}

void CRecordSet::SyncCurrent()
{
    if ((m_at != At::Base && m_at != At::Added) || m_row.empty())
        return;
    const qint64 id = AsInt(m_row.at(0));
    const std::optional<SqlRow> row = m_query.ReadById(*m_db, id);
    m_deleted = !row;
    if (row) {
        m_row = *row;
        if (m_editMode == EditMode::None)
            LoadFields(m_row);  // an edit in progress keeps the values being written
    }
    if (m_at != At::Added)
        return;
    // Its index among the additions; a gone one's place is taken by the next addition still there.
    m_addedIndex = 0;
    for (qint64 added : m_addedEver) {
        if (added == id)
            break;
        if (std::find(m_added.begin(), m_added.end(), added) != m_added.end())
            ++m_addedIndex;
    }
}

void CRecordSet::NoteOwnChange()
{
    m_db->NoteChange(m_table);
    m_seenSerial = m_db->ChangeSerial(m_table);
    m_positions.OwnChange();
}

qint64 CRecordSet::BaseCount()
{
    Sync();
    return m_positions.Count(*m_db, m_query);
}

void CRecordSet::LoadFields(const SqlRow &row)
{
    SqlRow copy = row;
    FieldExchange fx(FieldExchange::Mode::Load, nullptr, &copy);
    DoFieldExchange(fx);
}

void CRecordSet::ClearFields()
{
    FieldExchange fx(FieldExchange::Mode::Clear, nullptr, nullptr);
    DoFieldExchange(fx);
}

void CRecordSet::SetCurrent(At at, const SqlRow &row, qint64 position)
{
    m_at = at;
    m_row = row;
    m_position = position;
    m_deleted = false;
    LoadFields(row);
}

void CRecordSet::SetOutside(At at)
{
    m_at = at;
    m_row.clear();
    m_deleted = false;
    m_position = at == At::BeforeFirst ? -1 : kUnknown;
    m_ahead.clear();
}

void CRecordSet::MoveFirst()
{
    RequireOpen();
    Sync();
    m_ahead.clear();
    m_blockSize = kFirstBlock;
    std::vector<SqlRow> rows = m_query.ReadBase(*m_db, QString(), {}, false, 1);
    if (!rows.empty()) {
        SetCurrent(At::Base, rows.front(), 0);
        return;
    }
    GoToAdded(0, true);
}

void CRecordSet::GoToAdded(size_t index, bool forward)
{
    // Records this set added, skipping any that are gone; past either end, the set's end or its base part.
    while (index < m_added.size()) {
        if (const auto row = m_query.ReadById(*m_db, m_added[index])) {
            m_ahead.clear();
            SetCurrent(At::Added, *row, kUnknown);
            m_addedIndex = index;
            return;
        }
        m_added.erase(m_added.begin() + qint64(index));
        if (!forward) {
            if (index == 0)
                break;
            --index;
        }
    }
    if (forward)
        SetOutside(At::AfterLast);
    else
        GoToLastOfBase();
}

void CRecordSet::GoToLastOfBase()
{
    m_ahead.clear();
    std::vector<SqlRow> rows = m_query.ReadBase(*m_db, QString(), {}, true, 1);
    if (rows.empty())
        SetOutside(At::BeforeFirst);
    else
        SetCurrent(At::Base, rows.front(), kUnknown);
}

void CRecordSet::MoveNext()
{
    RequireOpen();
    Sync();
    switch (m_at) {
    case At::BeforeFirst:
        MoveFirst();
        return;
    case At::AfterLast:
        return;
    case At::Added:
        GoToAdded(m_deleted ? m_addedIndex : m_addedIndex + 1, true);
        return;
    case At::Base:
        break;
    }
    if (m_ahead.empty()) {
        // A cursor walking forward reads ever larger blocks.
        std::vector<SqlValue> params;
        const QString after = m_query.KeyTest(m_row, true, &params);
        for (SqlRow &row : m_query.ReadBase(*m_db, after, params, false, m_blockSize))
            m_ahead.push_back(std::move(row));
        m_blockSize = std::min(m_blockSize * 2, kLargestBlock);
    }
    if (m_ahead.empty()) {
        GoToAdded(0, true);
        return;
    }
    const qint64 position = m_position >= 0 ? (m_deleted ? m_position : m_position + 1) : kUnknown;
    SqlRow next = std::move(m_ahead.front());
    m_ahead.pop_front();
    SetCurrent(At::Base, next, position);
}

void CRecordSet::MovePrev()
{
    RequireOpen();
    Sync();
    switch (m_at) {
    case At::BeforeFirst:
        return;
    case At::AfterLast:
        MoveLast();
        return;
    case At::Added:
        if (m_addedIndex > 0)
            GoToAdded(std::min(m_addedIndex, m_added.size()) - 1, false);
        else
            GoToLastOfBase();
        return;
    case At::Base:
        break;
    }
    std::vector<SqlValue> params;
    const QString before = m_query.KeyTest(m_row, false, &params);
    std::vector<SqlRow> rows = m_query.ReadBase(*m_db, before, params, true, 1);
    m_ahead.clear();
    if (rows.empty()) {
        SetOutside(At::BeforeFirst);
        return;
    }
    SetCurrent(At::Base, rows.front(), m_position > 0 ? m_position - 1 : kUnknown);
}

void CRecordSet::MoveLast()
{
    RequireOpen();
    Sync();
    if (!m_added.empty()) {
        GoToAdded(m_added.size() - 1, false);
        return;
    }
    GoToLastOfBase();
    if (m_at == At::BeforeFirst)
        SetOutside(At::AfterLast);  // an empty set: before its first and after its last at once
}

void CRecordSet::GoTo(qint64 position)
{
    const qint64 count = GetRecordCount();
    if (position < 0) {
        SetOutside(At::BeforeFirst);
        return;
    }
    if (position >= count) {
        SetOutside(At::AfterLast);
        return;
    }
    const qint64 base = BaseCount();
    if (position >= base) {
        GoToAdded(size_t(position - base), true);
        return;
    }
    m_ahead.clear();
    m_blockSize = kFirstBlock;
    // Near the end of a large set, counting back from the end is far cheaper than skipping forward.
    if (position > base / 2) {
        std::vector<SqlRow> rows = m_query.ReadBase(*m_db, QString(), {}, true, 1, base - 1 - position);
        if (!rows.empty()) {
            SetCurrent(At::Base, rows.front(), position);
            return;
        }
    } else {
        std::vector<SqlRow> rows = m_query.ReadBase(*m_db, QString(), {}, false, kFirstBlock, position);
        if (!rows.empty()) {
            SetCurrent(At::Base, rows.front(), position);
            for (size_t i = 1; i < rows.size(); ++i)
                m_ahead.push_back(std::move(rows[i]));
            return;
        }
    }
    SetOutside(At::AfterLast);
}

qint64 CRecordSet::ResolvePosition()
{
    Sync();
    switch (m_at) {
    case At::BeforeFirst: return -1;
    case At::AfterLast: return GetRecordCount();
    case At::Added: return BaseCount() + qint64(m_addedIndex);
    case At::Base: break;
    }
    if (m_position >= 0)
        return m_position;
    // The records before the current key (a deleted current's place is taken by the one after it).
    m_position = m_query.CountBefore(*m_db, m_row);
    return m_position;
}

long CRecordSet::GetRecordCount()
{
    RequireOpen();
    Sync();
    return long(BaseCount() + qint64(m_added.size()));
}

void CRecordSet::Move(long rows)
{
    RequireOpen();
    qint64 from = ResolvePosition();
    // A deleted current record's position is the next record's: its own place lies just before it.
    if (OnDeletedRecord() && rows > 0)
        --from;
    GoTo(std::clamp<qint64>(from + rows, -1, GetRecordCount()));
}

bool CRecordSet::IsEOF()
{
    RequireOpen();
    Sync();
    return m_at == At::AfterLast || (m_at == At::BeforeFirst && GetRecordCount() == 0);
}

bool CRecordSet::IsBOF()
{
    RequireOpen();
    return m_at == At::BeforeFirst || (m_at == At::AfterLast && GetRecordCount() == 0);
}

bool CRecordSet::FindFirst(const QString &criterion)
{
    RequireOpen();
    Sync();
    const SqlCondition condition = Parse(criterion);
    std::vector<SqlRow> rows = m_query.ReadBase(*m_db, condition.sql, condition.params, false, 1);
    if (!rows.empty()) {
        m_ahead.clear();
        SetCurrent(At::Base, rows.front(), kUnknown);
        return true;
    }
    for (size_t i = 0; i < m_added.size(); ++i) {
        if (const auto row = m_query.ReadById(*m_db, m_added[i], condition)) {
            m_ahead.clear();
            SetCurrent(At::Added, *row, kUnknown);
            m_addedIndex = i;
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
    ClearFields();
    m_editMode = EditMode::Adding;
}

void CRecordSet::Edit()
{
    RequireOpen();
    Sync();
    if (!HasCurrent())
        throw DbError(QStringLiteral("没有当前记录"));
    m_editMode = EditMode::Editing;
}

void CRecordSet::Update()
{
    RequireOpen();
    Sync();
    SqlRow row = StoreFields();
    const SqlRow values(row.begin() + 1, row.end());

    if (m_editMode == EditMode::Adding) {
        SqlStatement insert = m_db->Prepare(InsertSql());
        insert.BindAll(values);
        insert.Run();
        m_editMode = EditMode::None;
        m_lastAddedId = m_db->LastInsertId();
        // An ID whose insert was rolled back can be given again.
        m_addedEver.erase(std::remove(m_addedEver.begin(), m_addedEver.end(), m_lastAddedId), m_addedEver.end());
        m_added.erase(std::remove(m_added.begin(), m_added.end(), m_lastAddedId), m_added.end());
        m_added.push_back(m_lastAddedId);
        m_addedEver.push_back(m_lastAddedId);
        ++m_additionsMade;
        m_query.SetNewer(true);
        NoteOwnChange();
        // As after an insert into a dynaset, the record current before AddNew is current again.
        if (HasCurrent())
            LoadFields(m_row);
        else
            ClearFields();
        return;
    }
    if (m_editMode != EditMode::Editing || !HasCurrent())
        throw DbError(QStringLiteral("没有调用 AddNew 或 Edit"));

    const qint64 id = AsInt(m_row.at(0));
    SqlStatement update = m_db->Prepare(QStringLiteral("UPDATE ") + KeysetQuery::Quoted(m_table) + QStringLiteral(" SET ")
                                        + ColumnNames().join(QStringLiteral("=?,")) + QStringLiteral("=? WHERE ID = ?"));
    update.BindAll(values);
    update.Bind(int(values.size()) + 1, id);
    update.Run();
    m_editMode = EditMode::None;
    NoteOwnChange();

    row[0] = id;
    const int sortIndex = m_query.SortIndex();
    const bool keyChanged = sortIndex > 0 && m_row.at(size_t(sortIndex)) != row.at(size_t(sortIndex));
    m_row = row;
    m_ahead.clear();  // read after the old key
    if (keyChanged && m_at == At::Base)
        m_position = kUnknown;
    if (!m_query.Where().sql.isEmpty())
        m_positions.ForgetCount();  // the record may have left the filter
}

void CRecordSet::ForgetAdditionsSince(quint64 made)
{
    // The latest additions stand last among every ID the set added.
    for (quint64 n = made; n < m_additionsMade && !m_addedEver.empty(); ++n) {
        const qint64 id = m_addedEver.back();
        m_addedEver.pop_back();
        m_added.erase(std::remove(m_added.begin(), m_added.end(), id), m_added.end());
    }
    m_additionsMade = made;
}

QStringList CRecordSet::ColumnNames() const
{
    QStringList names;
    for (size_t i = 1; i < m_columns.size(); ++i)
        names.append(KeysetQuery::Quoted(m_columns[i].name));
    return names;
}

QString CRecordSet::InsertSql() const
{
    const QStringList names = ColumnNames();
    QStringList marks;
    for (int i = 0; i < names.size(); ++i)
        marks.append(QStringLiteral("?"));
    return QStringLiteral("INSERT INTO ") + KeysetQuery::Quoted(m_table) + QStringLiteral(" (") + names.join(QLatin1Char(','))
           + QStringLiteral(") VALUES (") + marks.join(QLatin1Char(',')) + QLatin1Char(')');
}

void CRecordSet::InsertRecords(qsizetype count, const std::function<void(qsizetype)> &fill)
{
    RequireOpen();
    Sync();
    SqlStatement insert = m_db->Prepare(InsertSql());
    const auto restoreFields = [this] {
        if (HasCurrent())
            LoadFields(m_row);
        else
            ClearFields();
    };
    try {
        for (qsizetype i = 0; i < count; ++i) {
            ClearFields();
            fill(i);
            const SqlRow row = StoreFields();
            insert.Reset();
            insert.BindAll(SqlRow(row.begin() + 1, row.end()));
            insert.Run();
        }
    } catch (...) {
        m_db->NoteChange(m_table);
        restoreFields();
        throw;
    }
    // Every set of the table, this one too, reads the table again before it moves.
    m_db->NoteChange(m_table);
    restoreFields();
}

void CRecordSet::CancelUpdate()
{
    m_editMode = EditMode::None;
    if (HasCurrent())
        LoadFields(m_row);
    else
        ClearFields();
}

void CRecordSet::Delete()
{
    RequireOpen();
    Sync();
    if (!HasCurrent())
        throw DbError(QStringLiteral("没有当前记录"));
    const qint64 id = AsInt(m_row.at(0));
    SqlStatement remove = m_db->Prepare(QStringLiteral("DELETE FROM ") + KeysetQuery::Quoted(m_table) + QStringLiteral(" WHERE ID = ?"));
    remove.Bind(1, id);
    remove.Run();
    NoteOwnChange();
    if (m_at == At::Added)
        m_added.erase(m_added.begin() + qint64(m_addedIndex));  // the next one takes its index
    else
        m_positions.OneFewer();
    m_deleted = true;
}

std::vector<qint64> CRecordSet::DeleteMatching(const QString &condition)
{
    RequireOpen();
    Sync();
    const SqlCondition match = Parse(condition);
    const QString where = match.sql.isEmpty() ? QStringLiteral("1") : match.sql;
    SqlStatement select = m_db->Prepare(QStringLiteral("SELECT ID FROM ") + KeysetQuery::Quoted(m_table) + QStringLiteral(" WHERE ") + where);
    select.BindAll(match.params);
    std::vector<qint64> ids;
    while (select.Step())
        ids.push_back(select.Int(0));
    select = SqlStatement();
    if (ids.empty())
        return ids;
    SqlStatement remove = m_db->Prepare(QStringLiteral("DELETE FROM ") + KeysetQuery::Quoted(m_table) + QStringLiteral(" WHERE ") + where);
    remove.BindAll(match.params);
    remove.Run();
    // Read again what the set knows: its count, its additions and whether its current record went.
    m_db->NoteChange(m_table);
    const qint64 current = HasCurrent() ? AsInt(m_row.at(0)) : 0;
    Sync();
    if (current && std::find(ids.begin(), ids.end(), current) != ids.end())
        m_deleted = true;
    return ids;
}

qint64 CRecordSet::SumCents(const QString &column, const QString &extraCondition)
{
    RequireOpen();
    Sync();
    const auto canonical = LookupColumn(column);
    if (!canonical)
        throw DbError(QStringLiteral("无法识别的列：%1").arg(column));
    const QString extraText = extraCondition.trimmed();
    const QString &filter = m_query.Filter();
    // The figure the database keeps serves a set that holds exactly the table's records under one condition.
    if (!m_query.Newer() && m_added.empty() && (filter.isEmpty() || extraText.isEmpty())) {
        if (const auto kept = KeptFigure(*m_db, m_table, canonical->first, filter.isEmpty() ? extraText : filter))
            return *kept;
    }
    return m_query.SumCents(*m_db, canonical->first, Parse(extraCondition), m_added);
}

double CRecordSet::Sum(const QString &column, const QString &extraCondition)
{
    return double(SumCents(column, extraCondition)) / 100.0;
}

std::vector<qint64> CRecordSet::MatchingPositions(const QString &condition)
{
    RequireOpen();
    Sync();
    const SqlCondition match = Parse(condition);
    qint64 count = 0;
    std::vector<qint64> positions = m_query.MatchingPositions(*m_db, match, &count);
    m_positions.LearnCount(count);
    for (size_t i = 0; i < m_added.size(); ++i) {
        if (m_query.ReadById(*m_db, m_added[i], match))
            positions.push_back(count + qint64(i));
    }
    return positions;
}

std::vector<qint64> CRecordSet::IdsAt(qint64 first, qint64 count)
{
    RequireOpen();
    Sync();
    std::vector<qint64> ids;
    first = std::max<qint64>(first, 0);
    const qint64 base = BaseCount();
    if (first < base && count > 0) {
        const qint64 wanted = std::min(count, base - first);
        // The shortest walk to the position: from the start, back from the end, or from the start of
        // the month that holds it, where the month counts serve.
        const qint64 fromStartSkip = first;
        const qint64 fromEndSkip = base - first - wanted;
        std::optional<MonthPositions::Place> month;
        if (std::min(fromStartSkip, fromEndSkip) > kShortWalk)
            month = m_positions.MonthPlace(*m_db, m_query, first);
        const bool fromEnd = !month && fromEndSkip < fromStartSkip;
        const qint64 offset = month ? month->offset : fromEnd ? fromEndSkip : fromStartSkip;
        ids = m_query.IdsFrom(*m_db, offset, wanted, fromEnd, month ? month->month : QString());
    }
    for (qint64 index = std::max<qint64>(first - base, 0); qint64(ids.size()) < count && index < qint64(m_added.size()); ++index)
        ids.push_back(m_added[size_t(index)]);
    return ids;
}

std::vector<qint64> CRecordSet::IdsAfter(qint64 id, qint64 count)
{
    RequireOpen();
    Sync();
    std::vector<qint64> ids;
    size_t nextAdded = 0;
    const auto added = std::find(m_added.begin(), m_added.end(), id);
    if (added != m_added.end()) {
        nextAdded = size_t(added - m_added.begin()) + 1;
    } else {
        const std::optional<SqlRow> row = m_query.ReadById(*m_db, id);
        if (!row)
            return ids;
        ids = m_query.IdsAfter(*m_db, *row, count);
    }
    for (size_t i = nextAdded; qint64(ids.size()) < count && i < m_added.size(); ++i)
        ids.push_back(m_added[i]);
    return ids;
}

std::vector<qint64> CRecordSet::AllIds()
{
    RequireOpen();
    Sync();
    std::vector<qint64> ids = m_query.AllIds(*m_db);
    m_positions.LearnCount(qint64(ids.size()));
    ids.insert(ids.end(), m_added.begin(), m_added.end());
    return ids;
}

void CRecordSet::ForEachById(const std::vector<qint64> &ids, const std::function<void(qint64 id)> &visit)
{
    RequireOpen();
    if (m_editMode != EditMode::None)
        throw DbError(QStringLiteral("记录正在编辑"));
    const std::vector<SqlRow> rows = m_query.ReadByIds(*m_db, ids);
    QHash<qint64, size_t> read;
    for (size_t r = 0; r < rows.size(); ++r)
        read.insert(AsInt(rows[r].at(0)), r);
    // Visited in the order of the IDs given, which is the order the caller lists them in.
    for (qint64 id : ids) {
        const auto found = read.constFind(id);
        if (found == read.constEnd())
            continue;
        LoadFields(rows[found.value()]);
        visit(id);
    }
    if (HasCurrent())
        LoadFields(m_row);
    else
        ClearFields();
}

qint64 CRecordSet::CurrentId() const
{
    return HasCurrent() && !m_row.empty() ? AsInt(m_row.at(0)) : 0;
}
