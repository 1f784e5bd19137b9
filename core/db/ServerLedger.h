// Laying a ledger on a PostgreSQL server: the nine tables of the installation's schema, as the server
// takes them. The schema file stays the one source of the tables' form for both databases.
#pragma once

#include <QString>
#include <QStringList>

class SqlConnection;

// The schema's statements (schema.sql, written for SQLite) as PostgreSQL takes them: an ID the server
// numbers (and that an explicit ID may still fill, as a restored record's does), texts and dates
// compared by code point, which is SQLite's byte order (COLLATE ucs_basic, whatever the server's
// language), doubles as double precision. SQLite's own settings (PRAGMA) are left out.
QStringList ServerSchemaStatements(const QString &schema);

// Lays the nine tables in an empty database, in one transaction. Refused (DbError, nothing laid) when
// the database holds tables already: another program's, or a ledger, which is opened, not laid.
void LayServerLedger(SqlConnection &db, const QString &schemaPath);

// What a server ledger has beside the nine tables: the form of its kept figures (the table
// "ZarvelForm"), and SQLite's typeof() as a function of its own, with one of a text the server can
// write into the statements that ask it.
QStringList ServerHelpers();

// Adds to a ledger laid before it the typeof() of a text; a user who may not add it goes without.
void EnsureServerHelpers(SqlConnection &db);

// The names of the tables in the server database's schema, in lower case.
QStringList ServerTables(SqlConnection &db);

// The nine tables of a ledger, in the order they are copied.
QStringList LedgerTableNames();

// The table that holds the ten list files' contents where every computer shares them: on a server
// ledger, and in a ledger file exported from one.
QString ListFilesTable();
QStringList ListFilesStatements();

// What lets several running copies share a server ledger, laid where an older ledger lacks it: the
// list files' table, the tables the books lay when first used, and on every table of records a
// trigger that tells the copies listening (channel ServerChangesChannel(), the table's name in lower
// case as payload) once its transaction commits.
void EnsureServerSharing(SqlConnection &db);
QString ServerChangesChannel();

// Copies the ten list files of the folder (those there) into the list files' table, replacing what it
// held of them. Part of the caller's transaction. Throws DbError when one cannot be read.
void CopyListFiles(const QString &folder, SqlConnection &to);

// What a server database holds: a ledger, nothing yet, or tables of another program.
enum class ServerContents { Ledger, Empty, Other };
ServerContents LookAtServerDatabase(SqlConnection &db);
