// The fields of a record set bound to its columns.
#include "FieldExchange.h"

#include "common/LedgerDate.h"

namespace {

double AsDouble(const SqlValue &value)
{
    if (std::holds_alternative<double>(value))
        return std::get<double>(value);
    if (std::holds_alternative<qint64>(value))
        return double(std::get<qint64>(value));
    if (std::holds_alternative<QString>(value))
        return std::get<QString>(value).toDouble();
    return 0.0;
}

} // namespace

double DoubleOfValue(const SqlValue &value)
{
    return AsDouble(value);
}

QString TextOfValue(const SqlValue &value)
{
    if (std::holds_alternative<QString>(value))
        return std::get<QString>(value);
    if (std::holds_alternative<qint64>(value))
        return QString::number(std::get<qint64>(value));
    if (std::holds_alternative<double>(value))
        return QString::number(std::get<double>(value));
    return QString();
}

qint64 IntOfValue(const SqlValue &value)
{
    if (std::holds_alternative<qint64>(value))
        return std::get<qint64>(value);
    if (std::holds_alternative<double>(value))
        return qint64(std::get<double>(value));
    if (std::holds_alternative<QString>(value))
        return std::get<QString>(value).toLongLong();
    return 0;
}

QDateTime DateOfValue(const SqlValue &value)
{
    return DateFromDb(TextOfValue(value));
}

const SqlValue &FieldExchange::Next()
{
    static const SqlValue empty;
    const size_t index = m_index++;
    return index < m_row->size() ? (*m_row)[index] : empty;
}

void FieldExchange::Describe(const char *name, FieldType type)
{
    m_columns->push_back({QString::fromLatin1(name), type});
}

void FieldExchange::Long(const char *name, qint32 &value)
{
    switch (m_mode) {
    case Mode::Describe: Describe(name, FieldType::Long); break;
    case Mode::Load: value = qint32(IntOfValue(Next())); break;
    case Mode::Store: m_row->push_back(qint64(value)); break;
    case Mode::Clear: value = 0; break;
    }
}

void FieldExchange::Short(const char *name, qint16 &value)
{
    switch (m_mode) {
    case Mode::Describe: Describe(name, FieldType::Short); break;
    case Mode::Load: value = qint16(IntOfValue(Next())); break;
    case Mode::Store: m_row->push_back(qint64(value)); break;
    case Mode::Clear: value = 0; break;
    }
}

void FieldExchange::Double(const char *name, double &value)
{
    switch (m_mode) {
    case Mode::Describe: Describe(name, FieldType::Double); break;
    case Mode::Load: value = AsDouble(Next()); break;
    case Mode::Store: m_row->push_back(value); break;
    case Mode::Clear: value = 0.0; break;
    }
}

void FieldExchange::Text(const char *name, QString &value)
{
    switch (m_mode) {
    case Mode::Describe: Describe(name, FieldType::Text); break;
    case Mode::Load: value = TextOfValue(Next()); break;
    case Mode::Store: m_row->push_back(value); break;
    case Mode::Clear: value.clear(); break;
    }
}

void FieldExchange::DateTime(const char *name, QDateTime &value)
{
    switch (m_mode) {
    case Mode::Describe: Describe(name, FieldType::DateTime); break;
    case Mode::Load: value = DateOfValue(Next()); break;
    case Mode::Store: m_row->push_back(DbDateText(value.isValid() ? value : ZeroDate())); break;
    case Mode::Clear: value = ZeroDate(); break;
    }
}

