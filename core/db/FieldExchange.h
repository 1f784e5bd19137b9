// How a record set's member fields meet its columns: the values read and written, in column order.
#pragma once

#include "db/FilterParser.h"
#include "db/KeysetQuery.h"

#include <QDateTime>
#include <QString>
#include <vector>

// A stored date as the record sets read it: the database form or another written form of a day; a
// number, an empty text or anything else unreadable is the empty date.
QDateTime DateOfValue(const SqlValue &value);
// A stored whole number (an ID), from whatever form the value has; 0 for none.
qint64 IntOfValue(const SqlValue &value);
// A stored amount as a number field reads it, from whatever form the value has; 0 for none.
double DoubleOfValue(const SqlValue &value);
// A stored text as a text field reads it, from whatever form the value has; empty for none.
QString TextOfValue(const SqlValue &value);

// Binds a record set's member fields to its columns, in column order (ID first).
class FieldExchange
{
public:
    enum class Mode { Describe, Load, Store, Clear };
    FieldExchange(Mode mode, std::vector<ColumnInfo> *columns, SqlRow *row)
        : m_mode(mode), m_columns(columns), m_row(row) {}

    void Long(const char *name, qint32 &value);
    void Short(const char *name, qint16 &value);
    void Double(const char *name, double &value);
    void Text(const char *name, QString &value);
    void DateTime(const char *name, QDateTime &value);

private:
    const SqlValue &Next();
    void Describe(const char *name, FieldType type);
    Mode m_mode;
    std::vector<ColumnInfo> *m_columns;
    SqlRow *m_row;
    size_t m_index = 0;
};

