// Plain SQL through SQLite's C API and through libpq.
#include "PlainSql.h"

#include "db/PgConnection.h"
#include "db/PgDialect.h"

#include <QHash>
#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <stdexcept>
#include <vector>

namespace {

[[noreturn]] void Refused(const char *sql, const char *why)
{
    throw std::runtime_error(std::string("plain SQL refused: ") + why + "\n  " + sql);
}

// The value as the text the database reads it from.
QByteArray TextOf(const QVariant &value)
{
    if (value.typeId() == QMetaType::Double)
        return QByteArray::number(value.toDouble(), 'g', 17);
    return value.toString().toUtf8();
}

} // namespace

RawLedger::RawLedger(const QString &folder)
{
    const QByteArray path = (folder + QStringLiteral("/Data/Kinward.db")).toUtf8();
    if (sqlite3_open_v2(path.constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        Refused(path.constData(), sqlite3_errmsg(m_db));
    Run("PRAGMA synchronous=FULL");
}

RawLedger::~RawLedger()
{
    sqlite3_close(m_db);
}

long RawLedger::Execute(const char *sql, const QVariantList &binds, QList<QStringList> *texts)
{
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr) != SQLITE_OK)
        Refused(sql, sqlite3_errmsg(m_db));
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
    int status = SQLITE_ROW;
    while ((status = sqlite3_step(statement)) == SQLITE_ROW) {
        if (texts)
            texts->append(QStringList());
        for (int c = 0; c < sqlite3_column_count(statement); ++c) {
            const unsigned char *text = sqlite3_column_text(statement, c);
            benchmark::DoNotOptimize(text);
            if (texts)
                texts->last().append(QString::fromUtf8(reinterpret_cast<const char *>(text)));
        }
        ++rows;
    }
    sqlite3_finalize(statement);
    if (status != SQLITE_DONE)
        Refused(sql, sqlite3_errmsg(m_db));
    return rows;
}

std::unique_ptr<PlainSql> OpenPlainFile(const QString &folder)
{
    return std::make_unique<RawLedger>(folder);
}

namespace {

class PlainServer : public PlainSql
{
public:
    explicit PlainServer(const PgSettings &settings)
    {
        const QByteArray host = settings.host.toUtf8(), port = QByteArray::number(settings.port),
                         database = settings.database.toUtf8(), user = settings.user.toUtf8(),
                         password = settings.password.toUtf8();
        const char *keys[] = {"host", "port", "dbname", "user", "password", "client_encoding", nullptr};
        const char *values[] = {host.constData(), port.constData(), database.constData(), user.constData(),
                                password.constData(), "UTF8", nullptr};
        m_conn = PQconnectdbParams(keys, values, 0);
        if (PQstatus(m_conn) != CONNECTION_OK)
            Refused("(connecting)", PQerrorMessage(m_conn));
        PQsetNoticeProcessor(m_conn, [](void *, const char *) {}, nullptr);
    }
    ~PlainServer() override { PQfinish(m_conn); }

protected:
    long Execute(const char *sql, const QVariantList &binds, QList<QStringList> *texts) override
    {
        std::vector<QByteArray> bound;
        for (const QVariant &value : binds)
            bound.push_back(TextOf(value));
        std::vector<const char *> values;
        for (const QByteArray &text : bound)
            values.push_back(text.constData());
        const Statement &statement = Prepared(sql);
        PGresult *result = statement.prepared
            ? PQexecPrepared(m_conn, statement.name.constData(), int(values.size()), values.data(), nullptr, nullptr, 0)
            : PQexecParams(m_conn, statement.sql.constData(), int(values.size()), nullptr, values.data(), nullptr, nullptr, 0);
        const ExecStatusType status = PQresultStatus(result);
        if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
            const std::string why = PQresultErrorMessage(result);
            PQclear(result);
            Refused(statement.sql.constData(), why.c_str());
        }
        const int rows = PQntuples(result), columns = PQnfields(result);
        for (int row = 0; row < rows; ++row) {
            if (texts)
                texts->append(QStringList());
            for (int column = 0; column < columns; ++column) {
                const char *text = PQgetvalue(result, row, column);
                benchmark::DoNotOptimize(text);
                if (texts)
                    texts->last().append(QString::fromUtf8(text));
            }
        }
        PQclear(result);
        return rows;
    }

private:
    struct Statement
    {
        QByteArray sql;   // in the server's words
        QByteArray name;  // of the prepared statement
        bool prepared = false;
    };

    // The statement in the server's words, prepared the first time it is run: a query or a write is
    // prepared, a table made or dropped is run as it is.
    const Statement &Prepared(const char *sql)
    {
        const QByteArray key(sql);
        if (const auto known = m_statements.constFind(key); known != m_statements.cend())
            return *known;
        Statement statement;
        statement.sql = PgCommands(QString::fromUtf8(sql)).constLast().toUtf8();
        const QByteArray verb = statement.sql.trimmed().left(6).toUpper();
        statement.prepared = verb == "SELECT" || verb == "INSERT" || verb == "UPDATE" || verb == "DELETE";
        if (statement.prepared) {
            statement.name = "plain" + QByteArray::number(m_statements.size());
            PGresult *result = PQprepare(m_conn, statement.name.constData(), statement.sql.constData(), 0, nullptr);
            const bool ok = PQresultStatus(result) == PGRES_COMMAND_OK;
            const std::string why = PQresultErrorMessage(result);
            PQclear(result);
            if (!ok)
                Refused(statement.sql.constData(), why.c_str());
        }
        return *m_statements.insert(key, statement);
    }

    pg_conn *m_conn = nullptr;
    QHash<QByteArray, Statement> m_statements;
};

} // namespace

std::unique_ptr<PlainSql> OpenPlainServer(const PgSettings &settings)
{
    return std::make_unique<PlainServer>(settings);
}
