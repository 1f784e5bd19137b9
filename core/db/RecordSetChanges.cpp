// The record set's writes: a record added, edited or deleted through the set, many inserted at once,
// and the deletes by condition. Each keeps the cursor and the read-ahead true to the table.
#include "RecordSet.h"

#include "db/DbError.h"

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
        if (m_db->IsShared())
            NoteOwnWrite(m_lastAddedId);
        // As after an insert into a dynaset, the record current before AddNew is current again.
        if (HasCurrent())
            LoadFields(m_row);
        else
            ClearFields();
        return;
    }
    if (m_editMode != EditMode::Editing || !HasCurrent())
        throw DbError(QStringLiteral("没有调用 AddNew 或 Edit"));

    const qint64 id = IntOfValue(m_row.at(0));
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
    if (m_db->IsShared())
        NoteOwnWrite(id);  // the current record as the database keeps it (a text column may hold a number)
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
    const qint64 id = IntOfValue(m_row.at(0));
    SqlStatement remove = m_db->Prepare(QStringLiteral("DELETE FROM ") + KeysetQuery::Quoted(m_table) + QStringLiteral(" WHERE ID = ?"));
    remove.Bind(1, id);
    remove.Run();
    NoteOwnChange();
    if (m_db->IsShared())
        m_db->NoteOwnVersion(m_table, id, 0);
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
    const QString where = match.sql.isEmpty() ? QStringLiteral("1=1") : match.sql;
    SqlStatement select = m_db->Prepare(QStringLiteral("SELECT ID FROM ") + KeysetQuery::Quoted(m_table) + QStringLiteral(" WHERE ") + where
                                         + QStringLiteral(" ORDER BY ID"));
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
    if (m_db->IsShared()) {
        for (qint64 id : ids)
            m_db->NoteOwnVersion(m_table, id, 0);
    }
    // Read again what the set knows: its count, its additions and whether its current record went.
    m_db->NoteChange(m_table);
    const qint64 current = HasCurrent() ? IntOfValue(m_row.at(0)) : 0;
    Sync();
    if (current && std::find(ids.begin(), ids.end(), current) != ids.end())
        m_deleted = true;
    return ids;
}

