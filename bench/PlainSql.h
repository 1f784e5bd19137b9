// Plain SQL on a bench ledger's database, for the floor of an operation: the best the database does
// for the same result without the books. The ledger file is read through the SQLite C API, its copy
// on a server through libpq.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <memory>

struct PgSettings;
struct sqlite3;

class PlainSql
{
public:
    virtual ~PlainSql() = default;
    // Runs the statement to its end with the values bound in order (numbers, texts), touching every
    // column of every row; returns the rows. Throws std::runtime_error when the database refuses it:
    // a floor that did nothing would look fast.
    long Run(const char *sql, const QVariantList &binds = {}) { return Execute(sql, binds, nullptr); }
    // The rows' texts.
    QList<QStringList> Rows(const QByteArray &sql)
    {
        QList<QStringList> rows;
        Execute(sql.constData(), {}, &rows);
        return rows;
    }
    // The first row's texts.
    QStringList Row(const QByteArray &sql) { return Rows(sql).value(0); }
    qint64 Integer(const char *sql) { return Row(sql).value(0).toLongLong(); }

protected:
    // Runs the statement; the rows' texts go to texts when they are asked for.
    virtual long Execute(const char *sql, const QVariantList &binds, QList<QStringList> *texts) = 0;
};

// Plain SQLite on the ledger file of the installation in folder, with the program's durability settings.
class RawLedger : public PlainSql
{
public:
    explicit RawLedger(const QString &folder);
    ~RawLedger() override;
    RawLedger(const RawLedger &) = delete;
    RawLedger &operator=(const RawLedger &) = delete;

protected:
    long Execute(const char *sql, const QVariantList &binds, QList<QStringList> *texts) override;

private:
    sqlite3 *m_db = nullptr;
};

std::unique_ptr<PlainSql> OpenPlainFile(const QString &folder);
// A server ledger. Each statement is written in SQLite's words, as the books write theirs (? for a
// value, names as the schema has them), put in the server's once and prepared there: what follows
// runs as a plain prepared statement does.
std::unique_ptr<PlainSql> OpenPlainServer(const PgSettings &settings);
