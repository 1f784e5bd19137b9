// The ledger as an SQLite file: one shared connection per file, a cache of prepared statements,
// changes recorded with SQLite's session extension, and whole-file copies (kept copies and restores).
#pragma once

#include "db/SqlConnection.h"

#include <optional>

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_session;

class SqliteConnection : public SqlConnection
{
public:
    // The connection to a database file, shared by every record set of the process that uses that file.
    // The file must exist and hold a ledger's tables: the program never creates a database. It is
    // opened as it is; OpenLedger (db/Ledger.h) brings a ledger to this program's form. Throws DbError.
    static std::shared_ptr<SqliteConnection> Open(const QString &path);
    // A connection of its own to a database file that is not the ledger in use (a copy being put
    // back): not shared with the record sets. Throws DbError.
    static std::unique_ptr<SqliteConnection> OpenAside(const QString &path);

    ~SqliteConnection() override;

    QString Path() const override { return m_path; }
    SqlStatement Prepare(const QString &sql) override;
    qint64 LastInsertId() const override;
    qint64 RowsChanged() const override;
    bool IsReadOnly() const override;
    // SQLite's online backup, a stretch of pages at a time.
    void CopyTo(const QString &path, const CopyStep &eachStep = {}) override;
    void CopyFrom(const QString &path, const CopyStep &eachStep = {}) override;
    // The changes are SQLite changesets of the tables the recorder names.
    std::vector<RecordedChange> ReadChanges(const QByteArray &changes, bool withInserts = true) const override;
    bool RevertChanges(const QByteArray &changes) override;

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

    // The statement that made the table, as the file keeps it; empty when there is no such table.
    QString TableSql(const QString &name);
    // The largest ID the table ever gave (its AUTOINCREMENT's count, deleted records included).
    qint64 LargestIdGiven(const QString &table);

protected:
    bool TableExists(const QString &name) override;
    QString BeginSql() const override;
    bool InTransaction() const override;
    void BeginRecording() override;
    void EndRecording() override;
    bool TellRecorder() override;

private:
    friend class SqliteStatement;
    explicit SqliteConnection(const QString &path);
    void Initialise();  // opens the file and checks it is a ledger; throws DbError
    // A statement done with, back to the cache (reset) or finalised.
    void Recycle(const QString &sql, sqlite3_stmt *statement);

    sqlite3 *m_db = nullptr;
    QString m_path;
    QHash<QString, sqlite3_stmt *> m_statementCache;
    // Records the outermost transaction's changes while it is open (a recorder is set).
    sqlite3_session *m_session = nullptr;
};
