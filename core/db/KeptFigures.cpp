// The kept figures: their definitions, the triggers that keep them, and the upgrade of older files.
#include "KeptFigures.h"

#include "db/DbError.h"
#include "db/MoneyBlocks.h"
#include "db/SqlConnection.h"


#include <QStringList>
#include <cmath>

namespace {

// The form of the figures this program keeps (PRAGMA user_version of the file).
constexpr int kFiguresVersion = 5;

struct Figure
{
    const char *table;
    const char *column;     // "count" or an amount column
    const char *condition;  // the name's condition, in the ledger's filter form
    const char *rowTest;    // the same condition over a trigger's row, "%1" standing for NEW or OLD
};

const Figure kFigures[] = {
    {"Money", "count", "", ""},
    {"Money", "Money", "", ""},
    {"Article", "count", "", ""},
    {"Article", "Cost", "", ""},
    {"Article", "Value", "", ""},
    {"Credit", "count", "", ""},
    {"Credit", "Money", "", ""},
    {"Current", "count", "", ""},
    {"Current", "Money", "MKind='人民币'", "%1.\"MKind\"='人民币'"},
    {"Deposit", "count", "", ""},
    {"Deposit", "BMoney", "MKind='人民币'", "%1.\"MKind\"='人民币'"},
    {"Deposit", "EMoney", "MKind='人民币'", "%1.\"MKind\"='人民币'"},
    {"InsureRecord", "count", "", ""},
    {"InsureRecord", "Money", "Money<0", "%1.\"Money\"<0"},
    {"InsureNote", "count", "", ""},
    {"Memo", "count", "", ""},
    {"Address", "count", "", ""},
};

const char *const kTables[] = {"Money", "Article", "Credit", "Current", "Deposit", "InsureRecord", "InsureNote",
                               "Memo", "Address"};

QString FigureName(const QString &table, const QString &column, const QString &condition)
{
    return table + QLatin1Char('|') + column + QLatin1Char('|') + condition;
}

QString Literal(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

bool IsCount(const Figure &figure)
{
    return qstrcmp(figure.column, "count") == 0;
}

// The change one trigger row makes to a figure: +1/-1 for a count, the row's cents for an amount.
QString Delta(const Figure &figure, const QString &row)
{
    return IsCount(figure) ? QStringLiteral("1") : CentsSql(row + QStringLiteral(".\"") + QString::fromLatin1(figure.column) + QLatin1Char('"'));
}

QString Adjust(const Figure &figure, const QString &row, const QChar sign)
{
    const QString name = FigureName(QString::fromLatin1(figure.table), QString::fromLatin1(figure.column),
                                    QString::fromUtf8(figure.condition));
    QString sql = QStringLiteral("UPDATE \"Totals\" SET \"Value\" = \"Value\" %1 %2 WHERE \"Name\" = %3")
                      .arg(sign).arg(Delta(figure, row), Literal(name));
    if (*figure.rowTest)
        sql += QStringLiteral(" AND ") + QString::fromUtf8(figure.rowTest).arg(row);
    return sql + QStringLiteral(";\n");
}

QStringList TriggerSql(const QString &table)
{
    QString onInsert, onDelete, onUpdate;
    for (const Figure &figure : kFigures) {
        if (table != QLatin1String(figure.table))
            continue;
        onInsert += Adjust(figure, QStringLiteral("NEW"), QLatin1Char('+'));
        onDelete += Adjust(figure, QStringLiteral("OLD"), QLatin1Char('-'));
        if (!IsCount(figure)) {
            onUpdate += Adjust(figure, QStringLiteral("OLD"), QLatin1Char('-'));
            onUpdate += Adjust(figure, QStringLiteral("NEW"), QLatin1Char('+'));
        }
    }
    const QString quoted = QLatin1Char('"') + table + QLatin1Char('"');
    QStringList sql;
    sql << QStringLiteral("CREATE TRIGGER \"%1_Totals_Insert\" AFTER INSERT ON %2 BEGIN\n%3END").arg(table, quoted, onInsert)
        << QStringLiteral("CREATE TRIGGER \"%1_Totals_Delete\" AFTER DELETE ON %2 BEGIN\n%3END").arg(table, quoted, onDelete);
    if (!onUpdate.isEmpty())
        sql << QStringLiteral("CREATE TRIGGER \"%1_Totals_Update\" AFTER UPDATE ON %2 BEGIN\n%3END").arg(table, quoted, onUpdate);
    return sql;
}

QString ComputeSql(const Figure &figure)
{
    QString sql = QStringLiteral("SELECT ")
                  + (IsCount(figure) ? QStringLiteral("count(*)")
                                     : QStringLiteral("ifnull(sum(") + CentsSql(QLatin1Char('"') + QString::fromLatin1(figure.column) + QLatin1Char('"')) + QStringLiteral("),0)"))
                  + QStringLiteral(" FROM \"") + QString::fromLatin1(figure.table) + QLatin1Char('"');
    if (*figure.rowTest)
        sql += QStringLiteral(" WHERE ") + QString::fromUtf8(figure.rowTest).arg(QLatin1Char('"') + QString::fromLatin1(figure.table) + QLatin1Char('"'));
    return sql;
}

// The income/expense records per month, and per month, item and sign with their sum in cents: the
// list finds the month that holds a position from them, and statistics read sums without a scan.
QString MonthKey(const QString &row)
{
    return MonthKeySql(row + QStringLiteral(".\"Date\""));
}

QString ItemKey(const QString &row)
{
    return QStringLiteral("ifnull(%1.\"Item\",'')").arg(row);
}

QString SignKey(const QString &row)
{
    return QStringLiteral("(CASE WHEN %1.\"Money\" < 0 THEN -1 ELSE 1 END)").arg(row);
}

QString AddToMonths(const QString &row)
{
    return QStringLiteral(
               "INSERT INTO \"MoneyMonths\" (\"Month\", \"N\") VALUES (%1, 1) "
               "ON CONFLICT (\"Month\") DO UPDATE SET \"N\" = \"MoneyMonths\".\"N\" + 1;\n"
               "INSERT INTO \"MoneyMonthItems\" (\"Month\", \"Item\", \"Sign\", \"N\", \"Cents\") VALUES (%1, %2, %3, 1, %4) "
               "ON CONFLICT (\"Month\", \"Item\", \"Sign\") DO UPDATE SET \"N\" = \"MoneyMonthItems\".\"N\" + 1, "
               "\"Cents\" = \"MoneyMonthItems\".\"Cents\" + excluded.\"Cents\";\n")
        .arg(MonthKey(row), ItemKey(row), SignKey(row), CentsSql(row + QStringLiteral(".\"Money\"")));
}

QString TakeFromMonths(const QString &row)
{
    const QString item = QStringLiteral("\"Month\" = %1 AND \"Item\" = %2 AND \"Sign\" = %3")
                             .arg(MonthKey(row), ItemKey(row), SignKey(row));
    return QStringLiteral(
               "UPDATE \"MoneyMonths\" SET \"N\" = \"N\" - 1 WHERE \"Month\" = %1;\n"
               "DELETE FROM \"MoneyMonths\" WHERE \"Month\" = %1 AND \"N\" <= 0;\n"
               "UPDATE \"MoneyMonthItems\" SET \"N\" = \"N\" - 1, \"Cents\" = \"Cents\" - %3 WHERE %2;\n"
               "DELETE FROM \"MoneyMonthItems\" WHERE %2 AND \"N\" <= 0;\n")
        .arg(MonthKey(row), item, CentsSql(row + QStringLiteral(".\"Money\"")));
}

void LayMonthFigures(SqlConnection &db)
{
    for (const char *event : {"Insert", "Delete", "Update"})
        db.Execute(QStringLiteral("DROP TRIGGER IF EXISTS \"Money_Months_%1\"").arg(QString::fromLatin1(event)));
    db.Execute(QStringLiteral("DROP TABLE IF EXISTS \"MoneyMonths\""));
    db.Execute(QStringLiteral("DROP TABLE IF EXISTS \"MoneyMonthItems\""));
    db.Execute(QStringLiteral("CREATE TABLE \"MoneyMonths\" (\"Month\" TEXT PRIMARY KEY, \"N\" INTEGER NOT NULL) WITHOUT ROWID"));
    db.Execute(QStringLiteral("CREATE TABLE \"MoneyMonthItems\" (\"Month\" TEXT NOT NULL, \"Item\" TEXT NOT NULL, "
                              "\"Sign\" INTEGER NOT NULL, \"N\" INTEGER NOT NULL, \"Cents\" INTEGER NOT NULL, "
                              "PRIMARY KEY (\"Month\", \"Item\", \"Sign\")) WITHOUT ROWID"));
    const QString money = QStringLiteral("\"Money\"");
    db.Execute(QStringLiteral("INSERT INTO \"MoneyMonthItems\" SELECT %1, %2, %3, count(*), ifnull(sum(%4),0) "
                              "FROM \"Money\" GROUP BY 1, 2, 3")
                   .arg(MonthKey(money), ItemKey(money), SignKey(money), CentsSql(money + QStringLiteral(".\"Money\""))));
    db.Execute(QStringLiteral("INSERT INTO \"MoneyMonths\" SELECT \"Month\", sum(\"N\") FROM \"MoneyMonthItems\" GROUP BY 1"));
    db.Execute(QStringLiteral("CREATE TRIGGER \"Money_Months_Insert\" AFTER INSERT ON \"Money\" BEGIN\n%1END")
                   .arg(AddToMonths(QStringLiteral("NEW"))));
    db.Execute(QStringLiteral("CREATE TRIGGER \"Money_Months_Delete\" AFTER DELETE ON \"Money\" BEGIN\n%1END")
                   .arg(TakeFromMonths(QStringLiteral("OLD"))));
    db.Execute(QStringLiteral("CREATE TRIGGER \"Money_Months_Update\" AFTER UPDATE OF \"Date\", \"Item\", \"Money\" "
                              "ON \"Money\" BEGIN\n%1%2END")
                   .arg(TakeFromMonths(QStringLiteral("OLD")), AddToMonths(QStringLiteral("NEW"))));
}

// The ledger's change mark: a random number drawn anew by every row written to any of the nine
// tables, so that "changed since the copy was made" is one comparison, whoever wrote.
void LayChangeMark(SqlConnection &db)
{
    db.Execute(QStringLiteral("DROP TABLE IF EXISTS \"LedgerMark\""));
    db.Execute(QStringLiteral("CREATE TABLE \"LedgerMark\" (\"Mark\" INTEGER NOT NULL)"));
    db.Execute(QStringLiteral("INSERT INTO \"LedgerMark\" VALUES (random())"));
    for (const char *table : kTables) {
        for (const char *event : {"Insert", "Delete", "Update"}) {
            const QString name = QStringLiteral("\"%1_Mark_%2\"").arg(QString::fromLatin1(table), QString::fromLatin1(event));
            db.Execute(QStringLiteral("DROP TRIGGER IF EXISTS ") + name);
            db.Execute(QStringLiteral("CREATE TRIGGER %1 AFTER %2 ON \"%3\" BEGIN UPDATE \"LedgerMark\" SET \"Mark\" = random(); END")
                           .arg(name, QString::fromLatin1(event).toUpper(), QString::fromLatin1(table)));
        }
    }
}

// The steps of an upgrade: one per kept total, then the triggers, the month figures, the blocks and the mark.
constexpr int kRebuildSteps = int(std::size(kFigures)) + 4;

void Rebuild(SqlConnection &db, const std::function<void(int done)> &step)
{
    int done = 0;
    SqlTransaction transaction(db);
    for (const char *table : kTables) {
        for (const char *event : {"Insert", "Delete", "Update"})
            db.Execute(QStringLiteral("DROP TRIGGER IF EXISTS \"%1_Totals_%2\"").arg(QString::fromLatin1(table), QString::fromLatin1(event)));
    }
    db.Execute(QStringLiteral("DROP TABLE IF EXISTS \"Totals\""));
    db.Execute(QStringLiteral("CREATE TABLE \"Totals\" (\"Name\" TEXT PRIMARY KEY, \"Value\" INTEGER NOT NULL DEFAULT 0)"));
    SqlStatement insert = db.Prepare(QStringLiteral("INSERT INTO \"Totals\" (\"Name\", \"Value\") VALUES (?, ?)"));
    for (const Figure &figure : kFigures) {
        SqlStatement compute = db.Prepare(ComputeSql(figure));
        compute.Step();
        insert.Reset();
        insert.Bind(1, FigureName(QString::fromLatin1(figure.table), QString::fromLatin1(figure.column),
                                  QString::fromUtf8(figure.condition)));
        insert.Bind(2, compute.Int(0));
        insert.Run();
        step(++done);
    }
    for (const char *table : kTables) {
        for (const QString &sql : TriggerSql(QString::fromLatin1(table)))
            db.Execute(sql);
    }
    step(++done);
    LayMonthFigures(db);
    step(++done);
    LayMoneyBlocks(db);
    step(++done);
    LayChangeMark(db);
    step(++done);
    db.Execute(QStringLiteral("PRAGMA user_version = %1").arg(kFiguresVersion));
    transaction.Commit();
}

} // namespace

QString MonthKeySql(const QString &dateColumn)
{
    return QStringLiteral("(CASE WHEN typeof(%1) = 'text' THEN substr(%1, 1, 7) ELSE '' END)").arg(dateColumn);
}

QString CentsSql(const QString &column)
{
    return QStringLiteral("CAST(round(%1 * 100) AS INTEGER)").arg(column);
}

qint64 ToCents(double amount)
{
    return qint64(std::llround(amount * 100.0));
}

namespace {

std::function<void(int, int)> g_upgradeProgress;

// Ledgers from this many records on take more than a moment to upgrade.
constexpr qint64 kLargeLedger = 50000;

} // namespace

void SetUpgradeProgress(std::function<void(int done, int total)> progress)
{
    g_upgradeProgress = std::move(progress);
}

namespace {

// The form the ledger's kept figures were laid in (0: none yet).
qint64 FiguresForm(SqlConnection &db)
{
    SqlStatement version = db.Prepare(QStringLiteral("PRAGMA user_version"));
    version.Step();
    return version.Int(0);
}

} // namespace

bool KeptFiguresCurrent(SqlConnection &db)
{
    if (FiguresForm(db) != kFiguresVersion)
        return false;
    for (const char *table : {"Totals", "MoneyMonths", "MoneyMonthItems", "MoneyBlocks", "MoneyBlockParts", "LedgerMark"}) {
        if (!db.HasTable(QString::fromLatin1(table)))
            return false;
    }
    return true;
}

namespace {

qint64 LargestMoneyId(SqlConnection &db)
{
    SqlStatement largest = db.Prepare(QStringLiteral("SELECT ifnull(max(\"ID\"), 0) FROM \"Money\""));
    largest.Step();
    return largest.Int(0);
}

} // namespace

bool LedgerHasRecords(SqlConnection &db)
{
    return LargestMoneyId(db) > 0;
}

void EnsureKeptFigures(SqlConnection &db, const std::function<void()> &before)
{
    // A later program's ledger keeps what this one does not know of: laying this program's figures
    // over it would take the later ones away, so it is left as it is.
    if (const qint64 form = FiguresForm(db); form > kFiguresVersion)
        throw DbError(QStringLiteral("帐本 %1 是由更新版本的 Zarvel 建立的（格式 %2，本程序只认识到格式 %3），本程序不能打开它，"
                                     "帐本没有改动。请用更新版本的 Zarvel 打开这个帐本。")
                          .arg(db.Path()).arg(form).arg(kFiguresVersion));
    if (KeptFiguresCurrent(db))
        return;
    const std::function<void(int, int)> progress = g_upgradeProgress;  // the one of the upgrade's start
    const bool told = progress && LargestMoneyId(db) >= kLargeLedger;
    constexpr int kSteps = kRebuildSteps + 1;  // the copy first
    if (told)
        progress(0, kSteps);
    try {
        if (before)
            before();
        if (told)
            progress(1, kSteps);
        Rebuild(db, [&](int done) {
            if (told && done + 1 < kSteps)
                progress(done + 1, kSteps);
        });
    } catch (...) {
        if (told)
            progress(kSteps, kSteps);
        throw;
    }
    if (told)
        progress(kSteps, kSteps);
}

std::optional<qint64> KeptFigure(SqlConnection &db, const QString &table, const QString &column,
                                 const QString &condition)
{
    SqlStatement kept = db.Prepare(QStringLiteral("SELECT \"Value\" FROM \"Totals\" WHERE \"Name\" = ?"));
    kept.Bind(1, FigureName(table, column, condition));
    if (!kept.Step())
        return std::nullopt;
    return kept.Int(0);
}

std::optional<qint64> LedgerChangeMark(SqlConnection &db)
{
    // The connection forgets what it knew of its tables at every table made, dropped or rolled back:
    // the table that appears with an upgrade made on this very connection is seen.
    if (!db.HasTable(QStringLiteral("LedgerMark")))
        return std::nullopt;
    SqlStatement mark = db.Prepare(QStringLiteral("SELECT \"Mark\" FROM \"LedgerMark\""));
    if (!mark.Step())
        return std::nullopt;
    return mark.Int(0);
}
