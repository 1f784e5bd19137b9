// A small recursive-descent parser for the ledger's filter conditions.
#include "FilterParser.h"

#include "common/LedgerDate.h"
#include "db/DbError.h"

#include <QRegularExpression>

namespace {

class Parser
{
public:
    Parser(const QString &text, const ColumnLookup &columns) : m_text(text), m_columns(columns) {}

    SqlCondition Parse()
    {
        SkipBlanks();
        if (AtEnd())
            return {};
        SqlCondition result;
        result.sql = Expression(result.params);
        SkipBlanks();
        if (!AtEnd())
            Fail();
        return result;
    }

private:
    [[noreturn]] void Fail() const
    {
        throw DbError(QStringLiteral("无法识别的查询条件：%1").arg(m_text));
    }

    bool AtEnd() const { return m_pos >= m_text.size(); }
    QChar Peek() const { return AtEnd() ? QChar() : m_text.at(m_pos); }

    void SkipBlanks()
    {
        while (!AtEnd() && Peek().isSpace())
            ++m_pos;
    }

    // Consumes a keyword (AND, OR, NOT) followed by a non-identifier character.
    bool Keyword(const char *word)
    {
        SkipBlanks();
        const QString w = QString::fromLatin1(word);
        if (m_text.mid(m_pos, w.size()).compare(w, Qt::CaseInsensitive) != 0)
            return false;
        const int after = m_pos + int(w.size());
        if (after < m_text.size() && (m_text.at(after).isLetterOrNumber() || m_text.at(after) == QLatin1Char('_')))
            return false;
        m_pos = after;
        return true;
    }

    QString Expression(std::vector<SqlValue> &params)
    {
        QString sql = Conjunction(params);
        while (Keyword("OR"))
            sql += QStringLiteral(" OR ") + Conjunction(params);
        return sql;
    }

    QString Conjunction(std::vector<SqlValue> &params)
    {
        QString sql = Term(params);
        while (Keyword("AND"))
            sql += QStringLiteral(" AND ") + Term(params);
        return sql;
    }

    QString Term(std::vector<SqlValue> &params)
    {
        if (Keyword("NOT"))
            return QStringLiteral("NOT ") + Term(params);
        SkipBlanks();
        if (Peek() == QLatin1Char('(')) {
            ++m_pos;
            const QString inner = Expression(params);
            SkipBlanks();
            if (Peek() != QLatin1Char(')'))
                Fail();
            ++m_pos;
            return QLatin1Char('(') + inner + QLatin1Char(')');
        }
        return Comparison(params);
    }

    QString Comparison(std::vector<SqlValue> &params)
    {
        SkipBlanks();
        bool bracketed = false;
        if (Peek() == QLatin1Char('[')) {
            bracketed = true;
            ++m_pos;
        }
        const int start = m_pos;
        while (!AtEnd() && (Peek().isLetterOrNumber() || Peek() == QLatin1Char('_')))
            ++m_pos;
        const QString name = m_text.mid(start, m_pos - start);
        if (bracketed) {
            if (Peek() != QLatin1Char(']'))
                Fail();
            ++m_pos;
        }
        const auto column = m_columns(name);
        if (name.isEmpty() || !column)
            Fail();

        SkipBlanks();
        static const char *const operators[] = {"<>", "<=", ">=", "=", "<", ">"};
        QString op;
        for (const char *candidate : operators) {
            const QString o = QString::fromLatin1(candidate);
            if (m_text.mid(m_pos, o.size()) == o) {
                op = o;
                m_pos += int(o.size());
                break;
            }
        }
        if (op.isEmpty())
            Fail();
        SkipBlanks();
        params.push_back(Literal(column->second));
        return QLatin1Char('"') + column->first + QStringLiteral("\" ") + op + QStringLiteral(" ?");
    }

    SqlValue Literal(FieldType type)
    {
        const QChar c = Peek();
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            if (type != FieldType::Text)
                Fail();
            return QuotedText(c);
        }
        if (c == QLatin1Char('#')) {
            if (type != FieldType::DateTime)
                Fail();
            const int end = m_text.indexOf(QLatin1Char('#'), m_pos + 1);
            if (end < 0)
                Fail();
            const QString inner = m_text.mid(m_pos + 1, end - m_pos - 1).trimmed();
            m_pos = end + 1;
            return DateLiteral(inner);
        }
        static const QRegularExpression number(QStringLiteral("\\G[-+]?(\\d+(\\.\\d*)?|\\.\\d+)([eE][-+]?\\d+)?"));
        const QRegularExpressionMatch match = number.match(m_text, m_pos);
        if (!match.hasMatch() || type == FieldType::Text || type == FieldType::DateTime)
            Fail();
        m_pos += int(match.capturedLength());
        const QString digits = match.captured();
        if (type == FieldType::Double)
            return digits.toDouble();
        bool ok = false;
        const qint64 value = digits.toLongLong(&ok);
        if (!ok)
            Fail();
        return value;
    }

    QString QuotedText(QChar quote)
    {
        QString value;
        ++m_pos;
        for (;;) {
            if (AtEnd())
                Fail();
            const QChar c = Peek();
            ++m_pos;
            if (c == quote) {
                if (Peek() == quote) {
                    value += quote;
                    ++m_pos;
                    continue;
                }
                return value;
            }
            value += c;
        }
    }

    SqlValue DateLiteral(const QString &inner)
    {
        static const QRegularExpression pattern(
            QStringLiteral("^(\\d{1,4})-(\\d{1,2})-(\\d{1,2})(?:\\s+(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?)?$"));
        const QRegularExpressionMatch match = pattern.match(inner);
        if (!match.hasMatch())
            Fail();
        const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
        const QTime time(match.captured(4).toInt(), match.captured(5).toInt(), match.captured(6).toInt());
        if (!date.isValid() || !time.isValid())
            Fail();
        return DbDateText(LedgerDateTime(date, time));
    }

    const QString &m_text;
    const ColumnLookup &m_columns;
    int m_pos = 0;
};

} // namespace

SqlCondition ParseFilter(const QString &filter, const ColumnLookup &columns)
{
    return Parser(filter, columns).Parse();
}

QString QuoteFilterText(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}
