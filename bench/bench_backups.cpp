// Kept copies on the large ledger: the copy at exit when nothing changed (what most exits cost), the
// copy after an edit on a middle page (made aside, checked whole, named, the oldest pruned), and a
// restore (the copy read and checked aside, the ledger kept first, both put in place). Each stands
// beside its floor: SQLite's online backup of the same file with nothing else, one for a copy and
// one for a restore.
#include "BenchSupport.h"
#include "LedgerGenerator.h"

#include "common/Paths.h"
#include "db/Ledger.h"
#include "db/LedgerBackups.h"
#include "db/SqlConnection.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <sqlite3.h>

namespace {

// An edit of one record of the middle of the ledger, as a household corrects an old entry.
void EditMiddleRecord(SqlConnection &db)
{
    static int edits = 0;
    SqlStatement edit = db.Prepare(QStringLiteral(
        "UPDATE Money SET Explain = ? WHERE ID = (SELECT ID FROM Money ORDER BY ID LIMIT 1 OFFSET (SELECT count(*) / 2 FROM Money))"));
    edit.Bind(1, QStringLiteral("改过 %1").arg(++edits));
    edit.Run();
}

// SQLite's online backup of one file into another, whole: the least any copy of the ledger costs.
void PlainCopy(const QString &from, const QString &to)
{
    sqlite3 *source = nullptr, *target = nullptr;
    sqlite3_open_v2(from.toUtf8().constData(), &source, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_open_v2(to.toUtf8().constData(), &target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    sqlite3_exec(target, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    sqlite3_backup *copy = sqlite3_backup_init(target, "main", source, "main");
    sqlite3_backup_step(copy, -1);
    sqlite3_backup_finish(copy);
    sqlite3_close(target);
    sqlite3_close(source);
}

void Check(const QString &what, bool ok, benchmark::State &state)
{
    if (!ok)
        state.SkipWithError(qPrintable(what));
}

void ExitCopy_Unchanged(benchmark::State &state)
{
    auto db = OpenLedgerDatabase();
    QString error;
    Check(error, !MakeBackup(*db, DataDirectory(), &error).isEmpty(), state);
    for (auto _ : state)
        Check(error, !MakeBackup(*db, DataDirectory(), &error).isEmpty(), state);
}

void ExitCopy_AfterAnEdit(benchmark::State &state)
{
    auto db = OpenLedgerDatabase();
    QString error;
    for (auto _ : state) {
        state.PauseTiming();
        EditMiddleRecord(*db);
        state.ResumeTiming();
        Check(error, !MakeBackup(*db, DataDirectory(), &error).isEmpty(), state);
    }
}

void ExitCopy_AfterAnEdit_Floor(benchmark::State &state)
{
    auto db = OpenLedgerDatabase();
    const QString target = QDir::temp().filePath(QStringLiteral("zarvel-bench-copy.db"));
    for (auto _ : state) {
        state.PauseTiming();
        EditMiddleRecord(*db);
        QFile::remove(target);
        state.ResumeTiming();
        PlainCopy(DatabasePath(), target);
    }
    QFile::remove(target);
}

void Restore(benchmark::State &state)
{
    auto db = OpenLedgerDatabase();
    QString error;
    for (auto _ : state) {
        state.PauseTiming();
        EditMiddleRecord(*db);  // the ledger differs from the copy: it is kept first, as a household's is
        const QString copy = ListBackups(DataDirectory()).value(1);
        state.ResumeTiming();
        Check(error, RestoreBackup(*db, DataDirectory(), copy, &error) == RestoreResult::Restored, state);
    }
}

void Restore_Floor(benchmark::State &state)
{
    auto db = OpenLedgerDatabase();
    for (auto _ : state) {
        state.PauseTiming();
        EditMiddleRecord(*db);
        const QString copy = DataDirectory() + QStringLiteral("/Backup/") + ListBackups(DataDirectory()).value(1);
        state.ResumeTiming();
        PlainCopy(copy + QStringLiteral("/Kinward.db"), DatabasePath());
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString ledger = OpenBenchLedger();
    if (ledger.isEmpty())
        return 1;
    {
        // A copy to restore, and the file cache warm as a second start finds it.
        auto db = OpenLedgerDatabase();
        QString error;
        EditMiddleRecord(*db);
        if (MakeBackup(*db, DataDirectory(), &error).isEmpty()) {
            std::fprintf(stderr, "cannot make a copy: %s\n", qPrintable(error));
            return 1;
        }
        EditMiddleRecord(*db);
        MakeBackup(*db, DataDirectory(), &error);
    }
    std::printf("ledger %.0f MB; copies kept: %d, %.0f MB of at most %.0f MB\n",
                double(QFile(DatabasePath()).size()) / 1048576.0, MeasureBackups(DataDirectory()).copies,
                double(MeasureBackups(DataDirectory()).bytes) / 1048576.0, double(MeasureBackups(DataDirectory()).limit) / 1048576.0);
    benchmark::RegisterBenchmark("ExitCopy_Unchanged", ExitCopy_Unchanged)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ExitCopy_AfterAnEdit", ExitCopy_AfterAnEdit)->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark("ExitCopy_AfterAnEdit_Floor", ExitCopy_AfterAnEdit_Floor)->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark("Restore", Restore)->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark("Restore_Floor", Restore_Floor)->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::Initialize(&argc, argv);
    PairingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    std::printf("\ncopies kept after: %d, %.0f MB of at most %.0f MB\n", MeasureBackups(DataDirectory()).copies,
                double(MeasureBackups(DataDirectory()).bytes) / 1048576.0, double(MeasureBackups(DataDirectory()).limit) / 1048576.0);
    benchmark::Shutdown();
    return 0;
}
