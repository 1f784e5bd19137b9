// The import's progress told, and its rows matched with the records the ledger holds already.
#include "BillImport.h"

#include "common/LedgerDate.h"
#include "db/CMoneyBook.h"
#include "db/KeptFigures.h"
#include "db/SqlConnection.h"

#include <QHash>

void TellImportProgress(const ImportProgress &progress, qsizetype done, qsizetype total)
{
    constexpr qsizetype kStep = 1000;
    if (progress && (done % kStep == 0 || done == total) && !progress(done, total))
        throw ImportCancelled();
}

std::vector<bool> MatchExistingRecords(SqlConnection &db, const std::vector<MoneyEntry> &entries,
                                       const std::vector<bool> &wholeDay, const ImportProgress &progress)
{
    // One count per entry through the date index, which holds the item and the amount: of the records
    // at the time itself, or from the day's start to the next day's.
    // The same amount under the same item, or with the same note (not an empty one): a record imported
    // before and since filed under another item (a rule changed) is the same record all the same.
    const QString sameItemAndAmount = QStringLiteral(" AND (\"Item\" = ? OR (\"Explain\" = ? AND \"Explain\" <> '')) AND ") + CentsSql(QStringLiteral("\"Money\""))
                                      + QStringLiteral(" = ?");
    SqlStatement sameTime = db.Prepare(QStringLiteral("SELECT count(*) FROM \"Money\" WHERE \"Date\" = ?") + sameItemAndAmount);
    SqlStatement sameDay = db.Prepare(QStringLiteral("SELECT count(*) FROM \"Money\" WHERE \"Date\" >= ? AND \"Date\" < ?")
                                      + sameItemAndAmount);
    // A bill holds rows alike (two lunches of one price, even in one second): each record held matches
    // one entry at most, so that the rows beyond the records held are written. An entry that gives its
    // time can match only the records at that time, one of a day alone any record of the day: the first
    // kind is matched first, and the second gets the records of its day left over, so that a record found
    // by its time is never found again by a row of its day (which is then a further record of the day).
    // The records taken so far, by time, item and amount and by day, item and amount.
    QHash<QString, qint64> takenAt, takenOfDay;
    std::vector<bool> matched(entries.size(), false);
    const qsizetype total = 2 * qsizetype(entries.size());
    for (const bool dayPass : {false, true}) {
        SqlStatement &count = dayPass ? sameDay : sameTime;
        for (size_t i = 0; i < entries.size(); ++i) {
            TellImportProgress(progress, (dayPass ? qsizetype(entries.size()) : 0) + qsizetype(i), total);
            const bool dayOnly = i < wholeDay.size() && wholeDay[i];
            if (dayOnly != dayPass)
                continue;
            const MoneyEntry &entry = entries[i];
            const qint64 cents = ToCents(entry.amount);
            count.Reset();
            int bound = 1;
            if (dayOnly) {
                const QDate day = entry.date.date();
                count.Bind(bound++, DbDateText(LedgerDateTime(day)));
                count.Bind(bound++, DbDateText(LedgerDateTime(day.addDays(1))));
            } else {
                count.Bind(bound++, DbDateText(entry.date));
            }
            count.Bind(bound++, entry.item);
            count.Bind(bound++, entry.explain);
            count.Bind(bound, cents);
            const qint64 held = count.Step() ? count.Int(0) : 0;
            if (held == 0)
                continue;
            // Taken by time (or day) and amount: a record found by its item for one entry is not found
            // again by its note for another.
            const QString what = QLatin1Char('\n') + QString::number(cents);
            qint64 &ofDay = takenOfDay[ListDateText(entry.date) + what];
            qint64 &used = dayOnly ? ofDay : takenAt[DbDateText(entry.date) + what];
            if (used < held) {
                matched[i] = true;
                ++used;
                if (!dayOnly)
                    ++ofDay;
            }
        }
    }
    TellImportProgress(progress, total, total);
    return matched;
}
