// Opening the ledger's database, the one place that brings it to this program's form.
#pragma once

#include <QString>
#include <memory>

class SqlConnection;
struct PgSettings;

// The shared connection to the ledger's database file (Data/Kinward.db when no path is given). The
// first time a connection is opened, a file of an earlier form is brought to this program's form:
// copied first (a kept copy, when it holds records, can be written and changed since the newest copy),
// then upgraded in one transaction. Throws DbError.
std::shared_ptr<SqlConnection> OpenLedgerDatabase();
std::shared_ptr<SqlConnection> OpenLedgerDatabase(const QString &path);

// Where the books' ledger is: the ledger file in the installation folder (the default), or a ledger
// on a PostgreSQL server that several computers share. Chosen before the books open; the connection
// of the other kind is let go.
void UseLedgerFile();
void UseServerLedger(const PgSettings &settings);
bool UsesServerLedger();
// Where the server ledger in use is (null for the ledger file). While one is used, the ten list files
// are kept on the server too, so every computer shares the items, members and rates.
const PgSettings *ServerLedgerSettings();

// Another running copy of the program, played in the same process (two computers writing one server
// ledger, as its checks need them): while it lives, what opens the ledger on this thread (record sets,
// and so the books) gets the connection given instead of the ledger's own. A set keeps the connection
// it opened with.
class LedgerConnectionScope
{
public:
    explicit LedgerConnectionScope(std::shared_ptr<SqlConnection> connection);
    ~LedgerConnectionScope();
    LedgerConnectionScope(const LedgerConnectionScope &) = delete;
    LedgerConnectionScope &operator=(const LedgerConnectionScope &) = delete;

private:
    std::shared_ptr<SqlConnection> m_previous;
};
