// A thin RAII layer over the SQLite C API: one shared connection per database file,
// prepared statements with bound values, and nested write transactions.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_session;

// One value of a row or a bound parameter.
using SqlValue = std::variant<std::monostate, qint64, double, QString>;

class SqlConnection;

// One record's change among the changes a transaction made: the columns' values before and after. An
// insert has nothing before, a delete nothing after; an update has values only in the columns it
// changed, and in the key's columns before.
struct RecordedChange
{
    enum class Kind { Insert, Update, Delete };
    Kind kind = Kind::Insert;
    QString table;
    std::vector<std::optional<SqlValue>> before;
    std::vector<std::optional<SqlValue>> after;
};

// Told of the changes each outermost transaction of a connection made to the tables it names.
class IChangeRecorder
{
public:
    virtual ~IChangeRecorder() = default;
    virtual QStringList RecordedTables() const = 0;
    // In the transaction, just before its commit, when it changed any of the tables. May write to other
    // tables in the same transaction; an exception rolls the whole transaction back.
    virtual void Committing(SqlConnection &db, const QByteArray &changes) = 0;
    // The transaction Committing was told of is committed.
    virtual void Committed() = 0;
    // The database was replaced whole by a copy: what was recorded before is of another ledger.
    virtual void Replaced() {}
};

class SqlStatement
{
public:
    SqlStatement() = default;
    SqlStatement(sqlite3 *db, const QString &sql);
    // A statement of the connection's cache: given back to it, reset, when done with.
    SqlStatement(SqlConnection *owner, sqlite3_stmt *statement, const QString &sql);
    ~SqlStatement();
    SqlStatement(SqlStatement &&other) noexcept;
    SqlStatement &operator=(SqlStatement &&other) noexcept;
    SqlStatement(const SqlStatement &) = delete;
    SqlStatement &operator=(const SqlStatement &) = delete;

    bool IsValid() const { return m_stmt != nullptr; }
    void Reset();                                   // back to the start, bindings kept
    void Bind(int index, const SqlValue &value);    // 1-based
    void BindAll(const std::vector<SqlValue> &values, int first = 1);
    bool Step();                                    // true when a row is available; throws DbError on failure
    void Run();                                     // steps a statement that returns no rows

    int ColumnCount() const;
    qint64 Int(int column) const;
    double Double(int column) const;
    QString Text(int column) const;
    SqlValue Value(int column) const;
    // Bound in place, not copied: the bytes must stay until the statement has run.
    void BindBlob(int index, const QByteArray &bytes);
    QByteArray Blob(int column) const;

private:
    friend class SqlConnection;
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    SqlConnection *m_owner = nullptr;
    QString m_sql;
};

class SqlConnection
{
public:
    // The connection to a database file, shared by every record set of the process that uses that file.
    // The file must exist and hold a ledger's tables: the program never creates a database. It is
    // opened as it is; OpenLedger (db/Ledger.h) brings a ledger to this program's form. Throws DbError.
    static std::shared_ptr<SqlConnection> Open(const QString &path);

    ~SqlConnection();
    SqlConnection(const SqlConnection &) = delete;
    SqlConnection &operator=(const SqlConnection &) = delete;

    QString Path() const { return m_path; }
    // A prepared statement; the ones used again and again come from a small cache.
    SqlStatement Prepare(const QString &sql);
    void Execute(const QString &sql);
    qint64 LastInsertId() const;
    bool HasTable(const QString &name);
    // Lays a table (and what goes with it: the statements run in turn) when the file has none of the
    // name; a table there already costs no statement.
    void LayTableIfMissing(const QString &name, const QStringList &statements);

    // A connection of its own to a database file that is not the ledger in use (a copy being put
    // back): not shared with the record sets. Throws DbError.
    static std::unique_ptr<SqlConnection> OpenAside(const QString &path);

    // True when the file could be opened for reading only: nothing can be written to it.
    bool IsReadOnly() const;

    // Copies the whole database, as committed, into a new file at the path (SQLite's online backup),
    // or copies the file at the path over this database, in one step: the target changes whole or not
    // at all. eachStep is called between the stretches of pages copied. Throws DbError; a failed copy
    // leaves the target as it was (a new file is removed).
    using CopyStep = std::function<void()>;
    void CopyTo(const QString &path, const CopyStep &eachStep = {});
    void CopyFrom(const QString &path, const CopyStep &eachStep = {});
    // The same between two files, neither open here: the database at `from` over the one at `to`
    // (made when missing; a journal left there by a crash is rolled back first). A kept copy (a file
    // written whole once, never changed after) is read without locks or files beside it. Throws
    // DbError, its explanation in the household's words.
    static void CopyFile(const QString &from, const QString &to, const CopyStep &eachStep = {}, bool fromKeptCopy = false);

    // The first column of the first row of a query of the database file at the path, read as it is
    // committed (a journal or log a crash left is taken into account), or nothing when the file or the
    // query cannot be read. Opens the file for reading only.
    static std::optional<qint64> QueryNumber(const QString &path, const QString &sql);

    // What is wrong with the database file at the path as a ledger (not SQLite's whole form, damaged
    // pages or indexes, a table of the ledger missing), or an empty text when it is a whole ledger.
    // Reads the whole file as one written whole and not changing (a copy), and leaves nothing beside it.
    static QString CheckWholeLedger(const QString &path);

    // Counts the changes made to each table, so a record set notices writes of other record sets.
    // A rolled-back transaction counts as a change of every table.
    quint64 ChangeSerial(const QString &table) const { return (m_epoch << 32) + m_tableSerials.value(table); }
    void NoteChange(const QString &table) { m_tableSerials[table] += 1; }
    // A rolled-back transaction may also have taken tables back that it made.
    void NoteChangeOfAll()
    {
        ++m_epoch;
        m_knownTables.clear();
    }

    // The recorder of the changes of every outermost transaction from now on (null: none). It must
    // stay until it is replaced. The changes are SQLite changesets of the tables it names.
    void SetChangeRecorder(IChangeRecorder *recorder) { m_recorder = recorder; }
    // While one lives, the transactions begun record nothing (a change taken back, an upgrade).
    class Unrecorded
    {
    public:
        explicit Unrecorded(SqlConnection &db) : m_db(db) { ++m_db.m_unrecorded; }
        ~Unrecorded() { --m_db.m_unrecorded; }
        Unrecorded(const Unrecorded &) = delete;
        Unrecorded &operator=(const Unrecorded &) = delete;

    private:
        SqlConnection &m_db;
    };
    // The changes a recorder was given, one record at a time; with withInserts false, the updates and
    // deletes only (a large import is read quickly). Throws DbError when they cannot be read.
    static std::vector<RecordedChange> ReadChanges(const QByteArray &changes, bool withInserts = true);
    // Reverses the changes, in the open transaction: every record goes back to what it was before
    // them. False, with nothing reversed, when a record is no longer as the changes left it (changed
    // again, deleted, or a deleted one's key taken). Throws DbError on any other failure.
    bool RevertChanges(const QByteArray &changes);

private:
    friend class SqlTransaction;
    friend class SqlStatement;
    void Recycle(const QString &sql, sqlite3_stmt *statement);
    explicit SqlConnection(const QString &path);
    void Initialise();  // opens the file and checks it is a ledger; throws DbError
    sqlite3 *m_db = nullptr;
    QString m_path;
    QHash<QString, quint64> m_tableSerials;
    QHash<QString, bool> m_knownTables;
    QHash<QString, sqlite3_stmt *> m_statementCache;
    quint64 m_epoch = 1;
    int m_transactionDepth = 0;
    IChangeRecorder *m_recorder = nullptr;
    int m_unrecorded = 0;
    // Records the outermost transaction's changes while it is open (a recorder is set).
    sqlite3_session *m_session = nullptr;
    void BeginRecording();
    void EndRecording();
    // Hands what the open transaction changed to the recorder; true when it was told.
    bool TellRecorder();
};

// All or nothing: commits with Commit(), rolls back everything since construction otherwise.
// Transactions nest; an inner one is a savepoint of the outer.
class SqlTransaction
{
public:
    explicit SqlTransaction(SqlConnection &connection);
    ~SqlTransaction();
    SqlTransaction(const SqlTransaction &) = delete;
    SqlTransaction &operator=(const SqlTransaction &) = delete;
    void Commit();

private:
    SqlConnection &m_connection;
    QString m_name;
    bool m_done = false;
};
