// SQLite connection, statements and transactions.
#include "SqlConnection.h"

#include "db/DbError.h"

#include <QDir>
#include <QFile>

#include <QFileInfo>
#include <QHash>
#include <QScopeGuard>
#include <QStringList>
#include <QUrl>
#include <cerrno>
#include <sqlite3.h>

SqlStatement::SqlStatement(sqlite3 *db, const QString &sql) : m_db(db)
{
    const QByteArray text = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_stmt, nullptr);
    if (rc != SQLITE_OK) {
        const DbError error = DbError::FromSqlite(sqlite3_extended_errcode(db), db);
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        throw error;
    }
}

SqlStatement::SqlStatement(SqlConnection *owner, sqlite3_stmt *statement, const QString &sql)
    : m_db(owner->m_db), m_stmt(statement), m_owner(owner), m_sql(sql)
{
}

SqlStatement::~SqlStatement()
{
    if (m_stmt && m_owner)
        m_owner->Recycle(m_sql, m_stmt);
    else
        sqlite3_finalize(m_stmt);
}

SqlStatement::SqlStatement(SqlStatement &&other) noexcept
    : m_db(other.m_db), m_stmt(other.m_stmt), m_owner(other.m_owner), m_sql(std::move(other.m_sql))
{
    other.m_stmt = nullptr;
    other.m_owner = nullptr;
}

SqlStatement &SqlStatement::operator=(SqlStatement &&other) noexcept
{
    if (this != &other) {
        if (m_stmt && m_owner)
            m_owner->Recycle(m_sql, m_stmt);
        else
            sqlite3_finalize(m_stmt);
        m_db = other.m_db;
        m_stmt = other.m_stmt;
        m_owner = other.m_owner;
        m_sql = std::move(other.m_sql);
        other.m_stmt = nullptr;
        other.m_owner = nullptr;
    }
    return *this;
}

void SqlStatement::Reset()
{
    sqlite3_reset(m_stmt);
}

void SqlStatement::Bind(int index, const SqlValue &value)
{
    int rc = SQLITE_OK;
    if (std::holds_alternative<qint64>(value)) {
        rc = sqlite3_bind_int64(m_stmt, index, std::get<qint64>(value));
    } else if (std::holds_alternative<double>(value)) {
        rc = sqlite3_bind_double(m_stmt, index, std::get<double>(value));
    } else if (std::holds_alternative<QString>(value)) {
        const QByteArray text = std::get<QString>(value).toUtf8();
        rc = sqlite3_bind_text(m_stmt, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    } else {
        rc = sqlite3_bind_null(m_stmt, index);
    }
    if (rc != SQLITE_OK)
        throw DbError::FromSqlite(rc, m_db);
}

void SqlStatement::BindAll(const std::vector<SqlValue> &values, int first)
{
    for (size_t i = 0; i < values.size(); ++i)
        Bind(first + int(i), values[i]);
}

bool SqlStatement::Step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const DbError error = DbError::FromSqlite(sqlite3_extended_errcode(m_db), m_db);
    sqlite3_reset(m_stmt);
    throw error;
}

void SqlStatement::Run()
{
    while (Step()) {
    }
}

int SqlStatement::ColumnCount() const
{
    return sqlite3_column_count(m_stmt);
}

qint64 SqlStatement::Int(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

double SqlStatement::Double(int column) const
{
    return sqlite3_column_double(m_stmt, column);
}

QString SqlStatement::Text(int column) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, column)) : QString();
}

void SqlStatement::BindBlob(int index, const QByteArray &bytes)
{
    const int rc = sqlite3_bind_blob64(m_stmt, index, bytes.constData(), sqlite3_uint64(bytes.size()), SQLITE_STATIC);
    if (rc != SQLITE_OK)
        throw DbError::FromSqlite(rc, m_db);
}

QByteArray SqlStatement::Blob(int column) const
{
    const void *bytes = sqlite3_column_blob(m_stmt, column);
    return QByteArray(static_cast<const char *>(bytes), sqlite3_column_bytes(m_stmt, column));
}

SqlValue SqlStatement::Value(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return Int(column);
    case SQLITE_FLOAT:
        return Double(column);
    case SQLITE_NULL:
        return std::monostate();
    default:
        return Text(column);
    }
}

std::shared_ptr<SqlConnection> SqlConnection::Open(const QString &path)
{
    static QHash<QString, std::weak_ptr<SqlConnection>> open;
    // The last file used stays open while no record set uses it, so its page cache survives the
    // close and reopen around a filter change or a total.
    static std::shared_ptr<SqlConnection> kept;
    const QString key = QFileInfo(path).absoluteFilePath();
    std::shared_ptr<SqlConnection> connection = open.value(key).lock();
    if (!connection) {
        // A file that fails its checks is closed again at once: its handle goes with the pointer.
        connection.reset(new SqlConnection(key));
        connection->Initialise();
        open.insert(key, connection);
    }
    kept = connection;
    return connection;
}

std::unique_ptr<SqlConnection> SqlConnection::OpenAside(const QString &path)
{
    std::unique_ptr<SqlConnection> connection(new SqlConnection(QFileInfo(path).absoluteFilePath()));
    connection->Initialise();
    return connection;
}

SqlConnection::SqlConnection(const QString &path) : m_path(path) {}

bool SqlConnection::IsReadOnly() const
{
    return sqlite3_db_readonly(m_db, "main") == 1;
}

void SqlConnection::Initialise()
{
    if (!QFileInfo::exists(m_path))
        throw DbError(QStringLiteral("找不到帐目数据库文件 %1。请检查安装是否完整，或从备份恢复这个文件。")
                          .arg(QDir::toNativeSeparators(m_path)));
    const QByteArray name = m_path.toUtf8();
    const int rc = sqlite3_open_v2(name.constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK)
        throw DbError::FromSqlite(rc, m_db);
    sqlite3_extended_result_codes(m_db, 1);
    // A quoted name that is no column must fail, not be read as a text: a table that lost a column
    // would otherwise show the column's name in every record.
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    sqlite3_busy_timeout(m_db, 5000);
    // A committed change must survive a crash or a power cut.
    Execute(QStringLiteral("PRAGMA synchronous=FULL"));
    Execute(QStringLiteral("PRAGMA cache_size=-16000"));  // 16 MB of pages: a large ledger's indexes stay in memory
    // Fails early, with a clear reason, on a file that is not a ledger database.
    SqlStatement check(m_db, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' AND name='Money'"));
    check.Step();
    if (check.Int(0) == 0)
        throw DbError(QStringLiteral("文件 %1 不是 Zarvel 的帐目数据库。请从备份恢复帐目数据库文件。")
                          .arg(QDir::toNativeSeparators(m_path)));
    check = SqlStatement();
}

SqlConnection::~SqlConnection()
{
    for (sqlite3_stmt *statement : std::as_const(m_statementCache))
        sqlite3_finalize(statement);
    sqlite3_close_v2(m_db);
}

SqlStatement SqlConnection::Prepare(const QString &sql)
{
    if (sqlite3_stmt *cached = m_statementCache.take(sql))
        return SqlStatement(this, cached, sql);
    SqlStatement fresh(m_db, sql);
    // Becomes a cached statement: taken over by a statement that gives it back when done.
    SqlStatement owned(this, fresh.m_stmt, sql);
    fresh.m_stmt = nullptr;
    return owned;
}

void SqlConnection::Recycle(const QString &sql, sqlite3_stmt *statement)
{
    constexpr int kCacheSize = 64;
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    if (m_statementCache.contains(sql) || m_statementCache.size() >= kCacheSize) {
        sqlite3_finalize(statement);
        return;
    }
    m_statementCache.insert(sql, statement);
}

void SqlConnection::Execute(const QString &sql)
{
    SqlStatement statement = Prepare(sql);  // BEGIN, COMMIT and the like are prepared once
    statement.Run();
    // A table made or dropped: HasTable asks again.
    if (sql.startsWith(QLatin1String("CREATE"), Qt::CaseInsensitive) || sql.startsWith(QLatin1String("DROP"), Qt::CaseInsensitive))
        m_knownTables.clear();
}

namespace {

// One online copy from one open database to another, whole, a stretch of pages at a time. The target
// is written under its own journal: stopped at any point, it is rolled back to what it was.
int CopyDatabase(sqlite3 *from, sqlite3 *to, const SqlConnection::CopyStep &eachStep)
{
    constexpr int kPagesPerStep = 2048;  // 8 MB of 4 KB pages
    sqlite3_backup *copy = sqlite3_backup_init(to, "main", from, "main");
    if (!copy)
        return sqlite3_errcode(to);
    int rc = SQLITE_OK;
    do {
        rc = sqlite3_backup_step(copy, kPagesPerStep);
        if (rc == SQLITE_OK && eachStep)
            eachStep();
    } while (rc == SQLITE_OK);
    const int finished = sqlite3_backup_finish(copy);
    return rc == SQLITE_DONE ? finished : rc;
}

// Why a copy failed, in the household's words; the files and SQLite's own words are the detail.
DbError CopyError(int code, sqlite3 *db, const QString &from, const QString &to)
{
    QString why;
    // A disk that fills part-way through a write shows as an I/O error; the system's own error tells
    // (asked only then: it is kept from the connection's last I/O error, however long ago).
    const int primary = code & 0xff;
    const int systemError = db && (primary == SQLITE_IOERR || primary == SQLITE_CANTOPEN) ? sqlite3_system_errno(db) : 0;
    const bool noRoom = systemError == ENOSPC || systemError == EFBIG
#ifdef EDQUOT
                        || systemError == EDQUOT
#endif
        ;
    switch (noRoom ? SQLITE_FULL : primary) {
    case SQLITE_FULL: why = QStringLiteral("磁盘空间不足"); break;
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM: why = QStringLiteral("文件无法打开，或文件夹不能写入"); break;
    case SQLITE_IOERR: why = QStringLiteral("读写磁盘时出错"); break;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: why = QStringLiteral("文件已损坏"); break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: why = QStringLiteral("帐目数据库正被另一个程序使用"); break;
    default: why = QStringLiteral("复制帐目数据库时出错"); break;
    }
    const QString sqliteText = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(code));
    return DbError(why, QStringLiteral("%1 → %2：%3").arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to), sqliteText));
}

// The name SQLite opens a kept copy by: read as a file that never changes, so reading it neither
// takes locks nor leaves a shared-memory file or a journal in the copy's folder.
QByteArray UnchangingFileName(const QString &path)
{
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded() + "?immutable=1";
}

enum class Reading { Changing, Unchanging };

// Opens a database file for a copy; a target is made when missing. Throws what went wrong.
sqlite3 *OpenForCopy(const QString &path, bool target, Reading reading, const QString &from, const QString &to)
{
    sqlite3 *db = nullptr;
    const bool unchanging = !target && reading == Reading::Unchanging;
    const int flags = target ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY | (unchanging ? SQLITE_OPEN_URI : 0);
    const int rc = sqlite3_open_v2(unchanging ? UnchangingFileName(path).constData() : path.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const DbError error = CopyError(rc, db, from, to);
        sqlite3_close_v2(db);
        throw error;
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, 5000);
    // A copy's pages reach the disk before its commit is done, as the ledger's own do.
    sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    return db;
}

// A database opened for a copy, closed however the copy ends.
struct CloseCopy
{
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
using CopyHandle = std::unique_ptr<sqlite3, CloseCopy>;

} // namespace

void SqlConnection::CopyTo(const QString &path, const CopyStep &eachStep)
{
    int result = SQLITE_OK;
    try {
        const CopyHandle target(OpenForCopy(path, true, Reading::Changing, m_path, path));
        result = CopyDatabase(m_db, target.get(), eachStep);
        if (result != SQLITE_OK)
            throw CopyError(result, target.get(), m_path, path);
    } catch (...) {
        QFile::remove(path);  // the target closed first: a copy never finished is no file at all
        throw;
    }
}

void SqlConnection::CopyFrom(const QString &path, const CopyStep &eachStep)
{
    // Every table may have changed under the record sets, whatever happens: they read again.
    const auto readAgain = qScopeGuard([this] {
        m_knownTables.clear();
        NoteChangeOfAll();
        if (m_recorder)
            m_recorder->Replaced();
    });
    const CopyHandle source(OpenForCopy(path, false, Reading::Changing, path, m_path));
    const int result = CopyDatabase(source.get(), m_db, eachStep);
    if (result != SQLITE_OK)
        throw CopyError(result, m_db, path, m_path);
}

void SqlConnection::CopyFile(const QString &from, const QString &to, const CopyStep &eachStep, bool fromKeptCopy)
{
    const CopyHandle source(OpenForCopy(from, false, fromKeptCopy ? Reading::Unchanging : Reading::Changing, from, to));
    // A journal a crash left beside the target is rolled back by SQLite before the copy writes.
    const CopyHandle target(OpenForCopy(to, true, Reading::Changing, from, to));
    const int result = CopyDatabase(source.get(), target.get(), eachStep);
    if (result != SQLITE_OK)
        throw CopyError(result, target.get(), from, to);
}

std::optional<qint64> SqlConnection::QueryNumber(const QString &path, const QString &sql)
{
    if (!QFileInfo::exists(path))
        return std::nullopt;
    sqlite3 *db = nullptr;
    std::optional<qint64> number;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_busy_timeout(db, 5000);
        sqlite3_stmt *statement = nullptr;
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &statement, nullptr) == SQLITE_OK
            && sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_type(statement, 0) != SQLITE_NULL)
            number = sqlite3_column_int64(statement, 0);
        sqlite3_finalize(statement);
    }
    sqlite3_close_v2(db);
    return number;
}

QString SqlConnection::CheckWholeLedger(const QString &path)
{
    if (!QFileInfo::exists(path))
        return QStringLiteral("找不到文件 %1").arg(QDir::toNativeSeparators(path));
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(UnchangingFileName(path).constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) != SQLITE_OK) {
        const QString reason = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
        sqlite3_close_v2(db);
        return reason;
    }
    QStringList faults;
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check(20)", -1, &statement, nullptr) == SQLITE_OK) {
        int rc = SQLITE_ROW;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
            const QString line = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
            if (line != QLatin1String("ok"))
                faults << line;
        }
        if (rc != SQLITE_DONE)
            faults << QString::fromUtf8(sqlite3_errmsg(db));
    } else {
        faults << QString::fromUtf8(sqlite3_errmsg(db));
    }
    sqlite3_finalize(statement);
    if (faults.isEmpty()) {
        for (const char *table : {"Money", "Deposit", "Current", "Article", "InsureNote", "InsureRecord", "Credit", "Memo", "Address"}) {
            const QByteArray sql = QByteArray("SELECT count(*) FROM sqlite_master WHERE type='table' AND name='") + table + "'";
            statement = nullptr;
            bool present = false;
            if (sqlite3_prepare_v2(db, sql.constData(), -1, &statement, nullptr) == SQLITE_OK && sqlite3_step(statement) == SQLITE_ROW)
                present = sqlite3_column_int(statement, 0) > 0;
            sqlite3_finalize(statement);
            if (!present)
                faults << QStringLiteral("没有表 %1").arg(QString::fromLatin1(table));
        }
    }
    sqlite3_close_v2(db);
    return faults.join(QLatin1Char('\n'));
}

void SqlConnection::LayTableIfMissing(const QString &name, const QStringList &statements)
{
    if (HasTable(name))
        return;
    for (const QString &sql : statements)
        Execute(sql);
}

bool SqlConnection::HasTable(const QString &name)
{
    const auto known = m_knownTables.constFind(name);
    if (known != m_knownTables.constEnd())
        return known.value();
    SqlStatement check = Prepare(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' AND name=?"));
    check.Bind(1, name);
    check.Step();
    const bool exists = check.Int(0) > 0;
    m_knownTables.insert(name, exists);
    return exists;
}

qint64 SqlConnection::LastInsertId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

SqlTransaction::SqlTransaction(SqlConnection &connection) : m_connection(connection)
{
    // The outermost level is a real transaction (taking the write lock at once), inner ones savepoints.
    const int depth = m_connection.m_transactionDepth + 1;
    m_name = QStringLiteral("zarvel_%1").arg(depth);
    m_connection.Execute(depth == 1 ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("SAVEPOINT ") + m_name);
    m_connection.m_transactionDepth = depth;
    if (depth == 1) {
        try {
            m_connection.BeginRecording();
        } catch (...) {
            m_connection.Execute(QStringLiteral("ROLLBACK"));
            m_connection.m_transactionDepth = 0;
            throw;
        }
    }
}

SqlTransaction::~SqlTransaction()
{
    if (!m_done) {
        try {
            if (m_connection.m_transactionDepth == 1) {
                // A failed COMMIT (a deferred constraint, a full disk) leaves the transaction open: end it.
                if (!sqlite3_get_autocommit(m_connection.m_db))
                    m_connection.Execute(QStringLiteral("ROLLBACK"));
            } else {
                m_connection.Execute(QStringLiteral("ROLLBACK TO ") + m_name);
                m_connection.Execute(QStringLiteral("RELEASE ") + m_name);
            }
        } catch (const DbError &) {
            // Nothing more can be done from a destructor; SQLite has rolled back on its own if it must.
        }
        m_connection.NoteChangeOfAll();
    }
    if (m_connection.m_transactionDepth == 1)
        m_connection.EndRecording();
    --m_connection.m_transactionDepth;
}

void SqlTransaction::Commit()
{
    if (m_connection.m_transactionDepth > 1) {
        m_connection.Execute(QStringLiteral("RELEASE ") + m_name);
        m_done = true;
        return;
    }
    // What the transaction changed is written beside it before the commit, so the two stand or fall together.
    const bool told = m_connection.TellRecorder();
    m_connection.Execute(QStringLiteral("COMMIT"));
    m_done = true;
    m_connection.EndRecording();
    if (told)
        m_connection.m_recorder->Committed();
}
