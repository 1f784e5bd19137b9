// The recycle bin: the records deleted in the last 30 days, listed and put back.
#include "ChangeJournal.h"

#include "common/LedgerDate.h"
#include "db/CInsureBook.h"
#include "db/DbError.h"
#include "db/JournalTables.h"
#include "db/KeptFigures.h"
#include "db/MoneyBlocks.h"

#include <QJsonDocument>
#include <QScopeGuard>
#include <QSet>
#include <algorithm>

using namespace journal;

QList<RecycledRecord> ChangeJournal::Recycled()
{
    QList<RecycledRecord> records;
    if (!Db().HasTable(QStringLiteral("Recycle")))
        return records;
    SqlStatement read = Db().Prepare(QStringLiteral("SELECT \"ID\", \"Deleted\", \"TableName\", \"RecordId\", \"Record\" FROM \"Recycle\" "
                                                     "WHERE \"Restored\" = 0 AND \"Deleted\" >= ? ORDER BY \"ID\" DESC"));
    read.Bind(1, DbDateText(m_now().addDays(-kRecycleDays)));
    while (read.Step()) {
        const JournalTable *table = TableOf(read.Text(2));
        if (!table || !table->inRecycleBin)
            continue;
        RecycledRecord record;
        record.id = read.Int(0);
        record.deleted = DateFromDb(read.Text(1));
        record.table = table->table;
        record.book = table->book;
        record.recordId = read.Int(3);
        try {
            const KeptRecord kept = ReadKept(read.Text(4));
            record.summary = Summary(*table, [&](const QString &column) { return kept.Value(column); });
        } catch (const DbError &error) {
            record.summary = error.Explanation();
        }
        records << record;
    }
    return records;
}

QString ChangeJournal::Restore(const QList<qint64> &recycledIds)
{
    struct Entry
    {
        qint64 id;
        qint64 change;
        QString table;
        KeptRecord record;
    };
    const auto readEntries = [this](const QString &where, const SqlValue &value) {
        std::vector<Entry> entries;
        SqlStatement read = Db().Prepare(QStringLiteral("SELECT \"ID\", \"Change\", \"TableName\", \"Record\" FROM \"Recycle\" WHERE ")
                                          + where + QStringLiteral(" AND \"Restored\" = 0"));
        read.Bind(1, value);
        while (read.Step())
            entries.push_back({read.Int(0), read.Int(1), read.Text(2), ReadKept(read.Text(3))});
        return entries;
    };
    std::vector<Entry> chosen;
    QSet<qint64> taken;
    const auto take = [&](Entry entry) {
        if (!taken.contains(entry.id)) {
            taken.insert(entry.id);
            chosen.push_back(std::move(entry));
        }
    };
    for (qint64 id : recycledIds) {
        for (Entry &entry : readEntries(QStringLiteral("\"ID\" = ?"), id))
            take(std::move(entry));
    }
    // What was deleted with a record and belongs to it comes back with it.
    const size_t asked = chosen.size();
    for (size_t i = 0; i < asked; ++i) {
        const Entry owner = chosen[i];
        for (Entry &entry : readEntries(QStringLiteral("\"Change\" = ?"), owner.change)) {
            const bool activity = owner.table == QStringLiteral("InsureNote") && entry.table == QStringLiteral("InsureRecord")
                                  && entry.record.Value(QStringLiteral("InsureName")) == owner.record.Value(QStringLiteral("Name"));
            const bool mark = owner.table == QStringLiteral("Recurring") && entry.table == QStringLiteral("RecurringDone")
                              && entry.record.Value(QStringLiteral("Template")) == owner.record.Value(QStringLiteral("ID"));
            if (activity || mark)
                take(std::move(entry));
        }
    }
    QSet<QString> policiesBack;
    for (const Entry &entry : chosen) {
        if (entry.table == QStringLiteral("InsureNote"))
            policiesBack.insert(ValueText(entry.record.Value(QStringLiteral("Name")).value_or(SqlValue()), Shown::Plain));
    }
    const auto exists = [this](const QString &table, const QString &column, const SqlValue &value) {
        SqlStatement find = Db().Prepare(QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ? LIMIT 1").arg(Quoted(table), Quoted(column)));
        find.Bind(1, value);
        return find.Step();
    };
    for (const Entry &entry : chosen) {
        if (!TableOf(entry.table) || !Db().HasTable(entry.table))
            return QStringLiteral("回收站中的记录属于帐本中没有的表 %1，无法恢复。").arg(entry.table);
        if (entry.table == QStringLiteral("InsureNote")) {
            const SqlValue name = entry.record.Value(QStringLiteral("Name")).value_or(SqlValue());
            if (exists(entry.table, QStringLiteral("Name"), name))
                return QStringLiteral("帐本中已有名为“%1”的保单，这份保单无法恢复。").arg(ValueText(name, Shown::Plain));
        }
        if (entry.table == QStringLiteral("InsureRecord")) {
            const SqlValue policy = entry.record.Value(QStringLiteral("InsureName")).value_or(SqlValue());
            if (!policiesBack.contains(ValueText(policy, Shown::Plain)) && !exists(QStringLiteral("InsureNote"), QStringLiteral("Name"), policy))
                return QStringLiteral("保险活动所属的保单“%1”不在帐本中：请先恢复这份保单。").arg(ValueText(policy, Shown::Plain));
        }
    }
    // A record the household sees whose key is taken again (a budget of its item and month set since),
    // or taken twice among those chosen, cannot come back in that place: refused, never skipped unsaid.
    QSet<QString> keysBack;
    for (const Entry &entry : chosen) {
        const JournalTable *table = TableOf(entry.table);
        if (!table->inRecycleBin)
            continue;
        QJsonArray keyJson{entry.table};
        QStringList keyTexts;
        std::vector<SqlValue> key;
        for (const QString &column : table->key) {
            key.push_back(entry.record.Value(column).value_or(SqlValue()));
            keyJson.append(ValueToJson(key.back()));
            const auto shown = std::find_if(table->summary.begin(), table->summary.end(),
                                            [&column](const QPair<QString, Shown> &part) { return part.first == column; });
            keyTexts << ValueText(key.back(), shown == table->summary.end() ? Shown::Plain : shown->second);
        }
        const QString keyText = QString::fromUtf8(QJsonDocument(keyJson).toJson(QJsonDocument::Compact));
        SqlStatement find = Db().Prepare(QStringLiteral("SELECT 1 FROM %1 WHERE %2").arg(Quoted(entry.table), KeyCondition(table->key)));
        find.BindAll(key);
        if (find.Step() || keysBack.contains(keyText))
            return QStringLiteral("帐本中已有同一%1（%2），回收站中的这条无法恢复。").arg(table->book, keyTexts.join(QLatin1Char(' ')));
        keysBack.insert(keyText);
    }
    if (chosen.empty())
        return QString();
    SqlTransaction transaction(Db());
    for (const Entry &entry : chosen) {
        // A record whose key is in its table again (put back by taking its deletion back) stays as it is.
        const JournalTable *table = TableOf(entry.table);
        std::vector<SqlValue> key;
        for (const QString &column : table->key)
            key.push_back(entry.record.Value(column).value_or(SqlValue()));
        SqlStatement find = Db().Prepare(QStringLiteral("SELECT 1 FROM %1 WHERE %2").arg(Quoted(entry.table), KeyCondition(table->key)));
        find.BindAll(key);
        if (find.Step())
            continue;
        find = SqlStatement();
        QStringList names;
        QStringList marks;
        for (const QString &column : entry.record.columns) {
            names << Quoted(column);
            marks << QStringLiteral("?");
        }
        SqlStatement insert = Db().Prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                                .arg(Quoted(entry.table), names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
        insert.BindAll(entry.record.values);
        insert.Run();
    }
    // A premium deleted on its own was taken out of its policy's paid sum: put back, it counts there
    // again. One deleted with its policy (the policy's list) is still counted in the policy kept.
    for (const Entry &entry : chosen) {
        if (entry.table != QStringLiteral("InsureRecord")
            || !CInsureBook::IsPremium(ValueText(entry.record.Value(QStringLiteral("Active")).value_or(SqlValue()), Shown::Plain)))
            continue;
        const SqlValue policy = entry.record.Value(QStringLiteral("InsureName")).value_or(SqlValue());
        SqlStatement withPolicy = Db().Prepare(QStringLiteral("SELECT \"Record\" FROM \"Recycle\" WHERE \"Change\" = ? AND \"TableName\" = 'InsureNote'"));
        withPolicy.Bind(1, entry.change);
        bool deletedWithPolicy = false;
        while (!deletedWithPolicy && withPolicy.Step())
            deletedWithPolicy = ReadKept(withPolicy.Text(0)).Value(QStringLiteral("Name")) == std::optional<SqlValue>(policy);
        withPolicy = SqlStatement();
        if (deletedWithPolicy)
            continue;
        const SqlValue money = entry.record.Value(QStringLiteral("Money")).value_or(SqlValue());
        const double paid = std::holds_alternative<double>(money)   ? std::get<double>(money)
                            : std::holds_alternative<qint64>(money) ? double(std::get<qint64>(money))
                                                                    : 0.0;
        SqlStatement note = Db().Prepare(QStringLiteral("SELECT \"ID\", \"PayedMoney\" FROM \"InsureNote\" WHERE \"Name\" = ? ORDER BY \"ID\" LIMIT 1"));
        note.Bind(1, policy);
        if (!note.Step())
            continue;
        const qint64 noteId = note.Int(0);
        const double payed = double(ToCents(note.Double(1)) + ToCents(-paid)) / 100.0;
        note = SqlStatement();
        SqlStatement write = Db().Prepare(QStringLiteral("UPDATE \"InsureNote\" SET \"PayedMoney\" = ? WHERE \"ID\" = ?"));
        write.BindAll({payed, noteId});
        write.Run();
    }
    SplitCrowdedBlocks(Db());
    SqlStatement restored = Db().Prepare(QStringLiteral("UPDATE \"Recycle\" SET \"Restored\" = -1 WHERE \"ID\" = ?"));
    for (const Entry &entry : chosen) {
        restored.Reset();
        restored.Bind(1, entry.id);
        restored.Run();
    }
    m_restoring = true;
    const auto restoring = qScopeGuard([this] { m_restoring = false; });
    transaction.Commit();
    Db().NoteChangeOfAll();
    return QString();
}
