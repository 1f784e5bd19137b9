// Turns the Jet-style conditions the ledger builds ("ID=12", "MKind='人民币'", "Date>#2003-5-1#")
// into a parameterised SQL condition, so that no text reaches SQL unbound.
#pragma once

#include "db/SqlConnection.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

enum class FieldType { Long, Short, Double, Text, DateTime };

struct SqlCondition
{
    QString sql;                    // empty for "all records"
    std::vector<SqlValue> params;   // bound to the '?' of sql in order
};

// Canonical column name and type for a column name of the table (case-insensitive), or nothing.
using ColumnLookup = std::function<std::optional<std::pair<QString, FieldType>>(const QString &)>;

// Accepts comparisons (=, <>, <, >, <=, >=) of a column with a number, a 'text' (a quote inside
// doubled: 'O''Neil') or a #Y-M-D# / #Y-M-D H:M:S# date, joined by AND / OR / NOT and parentheses.
// Anything else throws DbError naming the condition.
SqlCondition ParseFilter(const QString &filter, const ColumnLookup &columns);

// A text as a Jet literal: 'O''Neil' for O'Neil.
QString QuoteFilterText(const QString &text);
