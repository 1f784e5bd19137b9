// The SQL the books and the kept figures write (the SQL SQLite takes) as PostgreSQL takes it. The one
// place the two databases' languages meet: the books do not know which one they talk to.
#pragma once

#include <QString>
#include <QStringList>

// One statement's words: '?' parameters numbered ($1, $2 …; ?3 as $3); quoted names in lower case, as PostgreSQL
// folds the unquoted ones, so "Money" and Money name one table; IFNULL as COALESCE; SQLite's random()
// (a 64-bit whole number) as one; SQLite's round(x) as SQLite rounds (half away from zero, where the
// server's round of a double goes to the even neighbour); the type names INTEGER (SQLite's are 64-bit), DOUBLE and DATETIME
// as PostgreSQL names them; temp. as pg_temp.; the empty blob x'' and the lowest key -9e999 as the
// empty text (a server ledger's item, member and date columns are texts, never NULL); the unary plus
// SQLite's planner reads as "no index for this condition" left out. Texts in single quotes are left
// as they are.
QString PgDialect(const QString &sql, int *parameterCount = nullptr);

// One statement as the commands PostgreSQL runs for it, each through PgDialect:
// - CREATE TABLE: an AUTOINCREMENT key numbered by the server (an explicit ID still fills it), texts
//   compared by code point as SQLite compares them, WITHOUT ROWID left out;
// - CREATE TRIGGER … [WHEN …] BEGIN … END: a PL/pgSQL function of the trigger's name with "_fn" and
//   the row trigger that runs it (WHEN's "IS NOT" as IS DISTINCT FROM); DROP TRIGGER drops that
//   function and so the trigger;
// - INSERT OR IGNORE: ON CONFLICT DO NOTHING;
// - PRAGMA user_version (read or set): the ledger's form in the table "ZarvelForm".
QStringList PgCommands(const QString &sql, int *parameterCount = nullptr);
