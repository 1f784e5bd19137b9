// The checks of the demand-savings movement and of the transfer of a deposit to cash.
#pragma once

#include <QString>

struct MovementEntry
{
    QString account, currency, bank, person, note, amount;
};
// In order; the first failure's message (leading blank) or empty. A passing amount with a point is
// rewritten as TrimAmount of its number.
QString CheckMovement(MovementEntry *entry);

// The amount of a movement as saved: its magnitude, with a '-' in front for money taken out.
QString SignedMovementText(const QString &amount, bool out);

// The transfer checks: person, amount, its form, zero, and no more than the deposit's amount due.
// The amount is compared (and, passing, rewritten) as cut to cents.
QString CheckTransfer(const QString &person, QString *amount, double amountDue);
