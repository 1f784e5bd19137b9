// A read-only connection of the test's own to a ledger file: it sees only what was committed, so a
// change left inside an open transaction of the program's connection does not show here.
#pragma once

#include <QString>
#include <QStringList>
#include <sqlite3.h>

class CommittedView
{
public:
    explicit CommittedView(const QString &path)
    {
        sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
    }
    ~CommittedView() { sqlite3_close(m_db); }
    CommittedView(const CommittedView &) = delete;
    CommittedView &operator=(const CommittedView &) = delete;

    // Each row of the query as its columns' texts joined by '|'; a failed query gives one "error: ..." row.
    QStringList Rows(const QString &sql) const
    {
        QStringList rows;
        sqlite3_stmt *statement = nullptr;
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &statement, nullptr) != SQLITE_OK)
            return {QStringLiteral("error: ") + QString::fromUtf8(sqlite3_errmsg(m_db))};
        int rc;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
            QStringList columns;
            for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                const auto *value = reinterpret_cast<const char *>(sqlite3_column_text(statement, c));
                columns << (value ? QString::fromUtf8(value) : QStringLiteral("NULL"));
            }
            rows << columns.join(QLatin1Char('|'));
        }
        if (rc != SQLITE_DONE)
            rows << QStringLiteral("error: ") + QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_finalize(statement);
        return rows;
    }

    // The first column of the first row as a number (0 when there is none).
    qint64 Number(const QString &sql) const { return Rows(sql).value(0).section(QLatin1Char('|'), 0, 0).toLongLong(); }

    // Every table of the ledger and the kept figures, row by row: equal dumps, equal ledgers.
    QStringList Dump() const
    {
        QStringList dump;
        for (const char *table : {"Money", "Deposit", "Current", "Article", "InsureNote", "InsureRecord", "Credit",
                                  "Memo", "Address"}) {
            dump << QString::fromLatin1(table);
            dump << Rows(QStringLiteral("SELECT * FROM \"%1\" ORDER BY ID").arg(QString::fromLatin1(table)));
        }
        dump << Rows(QStringLiteral("SELECT * FROM Totals ORDER BY Name"));
        return dump;
    }

private:
    sqlite3 *m_db = nullptr;
};
