// The installation's schema laid on a PostgreSQL server.
#include "ServerLedger.h"

#include "db/DbError.h"
#include "db/LaterTables.h"
#include "db/PgDialect.h"
#include "db/SqlConnection.h"
#include "lists/ListFile.h"

#include <QDir>
#include <QFile>

QStringList ServerSchemaStatements(const QString &schema)
{
    QString text;
    for (const QString &line : schema.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1String("--")) || trimmed.startsWith(QLatin1String("PRAGMA"), Qt::CaseInsensitive))
            continue;
        text += line + QLatin1Char('\n');
    }
    QStringList statements;
    for (const QString &statement : text.split(QLatin1Char(';'))) {
        if (!statement.trimmed().isEmpty())
            statements += PgCommands(statement);
    }
    return statements;
}

namespace {

// SQLite's typeof() of a text: the ledger's dates, items and members. The server writes its body into
// the statement that asks it, where the general one below is a call per value: the count of a
// member's records in the list's blocks spent nine tenths of its time there, and each write in the
// triggers that keep the figures.
const QString kTextTypeof = QStringLiteral("CREATE FUNCTION typeof(text) RETURNS text LANGUAGE sql IMMUTABLE AS $zarvel$ "
                                           "SELECT CASE WHEN $1 IS NULL THEN 'null' ELSE 'text' END $zarvel$");

} // namespace

QStringList ServerHelpers()
{
    return {
        // The form of the kept figures, as SQLite keeps it in PRAGMA user_version.
        QStringLiteral("CREATE TABLE \"ZarvelForm\" (\"Version\" INTEGER NOT NULL)"),
        QStringLiteral("INSERT INTO \"ZarvelForm\" VALUES (0)"),
        ListFilesStatements().constFirst(),
        // SQLite's typeof() over the values the ledger holds: the kept figures and the list's blocks ask
        // it of dates, items and members.
        QStringLiteral("CREATE FUNCTION typeof(anyelement) RETURNS text LANGUAGE sql IMMUTABLE AS $zarvel$ "
                       "SELECT CASE WHEN $1 IS NULL THEN 'null' "
                       "WHEN pg_typeof($1) IN ('text'::regtype, 'character varying'::regtype) THEN 'text' "
                       "WHEN pg_typeof($1) = 'bytea'::regtype THEN 'blob' "
                       "WHEN pg_typeof($1) IN ('double precision'::regtype, 'real'::regtype, 'numeric'::regtype) THEN 'real' "
                       "ELSE 'integer' END $zarvel$"),
        kTextTypeof,
    };
}

void EnsureServerHelpers(SqlConnection &db)
{
    SqlStatement has = db.Prepare(QStringLiteral("SELECT to_regprocedure('typeof(text)') IS NOT NULL"));
    has.Step();
    if (has.Int(0))
        return;
    try {
        db.Execute(kTextTypeof);
    } catch (const DbError &) {
        // A user who may not add functions to the ledger's schema: the general typeof() answers the
        // same, only slower.
    }
}

QStringList ServerTables(SqlConnection &db)
{
    QStringList tables;
    SqlStatement read = db.Prepare(QStringLiteral("SELECT tablename FROM pg_catalog.pg_tables WHERE schemaname = current_schema() ORDER BY tablename"));
    while (read.Step())
        tables.append(read.Text(0));
    return tables;
}

void LayServerLedger(SqlConnection &db, const QString &schemaPath)
{
    QFile file(schemaPath);
    if (!file.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("找不到帐本的表结构文件 %1。请检查安装是否完整。").arg(QDir::toNativeSeparators(schemaPath)),
                      file.errorString());
    const QStringList statements = ServerSchemaStatements(QString::fromUtf8(file.readAll()));
    SqlTransaction transaction(db);
    if (const QStringList present = ServerTables(db); !present.isEmpty())
        throw DbError(QStringLiteral("服务器上的数据库 %1 不是空的（已有表 %2），没有在其中建立帐本。请为帐本新建一个空的数据库。")
                          .arg(db.Path(), present.mid(0, 5).join(QStringLiteral("、"))));
    for (const QString &statement : statements)
        db.Execute(statement);
    for (const QString &statement : ServerHelpers())
        db.Execute(statement);
    transaction.Commit();
}

QStringList LedgerTableNames()
{
    return {QStringLiteral("Money"),      QStringLiteral("Deposit"),      QStringLiteral("Current"),
            QStringLiteral("Article"),    QStringLiteral("InsureNote"),   QStringLiteral("InsureRecord"),
            QStringLiteral("Credit"),     QStringLiteral("Memo"),         QStringLiteral("Address")};
}

QString ListFilesTable()
{
    return QStringLiteral("ListFiles");
}

QStringList ListFilesStatements()
{
    return {QStringLiteral("CREATE TABLE \"ListFiles\" (\"Name\" TEXT PRIMARY KEY NOT NULL, \"Content\" BLOB NOT NULL)")};
}

QString ServerChangesChannel()
{
    return QStringLiteral("zarvel_changes");
}

void EnsureServerSharing(SqlConnection &db)
{
    SqlTransaction transaction(db);
    db.LayTableIfMissing(ListFilesTable(), ListFilesStatements());
    for (const QString &table : LaterTableNames())
        db.LayTableIfMissing(table, LaterTableStatements(table));
    // One notice per table and transaction, sent by the server when it commits (a rolled-back change
    // tells nobody), whichever program wrote it.
    db.Execute(QStringLiteral("CREATE OR REPLACE FUNCTION zarvel_notify() RETURNS trigger LANGUAGE plpgsql AS $zarvel$ "
                              "BEGIN PERFORM pg_notify('%1', TG_TABLE_NAME); RETURN NULL; END $zarvel$")
                   .arg(ServerChangesChannel()));
    QStringList present;
    SqlStatement triggers = db.Prepare(QStringLiteral("SELECT tgname FROM pg_catalog.pg_trigger WHERE tgname LIKE 'zarvel_notify_%'"));
    while (triggers.Step())
        present.append(triggers.Text(0));
    triggers = SqlStatement();
    for (const QString &table : LedgerTableNames() + LaterTableNames() + QStringList{ListFilesTable()}) {
        const QString name = QStringLiteral("zarvel_notify_") + table.toLower();
        if (!present.contains(name))
            db.Execute(QStringLiteral("CREATE TRIGGER %1 AFTER INSERT OR UPDATE OR DELETE OR TRUNCATE ON \"%2\" "
                                      "FOR EACH STATEMENT EXECUTE FUNCTION zarvel_notify()")
                           .arg(name, table));
    }
    transaction.Commit();
}

void CopyListFiles(const QString &folder, SqlConnection &to)
{
    const QDir dir(folder);
    for (const QString &name : ListFileNames()) {
        QFile file(dir.filePath(name));
        if (!file.exists())
            continue;
        if (!file.open(QIODevice::ReadOnly))
            throw DbError(QStringLiteral("无法读取列表文件 %1。").arg(QDir::toNativeSeparators(file.fileName())), file.errorString());
        const QByteArray content = file.readAll();
        if (file.error() != QFileDevice::NoError)
            throw DbError(QStringLiteral("无法读取列表文件 %1。").arg(QDir::toNativeSeparators(file.fileName())), file.errorString());
        SqlStatement put = to.Prepare(QStringLiteral("INSERT INTO \"ListFiles\" (\"Name\", \"Content\") VALUES (?, ?) "
                                                     "ON CONFLICT (\"Name\") DO UPDATE SET \"Content\" = excluded.\"Content\""));
        put.Bind(1, name);
        put.BindBlob(2, content);
        put.Run();
    }
}

ServerContents LookAtServerDatabase(SqlConnection &db)
{
    const QStringList tables = ServerTables(db);
    if (tables.isEmpty())
        return ServerContents::Empty;
    return tables.contains(QStringLiteral("money")) && tables.contains(QStringLiteral("zarvelform")) ? ServerContents::Ledger
                                                                                                   : ServerContents::Other;
}
