// The one exception of the database layer: a failed open, query or change, with a readable reason.
#pragma once

#include <QString>
#include <stdexcept>

class DbError : public std::runtime_error
{
public:
    explicit DbError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString Message() const { return m_message; }

private:
    QString m_message;
};
