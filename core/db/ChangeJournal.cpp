// The changes kept for taking back: recorded beside each change, told, and taken back.
#include "ChangeJournal.h"

#include "common/LedgerDate.h"
#include "db/DbError.h"
#include "db/JournalTables.h"
#include "db/MoneyBlocks.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <algorithm>


using namespace journal;

ChangeJournal::ChangeJournal(const std::shared_ptr<SqlConnection> &db, Clock now)
    : m_db(db), m_now(now ? std::move(now) : Clock(&LedgerNow)), m_runToken(qint64(QRandomGenerator::global()->generate64() >> 1))
{
    db->SetChangeRecorder(this);
}

ChangeJournal::~ChangeJournal()
{
    if (const std::shared_ptr<SqlConnection> db = m_db.lock())
        db->SetChangeRecorder(nullptr);
}

SqlConnection &ChangeJournal::Db() const
{
    // The connection lives while the books use it; a journal outliving it has nothing to act on.
    const std::shared_ptr<SqlConnection> db = m_db.lock();
    if (!db)
        throw DbError(QStringLiteral("帐目数据库已关闭。"));
    return *db;
}

QStringList ChangeJournal::RecordedTables() const
{
    QStringList tables;
    for (const JournalTable &table : JournalTables())
        tables << table.table;
    return tables;
}

void ChangeJournal::EnsureTables()
{
    Db().LayTableIfMissing(QStringLiteral("UndoLog"),
                           {QStringLiteral("CREATE TABLE \"UndoLog\" (\"ID\" INTEGER PRIMARY KEY AUTOINCREMENT, \"Run\" INTEGER NOT NULL, "
                                           "\"At\" TEXT NOT NULL, \"Changes\" BLOB NOT NULL, \"Checks\" TEXT NOT NULL)")});
    Db().LayTableIfMissing(QStringLiteral("Recycle"),
                           {QStringLiteral("CREATE TABLE \"Recycle\" (\"ID\" INTEGER PRIMARY KEY AUTOINCREMENT, \"Deleted\" TEXT NOT NULL, "
                                           "\"Change\" INTEGER NOT NULL, \"TableName\" TEXT NOT NULL, \"RecordId\" INTEGER NOT NULL, "
                                           "\"Record\" TEXT NOT NULL, \"Restored\" INTEGER NOT NULL DEFAULT 0)"),
                            QStringLiteral("CREATE INDEX \"Recycle_Change\" ON \"Recycle\" (\"Change\")"),
                            QStringLiteral("CREATE INDEX \"Recycle_Restored\" ON \"Recycle\" (\"Restored\")")});
}

QStringList ChangeJournal::ColumnsOf(const QString &table)
{
    const auto known = m_columns.constFind(table);
    if (known != m_columns.constEnd())
        return known.value();
    QStringList columns;
    SqlStatement info = Db().Prepare(QStringLiteral("PRAGMA table_info(%1)").arg(Quoted(table)));
    while (info.Step())
        columns << info.Text(1);
    if (!columns.isEmpty())
        m_columns.insert(table, columns);
    return columns;
}

std::vector<SqlValue> ChangeJournal::KeyOf(const QString &table, const RecordedChange &change)
{
    const JournalTable *known = TableOf(table);
    const QStringList columns = ColumnsOf(table);
    const auto &values = change.kind == RecordedChange::Kind::Insert ? change.after : change.before;
    std::vector<SqlValue> key;
    for (const QString &column : known ? known->key : QStringList()) {
        const qsizetype index = columns.indexOf(column);
        if (index < 0 || size_t(index) >= values.size() || !values[size_t(index)])
            throw DbError(QStringLiteral("撤销记录与帐本的表不符。"), table);
        key.push_back(*values[size_t(index)]);
    }
    return key;
}

QString ChangeJournal::RowDigest(const QString &table, const std::vector<SqlValue> &key)
{
    const JournalTable *known = TableOf(table);
    SqlStatement read = Db().Prepare(QStringLiteral("SELECT * FROM %1 WHERE %2").arg(Quoted(table), KeyCondition(known->key)));
    read.BindAll(key);
    if (!read.Step())
        return QString();  // no such record
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (int column = 0; column < read.ColumnCount(); ++column) {
        const QJsonArray value = ValueToJson(read.Value(column));
        hash.addData(QJsonDocument(value).toJson(QJsonDocument::Compact));
    }
    return QString::fromLatin1(hash.result().toHex());
}

QString ChangeJournal::Checks(const std::vector<RecordedChange> &changes)
{
    // An update keeps only the columns it changed: the digest of the whole record as the change left
    // it tells whether anything else of the record changed since. Inserts and deletes carry whole records.
    QJsonArray checks;
    for (const RecordedChange &change : changes) {
        if (change.kind != RecordedChange::Kind::Update)
            continue;
        const std::vector<SqlValue> key = KeyOf(change.table, change);
        QJsonArray keyJson;
        for (const SqlValue &value : key)
            keyJson.append(ValueToJson(value));
        checks.append(QJsonArray{change.table, keyJson, RowDigest(change.table, key)});
    }
    return QString::fromUtf8(QJsonDocument(checks).toJson(QJsonDocument::Compact));
}

bool ChangeJournal::ChecksHold(const QString &checks)
{
    for (const QJsonValue &check : QJsonDocument::fromJson(checks.toUtf8()).array()) {
        const QJsonArray parts = check.toArray();
        std::vector<SqlValue> key;
        for (const QJsonValue &value : parts.at(1).toArray())
            key.push_back(ValueFromJson(value.toArray()));
        const QString table = parts.at(0).toString();
        if (!TableOf(table) || RowDigest(table, key) != parts.at(2).toString())
            return false;
    }
    return true;
}

void ChangeJournal::KeepDeleted(const std::vector<RecordedChange> &changes, qint64 change, const QString &deleted)
{
    SqlStatement keep = Db().Prepare(QStringLiteral("INSERT INTO \"Recycle\" (\"Deleted\", \"Change\", \"TableName\", \"RecordId\", \"Record\") "
                                                     "VALUES (?, ?, ?, ?, ?)"));
    for (const RecordedChange &record : changes) {
        if (record.kind != RecordedChange::Kind::Delete)
            continue;
        const QStringList columns = ColumnsOf(record.table);
        const qsizetype idColumn = columns.indexOf(QStringLiteral("ID"));
        const std::optional<SqlValue> id = idColumn >= 0 ? record.before.at(size_t(idColumn)) : std::nullopt;
        keep.Reset();
        keep.BindAll({deleted, change, record.table, id && std::holds_alternative<qint64>(*id) ? std::get<qint64>(*id) : qint64(0),
                      WriteKept(columns, record.before)});
        keep.Run();
    }
}

void ChangeJournal::Committing(SqlConnection &db, const QByteArray &changes)
{
    Q_ASSERT(&db == &Db());
    EnsureTables();
    const QDateTime now = m_now();
    if (m_firstOfRun) {
        // What earlier runs kept for taking back is of no use now; deleted records stay their 30 days.
        SqlStatement old = Db().Prepare(QStringLiteral("DELETE FROM \"UndoLog\" WHERE \"Run\" <> ?"));
        old.Bind(1, m_runToken);
        old.Run();
        SqlStatement expired = Db().Prepare(QStringLiteral("DELETE FROM \"Recycle\" WHERE \"Deleted\" < ?"));
        expired.Bind(1, DbDateText(now.addDays(-kRecycleDays)));
        expired.Run();
    }
    if (m_run.size() >= size_t(kKeptChanges)) {
        SqlStatement oldest = Db().Prepare(QStringLiteral("DELETE FROM \"UndoLog\" WHERE \"ID\" <= ?"));
        oldest.Bind(1, m_run[m_run.size() - size_t(kKeptChanges)]);
        oldest.Run();
    }
    const std::vector<RecordedChange> records = Db().ReadChanges(changes, false);
    SqlStatement write = Db().Prepare(QStringLiteral("INSERT INTO \"UndoLog\" (\"Run\", \"At\", \"Changes\", \"Checks\") VALUES (?, ?, ?, ?)"));
    write.BindAll({m_runToken, DbDateText(now)});
    write.BindBlob(3, changes);
    write.Bind(4, Checks(records));
    write.Run();
    m_pending = Db().LastInsertId();
    KeepDeleted(records, m_pending, DbDateText(now));
    // Records put back from the recycle bin by this change go back into it when the change is taken back.
    if (m_restoring) {
        SqlStatement restored = Db().Prepare(QStringLiteral("UPDATE \"Recycle\" SET \"Restored\" = ? WHERE \"Restored\" = -1"));
        restored.Bind(1, m_pending);
        restored.Run();
    }
}

void ChangeJournal::Committed()
{
    m_firstOfRun = false;
    m_run.push_back(m_pending);
    if (m_run.size() > size_t(kKeptChanges))
        m_run.erase(m_run.begin(), m_run.end() - kKeptChanges);
}

void ChangeJournal::Forget()
{
    m_run.clear();
    m_firstOfRun = true;
    m_runToken = qint64(QRandomGenerator::global()->generate64() >> 1);
}

QString ChangeJournal::Describe(const std::vector<RecordedChange> &changes)
{
    struct Group
    {
        RecordedChange::Kind kind;
        QString table;
        int count = 0;
        QString first;  // what the first record of the group says
    };
    std::vector<Group> groups;
    for (const RecordedChange &change : changes) {
        auto group = std::find_if(groups.begin(), groups.end(),
                                  [&](const Group &g) { return g.kind == change.kind && g.table == change.table; });
        if (group != groups.end()) {
            ++group->count;
            continue;
        }
        groups.push_back({change.kind, change.table, 1, QString()});
        const JournalTable *table = TableOf(change.table);
        if (!table)
            continue;
        const QStringList columns = ColumnsOf(change.table);
        const auto summaryOf = [&](const std::vector<std::optional<SqlValue>> &values) {
            return Summary(*table, [&](const QString &column) -> std::optional<SqlValue> {
                const qsizetype index = columns.indexOf(column);
                return index < 0 || size_t(index) >= values.size() ? std::nullopt : values[size_t(index)];
            });
        };
        if (change.kind != RecordedChange::Kind::Update) {
            groups.back().first = summaryOf(change.kind == RecordedChange::Kind::Insert ? change.after : change.before);
            continue;
        }
        // An update: the record as it stands, and as it was with the old values of what changed.
        std::vector<std::optional<SqlValue>> now(columns.size());
        SqlStatement read = Db().Prepare(QStringLiteral("SELECT * FROM %1 WHERE %2").arg(Quoted(change.table), KeyCondition(table->key)));
        read.BindAll(KeyOf(change.table, change));
        if (read.Step()) {
            for (int i = 0; i < read.ColumnCount() && size_t(i) < now.size(); ++i)
                now[size_t(i)] = read.Value(i);
        }
        std::vector<std::optional<SqlValue>> was = now;
        for (size_t i = 0; i < was.size() && i < change.before.size(); ++i) {
            if (change.before[i])
                was[i] = change.before[i];
        }
        const QString nowText = summaryOf(now), wasText = summaryOf(was);
        groups.back().first = wasText == nowText ? nowText : QStringLiteral("%1（改动前：%2）").arg(nowText, wasText);
    }
    QStringList parts;
    for (const Group &group : groups) {
        const JournalTable *table = TableOf(group.table);
        if (!table)
            continue;
        if (!table->inRecycleBin) {
            // The marks of recurring records' dates, written or skipped.
            parts << (group.kind == RecordedChange::Kind::Delete ? QStringLiteral("去掉 %1 个周期收支到期日的记号")
                                                                 : QStringLiteral("记下 %1 个周期收支到期日（记入或跳过）"))
                         .arg(group.count);
            continue;
        }
        const QString verb = group.kind == RecordedChange::Kind::Insert   ? QStringLiteral("新增")
                             : group.kind == RecordedChange::Kind::Delete ? QStringLiteral("删除")
                                                                          : QStringLiteral("修改");
        QString part = QStringLiteral("%1 %2 条%3").arg(verb).arg(group.count).arg(table->book);
        if (!group.first.isEmpty())
            part += (group.count == 1 ? QStringLiteral("：") : QStringLiteral("，如：")) + group.first;
        parts << part;
    }
    return parts.join(QStringLiteral("\n"));
}

QString ChangeJournal::LastChangeText()
{
    if (m_run.empty())
        return QString();
    SqlStatement read = Db().Prepare(QStringLiteral("SELECT \"At\", \"Changes\" FROM \"UndoLog\" WHERE \"ID\" = ?"));
    read.Bind(1, m_run.back());
    if (!read.Step())
        return QString();
    const QDateTime at = DateFromDb(read.Text(0));
    const QString what = Describe(Db().ReadChanges(read.Blob(1)));
    return QStringLiteral("%1（%2）").arg(what, at.toString(QStringLiteral("HH:mm:ss")));
}

ChangeJournal::TakeBack ChangeJournal::TakeBackLast()
{
    if (m_run.empty())
        return TakeBack::Nothing;
    const qint64 change = m_run.back();
    bool taken = false;
    {
        SqlConnection::Unrecorded quiet(Db());
        SqlTransaction transaction(Db());
        SqlStatement read = Db().Prepare(QStringLiteral("SELECT \"Changes\", \"Checks\" FROM \"UndoLog\" WHERE \"ID\" = ?"));
        read.Bind(1, change);
        if (read.Step()) {
            const QByteArray changes = read.Blob(0);
            const QString checks = read.Text(1);
            read = SqlStatement();
            taken = ChecksHold(checks) && Db().RevertChanges(changes);
        }
        if (taken) {
            SplitCrowdedBlocks(Db());
            for (const QString &sql : {QStringLiteral("DELETE FROM \"UndoLog\" WHERE \"ID\" = ?"),
                                       QStringLiteral("DELETE FROM \"Recycle\" WHERE \"Change\" = ?"),
                                       QStringLiteral("UPDATE \"Recycle\" SET \"Restored\" = 0 WHERE \"Restored\" = ?")}) {
                SqlStatement forget = Db().Prepare(sql);
                forget.Bind(1, change);
                forget.Run();
            }
            transaction.Commit();
        }
    }
    m_run.pop_back();
    return taken ? TakeBack::Done : TakeBack::ChangedSince;
}
