// Conversions of the texts that dialogs hand to books into record values.
#pragma once

#include "common/Amount.h"
#include "common/LedgerDate.h"

#include <QDateTime>
#include <QString>

// A date text as a date; an unreadable text is refused with DbError before anything is written.
QDateTime DateValue(const QString &text);

// A policy's end date: empty means no end of cover (1979-11-25).
QDateTime EndDateValue(const QString &text);

// The list texts of an amount handed over as text: the text in the column of its sign, the other empty.
QStringList SignedColumns(const QString &amountText);
