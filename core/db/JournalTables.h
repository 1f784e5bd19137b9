// The tables the change journal keeps, and how their records are told and kept: what a record said
// (for the undo question and the recycle bin), a value with its kind (so a record comes back exactly),
// and the SQL that finds a record by its key. Used by the journal's two halves only.
#pragma once

#include "db/SqlConnection.h"

#include <QJsonArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace journal {

enum class Shown { Plain, Date, Money, Cents, Month };

// A table whose records the journal keeps: its name as the household knows the book, its key, and
// the columns that say what a record was.
struct JournalTable
{
    QString table;
    QString book;
    QStringList key;
    QList<QPair<QString, Shown>> summary;
    bool inRecycleBin = true;
};

const QList<JournalTable> &JournalTables();
const JournalTable *TableOf(const QString &name);

QString ValueText(const SqlValue &value, Shown shown);
// What a record said, from its columns' values by name.
QString Summary(const JournalTable &table, const std::function<std::optional<SqlValue>(const QString &)> &valueOf);

// A value with its kind, so that a record is put back exactly as it was.
QJsonArray ValueToJson(const SqlValue &value);
SqlValue ValueFromJson(const QJsonArray &pair);

// A record kept in the recycle bin: its columns and their values.
struct KeptRecord
{
    QStringList columns;
    std::vector<SqlValue> values;

    std::optional<SqlValue> Value(const QString &column) const
    {
        const qsizetype index = columns.indexOf(column);
        return index < 0 || size_t(index) >= values.size() ? std::nullopt : std::optional<SqlValue>(values[size_t(index)]);
    }
};
// Throws DbError on a damaged record.
KeptRecord ReadKept(const QString &text);
QString WriteKept(const QStringList &columns, const std::vector<std::optional<SqlValue>> &values);

QString Quoted(const QString &name);
// "col1" = ? AND "col2" = ?
QString KeyCondition(const QStringList &key);

} // namespace journal
