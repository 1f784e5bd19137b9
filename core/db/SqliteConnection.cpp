// The ledger as an SQLite file: its statements, its connection and whole-file copies.
#include "SqliteConnection.h"

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

// A prepared SQLite statement: one of the connection's cache, given back to it when done with, or one
// of its own (a connection's checks at opening).
class SqliteStatement final : public SqlStatementImpl
{
public:
    SqliteStatement(sqlite3 *db, sqlite3_stmt *statement, SqliteConnection *owner, const QString &sql)
        : m_db(db), m_stmt(statement), m_owner(owner), m_sql(sql)
    {
    }
    ~SqliteStatement() override
    {
        if (m_owner)
            m_owner->Recycle(m_sql, m_stmt);
        else
            sqlite3_finalize(m_stmt);
    }

    // Prepares the text; throws DbError.
    static sqlite3_stmt *Compile(sqlite3 *db, const QString &sql)
    {
        const QByteArray text = sql.toUtf8();
        sqlite3_stmt *statement = nullptr;
        const int rc = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &statement, nullptr);
        if (rc != SQLITE_OK) {
            const DbError error = DbError::FromSqlite(sqlite3_extended_errcode(db), db);
            sqlite3_finalize(statement);
            throw error;
        }
        return statement;
    }

    void Reset() override { sqlite3_reset(m_stmt); }

    void Bind(int index, const SqlValue &value) override
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

    void BindBlob(int index, const QByteArray &bytes) override
    {
        const int rc = sqlite3_bind_blob64(m_stmt, index, bytes.constData(), sqlite3_uint64(bytes.size()), SQLITE_STATIC);
        if (rc != SQLITE_OK)
            throw DbError::FromSqlite(rc, m_db);
    }

    bool Step() override
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

    int ColumnCount() const override { return sqlite3_column_count(m_stmt); }
    QString ColumnName(int column) const override { return QString::fromUtf8(sqlite3_column_name(m_stmt, column)); }
    qint64 Int(int column) const override { return sqlite3_column_int64(m_stmt, column); }
    double Double(int column) const override { return sqlite3_column_double(m_stmt, column); }

    QString Text(int column) const override
    {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
        return text ? QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, column)) : QString();
    }

    QByteArray Blob(int column) const override
    {
        const void *bytes = sqlite3_column_blob(m_stmt, column);
        return QByteArray(static_cast<const char *>(bytes), sqlite3_column_bytes(m_stmt, column));
    }

    SqlValue Value(int column) const override
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

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_stmt;
    SqliteConnection *m_owner;
    QString m_sql;
};

std::shared_ptr<SqliteConnection> SqliteConnection::Open(const QString &path)
{
    static QHash<QString, std::weak_ptr<SqliteConnection>> open;
    // The last file used stays open while no record set uses it, so its page cache survives the
    // close and reopen around a filter change or a total.
    static std::shared_ptr<SqliteConnection> kept;
    const QString key = QFileInfo(path).absoluteFilePath();
    std::shared_ptr<SqliteConnection> connection = open.value(key).lock();
    if (!connection) {
        // A file that fails its checks is closed again at once: its handle goes with the pointer.
        connection.reset(new SqliteConnection(key));
        connection->Initialise();
        open.insert(key, connection);
    }
    kept = connection;
    return connection;
}

std::unique_ptr<SqliteConnection> SqliteConnection::OpenAside(const QString &path)
{
    std::unique_ptr<SqliteConnection> connection(new SqliteConnection(QFileInfo(path).absoluteFilePath()));
    connection->Initialise();
    return connection;
}

SqliteConnection::SqliteConnection(const QString &path) : m_path(path) {}

bool SqliteConnection::IsReadOnly() const
{
    return sqlite3_db_readonly(m_db, "main") == 1;
}

void SqliteConnection::Initialise()
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
    if (!TableExists(QStringLiteral("Money")))
        throw DbError(QStringLiteral("文件 %1 不是 Zarvel 的帐目数据库。请从备份恢复帐目数据库文件。")
                          .arg(QDir::toNativeSeparators(m_path)));
}

SqliteConnection::~SqliteConnection()
{
    for (sqlite3_stmt *statement : std::as_const(m_statementCache))
        sqlite3_finalize(statement);
    sqlite3_close_v2(m_db);
}

SqlStatement SqliteConnection::Prepare(const QString &sql)
{
    sqlite3_stmt *statement = m_statementCache.take(sql);
    if (!statement)
        statement = SqliteStatement::Compile(m_db, sql);
    // A cached statement from now on: the handle gives it back when done.
    return SqlStatement(std::make_unique<SqliteStatement>(m_db, statement, this, sql));
}

void SqliteConnection::Recycle(const QString &sql, sqlite3_stmt *statement)
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

namespace {

// One online copy from one open database to another, whole, a stretch of pages at a time. The target
// is written under its own journal: stopped at any point, it is rolled back to what it was.
int CopyDatabase(sqlite3 *from, sqlite3 *to, const SqliteConnection::CopyStep &eachStep)
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

void SqliteConnection::CopyTo(const QString &path, const CopyStep &eachStep)
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

void SqliteConnection::CopyFrom(const QString &path, const CopyStep &eachStep)
{
    // Every table may have changed under the record sets, whatever happens: they read again.
    const auto readAgain = qScopeGuard([this] { ForgetEverything(); });
    const CopyHandle source(OpenForCopy(path, false, Reading::Changing, path, m_path));
    const int result = CopyDatabase(source.get(), m_db, eachStep);
    if (result != SQLITE_OK)
        throw CopyError(result, m_db, path, m_path);
}

void SqliteConnection::CopyFile(const QString &from, const QString &to, const CopyStep &eachStep, bool fromKeptCopy)
{
    const CopyHandle source(OpenForCopy(from, false, fromKeptCopy ? Reading::Unchanging : Reading::Changing, from, to));
    // A journal a crash left beside the target is rolled back by SQLite before the copy writes.
    const CopyHandle target(OpenForCopy(to, true, Reading::Changing, from, to));
    const int result = CopyDatabase(source.get(), target.get(), eachStep);
    if (result != SQLITE_OK)
        throw CopyError(result, target.get(), from, to);
}

std::optional<qint64> SqliteConnection::QueryNumber(const QString &path, const QString &sql)
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

QString SqliteConnection::CheckWholeLedger(const QString &path)
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

QString SqliteConnection::TableSql(const QString &name)
{
    SqlStatement read = Prepare(QStringLiteral("SELECT sql FROM sqlite_master WHERE type='table' AND name=?"));
    read.Bind(1, name);
    return read.Step() ? read.Text(0) : QString();
}

qint64 SqliteConnection::LargestIdGiven(const QString &table)
{
    if (!HasTable(QStringLiteral("sqlite_sequence")))
        return 0;
    SqlStatement read = Prepare(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ?"));
    read.Bind(1, table);
    return read.Step() ? read.Int(0) : 0;
}

bool SqliteConnection::TableExists(const QString &name)
{
    SqlStatement check = Prepare(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' AND name=?"));
    check.Bind(1, name);
    check.Step();
    return check.Int(0) > 0;
}

qint64 SqliteConnection::LastInsertId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

qint64 SqliteConnection::RowsChanged() const
{
    return sqlite3_changes64(m_db);
}

QString SqliteConnection::BeginSql() const
{
    return QStringLiteral("BEGIN IMMEDIATE");  // the write lock at once: no deadlock between two writers
}

bool SqliteConnection::InTransaction() const
{
    return !sqlite3_get_autocommit(m_db);
}
