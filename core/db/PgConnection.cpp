// The ledger on a PostgreSQL server through libpq.
#include "PgConnection.h"

#include "db/DbError.h"
#include "db/PgDialect.h"

#include <QDir>
#include <QHash>
#include <QRegularExpression>

#include <cmath>
#include <limits>

#include <libpq-fe.h>

namespace {

// libpq's type numbers of the values bound and read.
constexpr Oid kBool = 16, kBytea = 17, kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26, kFloat4 = 700, kFloat8 = 701,
              kNumeric = 1700;

QString ServerText(const char *text)
{
    return QString::fromUtf8(text).trimmed();
}

// The books read a value as the ledger file gives it: SQLite's ways of writing a real and of reading a
// number from a text or a real are the ones a statement's values follow here too.

// A real as SQLite writes it out: 15 significant digits, with a point ("100.0", "1.0e+20").
QString SqliteRealText(double value)
{
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("Inf") : QStringLiteral("-Inf");
    if (value == 0)
        return QStringLiteral("0.0");
    QString text = QString::asprintf("%.15g", value);
    if (!text.contains(QLatin1Char('.'))) {
        const qsizetype exponent = text.indexOf(QLatin1Char('e'));
        text.insert(exponent < 0 ? text.size() : exponent, QStringLiteral(".0"));
    }
    return text;
}

// A real as a whole number, as SQLite takes one: cut towards zero, held within 64 bits.
qint64 SqliteRealToWhole(double value)
{
    if (std::isnan(value))
        return 0;
    if (value <= -9223372036854775808.0)
        return std::numeric_limits<qint64>::min();
    if (value >= 9223372036854775807.0)
        return std::numeric_limits<qint64>::max();
    return qint64(value);
}

// The whole number a text starts with (after blanks and a sign), as SQLite reads it; held within 64 bits.
qint64 SqliteLeadingWhole(const char *text)
{
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    quint64 magnitude = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        if (magnitude > (quint64(std::numeric_limits<qint64>::max()) + 1 - quint64(*text - '0')) / 10)
            return negative ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
        magnitude = magnitude * 10 + quint64(*text - '0');
    }
    if (negative)
        return magnitude == quint64(std::numeric_limits<qint64>::max()) + 1 ? std::numeric_limits<qint64>::min() : -qint64(magnitude);
    return magnitude > quint64(std::numeric_limits<qint64>::max()) ? std::numeric_limits<qint64>::max() : qint64(magnitude);
}

// The real a text starts with (the longest number there), as SQLite reads it; 0 when none.
double SqliteLeadingReal(const char *text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*[-+]?(\\d+\\.?\\d*|\\.\\d+)([eE][-+]?\\d+)?"));
    const QRegularExpressionMatch match = number.match(QString::fromUtf8(text));
    return match.hasMatch() ? match.captured().trimmed().toDouble() : 0.0;
}

} // namespace

QString PgSettings::Describe() const
{
    return QStringLiteral("%1@%2:%3/%4").arg(user, QDir::toNativeSeparators(host)).arg(port).arg(database);
}

// A statement run on the server with its bound values when first stepped; its rows are read whole,
// so another statement may run while they are stepped through.
class PgStatement final : public SqlStatementImpl
{
public:
    PgStatement(PgConnection *connection, const QString &sql) : m_connection(connection)
    {
        int count = 0;
        const QStringList commands = PgCommands(sql, &count);
        // A statement that is several commands on this server (a trigger and its function) has no
        // parameters; the last command's rows are the statement's.
        for (qsizetype i = 0; i + 1 < commands.size(); ++i)
            m_before.append(commands.at(i).toUtf8());
        m_sql = commands.last().toUtf8();
        m_values.resize(size_t(count));
        m_types.assign(size_t(count), 0);
        m_formats.assign(size_t(count), 0);
        m_null.assign(size_t(count), true);
    }
    ~PgStatement() override { PQclear(m_result); }

    void Reset() override
    {
        PQclear(m_result);
        m_result = nullptr;
        m_row = -1;
    }

    void Bind(int index, const SqlValue &value) override
    {
        const size_t at = Slot(index);
        // Numbers go as what they are (a whole number as SQLite's 64-bit one); a text of no declared
        // type, as a literal written in the statement would be, so the place it is used in decides (a
        // text or a date column).
        m_types[at] = 0;
        m_formats[at] = 0;
        m_null[at] = false;
        if (std::holds_alternative<qint64>(value)) {
            m_values[at] = QByteArray::number(std::get<qint64>(value));
            m_types[at] = kInt8;
        } else if (std::holds_alternative<double>(value)) {
            m_values[at] = QByteArray::number(std::get<double>(value), 'g', 17);
            m_types[at] = kFloat8;
        } else if (std::holds_alternative<QString>(value)) {
            // The server's texts cannot hold the character 0, and libpq would end the text there: a
            // note would be kept cut short, a find would look for less than was asked.
            if (std::get<QString>(value).contains(QChar(0)))
                throw DbError(QStringLiteral("服务器帐本不能保存含有空字符（U+0000）的文字，改动没有保存。"),
                              QStringLiteral("parameter %1 of: %2").arg(index).arg(QString::fromUtf8(m_sql)));
            m_values[at] = std::get<QString>(value).toUtf8();
        } else {
            m_null[at] = true;
        }
    }

    void BindBlob(int index, const QByteArray &bytes) override
    {
        const size_t at = Slot(index);
        m_values[at] = bytes;
        m_types[at] = kBytea;
        m_formats[at] = 1;
        m_null[at] = false;
    }

    bool Step() override
    {
        if (!m_result)
            Execute();
        ++m_row;
        return m_row < PQntuples(m_result);
    }

    int ColumnCount() const override { return m_result ? PQnfields(m_result) : 0; }
    QString ColumnName(int column) const override { return m_result ? QString::fromUtf8(PQfname(m_result, column)) : QString(); }

    qint64 Int(int column) const override
    {
        if (IsNull(column))
            return 0;
        const char *text = PQgetvalue(m_result, m_row, column);
        switch (KindOf(column)) {
        case Kind::Whole: return PQftype(m_result, column) == kBool ? (text[0] == 't' ? 1 : 0) : SqliteLeadingWhole(text);
        case Kind::Real: return SqliteRealToWhole(Double(column));
        case Kind::Text: break;
        }
        return SqliteLeadingWhole(text);
    }

    double Double(int column) const override
    {
        if (IsNull(column))
            return 0.0;
        switch (KindOf(column)) {
        case Kind::Whole: return double(Int(column));
        case Kind::Real: return QByteArray(PQgetvalue(m_result, m_row, column)).toDouble();
        case Kind::Text: break;
        }
        return SqliteLeadingReal(PQgetvalue(m_result, m_row, column));
    }

    QString Text(int column) const override
    {
        if (IsNull(column))
            return QString();
        switch (KindOf(column)) {
        case Kind::Whole: return QString::number(Int(column));
        case Kind::Real: return SqliteRealText(Double(column));
        case Kind::Text: break;
        }
        return QString::fromUtf8(PQgetvalue(m_result, m_row, column), PQgetlength(m_result, m_row, column));
    }

    SqlValue Value(int column) const override
    {
        if (IsNull(column))
            return std::monostate();
        switch (KindOf(column)) {
        case Kind::Whole: return Int(column);
        case Kind::Real: return Double(column);
        case Kind::Text: break;
        }
        return Text(column);
    }

    QByteArray Blob(int column) const override
    {
        if (IsNull(column))
            return QByteArray();
        const QByteArray text(PQgetvalue(m_result, m_row, column), PQgetlength(m_result, m_row, column));
        if (PQftype(m_result, column) == kBytea && text.startsWith("\\x"))
            return QByteArray::fromHex(text.mid(2));
        return text;
    }

private:
    // What SQLite would hold the column's value as. The server's sum of whole numbers (numeric) is a
    // whole number there, as SQLite's sum of integers is; a numeric with a fraction, a real.
    enum class Kind { Whole, Real, Text };
    Kind KindOf(int column) const
    {
        switch (PQftype(m_result, column)) {
        case kBool:
        case kInt2:
        case kInt4:
        case kInt8:
        case kOid:
            return Kind::Whole;
        case kFloat4:
        case kFloat8:
            return Kind::Real;
        case kNumeric: {
            bool whole = false;
            QByteArray(PQgetvalue(m_result, m_row, column)).toLongLong(&whole);
            return whole ? Kind::Whole : Kind::Real;
        }
        default:
            return Kind::Text;
        }
    }

    size_t Slot(int index) const
    {
        if (index < 1 || size_t(index) > m_values.size())
            throw DbError(QStringLiteral("语句没有第 %1 个参数").arg(index), QString::fromUtf8(m_sql));
        return size_t(index - 1);
    }

    bool IsNull(int column) const
    {
        return !m_result || m_row < 0 || m_row >= PQntuples(m_result) || column < 0 || column >= PQnfields(m_result) ||
               PQgetisnull(m_result, m_row, column);
    }

    void Execute()
    {
        // A connection lost between transactions is made again before the next one: nothing of an
        // earlier transaction can be half-done there.
        if (m_connection->TransactionDepth() == 0)
            m_connection->Reconnect();
        for (const QByteArray &command : std::as_const(m_before)) {
            PGresult *result = PQexec(m_connection->m_conn, command.constData());
            const bool ran = PQresultStatus(result) == PGRES_COMMAND_OK || PQresultStatus(result) == PGRES_TUPLES_OK;
            const DbError error = m_connection->Failure(ServerText(PQresultErrorMessage(result)));
            PQclear(result);
            if (!ran)
                throw error;
        }
        const int count = int(m_values.size());
        std::vector<const char *> values(m_values.size());
        std::vector<int> lengths(m_values.size());
        for (size_t i = 0; i < m_values.size(); ++i) {
            values[i] = m_null[i] ? nullptr : m_values[i].constData();
            lengths[i] = int(m_values[i].size());
        }
        m_result = PQexecParams(m_connection->m_conn, m_sql.constData(), count, m_types.data(), values.data(),
                                lengths.data(), m_formats.data(), 0);
        const ExecStatusType status = PQresultStatus(m_result);
        if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
            const DbError error = m_connection->Failure(ServerText(PQresultErrorMessage(m_result)));
            Reset();
            throw error;
        }
        // A COMMIT of a transaction a failed statement aborted is the server's ROLLBACK: nothing was kept.
        if (qstrcmp(PQcmdStatus(m_result), "ROLLBACK") == 0 && m_sql.trimmed().toUpper().startsWith("COMMIT")) {
            const DbError error = m_connection->Failure(QStringLiteral("COMMIT rolled back: a statement of the transaction had failed"));
            Reset();
            throw error;
        }
        m_row = -1;
        // An INSERT, UPDATE or DELETE says how many records it wrote; a query says nothing of it.
        if (const char *written = PQcmdTuples(m_result); written && *written && status == PGRES_COMMAND_OK)
            m_connection->m_rowsChanged = QByteArray(written).toLongLong();
    }

    PgConnection *m_connection;
    QList<QByteArray> m_before;
    QByteArray m_sql;
    std::vector<QByteArray> m_values;
    std::vector<Oid> m_types;
    std::vector<int> m_formats;
    std::vector<bool> m_null;
    PGresult *m_result = nullptr;
    int m_row = -1;
};

PgConnection::PgConnection(const PgSettings &settings) : m_settings(settings) {}

PgConnection::~PgConnection()
{
    PQfinish(m_conn);
}

std::shared_ptr<PgConnection> PgConnection::Open(const PgSettings &settings)
{
    std::shared_ptr<PgConnection> connection(new PgConnection(settings));
    const QByteArray host = settings.host.toUtf8(), port = QByteArray::number(settings.port),
                     database = settings.database.toUtf8(), user = settings.user.toUtf8(),
                     password = settings.password.toUtf8();
    // Keepalives find a server that went away without closing the connection (a cable pulled, a
    // machine switched off) within half a minute, so the household is told and it is made again.
    const char *keys[] = {"host", "port", "dbname", "user", "password", "client_encoding", "connect_timeout",
                          "application_name", "keepalives", "keepalives_idle", "keepalives_interval",
                          "keepalives_count", nullptr};
    const char *values[] = {host.constData(), port.constData(), database.constData(), user.constData(),
                            password.constData(), "UTF8", "5", "zarvel", "1", "10", "5", "3", nullptr};
    connection->m_conn = PQconnectdbParams(keys, values, 0);
    if (!connection->m_conn)
        throw DbError(QStringLiteral("无法连接服务器 %1：内存不足").arg(settings.Describe()));
    if (PQstatus(connection->m_conn) != CONNECTION_OK) {
        const QString detail = ServerText(PQerrorMessage(connection->m_conn));
        QString why;
        if (detail.contains(QLatin1String("password authentication failed")) || detail.contains(QLatin1String("no password supplied")) ||
            detail.contains(QLatin1String("role \"")))
            why = QStringLiteral("服务器拒绝了用户名或密码。请检查“帐本位置”中的用户和密码。");
        else if (detail.contains(QLatin1String("database \"")) && detail.contains(QLatin1String("does not exist")))
            why = QStringLiteral("服务器上没有数据库 %1。请检查数据库名。").arg(settings.database);
        else
            why = QStringLiteral("连接不上服务器 %1:%2。请检查服务器是否已启动，以及主机和端口是否正确。")
                      .arg(QDir::toNativeSeparators(settings.host))
                      .arg(settings.port);
        throw DbError(why, detail);
    }
    // The server's notices (a table that exists already …) are not the household's to read on a terminal.
    PQsetNoticeProcessor(connection->m_conn, [](void *, const char *) {}, nullptr);
    if (connection->ServerVersion() < 150000)
        throw DbError(QStringLiteral("服务器的 PostgreSQL 版本为 %1，需要 15 或更新的版本。")
                          .arg(QString::fromUtf8(PQparameterStatus(connection->m_conn, "server_version"))));
    return connection;
}

int PgConnection::ServerVersion() const
{
    return PQserverVersion(m_conn);
}

bool PgConnection::IsConnected() const
{
    return PQstatus(m_conn) == CONNECTION_OK;
}

bool PgConnection::Reconnect()
{
    // A server that closed the connection (restarted, or the connection ended by its administrator)
    // has said so on the socket: reading what waits there finds out without a round trip.
    if (IsConnected())
        PQconsumeInput(m_conn);
    if (IsConnected())
        return true;
    // Tried at most every two seconds: a server that is down answers each try only after a while.
    constexpr qint64 kRetryMs = 2000;
    if (m_lastTry.isValid() && !m_lastTry.hasExpired(kRetryMs))
        return false;
    m_lastTry.start();
    PQreset(m_conn);
    if (!IsConnected())
        return false;
    // Whatever the record sets read before may have changed while nobody listened.
    NoteChangeOfAll();
    return true;
}

int PgConnection::BackendPid() const
{
    return PQbackendPID(m_conn);
}

int PgConnection::Socket() const
{
    return PQsocket(m_conn);
}

bool PgConnection::TakeNotifications(QStringList *payloads, int ignoredPid)
{
    if (!PQconsumeInput(m_conn) || !IsConnected())
        return false;
    while (PGnotify *notice = PQnotifies(m_conn)) {
        if (notice->be_pid != ignoredPid)
            payloads->append(QString::fromUtf8(notice->extra));
        PQfreemem(notice);
    }
    return true;
}

DbError PgConnection::Failure(const QString &what) const
{
    if (!IsConnected())
        return DbError(QStringLiteral("与服务器 %1 的连接已断开，这一步没有完成，也没有保存任何改动。程序会自动重新连接。")
                           .arg(m_settings.Describe()),
                       what);
    return DbError(QStringLiteral("服务器帐本出错，改动没有保存。"), what);
}

SqlStatement PgConnection::Prepare(const QString &sql)
{
    return SqlStatement(std::make_unique<PgStatement>(this, sql));
}

qint64 PgConnection::LastInsertId() const
{
    PGresult *result = PQexec(m_conn, "SELECT lastval()");
    const qint64 id = PQresultStatus(result) == PGRES_TUPLES_OK && PQntuples(result) == 1 ? QByteArray(PQgetvalue(result, 0, 0)).toLongLong() : 0;
    PQclear(result);
    return id;
}

bool PgConnection::TableExists(const QString &name)
{
    SqlStatement check = Prepare(QStringLiteral("SELECT count(*) FROM pg_catalog.pg_tables WHERE schemaname = current_schema() AND tablename = ?"));
    check.Bind(1, name.toLower());
    check.Step();
    return check.Int(0) > 0;
}

void PgConnection::NumberOnFrom(const QString &table, qint64 largestUsed)
{
    // The identity's next number after the largest ID ever given: records copied with their IDs did
    // not move it, and an ID deleted at the end is not given again.
    SqlStatement renumber = Prepare(QStringLiteral("SELECT setval(pg_get_serial_sequence(?, 'id'), "
                                                   "GREATEST(COALESCE((SELECT max(\"ID\") FROM \"%1\"), 0), ?) + 1, false)")
                                        .arg(table));
    renumber.BindAll({QLatin1Char('"') + table.toLower() + QLatin1Char('"'), largestUsed});
    renumber.Run();
}

bool PgConnection::InTransaction() const
{
    return PQtransactionStatus(m_conn) != PQTRANS_IDLE;
}

// The server keeps its own copies of its databases; a household takes a file of a server ledger with
// 导出为本机帐本… (ExportServerLedger) and moves a file to the server with 迁移到服务器….
void PgConnection::CopyTo(const QString &, const CopyStep &)
{
    throw DbError(QStringLiteral("服务器帐本的副本由服务器保存。要在本机保留一份，请用“导出为本机帐本…”。"));
}

void PgConnection::CopyFrom(const QString &, const CopyStep &)
{
    throw DbError(QStringLiteral("服务器帐本不能由本机副本替换。要把本机帐本放到服务器上，请用“迁移到服务器…”。"));
}

std::vector<RecordedChange> PgConnection::ReadChanges(const QByteArray &, bool) const
{
    return {};
}

bool PgConnection::RevertChanges(const QByteArray &)
{
    return false;
}
