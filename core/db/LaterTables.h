// The tables the books lay the first time they are used, beside the nine of the schema: the recurring
// records with the marks of their due dates, and the budgets. One place for their form, read by the
// books and by the moves between a ledger file and a server ledger.
#pragma once

#include <QString>
#include <QStringList>

// The names, in the order they are laid and copied.
QStringList LaterTableNames();
// The statements that lay the table (empty for a name not among them).
QStringList LaterTableStatements(const QString &table);
