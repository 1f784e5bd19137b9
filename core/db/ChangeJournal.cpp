// The changes kept for taking back, and the recycle bin.
#include "ChangeJournal.h"

#include "common/Amount.h"
#include "common/LedgerDate.h"
#include "db/CInsureBook.h"
#include "db/DbError.h"
#include "db/KeptFigures.h"
#include "db/MoneyBlocks.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QSet>
#include <algorithm>

namespace {

enum class Shown { Plain, Date, Money, Cents, Month };

// A table whose records the journal keeps: its name as the household knows the book, its key, and
// the columns that say what a record was.
struct JournalTable
{
    QString table;
    QString book;
    QStringList key;
    QList<QPair<QString, Shown>> summary;
    bool inRecycleBin = true;
};

const QList<JournalTable> &JournalTables()
{
    const QStringList id{QStringLiteral("ID")};
    static const QList<JournalTable> tables{
        {QStringLiteral("Money"), QStringLiteral("收支记录"), id,
         {{"Date", Shown::Date}, {"Item", Shown::Plain}, {"Money", Shown::Money}, {"Member", Shown::Plain}, {"Explain", Shown::Plain}}},
        {QStringLiteral("Deposit"), QStringLiteral("定期存款"), id,
         {{"BDate", Shown::Date}, {"Account", Shown::Plain}, {"Bank", Shown::Plain}, {"BMoney", Shown::Money}, {"Member", Shown::Plain}}},
        {QStringLiteral("Current"), QStringLiteral("活期存款"), id,
         {{"Date", Shown::Date}, {"Account", Shown::Plain}, {"Bank", Shown::Plain}, {"Money", Shown::Money}, {"Reason", Shown::Plain},
          {"Member", Shown::Plain}}},
        {QStringLiteral("Article"), QStringLiteral("物品"), id,
         {{"Name", Shown::Plain}, {"Number", Shown::Plain}, {"Value", Shown::Money}, {"Explain", Shown::Plain}}},
        {QStringLiteral("InsureNote"), QStringLiteral("保单"), id,
         {{"Name", Shown::Plain}, {"InsureKind", Shown::Plain}, {"InsureOrgen", Shown::Plain}, {"PayMoney", Shown::Money}}},
        {QStringLiteral("InsureRecord"), QStringLiteral("保险活动"), id,
         {{"Date", Shown::Date}, {"InsureName", Shown::Plain}, {"Active", Shown::Plain}, {"Money", Shown::Money}, {"Member", Shown::Plain}}},
        {QStringLiteral("Credit"), QStringLiteral("借贷"), id,
         {{"Date", Shown::Date}, {"Active", Shown::Plain}, {"Money", Shown::Money}, {"People", Shown::Plain}, {"Member", Shown::Plain}}},
        {QStringLiteral("Memo"), QStringLiteral("备忘"), id, {{"Date", Shown::Date}, {"Matter", Shown::Plain}, {"Member", Shown::Plain}}},
        {QStringLiteral("Address"), QStringLiteral("通讯录"), id,
         {{"Name", Shown::Plain}, {"Mobile", Shown::Plain}, {"HomeTel", Shown::Plain}, {"Company", Shown::Plain}}},
        {QStringLiteral("Recurring"), QStringLiteral("周期收支"), id,
         {{"Item", Shown::Plain}, {"Money", Shown::Money}, {"Member", Shown::Plain}, {"Explain", Shown::Plain}, {"First", Shown::Plain}}},
        // The marks of a recurring record's dates come and go with it.
        {QStringLiteral("RecurringDone"), QStringLiteral("周期收支的到期记号"), {QStringLiteral("Template"), QStringLiteral("Due")},
         {{"Due", Shown::Plain}},
         false},
        {QStringLiteral("Budget"), QStringLiteral("预算"), {QStringLiteral("Item"), QStringLiteral("Month")},
         {{"Item", Shown::Plain}, {"Month", Shown::Month}, {"Cents", Shown::Cents}}},
    };
    return tables;
}

const JournalTable *TableOf(const QString &name)
{
    for (const JournalTable &table : JournalTables()) {
        if (table.table == name)
            return &table;
    }
    return nullptr;
}

QString ValueText(const SqlValue &value, Shown shown)
{
    if (std::holds_alternative<qint64>(value)) {
        const qint64 number = std::get<qint64>(value);
        if (shown == Shown::Cents)
            return TrimAmount(double(number) / 100.0);
        return shown == Shown::Money ? TrimAmount(double(number)) : QString::number(number);
    }
    if (std::holds_alternative<double>(value)) {
        const double number = std::get<double>(value);
        return shown == Shown::Cents ? TrimAmount(number / 100.0) : TrimAmount(number);
    }
    if (std::holds_alternative<QString>(value)) {
        const QString text = std::get<QString>(value);
        if (shown == Shown::Date)
            return text.left(10);
        if (shown == Shown::Month && text.isEmpty())
            return QStringLiteral("每月");
        return text.simplified();
    }
    return QString();
}

// What a record said, from its columns' values by name.
QString Summary(const JournalTable &table, const std::function<std::optional<SqlValue>(const QString &)> &valueOf)
{
    QStringList parts;
    for (const auto &[column, shown] : table.summary) {
        const std::optional<SqlValue> value = valueOf(column);
        const QString text = value ? ValueText(*value, shown) : QString();
        if (!text.isEmpty())
            parts << text;
    }
    QString summary = parts.join(QLatin1Char(' '));
    constexpr int kLongest = 80;
    if (summary.size() > kLongest)
        summary = summary.left(kLongest - 1) + QChar(0x2026);
    return summary;
}

// A value with its kind, so that a record is put back exactly as it was.
QJsonArray ValueToJson(const SqlValue &value)
{
    if (std::holds_alternative<qint64>(value))
        return {QStringLiteral("i"), QString::number(std::get<qint64>(value))};
    if (std::holds_alternative<double>(value))
        return {QStringLiteral("r"), QString::number(std::get<double>(value), 'g', 17)};
    if (std::holds_alternative<QString>(value))
        return {QStringLiteral("t"), std::get<QString>(value)};
    return {QStringLiteral("n")};
}

SqlValue ValueFromJson(const QJsonArray &pair)
{
    const QString kind = pair.at(0).toString();
    const QString text = pair.at(1).toString();
    if (kind == QStringLiteral("i"))
        return text.toLongLong();
    if (kind == QStringLiteral("r"))
        return text.toDouble();
    if (kind == QStringLiteral("t"))
        return text;
    return std::monostate();
}

// A record kept in the recycle bin: its columns and their values.
struct KeptRecord
{
    QStringList columns;
    std::vector<SqlValue> values;

    std::optional<SqlValue> Value(const QString &column) const
    {
        const qsizetype index = columns.indexOf(column);
        return index < 0 || size_t(index) >= values.size() ? std::nullopt : std::optional<SqlValue>(values[size_t(index)]);
    }
};

KeptRecord ReadKept(const QString &text)
{
    const QJsonObject object = QJsonDocument::fromJson(text.toUtf8()).object();
    KeptRecord record;
    for (const QJsonValue &column : object.value(QStringLiteral("c")).toArray())
        record.columns << column.toString();
    for (const QJsonValue &value : object.value(QStringLiteral("v")).toArray())
        record.values.push_back(ValueFromJson(value.toArray()));
    if (record.values.size() != size_t(record.columns.size()) || record.columns.isEmpty())
        throw DbError(QStringLiteral("回收站中的记录已损坏，无法恢复。"));
    return record;
}

QString WriteKept(const QStringList &columns, const std::vector<std::optional<SqlValue>> &values)
{
    QJsonArray kept;
    for (const std::optional<SqlValue> &value : values)
        kept.append(ValueToJson(value.value_or(SqlValue())));
    return QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("c"), QJsonArray::fromStringList(columns)},
                                                       {QStringLiteral("v"), kept}})
                                 .toJson(QJsonDocument::Compact));
}

QString Quoted(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QString KeyCondition(const QStringList &key)
{
    QStringList terms;
    for (const QString &column : key)
        terms << Quoted(column) + QStringLiteral(" = ?");
    return terms.join(QStringLiteral(" AND "));
}

} // namespace

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
    Db().Execute(QStringLiteral("CREATE TABLE IF NOT EXISTS \"UndoLog\" (\"ID\" INTEGER PRIMARY KEY AUTOINCREMENT, "
                                 "\"Run\" INTEGER NOT NULL, \"At\" TEXT NOT NULL, \"Changes\" BLOB NOT NULL, \"Checks\" TEXT NOT NULL)"));
    Db().Execute(QStringLiteral("CREATE TABLE IF NOT EXISTS \"Recycle\" (\"ID\" INTEGER PRIMARY KEY AUTOINCREMENT, "
                                 "\"Deleted\" TEXT NOT NULL, \"Change\" INTEGER NOT NULL, \"TableName\" TEXT NOT NULL, "
                                 "\"RecordId\" INTEGER NOT NULL, \"Record\" TEXT NOT NULL, \"Restored\" INTEGER NOT NULL DEFAULT 0)"));
    Db().Execute(QStringLiteral("CREATE INDEX IF NOT EXISTS \"Recycle_Change\" ON \"Recycle\" (\"Change\")"));
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
    const std::vector<RecordedChange> records = SqlConnection::ReadChanges(changes, false);
    SqlStatement write = Db().Prepare(QStringLiteral("INSERT INTO \"UndoLog\" (\"Run\", \"At\", \"Changes\", \"Checks\") VALUES (?, ?, ?, ?)"));
    write.BindAll({m_runToken, DbDateText(now)});
    write.BindBlob(3, changes);
    write.Bind(4, Checks(records));
    write.Run();
    m_pending = Db().LastInsertId();
    KeepDeleted(records, m_pending, DbDateText(now));
    // Records put back from the recycle bin by this change go back into it when the change is taken back.
    SqlStatement restored = Db().Prepare(QStringLiteral("UPDATE \"Recycle\" SET \"Restored\" = ? WHERE \"Restored\" = -1"));
    restored.Bind(1, m_pending);
    restored.Run();
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
    const QString what = Describe(SqlConnection::ReadChanges(read.Blob(1)));
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
    transaction.Commit();
    Db().NoteChangeOfAll();
    return QString();
}
