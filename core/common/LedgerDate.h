// Dates as the ledger writes, stores and reads them.
#pragma once

#include <QDateTime>
#include <QString>

// Ledger dates are wall-clock dates and times without a zone: kept as QDateTime marked UTC, so no
// time-zone rule (a summer-time gap, say) ever shifts them, and building one costs nothing.
QDateTime LedgerDateTime(const QDate &date, const QTime &time = QTime(0, 0));

// The date and time on the household's clock now.
QDateTime LedgerNow();

// The empty date of a fresh record field (the OLE date zero).
QDateTime ZeroDate();

// The EndDate stored for a policy without an end of cover.
QDateTime NoEndDate();

// "%Y-%m-%d": how lists and the texts between dialogs and books show a date.
QString ListDateText(const QDateTime &date);

// The database form: "YYYY-MM-DD HH:MM:SS", local time, which sorts and compares correctly.
QString DbDateText(const QDateTime &date);

// Reads the database form back; an unreadable text gives the zero date.
QDateTime DateFromDb(const QString &text);

// Reads a date text handed over by a dialog ("2003-05-01", "2003-5-1", "2003/5/1", with or without
// a time of day) as a date only, at midnight. Anything else gives an invalid QDateTime.
QDateTime ParseDateText(const QString &text);
