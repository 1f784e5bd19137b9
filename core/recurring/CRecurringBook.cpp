// Recurring records' templates and the marks of their due dates.
#include "CRecurringBook.h"


#include "common/Amount.h"
#include "common/LedgerDate.h"
#include "db/KeptFigures.h"
#include "db/LaterTables.h"
#include "db/SqlConnection.h"

#include <QSet>
#include <algorithm>
#include <cmath>

namespace {

const QString kDayForm = QStringLiteral("yyyy-MM-dd");

QString DayText(const QDate &day)
{
    return day.isValid() ? day.toString(kDayForm) : QString();
}

// The templates' columns, in the order they are read and written.
const QString kColumns = QStringLiteral("\"Item\", \"Money\", \"Member\", \"Explain\", \"Unit\", \"Every\", \"DayOfMonth\", "
                                        "\"First\", \"End\", \"Times\"");

void BindTemplate(SqlStatement &statement, const RecurringTemplate &recurring)
{
    const RecurringRule &rule = recurring.rule;
    statement.BindAll({recurring.item, recurring.amount, recurring.member, recurring.note, qint64(rule.unit), qint64(rule.every),
                       qint64(rule.dayOfMonth), DayText(rule.first), DayText(rule.end), qint64(rule.times)});
}

} // namespace

QString RecurringTemplateProblem(const RecurringTemplate &recurring)
{
    if (recurring.item.isEmpty())
        return QStringLiteral("请选择收支项目");
    if (!(std::fabs(recurring.amount) * 100.0 >= 0.5))
        return QStringLiteral("金额不能为零");
    if (!std::isfinite(recurring.amount) || std::fabs(recurring.amount) > kLargestAmount)
        return QStringLiteral("金额超出范围");
    return RecurringRuleProblem(recurring.rule);
}

CRecurringBook::CRecurringBook(std::shared_ptr<SqlConnection> db) : m_db(std::move(db))
{
    for (const QString &table : {QStringLiteral("Recurring"), QStringLiteral("RecurringDone")})
        m_db->LayTableIfMissing(table, LaterTableStatements(table));
}

QList<RecurringTemplate> CRecurringBook::Templates() const
{
    QList<RecurringTemplate> templates;
    SqlStatement read = m_db->Prepare(QStringLiteral("SELECT \"ID\", %1 FROM \"Recurring\" ORDER BY \"ID\"").arg(kColumns));
    while (read.Step()) {
        RecurringTemplate recurring;
        recurring.id = read.Int(0);
        recurring.item = read.Text(1);
        recurring.amount = read.Double(2);
        recurring.member = read.Text(3);
        recurring.note = read.Text(4);
        RecurringRule &rule = recurring.rule;
        rule.unit = RepeatUnit(std::clamp<qint64>(read.Int(5), 0, 3));
        rule.every = int(read.Int(6));
        rule.dayOfMonth = int(read.Int(7));
        rule.first = QDate::fromString(read.Text(8), kDayForm);
        rule.end = QDate::fromString(read.Text(9), kDayForm);
        rule.times = int(read.Int(10));
        templates << recurring;
    }
    return templates;
}

QString CRecurringBook::Add(RecurringTemplate &recurring)
{
    const QString problem = RecurringTemplateProblem(recurring);
    if (!problem.isEmpty())
        return problem;
    SqlTransaction transaction(*m_db);
    SqlStatement insert = m_db->Prepare(QStringLiteral("INSERT INTO \"Recurring\" (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)").arg(kColumns));
    BindTemplate(insert, recurring);
    insert.Run();
    const qint64 added = m_db->LastInsertId();
    transaction.Commit();
    recurring.id = added;  // only once it is stored
    return QString();
}

QString CRecurringBook::Modify(const RecurringTemplate &recurring)
{
    const QString problem = RecurringTemplateProblem(recurring);
    if (!problem.isEmpty())
        return problem;
    SqlTransaction transaction(*m_db);
    QString sets = kColumns;
    sets.replace(QStringLiteral("\","), QStringLiteral("\" = ?,"));
    SqlStatement update = m_db->Prepare(QStringLiteral("UPDATE \"Recurring\" SET %1 = ? WHERE \"ID\" = ?").arg(sets));
    BindTemplate(update, recurring);
    update.Bind(11, recurring.id);
    update.Run();
    transaction.Commit();
    return QString();
}

void CRecurringBook::Remove(qint64 id)
{
    SqlTransaction transaction(*m_db);
    for (const QString &sql : {QStringLiteral("DELETE FROM \"RecurringDone\" WHERE \"Template\" = ?"),
                               QStringLiteral("DELETE FROM \"Recurring\" WHERE \"ID\" = ?")}) {
        SqlStatement remove = m_db->Prepare(sql);
        remove.Bind(1, id);
        remove.Run();
    }
    transaction.Commit();
}

std::vector<DueRecord> CRecurringBook::Occurrences(const QDate &from, const QDate &upTo, bool unmarkedOnly) const
{
    std::vector<DueRecord> due;
    SqlStatement marked = m_db->Prepare(QStringLiteral("SELECT \"Due\" FROM \"RecurringDone\" WHERE \"Template\" = ?"));
    for (const RecurringTemplate &recurring : Templates()) {
        QSet<QString> done;
        if (unmarkedOnly) {
            marked.Reset();
            marked.Bind(1, recurring.id);
            while (marked.Step())
                done.insert(marked.Text(0));
        }
        for (const QDate &day : DueDates(recurring.rule, upTo)) {
            if (day < from || done.contains(DayText(day)))
                continue;
            due.push_back({recurring.id, day, {LedgerDateTime(day), recurring.item, recurring.amount, recurring.member, recurring.note}});
        }
    }
    std::stable_sort(due.begin(), due.end(), [](const DueRecord &a, const DueRecord &b) { return a.due < b.due; });
    return due;
}

std::vector<DueRecord> CRecurringBook::DueUpTo(const QDate &day) const
{
    return Occurrences(QDate(), day, true);
}

std::vector<DueRecord> CRecurringBook::ComingWithin(const QDate &today, int days) const
{
    return Occurrences(today, today.addDays(days), false);
}

RecurringOutlook CRecurringBook::Outlook(const QDate &today, int days) const
{
    RecurringOutlook outlook;
    outlook.due = DueUpTo(today).size();
    const std::vector<DueRecord> coming = Occurrences(today.addDays(1), today.addDays(days), true);
    if (!coming.empty())
        outlook.next = coming.front();
    return outlook;
}

bool CRecurringBook::HeldAlready(const DueRecord &record) const
{
    const QDate day = record.entry.date.date();
    SqlStatement find = m_db->Prepare(QStringLiteral("SELECT 1 FROM \"Money\" WHERE \"Date\" >= ? AND \"Date\" < ? AND \"Item\" = ? AND ")
                                      + CentsSql(QStringLiteral("Money")) + QStringLiteral(" = ? LIMIT 1"));
    find.BindAll({DbDateText(LedgerDateTime(day)), DbDateText(LedgerDateTime(day.addDays(1))), record.entry.item, ToCents(record.entry.amount)});
    return find.Step();
}

bool CRecurringBook::IsLaid(SqlConnection &db)
{
    return db.HasTable(QStringLiteral("Recurring"));
}

qsizetype CRecurringBook::Confirm(CMoneyBook &book, const std::vector<DueRecord> &write, const std::vector<DueRecord> &skip)
{
    std::vector<MoneyEntry> entries;
    for (const DueRecord &record : write)
        entries.push_back(record.entry);
    const QString markSql = QStringLiteral("INSERT OR IGNORE INTO \"RecurringDone\" (\"Template\", \"Due\", \"Written\") VALUES (?, ?, ?)");
    // Marks the date; false when it was marked already.
    const auto mark = [&markSql](SqlConnection &db, const DueRecord &record, bool written) {
        SqlStatement insert = db.Prepare(markSql);
        insert.BindAll({record.templateId, DayText(record.due), qint64(written ? 1 : 0)});
        insert.Run();
        return db.RowsChanged() > 0;
    };
    qsizetype written = 0;
    CMoneyBook::Alongside alongside;
    alongside.before = [&](SqlConnection &db) {
        written = 0;  // counted anew should the transaction be tried again
        for (const DueRecord &record : skip)
            mark(db, record, false);
    };
    alongside.claim = [&](SqlConnection &db, qsizetype i) {
        const bool claimed = mark(db, write[size_t(i)], true);
        written += claimed ? 1 : 0;
        return claimed;
    };
    book.AddMany(entries, {}, alongside);
    return written;
}
