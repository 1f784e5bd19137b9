// The bench ledgers copied to the server with MigrateToServer.
#include "BenchServer.h"

#include "db/DbError.h"
#include "db/ServerMigration.h"
#include "db/SqliteConnection.h"

#include <QElapsedTimer>
#include <cstdio>

std::optional<PgSettings> BenchServerLedger(const LedgerSize &size)
{
    const QString server = qEnvironmentVariable("ZARVEL_BENCH_PG");
    if (server.isEmpty())
        return std::nullopt;
    PgSettings settings;
    const qsizetype colon = server.lastIndexOf(QLatin1Char(':'));
    settings.host = colon < 0 ? server : server.left(colon);
    settings.port = colon < 0 ? 5432 : server.mid(colon + 1).toInt();
    settings.user = qEnvironmentVariable("ZARVEL_BENCH_PGUSER", QStringLiteral("zarvel"));
    settings.password = qEnvironmentVariable("ZARVEL_BENCH_PGPASSWORD", QStringLiteral("zarvel-test"));
    settings.database = qEnvironmentVariable("ZARVEL_BENCH_PGDATABASE", QStringLiteral("zarvel_bench"));
    if (size.moneyRecords != LedgerSize().moneyRecords)
        settings.database += QStringLiteral("_%1").arg(size.moneyRecords);
    if (size.crowded)
        settings.database += QStringLiteral("_crowded");
    return settings;
}

namespace {

// What tells one bench ledger from another: the records of each of the nine tables counted. The
// benchmarks keep those, where the records they change in place differ in the end between the file
// and the server (each run changes them as often as it runs).
QStringList Likeness(SqlConnection &db)
{
    QStringList counts;
    for (const char *table : {"Money", "Deposit", "Current", "Article", "InsureNote", "InsureRecord", "Credit", "Memo", "Address"})
        counts += QueryRowTexts(db, QStringLiteral("SELECT count(*) FROM \"%1\"").arg(QLatin1String(table)));
    return counts;
}

} // namespace

bool CopyLedgerToServer(const QString &folder, const PgSettings &settings, QString *error)
{
    try {
        PgSettings maintenance = settings;
        maintenance.database = QStringLiteral("postgres");
        const std::shared_ptr<PgConnection> admin = PgConnection::Open(maintenance);
        const std::unique_ptr<SqliteConnection> file = SqliteConnection::OpenAside(folder + QStringLiteral("/Data/Kinward.db"));
        SqlStatement exists = admin->Prepare(QStringLiteral("SELECT count(*) FROM pg_database WHERE datname = ?"));
        exists.Bind(1, settings.database);
        exists.Step();
        const QString name = QLatin1Char('"') + settings.database + QLatin1Char('"');
        if (exists.Int(0) > 0) {
            {
                const std::shared_ptr<PgConnection> server = PgConnection::Open(settings);
                if (server->HasTable(QStringLiteral("Totals")) && Likeness(*server) == Likeness(*file)) {
                    std::printf("server ledger: %s (made before)\n", qPrintable(settings.Describe()));
                    return true;
                }
            }
            admin->Execute(QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(name));
        }
        admin->Execute(QStringLiteral("CREATE DATABASE %1").arg(name));
        const std::shared_ptr<PgConnection> server = PgConnection::Open(settings);
        std::printf("server ledger: %s, moving %s there…\n", qPrintable(settings.Describe()), qPrintable(folder));
        std::fflush(stdout);
        QElapsedTimer timer;
        timer.start();
        qint64 copiedMs = 0;  // when the last record was written; the kept figures are laid and checked after
        const MigrationReport report = MigrateToServer(*file, *server, QStringLiteral(ZARVEL_TEMPLATE_DIR "/schema.sql"),
                                                       [&](qint64, qint64) { copiedMs = timer.elapsed(); });
        const double seconds = double(timer.elapsed()) / 1000.0;
        std::printf("MigrateToServer: %lld records of %lld tables in %.1f s (records written in %.1f s, figures laid "
                    "and checked in %.1f s)\n",
                    report.records, static_cast<long long>(report.tables.size()), seconds, double(copiedMs) / 1000.0,
                    seconds - double(copiedMs) / 1000.0);
        return true;
    } catch (const DbError &failure) {
        *error = failure.Message();
        return false;
    }
}
