// The one exception of the database layer: a failed open, query or change, told in Chinese (what is
// wrong and what the user can do) with the technical detail on a second line.
#pragma once

#include <QString>
#include <functional>
#include <stdexcept>

struct sqlite3;

class DbError : public std::runtime_error
{
public:
    explicit DbError(const QString &message, const QString &detail = QString())
        : std::runtime_error(message.toStdString()), m_message(message), m_detail(detail) {}

    // A failure reported by SQLite (its result code, and the connection for the message and the file).
    static DbError FromSqlite(int code, sqlite3 *db);

    // The text for the user: the explanation, then the detail on its own line.
    QString Message() const { return m_detail.isEmpty() ? m_message : m_message + QLatin1Char('\n') + m_detail; }
    QString Explanation() const { return m_message; }
    QString Detail() const { return m_detail; }

private:
    QString m_message;
    QString m_detail;
};

// A change refused because another computer changed or deleted the record (or an account's records)
// since the book showed it: nothing of the change was written, and the book shows the record as it
// now is. Said as a warning, not as a failure of the database.
class RecordChangedElsewhere : public DbError
{
public:
    enum class How { Changed, Deleted };
    explicit RecordChangedElsewhere(How how, const QString &message = QString());
    How Kind() const { return m_how; }
    static QString Caption() { return QStringLiteral("记录已被改动"); }

private:
    How m_how;
};

// Runs a user's action; a database failure ends it, told under the caption. False when it failed.
bool TellDbFailure(const std::function<void()> &action, const QString &caption = QStringLiteral("数据库错误"));
