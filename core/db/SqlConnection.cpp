// What every ledger connection shares: statements run whole, tables known, and nested transactions
// with the recording of what each outermost one changed.
#include "SqlConnection.h"

#include "db/DbError.h"

void SqlStatement::BindAll(const std::vector<SqlValue> &values, int first)
{
    for (size_t i = 0; i < values.size(); ++i)
        Bind(first + int(i), values[i]);
}

void SqlStatement::Run()
{
    while (Step()) {
    }
}

QStringList QueryRowTexts(SqlConnection &db, const QString &sql)
{
    QStringList rows;
    SqlStatement read = db.Prepare(sql);
    while (read.Step()) {
        QStringList cells;
        for (int column = 0; column < read.ColumnCount(); ++column)
            cells.append(read.Text(column));
        rows.append(cells.join(QLatin1Char('|')));
    }
    return rows;
}

void SqlConnection::Execute(const QString &sql)
{
    SqlStatement statement = Prepare(sql);  // BEGIN, COMMIT and the like are prepared once
    statement.Run();
    // A table made or dropped: HasTable asks again.
    if (sql.startsWith(QLatin1String("CREATE"), Qt::CaseInsensitive) || sql.startsWith(QLatin1String("DROP"), Qt::CaseInsensitive))
        m_knownTables.clear();
}

void SqlConnection::LayTableIfMissing(const QString &name, const QStringList &statements)
{
    if (HasTable(name))
        return;
    for (const QString &sql : statements)
        Execute(sql);
}

bool SqlConnection::HasTable(const QString &name)
{
    const auto known = m_knownTables.constFind(name);
    if (known != m_knownTables.constEnd())
        return known.value();
    const bool exists = TableExists(name);
    m_knownTables.insert(name, exists);
    return exists;
}

void SqlConnection::ForgetEverything()
{
    m_knownTables.clear();
    NoteChangeOfAll();
    if (m_recorder)
        m_recorder->Replaced();
}

void SqlConnection::NoteOwnVersion(const QString &table, qint64 id, quint64 version)
{
    OwnVersionKept &kept = m_ownVersions[table][id];
    if (m_transactionDepth == 0) {
        kept.committed = version;
        kept.pending.reset();
        return;
    }
    kept.pending = version;
    kept.depth = m_transactionDepth;
}

std::optional<quint64> SqlConnection::OwnVersion(const QString &table, qint64 id) const
{
    const auto records = m_ownVersions.constFind(table);
    if (records == m_ownVersions.constEnd())
        return std::nullopt;
    const auto kept = records->constFind(id);
    if (kept == records->constEnd())
        return std::nullopt;
    return kept->pending ? kept->pending : kept->committed;
}

void SqlConnection::KeepOwnVersions(int depth)
{
    for (auto &records : m_ownVersions) {
        for (OwnVersionKept &kept : records) {
            if (!kept.pending || kept.depth < depth)
                continue;
            if (depth > 1) {
                kept.depth = depth - 1;  // a savepoint released: its writes belong to the level below
            } else {
                kept.committed = kept.pending;
                kept.pending.reset();
            }
        }
    }
}

void SqlConnection::ForgetOwnVersions(int depth)
{
    for (auto &records : m_ownVersions) {
        for (OwnVersionKept &kept : records) {
            if (kept.pending && kept.depth >= depth)
                kept.pending.reset();
        }
    }
}

SqlTransaction::SqlTransaction(SqlConnection &connection) : m_connection(connection)
{
    // The outermost level is a real transaction, inner ones savepoints.
    const int depth = m_connection.m_transactionDepth + 1;
    m_name = QStringLiteral("zarvel_%1").arg(depth);
    m_connection.Execute(depth == 1 ? m_connection.BeginSql() : QStringLiteral("SAVEPOINT ") + m_name);
    m_connection.m_transactionDepth = depth;
    if (depth == 1) {
        try {
            m_connection.BeginRecording();
        } catch (...) {
            m_connection.Execute(QStringLiteral("ROLLBACK"));
            m_connection.m_transactionDepth = 0;
            throw;
        }
    }
}

SqlTransaction::~SqlTransaction()
{
    if (!m_done) {
        try {
            if (m_connection.m_transactionDepth == 1) {
                // A failed COMMIT (a deferred constraint, a full disk) leaves the transaction open: end it.
                if (m_connection.InTransaction())
                    m_connection.Execute(QStringLiteral("ROLLBACK"));
            } else {
                m_connection.Execute(QStringLiteral("ROLLBACK TO ") + m_name);
                m_connection.Execute(QStringLiteral("RELEASE ") + m_name);
            }
        } catch (const DbError &) {
            // Nothing more can be done from a destructor; the database has rolled back on its own if it must.
        }
        m_connection.NoteChangeOfAll();
        m_connection.ForgetOwnVersions(m_connection.m_transactionDepth);
    }
    if (m_connection.m_transactionDepth == 1)
        m_connection.EndRecording();
    --m_connection.m_transactionDepth;
}

void SqlTransaction::Commit()
{
    if (m_connection.m_transactionDepth > 1) {
        m_connection.Execute(QStringLiteral("RELEASE ") + m_name);
        m_done = true;
        m_connection.KeepOwnVersions(m_connection.m_transactionDepth);
        return;
    }
    // What the transaction changed is written beside it before the commit, so the two stand or fall together.
    const bool told = m_connection.TellRecorder();
    m_connection.Execute(QStringLiteral("COMMIT"));
    m_done = true;
    m_connection.KeepOwnVersions(1);
    m_connection.EndRecording();
    if (told)
        m_connection.m_recorder->Committed();
}
