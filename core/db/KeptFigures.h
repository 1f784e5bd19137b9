// Counts and totals the database keeps current by triggers, so that opening a large ledger never
// counts or sums a whole table, and a total is one figure the books show rather than a running sum
// of their own. Amounts are kept in whole cents: a sum of cents has no float noise.
#pragma once

#include <QString>
#include <functional>
#include <optional>

class SqlConnection;

// Whether the file holds the kept figures in this program's form.
bool KeptFiguresCurrent(SqlConnection &db);

// Whether the ledger holds income and expense records (those that make an upgrade take a while and
// a copy before it worth keeping).
bool LedgerHasRecords(SqlConnection &db);

// Lays or upgrades the kept figures (the table Totals, the income/expense records per month in
// MoneyMonths and per month, item and sign in MoneyMonthItems, the blocks of the income/expense list
// (MoneyBlocks.h), the change mark, and their triggers)
// when the file has none or an older form, recomputing them from the records, all in one transaction.
// Keeps no copy: the ledger's opening (OpenLedgerDatabase) makes one in before(), run first and told
// as the upgrade's first step. A ledger of a later form than this program's is refused (DbError, saying
// so) with nothing changed and nothing copied. Throws DbError.
void EnsureKeptFigures(SqlConnection &db, const std::function<void()> &before = {});

// Told as an upgrade of a large ledger's kept figures goes: it reads every record, which takes a
// while, and the interface shows how far it is. done runs from 0 (started) to total (ended, committed
// or not), one step per figure laid. Called on the thread that upgrades.
void SetUpgradeProgress(std::function<void(int done, int total)> progress);

// The kept figure "table|column|condition" ("count" for the number of records; the condition in the
// ledger's filter form, e.g. "MKind='人民币'"), or nothing when the ledger keeps no such figure.
std::optional<qint64> KeptFigure(SqlConnection &db, const QString &table, const QString &column,
                                 const QString &condition = QString());

// The ledger's change mark: a number drawn anew whenever any record of the nine tables is written, or
// nothing for a ledger of an earlier form. Equal marks, the same records.
std::optional<qint64> LedgerChangeMark(SqlConnection &db);

// An amount in whole cents, rounded half away from zero, as the kept figures count it.
qint64 ToCents(double amount);

// The SQL expression of a record's month key: the first seven characters of its date text
// ("2003-05"), so that month keys sort as the dates do; '' for a date that is not text (such records
// sort before every text date).
QString MonthKeySql(const QString &dateColumn);

// The SQL expression of a column's amount in whole cents (for sums that must agree with the kept figures).
QString CentsSql(const QString &column);
