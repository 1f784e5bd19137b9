// Dynaset semantics over SQLite: a keyed cursor, read ahead in blocks as it walks.
#include "RecordSet.h"

#include "common/Paths.h"
#include "db/DbError.h"
#include "db/Ledger.h"

#include <QCryptographicHash>
#include <QHash>
#include <QtEndian>
#include <algorithm>

namespace {

constexpr int kFirstBlock = 100;
constexpr int kLargestBlock = 2000;

} // namespace

quint64 RecordVersion(const SqlRow &row)
{
    // Each value with its kind, so that a number and its text, or two texts split differently, differ.
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const SqlValue &value : row) {
        const char kind = char('0' + value.index());
        hash.addData(QByteArrayView(&kind, 1));
        if (const qint64 *whole = std::get_if<qint64>(&value)) {
            hash.addData(QByteArray::number(*whole));
        } else if (const double *number = std::get_if<double>(&value)) {
            hash.addData(QByteArray::number(*number, 'g', 17));
        } else if (const QString *text = std::get_if<QString>(&value)) {
            const QByteArray bytes = text->toUtf8();
            hash.addData(QByteArray::number(bytes.size()) + ':');
            hash.addData(bytes);
        }
        hash.addData(QByteArrayView(";", 1));
    }
    const quint64 version = qFromLittleEndian<quint64>(hash.result().constData());
    return version != 0 ? version : 1;
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
    m_positions.Start(BlockPositions::For(m_table, sortIndex > 0 ? m_columns[size_t(sortIndex)].name : QString(), where));
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
    const qint64 id = IntOfValue(m_row.at(0));
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

qint64 CRecordSet::CurrentId() const
{
    return HasCurrent() && !m_row.empty() ? IntOfValue(m_row.at(0)) : 0;
}

quint64 CRecordSet::VisitedVersion() const
{
    return m_visiting && m_db->IsShared() ? RecordVersion(*m_visiting) : 0;
}

quint64 CRecordSet::CurrentVersion() const
{
    return HasCurrent() && !m_row.empty() ? RecordVersion(m_row) : 0;
}

quint64 CRecordSet::LockCurrent()
{
    RequireOpen();
    Sync();
    if (!HasCurrent() || m_row.empty())
        return 0;
    const std::optional<SqlRow> row = m_query.ReadByIdLocked(*m_db, IntOfValue(m_row.at(0)));
    if (!row) {
        m_deleted = true;
        return 0;
    }
    // Another writer may have moved it in the order: its neighbours and position are read again.
    m_ahead.clear();
    if (m_at == At::Base)
        m_position = kUnknown;
    m_row = *row;
    if (m_editMode == EditMode::None)
        LoadFields(m_row);
    return RecordVersion(m_row);
}

void CRecordSet::NoteOwnWrite(qint64 id)
{
    if (const std::optional<SqlRow> row = m_query.ReadById(*m_db, id)) {
        const quint64 version = RecordVersion(*row);
        m_db->NoteOwnVersion(m_table, id, version);
        if (HasCurrent() && IntOfValue(m_row.at(0)) == id)
            m_row = *row;
    }
}
