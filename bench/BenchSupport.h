// What the benchmarks share: the bench ledger, in its file and on a server when one is named, each
// benchmark registered for both, and a reporter that pairs each operation with its floor (plain SQL on
// the same database, PlainSql.h) and its figure on the file with its figure on the server.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QString>
#include <QStringList>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "BenchServer.h"
#include "LedgerGenerator.h"
#include "PlainSql.h"

#include "db/Ledger.h"

// A bench ledger: its installation folder, and its copy on the server when one is named.
struct BenchLedger
{
    QString folder;
    std::optional<PgSettings> server;
};

// Adds the ledger's copy on the server named by $ZARVEL_BENCH_PG (made on first use), when one is;
// false, and said, when the copy cannot be made.
inline bool FindOnServer(BenchLedger &ledger, const LedgerSize &size)
{
    ledger.server = BenchServerLedger(size);
    QString error;
    if (ledger.server && !CopyLedgerToServer(ledger.folder, *ledger.server, &error)) {
        std::fprintf(stderr, "cannot copy %s to the server: %s\n", qPrintable(ledger.folder), qPrintable(error));
        return false;
    }
    return true;
}

// Where the benchmark being run works: a bench ledger, on the server or in its file.
struct BenchPlace
{
    const BenchLedger *ledger = nullptr;
    bool onServer = false;
};

inline BenchPlace &CurrentPlace()
{
    static BenchPlace place;
    return place;
}

// Points the books at the ledger, on the server or in its file. The current directory is its
// installation folder either way: the lists come from there.
inline void WorkOn(const BenchLedger &ledger, bool onServer)
{
    CurrentPlace() = BenchPlace{&ledger, onServer};
    QDir::setCurrent(ledger.folder);
    if (onServer)
        UseServerLedger(*ledger.server);
    else
        UseLedgerFile();
}

// Plain SQL where the benchmark works.
inline std::unique_ptr<PlainSql> Plain()
{
    const BenchPlace &place = CurrentPlace();
    return place.onServer ? OpenPlainServer(*place.ledger->server) : OpenPlainFile(place.ledger->folder);
}

// While one lives, the benchmark works on another bench ledger, on the same side.
class WorkingOn
{
public:
    explicit WorkingOn(const BenchLedger &ledger) : m_previous(CurrentPlace()) { WorkOn(ledger, m_previous.onServer); }
    ~WorkingOn() { WorkOn(*m_previous.ledger, m_previous.onServer); }
    WorkingOn(const WorkingOn &) = delete;
    WorkingOn &operator=(const WorkingOn &) = delete;

private:
    BenchPlace m_previous;
};

// The mark of a benchmark's run on the server.
constexpr const char *kOnServer = "@server";

// Registers the benchmark on the ledger's file and, when the ledger has a copy on the server, again
// there as "<name>@server"; in milliseconds, for the arguments 0 to lastArgument when that is given.
template <typename Body>
void RegisterOnEach(const std::string &name, const BenchLedger &ledger, Body body, int lastArgument = -1)
{
    for (const bool onServer : {false, true}) {
        if (onServer && !ledger.server)
            continue;
        auto *registered = benchmark::RegisterBenchmark(
            (name + (onServer ? kOnServer : "")).c_str(), [&ledger, onServer, body](benchmark::State &state) {
                WorkOn(ledger, onServer);
                body(state);
            });
        registered->Unit(benchmark::kMillisecond);
        if (lastArgument >= 0)
            registered->DenseRange(0, lastArgument);
    }
}

// Keeps each benchmark's time per iteration, to pair operations with their floors and the file's
// figures with the server's.
class PairingReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            // A fixed iteration count is part of the name; the pairs are made without it. The
            // arguments follow the first '/'; the marks of the floor and the server come before it.
            std::string name = run.benchmark_name();
            name = name.substr(0, name.find("/iterations:"));
            const size_t slash = std::min(name.find('/'), name.size());
            std::string base = name.substr(0, slash);
            const std::string arguments = name.substr(slash);
            const bool onServer = Strip(base, kOnServer);
            const bool floor = Strip(base, "_Floor");
            Figures &figures = Find(base + arguments);
            (onServer ? (floor ? figures.serverFloor : figures.server) : (floor ? figures.fileFloor : figures.file)) =
                run.GetAdjustedRealTime();
        }
    }

    // Each operation in milliseconds beside its floor, on the file and on the server when it ran there.
    void PrintRatios() const
    {
        bool anyOnServer = false;
        for (const auto &[name, figures] : m_figures)
            anyOnServer = anyOnServer || figures.server >= 0;
        std::printf("\n%-34s %10s %10s %7s", "operation (ms)", "SQLite", "floor", "ratio");
        if (anyOnServer)
            std::printf(" %10s %8s %10s %7s", "server", "/SQLite", "floor", "ratio");
        std::printf("\n");
        for (const auto &[name, figures] : m_figures) {
            if (figures.file < 0 && figures.server < 0)
                continue;
            std::printf("%-34s %s %s %s", name.c_str(), Figure(figures.file, 10).c_str(), Figure(figures.fileFloor, 10).c_str(),
                        Ratio(figures.file, figures.fileFloor).c_str());
            if (anyOnServer)
                std::printf(" %s %s %s %s", Figure(figures.server, 10).c_str(), Ratio(figures.server, figures.file, 8).c_str(),
                            Figure(figures.serverFloor, 10).c_str(), Ratio(figures.server, figures.serverFloor).c_str());
            std::printf("\n");
        }
    }

private:
    struct Figures
    {
        double file = -1, fileFloor = -1, server = -1, serverFloor = -1;  // ms, -1 when not run
    };

    static bool Strip(std::string &name, const std::string &suffix)
    {
        if (name.size() < suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            return false;
        name.resize(name.size() - suffix.size());
        return true;
    }
    // A figure, or "-" for none.
    static std::string Cell(double value, int width, int decimals)
    {
        char text[32];
        if (value < 0)
            std::snprintf(text, sizeof text, "%*s", width, "-");
        else
            std::snprintf(text, sizeof text, "%*.*f", width, decimals, value);
        return text;
    }
    static std::string Figure(double ms, int width) { return Cell(ms, width, 3); }
    static std::string Ratio(double ms, double to, int width = 7) { return Cell(ms < 0 || to <= 0 ? -1 : ms / to, width, 2); }
    // The figures of the operation, kept in the order the operations first ran.
    Figures &Find(const std::string &name)
    {
        for (auto &[known, figures] : m_figures) {
            if (known == name)
                return figures;
        }
        return m_figures.emplace_back(name, Figures()).second;
    }

    std::vector<std::pair<std::string, Figures>> m_figures;
};

// The bench ledger, made on first use, as the current directory; empty (and said) when it cannot be made.
inline QString OpenBenchLedger()
{
    const LedgerSize size = BenchLedgerSize();
    const QString ledger = BenchLedgerFolder(QCoreApplication::applicationDirPath(), size);
    std::printf("ledger: %s, %d income/expense records (made on first use)\n", qPrintable(ledger), size.moneyRecords);
    QString error;
    if (!MakeLedger(ledger, size, &error)) {
        std::fprintf(stderr, "cannot make the ledger: %s\n", qPrintable(error));
        return QString();
    }
    QDir::setCurrent(ledger);
    return ledger;
}

// The offscreen platform's notes on what it cannot do (raise, grab) are not the measurement's.
inline void QuietPlatform(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtWarningMsg || !message.startsWith(QLatin1String("This plugin does not support")))
        std::fprintf(stderr, "%s\n", qPrintable(message));
}
