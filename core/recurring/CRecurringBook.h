// 周期收支: income and expense records that come due by themselves (the rent, the salary). Each
// template is a record and a rule; the due dates written or skipped are marked in the ledger beside
// the records, in the same transaction, so that no due date is written twice — not after a crash
// between the two, not by two copies of the program confirming it at once.
#pragma once

#include "db/CMoneyBook.h"
#include "recurring/RecurringRule.h"

#include <QDate>
#include <QList>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

class SqlConnection;

struct RecurringTemplate
{
    qint64 id = 0;
    QString item;
    double amount = 0;  // signed as the record: an expense negative
    QString member;
    QString note;
    RecurringRule rule;
};

// What keeps the template from being kept (an amount of 0 or beyond the largest, the rule's own
// faults), or an empty text.
QString RecurringTemplateProblem(const RecurringTemplate &recurring);

// A record come due: its template, its date and the record it becomes (which the household may change).
struct DueRecord
{
    qint64 templateId = 0;
    QDate due;
    MoneyEntry entry;
};

// What comes of the recurring records around a day: how many are due and neither written nor
// skipped, and the next one to come after the day.
struct RecurringOutlook
{
    size_t due = 0;
    std::optional<DueRecord> next;
};

class CRecurringBook
{
public:
    // Lays the book's two tables in the ledger when it has none yet.
    explicit CRecurringBook(std::shared_ptr<SqlConnection> db);
    // Whether the ledger ever had recurring records: one that never did is not written to by looking.
    static bool IsLaid(SqlConnection &db);

    QList<RecurringTemplate> Templates() const;
    // Keeps a new template (its id set) or a changed one; the problem, or an empty text when kept.
    // A database failure throws DbError.
    QString Add(RecurringTemplate &recurring);
    QString Modify(const RecurringTemplate &recurring);
    // Removes the template and the marks of its due dates (its records stay).
    void Remove(qint64 id);

    // The records come due up to and including the day that are neither written nor skipped, by date.
    std::vector<DueRecord> DueUpTo(const QDate &day) const;
    // The occurrences from today to the same day the days later, both included, marked or not: what
    // comes due next.
    std::vector<DueRecord> ComingWithin(const QDate &today, int days) const;
    // Whether the ledger holds a record of the due record's day, item and amount already (entered by
    // hand, say): writing it would count it twice.
    bool HeldAlready(const DueRecord &record) const;
    // The due ones up to the day, and the first not marked within the days after it.
    RecurringOutlook Outlook(const QDate &today, int days) const;

    // Writes the records through the income and expense book and marks them and the skipped ones, in
    // one transaction. A due date marked already (by another copy) is neither written nor marked
    // again. Returns how many records were written; false cancels nothing (no progress is asked).
    qsizetype Confirm(CMoneyBook &book, const std::vector<DueRecord> &write, const std::vector<DueRecord> &skip);

private:
    std::vector<DueRecord> Occurrences(const QDate &from, const QDate &upTo, bool unmarkedOnly) const;
    std::shared_ptr<SqlConnection> m_db;
};
