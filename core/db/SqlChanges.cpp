// The changes of a connection's transactions, recorded with SQLite's session extension, read back
// record by record, and reversed.
#define SQLITE_ENABLE_SESSION 1
#define SQLITE_ENABLE_PREUPDATE_HOOK 1
#include "SqliteConnection.h"

#include "db/DbError.h"

#include <QScopeGuard>

#include <sqlite3.h>

void SqliteConnection::BeginRecording()
{
    if (!m_recorder || m_unrecorded > 0 || m_session)
        return;
    sqlite3_session *session = nullptr;
    int rc = sqlite3session_create(m_db, "main", &session);
    if (rc != SQLITE_OK)
        throw DbError::FromSqlite(rc, m_db);
    for (const QString &table : m_recorder->RecordedTables()) {
        rc = sqlite3session_attach(session, table.toUtf8().constData());
        if (rc != SQLITE_OK) {
            sqlite3session_delete(session);
            throw DbError::FromSqlite(rc, m_db);
        }
    }
    m_session = session;
}

void SqliteConnection::EndRecording()
{
    if (m_session)
        sqlite3session_delete(m_session);
    m_session = nullptr;
}

bool SqliteConnection::TellRecorder()
{
    if (!m_session || !m_recorder || sqlite3session_isempty(m_session))
        return false;
    int size = 0;
    void *bytes = nullptr;
    const int rc = sqlite3session_changeset(m_session, &size, &bytes);
    if (rc != SQLITE_OK) {
        sqlite3_free(bytes);
        throw DbError::FromSqlite(rc, m_db);
    }
    // Read in place: a large import's changes are not copied.
    const auto release = qScopeGuard([bytes] { sqlite3_free(bytes); });
    const QByteArray changes = QByteArray::fromRawData(static_cast<const char *>(bytes), size);
    // The recorder's own writes go to tables it does not record.
    EndRecording();
    if (changes.isEmpty())
        return false;  // changes that cancel each other out
    m_recorder->Committing(*this, changes);
    return true;
}

namespace {

std::optional<SqlValue> ValueOf(sqlite3_value *value)
{
    if (!value)
        return std::nullopt;  // a column the update did not touch
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        return SqlValue(qint64(sqlite3_value_int64(value)));
    case SQLITE_FLOAT:
        return SqlValue(sqlite3_value_double(value));
    case SQLITE_NULL:
        return SqlValue(std::monostate());
    default: {
        const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(value));
        return SqlValue(QString::fromUtf8(text, sqlite3_value_bytes(value)));
    }
    }
}

DbError DamagedChanges(int rc)
{
    return DbError(QStringLiteral("撤销记录已损坏，无法读出。"), QString::fromUtf8(sqlite3_errstr(rc)));
}

} // namespace

std::vector<RecordedChange> SqliteConnection::ReadChanges(const QByteArray &changes, bool withInserts) const
{
    std::vector<RecordedChange> read;
    sqlite3_changeset_iter *iter = nullptr;
    int rc = sqlite3changeset_start(&iter, int(changes.size()), const_cast<char *>(changes.constData()));
    if (rc != SQLITE_OK)
        throw DamagedChanges(rc);
    while ((rc = sqlite3changeset_next(iter)) == SQLITE_ROW) {
        const char *table = nullptr;
        int columns = 0;
        int op = 0;
        int indirect = 0;
        sqlite3changeset_op(iter, &table, &columns, &op, &indirect);
        if (op == SQLITE_INSERT && !withInserts)
            continue;
        RecordedChange change;
        change.table = QString::fromUtf8(table);
        change.kind = op == SQLITE_INSERT ? RecordedChange::Kind::Insert
                      : op == SQLITE_DELETE ? RecordedChange::Kind::Delete
                                            : RecordedChange::Kind::Update;
        for (int column = 0; column < columns; ++column) {
            sqlite3_value *value = nullptr;
            if (op != SQLITE_INSERT) {
                value = nullptr;
                sqlite3changeset_old(iter, column, &value);
                change.before.push_back(ValueOf(value));
            }
            if (op != SQLITE_DELETE) {
                value = nullptr;
                sqlite3changeset_new(iter, column, &value);
                change.after.push_back(ValueOf(value));
            }
        }
        read.push_back(std::move(change));
    }
    const int finished = sqlite3changeset_finalize(iter);
    if (rc != SQLITE_DONE)
        throw DamagedChanges(rc);
    if (finished != SQLITE_OK)
        throw DamagedChanges(finished);
    return read;
}

namespace {

// Any record not as the changes left it stops the whole reversal.
int AbortOnConflict(void *, int, sqlite3_changeset_iter *)
{
    return SQLITE_CHANGESET_ABORT;
}

} // namespace

bool SqliteConnection::RevertChanges(const QByteArray &changes)
{
    // Applied under a savepoint of its own: a conflict leaves nothing reversed.
    const int rc = sqlite3changeset_apply_v2(m_db, int(changes.size()), const_cast<char *>(changes.constData()), nullptr,
                                             &AbortOnConflict, nullptr, nullptr, nullptr, SQLITE_CHANGESETAPPLY_INVERT);
    NoteChangeOfAll();  // the record sets read the tables again
    if (rc == SQLITE_ABORT)
        return false;
    if (rc != SQLITE_OK)
        throw DbError::FromSqlite(rc, m_db);
    return true;
}
