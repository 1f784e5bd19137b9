// The same steps on a ledger file and on a ledger laid on the test server, the database the one
// thing that differs: what the household saw of each is compared line by line.
#pragma once

#include "db/CBook.h"
#include "db/DbError.h"
#include "db/Ledger.h"
#include "db/PgConnection.h"
#include "db/ServerLedger.h"

#include "MessageRecorder.h"
#include "PgTestServer.h"
#include "TestInstallation.h"

#include <QScopeGuard>
#include <QTest>
#include <QStringList>
#include <functional>

// Every row of a book's list as "ID|text|text…", then the selected row.
inline QStringList BookRows(const CBook &book)
{
    QStringList rows;
    for (int row = 0; row < book.GetItemCount(); ++row)
        rows.append(QString::number(book.GetItemData(row)) + QLatin1Char('|') + book.GetRowTexts(row).join(QLatin1Char('|')));
    rows.append(QStringLiteral("selected %1").arg(book.GetSelected()));
    return rows;
}

struct BothLedgers
{
    QStringList onFile, onServer;
};

// Runs drive in a fresh installation on its ledger file, then in another whose books use a fresh
// ledger on the test server (the list files still come from the installation folder). What each run
// saw ends with the messages the household was told and, when drive was stopped by the database,
// "failed: " and what it said.
inline BothLedgers RunOnBothLedgers(const std::function<QStringList()> &drive)
{
    const auto run = [&drive] {
        MessageRecorder messages;
        QStringList seen;
        try {
            seen = drive();
        } catch (const DbError &error) {
            seen.append(QStringLiteral("failed: ") + error.Explanation());
        }
        for (const RecordedMessage &message : std::as_const(messages.messages))
            seen.append(QStringLiteral("told %1: %2").arg(message.caption, message.text));
        return seen;
    };
    BothLedgers seen;
    {
        TestInstallation install;
        seen.onFile = run();
    }
    TestDatabase database;
    LayServerLedger(*PgConnection::Open(database.Settings()), QStringLiteral(ZARVEL_TEMPLATE_DIR "/schema.sql"));
    TestInstallation install;
    UseServerLedger(database.Settings());
    const auto back = qScopeGuard([] { UseLedgerFile(); });
    seen.onServer = run();
    return seen;
}

// What a run was told and where the database stopped it, one line each; empty when nothing.
inline QString Told(const QStringList &seen)
{
    QStringList told;
    for (const QString &line : seen) {
        if (line.startsWith(QLatin1String("told ")) || line.startsWith(QLatin1String("failed: ")))
            told.append(line);
    }
    return told.join(QLatin1Char('\n'));
}

// A line as a terminal shows it whole: control characters as \uXXXX.
inline QString Shown(const QString &line)
{
    QString shown;
    for (const QChar c : line)
        shown += c.category() == QChar::Other_Control ? QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0')) : QString(c);
    return shown;
}

// The first line where the two runs differ, with its step, or empty when they read alike.
inline QString FirstDifference(const BothLedgers &seen)
{
    QString step;
    for (qsizetype i = 0; i < std::max(seen.onFile.size(), seen.onServer.size()); ++i) {
        const QString file = seen.onFile.value(i, QStringLiteral("(nothing)"));
        const QString server = seen.onServer.value(i, QStringLiteral("(nothing)"));
        if (file.startsWith(QLatin1String("== ")))
            step = file;
        if (file != server)
            return QStringLiteral("line %1 (after %2)\n  on the file:   %3\n  on the server: %4").arg(i).arg(step, Shown(file), Shown(server));
    }
    return QString();
}

// Fails the test at the first line where the two runs read differently.
#define COMPARE_BOTH_LEDGERS(seen)                                     \
    do {                                                               \
        const QString difference = FirstDifference(seen);              \
        QVERIFY2(difference.isEmpty(), qPrintable(difference));        \
    } while (false)
