// What the benchmarks share: plain SQLite on the bench ledger (the floor of an operation), and a
// reporter that pairs each operation with its floor.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <sqlite3.h>
#include <string>

#include "LedgerGenerator.h"

// Plain SQLite on the same file, with the same durability settings as the program.
class RawLedger
{
public:
    explicit RawLedger(const QString &ledger)
    {
        const QByteArray path = (ledger + QStringLiteral("/Data/Kinward.db")).toUtf8();
        sqlite3_open_v2(path.constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
        Run("PRAGMA synchronous=FULL");
    }
    ~RawLedger() { sqlite3_close(m_db); }

    // Steps the statement to its end, touching every column of every row; returns the rows.
    long Run(const char *sql, double bind = 0, bool hasBind = false)
    {
        return Run(sql, hasBind ? QVariantList{bind} : QVariantList());
    }
    // The same with values bound in order (numbers, texts).
    long Run(const char *sql, const QVariantList &binds)
    {
        sqlite3_stmt *statement = nullptr;
        sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr);
        for (int i = 0; i < binds.size(); ++i) {
            const QVariant &value = binds.at(i);
            if (value.typeId() == QMetaType::QString) {
                const QByteArray text = value.toString().toUtf8();
                sqlite3_bind_text(statement, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            } else if (value.typeId() == QMetaType::Double) {
                sqlite3_bind_double(statement, i + 1, value.toDouble());
            } else {
                sqlite3_bind_int64(statement, i + 1, value.toLongLong());
            }
        }
        long rows = 0;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(statement); ++c)
                benchmark::DoNotOptimize(sqlite3_column_text(statement, c));
            ++rows;
        }
        sqlite3_finalize(statement);
        return rows;
    }
    // The first row's texts.
    QStringList Row(const QByteArray &sql)
    {
        sqlite3_stmt *statement = nullptr;
        sqlite3_prepare_v2(m_db, sql.constData(), -1, &statement, nullptr);
        QStringList texts;
        if (sqlite3_step(statement) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(statement); ++c)
                texts.append(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, c))));
        }
        sqlite3_finalize(statement);
        return texts;
    }
    qint64 Integer(const char *sql)
    {
        sqlite3_stmt *statement = nullptr;
        sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr);
        const qint64 value = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : 0;
        sqlite3_finalize(statement);
        return value;
    }

private:
    sqlite3 *m_db = nullptr;
};

// Keeps each benchmark's time per iteration, to pair operations with their floors.
class PairingReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            // A fixed iteration count is part of the name; the pairs are made without it.
            std::string name = run.benchmark_name();
            name = name.substr(0, name.find("/iterations:"));
            times[name] = run.GetAdjustedRealTime();
        }
    }
    std::map<std::string, double> times;  // milliseconds

    // Each operation beside its floor (the benchmark of the same name ending in _Floor).
    void PrintRatios() const
    {
        std::printf("\n%-32s %12s %12s %8s\n", "operation", "ours (ms)", "floor (ms)", "ratio");
        for (const auto &[name, ours] : times) {
            const auto floor = times.find(name + "_Floor");
            if (floor == times.end())
                continue;
            std::printf("%-32s %12.3f %12.3f %8.2f\n", name.c_str(), ours, floor->second, ours / floor->second);
        }
    }
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
