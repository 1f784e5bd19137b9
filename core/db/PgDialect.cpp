// The SQL of the books and the kept figures, as PostgreSQL takes it.
#include "PgDialect.h"

#include <QRegularExpression>

#include <algorithm>
#include <vector>

namespace {

bool IsWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// A word of SQLite's as PostgreSQL says it.
QString WordFor(QStringView word)
{
    static const struct
    {
        const char *sqlite;
        const char *postgres;
    } kWords[] = {{"IFNULL", "COALESCE"}, {"INTEGER", "bigint"}, {"DATETIME", "text"}, {"BLOB", "bytea"}};
    for (const auto &pair : kWords) {
        if (word.compare(QLatin1String(pair.sqlite), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(pair.postgres);
    }
    return word.toString();
}

QRegularExpression Pattern(const char *pattern)
{
    return QRegularExpression(QString::fromLatin1(pattern),
                              QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
}

// Marks a statement whose column types are translated (a CREATE TABLE of columns) for the word pass.
const QString kTableDefinition = QStringLiteral("\x01");

// Whether the text ends in the keyword, as a whole word.
bool EndsInWord(const QString &text, QLatin1String word)
{
    return text.endsWith(word, Qt::CaseInsensitive) &&
           (text.size() == word.size() || !IsWordChar(text.at(text.size() - word.size() - 1)));
}

// The next word of the text from the position on, past blanks.
QStringView NextWord(const QString &text, qsizetype from)
{
    while (from < text.size() && text.at(from).isSpace())
        ++from;
    qsizetype end = from;
    while (end < text.size() && IsWordChar(text.at(end)))
        ++end;
    return QStringView(text).mid(from, end - from);
}

// The end of the quoted text or name that starts at the position (its closing quote's next position).
qsizetype PastQuoted(const QString &sql, qsizetype start)
{
    const QChar quote = sql.at(start);
    qsizetype i = start + 1;
    while (i < sql.size()) {
        if (sql.at(i) == quote) {
            if (i + 1 < sql.size() && sql.at(i + 1) == quote) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return i;
}

// Whether the parentheses opened at the position hold one argument (no comma outside inner
// parentheses, texts and names) and are closed.
bool HoldsOneArgument(const QString &sql, qsizetype open)
{
    int depth = 0;
    for (qsizetype i = open; i < sql.size();) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            i = PastQuoted(sql, i);
            continue;
        }
        if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')') && --depth == 0)
            return true;
        else if (c == QLatin1Char(',') && depth == 1)
            return false;
        ++i;
    }
    return false;
}

// SQLite's round(x) of a real, as SQLite computes it: x + 0.5 (x - 0.5 below nothing) cut to its
// whole part, so that half a cent goes away from zero. The server's own round() of a double rounds
// half to even, and a kept total would lose the half cents SQLite's gains. The argument stands once,
// as it was written (its parameters keep their numbers): it opens the text below and closes the second.
const QString kRoundOpen = QStringLiteral("(SELECT trunc(zarvel_x + sign(zarvel_x) * 0.5) FROM (SELECT (");
const QString kRoundClose = QStringLiteral(") AS zarvel_x) AS zarvel_round)");

// The name a trigger's function has: the trigger's, unquoted, with "_fn".
QString FunctionOf(const QString &trigger)
{
    QString name = trigger;
    name.remove(QLatin1Char('"'));
    return QLatin1Char('"') + name + QStringLiteral("_fn\"");
}

// The statement in SQLite's words, brought to PostgreSQL's where whole statements differ.
QStringList Statements(const QString &sql)
{
    const QString text = sql.trimmed();
    static const QRegularExpression readForm = Pattern("^PRAGMA\\s+user_version\\s*$");
    static const QRegularExpression setForm = Pattern("^PRAGMA\\s+user_version\\s*=\\s*(\\d+)\\s*$");
    static const QRegularExpression trigger = Pattern(
        "^CREATE\\s+TRIGGER\\s+(\"[^\"]+\"|\\w+)\\s+(AFTER|BEFORE)\\s+(.*?)\\s+ON\\s+(\"[^\"]+\"|\\w+)"
        "(?:\\s+WHEN\\s+(.*?))?\\s+BEGIN\\b(.*)\\bEND$");
    static const QRegularExpression dropTrigger = Pattern("^DROP\\s+TRIGGER\\s+IF\\s+EXISTS\\s+(\"[^\"]+\"|\\w+)$");
    static const QRegularExpression orIgnore = Pattern("^INSERT\\s+OR\\s+IGNORE\\s+INTO\\b(.*)$");
    if (readForm.match(text).hasMatch())
        return {QStringLiteral("SELECT COALESCE((SELECT \"Version\" FROM \"ZarvelForm\"), 0)")};
    if (const auto set = setForm.match(text); set.hasMatch())
        return {QStringLiteral("UPDATE \"ZarvelForm\" SET \"Version\" = ") + set.captured(1)};
    if (const auto made = trigger.match(text); made.hasMatch()) {
        const QString function = FunctionOf(made.captured(1));
        // SQLite's "a IS NOT b" compares NULLs as values, as PostgreSQL's IS DISTINCT FROM does.
        static const QRegularExpression isNot = Pattern("\\bIS\\s+NOT\\b(?!\\s+(NULL|DISTINCT)\\b)");
        QString when = made.captured(5).trimmed();
        when.replace(isNot, QStringLiteral("IS DISTINCT FROM"));
        const QString body = made.captured(6).trimmed();
        QString tag = QStringLiteral("$zarvel$");
        for (int n = 1; body.contains(tag); ++n)  // a tag the body does not hold ends it nowhere but at its end
            tag = QStringLiteral("$zarvel%1$").arg(n);
        return {QStringLiteral("CREATE OR REPLACE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS %3\nBEGIN\n%2\nRETURN NULL;\nEND\n%3")
                    .arg(function, body, tag),
                QStringLiteral("CREATE TRIGGER %1 %2 %3 ON %4 FOR EACH ROW %5EXECUTE FUNCTION %6()")
                    .arg(made.captured(1), made.captured(2), made.captured(3), made.captured(4),
                         when.isEmpty() ? QString() : QStringLiteral("WHEN (%1) ").arg(when), function)};
    }
    if (const auto dropped = dropTrigger.match(text); dropped.hasMatch())
        return {QStringLiteral("DROP FUNCTION IF EXISTS %1() CASCADE").arg(FunctionOf(dropped.captured(1)))};
    if (const auto ignored = orIgnore.match(text); ignored.hasMatch())
        return {QStringLiteral("INSERT INTO") + ignored.captured(1) + QStringLiteral(" ON CONFLICT DO NOTHING")};
    static const QRegularExpression columns = Pattern("^CREATE\\s+(TEMP\\s+)?TABLE\\b(?!.*\\bAS\\s+SELECT\\b)");
    if (columns.match(text).hasMatch())  // a table of columns, not one made from a query
        return {kTableDefinition + text};
    return {text};
}

// A row comparison, (a, b) >= (x, y), with its first column bounded beside it: ((a, b) >= (x, y) AND
// a >= x). The server estimates a row comparison's rows from a rule of thumb, and a count over a block
// of the list's order, thought a tenth of the table, got parallel workers that cost ten times the
// count; the bound of the first column is estimated from the column's statistics, and two of them
// as a range. The bound follows from the comparison, NULLs included, so the meaning stays. Texts and
// comments are passed over whole: what looks like a comparison inside them is left, and so are a
// function's arguments.
QString BoundRowComparisons(const QString &sql)
{
    static const QRegularExpression rowComparison = [] {
        const QString name = QStringLiteral("(?:\\w+\\.)?(?:\"[^\"]*\"|\\w+)");
        const QString value = QStringLiteral("(?:\\$\\d+|'(?:[^']|'')*'|-?\\d+(?:\\.\\d+)?|%1)").arg(name);
        return QRegularExpression(QStringLiteral("'(?:[^']|'')*'|\"[^\"]*\"|--[^\n]*|/\\*.*?\\*/|"
                                                 "(?<![\\w\"])\\(\\s*(%1)\\s*,\\s*%1\\s*\\)\\s*(<=|>=|<|>)\\s*\\(\\s*(%2)\\s*,\\s*%2\\s*\\)")
                                      .arg(name, value),
                                  QRegularExpression::DotMatchesEverythingOption);
    }();
    QString out;
    qsizetype done = 0;
    for (QRegularExpressionMatchIterator matches = rowComparison.globalMatch(sql); matches.hasNext();) {
        const QRegularExpressionMatch match = matches.next();
        if (match.capturedLength(1) == 0)  // a text or a comment
            continue;
        const QString bound = match.captured(2).startsWith(QLatin1Char('>')) ? QStringLiteral(">=") : QStringLiteral("<=");
        out += QStringView(sql).mid(done, match.capturedStart() - done);
        out += QStringLiteral("(%1 AND %2 %3 %4)").arg(match.captured(), match.captured(1), bound, match.captured(3));
        done = match.capturedEnd();
    }
    if (done == 0)
        return sql;
    out += QStringView(sql).mid(done);
    return out;
}

} // namespace

QString PgDialect(const QString &statement, int *parameterCount)
{
    const bool tableDefinition = statement.startsWith(kTableDefinition);
    const QString sql = tableDefinition ? statement.mid(kTableDefinition.size()) : statement;
    QString out;
    out.reserve(sql.size() + 16);
    int parameters = 0;
    int depth = 0;                 // of the parentheses open
    std::vector<int> roundsOpen;   // the depths inside SQLite's round() calls being written
    for (qsizetype i = 0; i < sql.size();) {
        const QChar c = sql.at(i);
        // A comment, to its line's end or its close: as it is.
        if (QStringView(sql).mid(i).startsWith(QLatin1String("--")) || QStringView(sql).mid(i).startsWith(QLatin1String("/*"))) {
            const bool line = sql.at(i + 1) == QLatin1Char('-');
            qsizetype end = line ? sql.indexOf(QLatin1Char('\n'), i) : sql.indexOf(QLatin1String("*/"), i + 2);
            end = end < 0 ? sql.size() : end + (line ? 0 : 2);
            out += QStringView(sql).mid(i, end - i);
            i = end;
            continue;
        }
        // SQLite's empty blob x'' stands for a missing item or member, which the server's columns
        // (NOT NULL) never hold: an empty text keeps the expression's type.
        if ((c == QLatin1Char('x') || c == QLatin1Char('X')) && QStringView(sql).mid(i + 1).startsWith(QLatin1String("''")) &&
            (i == 0 || !IsWordChar(sql.at(i - 1)))) {
            out += QStringLiteral("''");
            i += 3;
            continue;
        }
        // SQLite's lowest key, -9e999 (below every number and text): the dates are always texts here,
        // and the empty text is below all of them.
        if (QStringView(sql).mid(i).startsWith(QLatin1String("-9e999")) && (i + 6 >= sql.size() || !IsWordChar(sql.at(i + 6)))) {
            out += QStringLiteral("''");
            i += 6;
            continue;
        }
        // SQLite's unary plus before a condition keeps its planner off an index; PostgreSQL plans its
        // own way and has no plus for a condition.
        if (c == QLatin1Char('+') && QStringView(sql).mid(i + 1).startsWith(QLatin1Char('('))) {
            const QString before = out.trimmed();
            if (EndsInWord(before, QLatin1String("WHERE")) || EndsInWord(before, QLatin1String("AND")) ||
                EndsInWord(before, QLatin1String("OR")) || before.endsWith(QLatin1Char('('))) {
                ++i;
                continue;
            }
        }
        if (c == QLatin1Char('\'')) {  // a text, '' inside it: as it is
            const qsizetype stop = PastQuoted(sql, i);
            out += QStringView(sql).mid(i, stop - i);
            i = stop;
        } else if (c == QLatin1Char('"')) {  // a quoted name: folded as PostgreSQL folds the unquoted
            const qsizetype end = sql.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype stop = end < 0 ? sql.size() : end + 1;
            out += QStringView(sql).mid(i, stop - i).toString().toLower();
            i = stop;
        } else if (c == QLatin1Char('?')) {
            // ?NNN names its parameter; a bare ? is the one after the largest so far, as in SQLite.
            qsizetype end = i + 1;
            while (end < sql.size() && sql.at(end).isDigit())
                ++end;
            const int number = end > i + 1 ? QStringView(sql).mid(i + 1, end - i - 1).toInt() : parameters + 1;
            parameters = std::max(parameters, number);
            out += QLatin1Char('$') + QString::number(number);
            i = end;
        } else if (IsWordChar(c) && (i == 0 || !IsWordChar(sql.at(i - 1)))) {
            qsizetype end = i;
            while (end < sql.size() && IsWordChar(sql.at(end)))
                ++end;
            const QStringView word = QStringView(sql).mid(i, end - i);
            qsizetype open = end;
            while (open < sql.size() && sql.at(open).isSpace())
                ++open;
            if (word.compare(QLatin1String("round"), Qt::CaseInsensitive) == 0 && open < sql.size() &&
                sql.at(open) == QLatin1Char('(') && HoldsOneArgument(sql, open)) {
                out += kRoundOpen;
                roundsOpen.push_back(++depth);
                i = open + 1;
                continue;
            }
            if (word.compare(QLatin1String("random"), Qt::CaseInsensitive) == 0 && QStringView(sql).mid(end).startsWith(QLatin1String("()"))) {
                out += QStringLiteral("(random() * 9007199254740991)::bigint");
                i = end + 2;
                continue;
            }
            if (tableDefinition) {  // the column types, as the server names them
                const QStringView next = NextWord(sql, end);
                const auto is = [](QStringView a, const char *b) { return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0; };
                if ((is(word, "TEXT") || is(word, "DATETIME")) && !is(next, "COLLATE")) {
                    out += QStringLiteral("text COLLATE ucs_basic");
                    i = end;
                    continue;
                }
                if (is(word, "DOUBLE") && !is(next, "PRECISION")) {
                    out += QStringLiteral("double precision");
                    i = end;
                    continue;
                }
                if (is(word, "AUTOINCREMENT") && out.trimmed().endsWith(QLatin1String("bigint PRIMARY KEY"), Qt::CaseInsensitive)) {
                    // "INTEGER PRIMARY KEY AUTOINCREMENT": numbered by the server, an explicit ID still taken
                    const qsizetype at = out.lastIndexOf(QLatin1String("PRIMARY KEY"), -1, Qt::CaseInsensitive);
                    out.insert(at, QStringLiteral("GENERATED BY DEFAULT AS IDENTITY "));
                    i = end;
                    continue;
                }
                if (is(word, "WITHOUT") && is(next, "ROWID")) {
                    i = sql.indexOf(next.toString(), end, Qt::CaseInsensitive) + next.size();
                    continue;
                }
            }
            if (word.compare(QLatin1String("temp"), Qt::CaseInsensitive) == 0 && end < sql.size() && sql.at(end) == QLatin1Char('.'))
                out += QStringLiteral("pg_temp");  // the connection's own tables
            else
                out += WordFor(word);
            i = end;
        } else {
            if (c == QLatin1Char('(')) {
                ++depth;
            } else if (c == QLatin1Char(')')) {
                if (!roundsOpen.empty() && roundsOpen.back() == depth) {
                    roundsOpen.pop_back();
                    out += kRoundClose;
                    --depth;
                    ++i;
                    continue;
                }
                --depth;
            }
            out += c;
            ++i;
        }
    }
    if (parameterCount)
        *parameterCount = parameters;
    return tableDefinition ? out : BoundRowComparisons(out);
}


QStringList PgCommands(const QString &sql, int *parameterCount)
{
    QStringList commands;
    int parameters = 0;
    for (const QString &statement : Statements(sql)) {
        int count = 0;
        commands.append(PgDialect(statement, &count).trimmed());
        parameters += count;
    }
    if (parameterCount)
        *parameterCount = parameters;
    return commands;
}
