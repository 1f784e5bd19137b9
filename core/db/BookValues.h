// Conversions of the texts that dialogs hand to books into record values.
#pragma once

#include "common/Amount.h"
#include "common/LedgerDate.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// A date text as a date; an unreadable text is refused with DbError before anything is written.
QDateTime DateValue(const QString &text);

// A policy's end date: empty means no end of cover (1979-11-25).
QDateTime EndDateValue(const QString &text);

// An amount as stored: refused with DbError (nothing written) when beyond kLargestAmount either way.
double AmountValue(double amount);
double AmountValue(const QString &text);

// A quantity or a number of years, stored in a 16-bit column: refused with DbError, naming the field,
// when out of its range, rather than wrapped around.
qint16 ShortValue(int value, const QString &field);
qint16 ShortValue(const QString &text, const QString &field);

// The list texts of an amount handed over as text: the text in the column of its sign, the other empty.
QStringList SignedColumns(const QString &amountText);
// The amount of a row that shows it in one of two such columns, the first at the given position.
QString AmountOfSignedColumns(const QStringList &row, int first);
