// The form of the tables the books lay when first used.
#include "LaterTables.h"

QStringList LaterTableNames()
{
    return {QStringLiteral("Recurring"), QStringLiteral("RecurringDone"), QStringLiteral("Budget")};
}

QStringList LaterTableStatements(const QString &table)
{
    if (table == QLatin1String("Recurring"))
        return {QStringLiteral("CREATE TABLE \"Recurring\" (\"ID\" INTEGER PRIMARY KEY AUTOINCREMENT, \"Item\" TEXT NOT NULL, "
                               "\"Money\" DOUBLE NOT NULL, \"Member\" TEXT NOT NULL DEFAULT '', \"Explain\" TEXT NOT NULL DEFAULT '', "
                               "\"Unit\" INTEGER NOT NULL, \"Every\" INTEGER NOT NULL, \"DayOfMonth\" INTEGER NOT NULL DEFAULT 0, "
                               "\"First\" TEXT NOT NULL, \"End\" TEXT NOT NULL DEFAULT '', \"Times\" INTEGER NOT NULL DEFAULT 0)")};
    // A due date written (Written 1) or skipped (0): one mark per template and date.
    if (table == QLatin1String("RecurringDone"))
        return {QStringLiteral("CREATE TABLE \"RecurringDone\" (\"Template\" INTEGER NOT NULL, \"Due\" TEXT NOT NULL, "
                               "\"Written\" INTEGER NOT NULL, PRIMARY KEY (\"Template\", \"Due\")) WITHOUT ROWID")};
    if (table == QLatin1String("Budget"))
        return {QStringLiteral("CREATE TABLE \"Budget\" (\"Item\" TEXT NOT NULL, \"Month\" TEXT NOT NULL, "
                               "\"Cents\" INTEGER NOT NULL, PRIMARY KEY (\"Item\", \"Month\")) WITHOUT ROWID")};
    return {};
}
