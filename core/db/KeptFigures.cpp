// The kept figures: their definitions, the triggers that keep them, and the upgrade of older files.
#include "KeptFigures.h"

#include "db/SqlConnection.h"

#include <QStringList>
#include <cmath>

namespace {

// The form of the figures this program keeps (PRAGMA user_version of the file).
constexpr int kFiguresVersion = 2;

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

void Rebuild(SqlConnection &db)
{
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
    }
    for (const char *table : kTables) {
        for (const QString &sql : TriggerSql(QString::fromLatin1(table)))
            db.Execute(sql);
    }
    db.Execute(QStringLiteral("PRAGMA user_version = %1").arg(kFiguresVersion));
    transaction.Commit();
}

} // namespace

QString CentsSql(const QString &column)
{
    return QStringLiteral("CAST(round(%1 * 100) AS INTEGER)").arg(column);
}

qint64 ToCents(double amount)
{
    return qint64(std::llround(amount * 100.0));
}

void EnsureKeptFigures(SqlConnection &db)
{
    bool current = false;
    {
        SqlStatement version = db.Prepare(QStringLiteral("PRAGMA user_version"));
        version.Step();
        SqlStatement totals = db.Prepare(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' AND name='Totals'"));
        totals.Step();
        current = version.Int(0) == kFiguresVersion && totals.Int(0) > 0;
    }
    if (!current)
        Rebuild(db);
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
