// The ledger on a PostgreSQL server (15 or later), through libpq: what several computers of a
// household share. The books' SQL is the one SQLite takes too; the few places the two differ are
// translated as a statement is prepared (PgDialect).
#pragma once

#include "db/DbError.h"
#include "db/SqlConnection.h"

#include <QElapsedTimer>

struct pg_conn;

// Where the server ledger is and who logs in. The password is never kept in a list file.
struct PgSettings
{
    QString host;  // a name, an address, or the folder of a local socket
    int port = 5432;
    QString database;
    QString user;
    QString password;

    // "用户@主机:端口/数据库", for messages and the window's title.
    QString Describe() const;
};

class PgConnection : public SqlConnection
{
public:
    // Connects and checks the server (version 15 or later). Throws DbError in the household's words:
    // the server not found, the user or password refused, the database missing, the server too old.
    static std::shared_ptr<PgConnection> Open(const PgSettings &settings);

    ~PgConnection() override;

    QString Path() const override { return m_settings.Describe(); }
    SqlStatement Prepare(const QString &sql) override;
    qint64 LastInsertId() const override;
    qint64 RowsChanged() const override { return m_rowsChanged; }
    bool IsReadOnly() const override { return false; }
    // Several computers write to a server ledger at once; a record read to be changed is locked.
    bool IsShared() const override { return true; }
    QString RowLockClause() const override { return QStringLiteral(" FOR UPDATE"); }
    void CopyTo(const QString &path, const CopyStep &eachStep = {}) override;
    void CopyFrom(const QString &path, const CopyStep &eachStep = {}) override;
    std::vector<RecordedChange> ReadChanges(const QByteArray &changes, bool withInserts = true) const override;
    bool RevertChanges(const QByteArray &changes) override;

    // The server's version as a number (150004 for 15.4).
    int ServerVersion() const;
    // Whether the connection to the server still stands.
    bool IsConnected() const;
    // Makes a lost connection again (at most once every two seconds); true when it stands. Statements
    // run outside a transaction (the start of one among them) do it themselves.
    bool Reconnect();

    // What this connection's process on the server is called: notifications from it are its own.
    int BackendPid() const;
    // The socket to the server, to wait on for notifications; -1 without a connection.
    int Socket() const;
    // Reads what the server sent and appends the payloads of the notifications it holds, leaving out
    // those of the server process ignoredPid. False when the connection is lost.
    bool TakeNotifications(QStringList *payloads, int ignoredPid);
    // After records were written with their own IDs: the table's next ID follows the largest there
    // and the largest the ledger they came from ever gave.
    void NumberOnFrom(const QString &table, qint64 largestUsed = 0);

protected:
    bool TableExists(const QString &name) override;
    QString BeginSql() const override { return QStringLiteral("BEGIN"); }
    bool InTransaction() const override;
    void BeginRecording() override {}
    void EndRecording() override {}
    bool TellRecorder() override { return false; }

private:
    friend class PgStatement;
    explicit PgConnection(const PgSettings &settings);
    // A failure of the server or of the statement, in the household's words, the server's own second.
    DbError Failure(const QString &what) const;

    PgSettings m_settings;
    pg_conn *m_conn = nullptr;
    qint64 m_rowsChanged = 0;  // of the last command that wrote
    QElapsedTimer m_lastTry;   // the last try to make a lost connection again
};
