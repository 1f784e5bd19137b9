// The ledger's database as the books see it: prepared statements with bound values, nested write
// transactions, and what each transaction changed. The books do not know which database they talk to:
// SqliteConnection is a ledger file in the installation folder; another implementation is a ledger on
// a server that several computers share. Statements are written in the SQL both understand.
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

// What one database does for a prepared statement; SqlStatement is its handle.
class SqlStatementImpl
{
public:
    virtual ~SqlStatementImpl() = default;
    virtual void Reset() = 0;
    virtual void Bind(int index, const SqlValue &value) = 0;
    virtual void BindBlob(int index, const QByteArray &bytes) = 0;
    virtual bool Step() = 0;
    virtual int ColumnCount() const = 0;
    virtual QString ColumnName(int column) const = 0;
    virtual qint64 Int(int column) const = 0;
    virtual double Double(int column) const = 0;
    virtual QString Text(int column) const = 0;
    virtual SqlValue Value(int column) const = 0;
    virtual QByteArray Blob(int column) const = 0;
};

class SqlStatement
{
public:
    SqlStatement() = default;
    explicit SqlStatement(std::unique_ptr<SqlStatementImpl> impl) : m_impl(std::move(impl)) {}
    SqlStatement(SqlStatement &&other) noexcept = default;
    SqlStatement &operator=(SqlStatement &&other) noexcept = default;

    bool IsValid() const { return m_impl != nullptr; }
    void Reset() { m_impl->Reset(); }                                        // back to the start, bindings kept
    void Bind(int index, const SqlValue &value) { m_impl->Bind(index, value); }  // 1-based
    void BindAll(const std::vector<SqlValue> &values, int first = 1);
    bool Step() { return m_impl->Step(); }  // true when a row is available; throws DbError on failure
    void Run();                             // steps a statement that returns no rows

    int ColumnCount() const { return m_impl->ColumnCount(); }
    QString ColumnName(int column) const { return m_impl->ColumnName(column); }
    qint64 Int(int column) const { return m_impl->Int(column); }
    double Double(int column) const { return m_impl->Double(column); }
    QString Text(int column) const { return m_impl->Text(column); }
    SqlValue Value(int column) const { return m_impl->Value(column); }
    // Bound in place, not copied: the bytes must stay until the statement has run.
    void BindBlob(int index, const QByteArray &bytes) { m_impl->BindBlob(index, bytes); }
    QByteArray Blob(int column) const { return m_impl->Blob(column); }

private:
    std::unique_ptr<SqlStatementImpl> m_impl;
};

// The rows of a query as texts, each row's cells joined by '|': for checks that compare what two
// ledgers hold.
QStringList QueryRowTexts(SqlConnection &db, const QString &sql);

class SqlConnection
{
public:
    virtual ~SqlConnection() = default;
    SqlConnection(const SqlConnection &) = delete;
    SqlConnection &operator=(const SqlConnection &) = delete;

    // Where the ledger is: its file, or the server and database.
    virtual QString Path() const = 0;
    // A prepared statement; the ones used again and again come from a small cache.
    virtual SqlStatement Prepare(const QString &sql) = 0;
    void Execute(const QString &sql);
    virtual qint64 LastInsertId() const = 0;
    // The records the last INSERT, UPDATE or DELETE wrote itself (not its triggers): 0 for an insert
    // a conflict turned away.
    virtual qint64 RowsChanged() const = 0;
    bool HasTable(const QString &name);
    // Lays a table (and what goes with it: the statements run in turn) when the database has none of
    // the name; a table there already costs no statement.
    void LayTableIfMissing(const QString &name, const QStringList &statements);

    // True when the ledger could be opened for reading only: nothing can be written to it.
    virtual bool IsReadOnly() const = 0;

    // Whether other computers write to the same ledger at the same time (a ledger on a server): a
    // change of a record shown a while ago first makes sure, in its transaction, that the record is
    // still as shown. A ledger file is opened by one running copy, whose write transactions are
    // exclusive: nothing can change between a read and a write but what the copy wrote itself.
    virtual bool IsShared() const { return false; }
    // What a query appends to lock the records it reads until its transaction ends (a shared ledger's
    // other writers then wait for it, and read what it committed).
    virtual QString RowLockClause() const { return QString(); }

    // On a shared ledger, the version (RecordVersion) of each record as this connection last wrote it:
    // a book that shows the record from before tells its own program's change, made through it or
    // another book, from another computer's. 0 for a record it deleted. Kept with the transaction: a
    // version written in one rolled back is forgotten.
    void NoteOwnVersion(const QString &table, qint64 id, quint64 version);
    // The version this connection last wrote of the record, committed or in the open transaction;
    // nothing when it wrote none.
    std::optional<quint64> OwnVersion(const QString &table, qint64 id) const;

    // Copies the whole ledger, as committed, into a new ledger file at the path, or puts the ledger
    // file at the path in place of this one, in one step: the target changes whole or not at all.
    // eachStep is called between the stretches copied. Throws DbError; a failed copy leaves the target
    // as it was (a new file is removed).
    using CopyStep = std::function<void()>;
    virtual void CopyTo(const QString &path, const CopyStep &eachStep = {}) = 0;
    virtual void CopyFrom(const QString &path, const CopyStep &eachStep = {}) = 0;

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
    // stay until it is replaced. The changes come in the connection's own form (ReadChanges reads them).
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
    virtual std::vector<RecordedChange> ReadChanges(const QByteArray &changes, bool withInserts = true) const = 0;
    // Reverses the changes, in the open transaction: every record goes back to what it was before
    // them. False, with nothing reversed, when a record is no longer as the changes left it (changed
    // again, deleted, or a deleted one's key taken). Throws DbError on any other failure.
    virtual bool RevertChanges(const QByteArray &changes) = 0;

protected:
    SqlConnection() = default;
    virtual bool TableExists(const QString &name) = 0;
    // The statement that opens an outermost transaction, taking the write lock at once where it can.
    virtual QString BeginSql() const = 0;
    // Whether a transaction is open (a failed COMMIT may leave one).
    virtual bool InTransaction() const = 0;
    // Recording the outermost transaction's changes while it is open (a recorder is set).
    virtual void BeginRecording() = 0;
    virtual void EndRecording() = 0;
    // Hands what the open transaction changed to the recorder; true when it was told.
    virtual bool TellRecorder() = 0;
    // Every table may have changed under the record sets (a copy put in place): they read again.
    void ForgetEverything();
    // 0 outside a transaction, 1 in an outermost one, more in a savepoint.
    int TransactionDepth() const { return m_transactionDepth; }

    IChangeRecorder *m_recorder = nullptr;
    int m_unrecorded = 0;

private:
    friend class SqlTransaction;
    // The versions of the transaction levels ended: kept, or forgotten with a rollback.
    void KeepOwnVersions(int depth);
    void ForgetOwnVersions(int depth);

    QHash<QString, quint64> m_tableSerials;
    QHash<QString, bool> m_knownTables;
    quint64 m_epoch = 1;
    int m_transactionDepth = 0;
    struct OwnVersionKept
    {
        std::optional<quint64> committed;
        std::optional<quint64> pending;  // written in the open transaction, at the level below
        int depth = 0;
    };
    QHash<QString, QHash<qint64, OwnVersionKept>> m_ownVersions;
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
