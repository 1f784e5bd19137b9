// A rule the database checks only at the COMMIT: a change that breaks it runs, and its COMMIT fails.
// Tests use it to see what a change that fails at the last step leaves behind.
#pragma once

#include "db/SqlConnection.h"

// Any row of the table Guard breaks the rule. The connection must not be inside a transaction.
inline void LayDeferredGuard(SqlConnection &db)
{
    db.Execute(QStringLiteral("PRAGMA foreign_keys=ON"));
    db.Execute(QStringLiteral("CREATE TABLE Parent (ID INTEGER PRIMARY KEY)"));
    db.Execute(QStringLiteral("CREATE TABLE Guard (Ref INTEGER REFERENCES Parent(ID) DEFERRABLE INITIALLY DEFERRED)"));
}

// Deleting a record of the table (one meeting the condition over OLD, when given) fails at the COMMIT.
inline void FailCommitOfDeletes(SqlConnection &db, const QString &table, const QString &condition = QString())
{
    const QString when = condition.isEmpty() ? QString() : QStringLiteral(" WHEN ") + condition;
    db.Execute(QStringLiteral("CREATE TRIGGER \"%1_guard\" AFTER DELETE ON \"%1\"%2 BEGIN INSERT INTO Guard VALUES (1); END")
                   .arg(table, when));
}
