// The tables the change journal keeps and how their records are told and kept.
#include "JournalTables.h"

#include "common/Amount.h"
#include "db/DbError.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace journal {


const QList<JournalTable> &JournalTables()
{
    const QStringList id{QStringLiteral("ID")};
    static const QList<JournalTable> tables{
        {QStringLiteral("Money"), QStringLiteral("收支记录"), id,
         {{"Date", Shown::Date}, {"Item", Shown::Plain}, {"Money", Shown::Money}, {"Member", Shown::Plain}, {"Explain", Shown::Plain}}},
        {QStringLiteral("Deposit"), QStringLiteral("定期存款"), id,
         {{"BDate", Shown::Date}, {"Account", Shown::Plain}, {"Bank", Shown::Plain}, {"BMoney", Shown::Money}, {"Member", Shown::Plain}}},
        {QStringLiteral("Current"), QStringLiteral("活期存款"), id,
         {{"Date", Shown::Date}, {"Account", Shown::Plain}, {"Bank", Shown::Plain}, {"Money", Shown::Money}, {"Reason", Shown::Plain},
          {"Member", Shown::Plain}}},
        {QStringLiteral("Article"), QStringLiteral("物品"), id,
         {{"Name", Shown::Plain}, {"Number", Shown::Plain}, {"Value", Shown::Money}, {"Explain", Shown::Plain}}},
        {QStringLiteral("InsureNote"), QStringLiteral("保单"), id,
         {{"Name", Shown::Plain}, {"InsureKind", Shown::Plain}, {"InsureOrgen", Shown::Plain}, {"PayMoney", Shown::Money}}},
        {QStringLiteral("InsureRecord"), QStringLiteral("保险活动"), id,
         {{"Date", Shown::Date}, {"InsureName", Shown::Plain}, {"Active", Shown::Plain}, {"Money", Shown::Money}, {"Member", Shown::Plain}}},
        {QStringLiteral("Credit"), QStringLiteral("借贷"), id,
         {{"Date", Shown::Date}, {"Active", Shown::Plain}, {"Money", Shown::Money}, {"People", Shown::Plain}, {"Member", Shown::Plain}}},
        {QStringLiteral("Memo"), QStringLiteral("备忘"), id, {{"Date", Shown::Date}, {"Matter", Shown::Plain}, {"Member", Shown::Plain}}},
        {QStringLiteral("Address"), QStringLiteral("通讯录"), id,
         {{"Name", Shown::Plain}, {"Mobile", Shown::Plain}, {"HomeTel", Shown::Plain}, {"Company", Shown::Plain}}},
        {QStringLiteral("Recurring"), QStringLiteral("周期收支"), id,
         {{"Item", Shown::Plain}, {"Money", Shown::Money}, {"Member", Shown::Plain}, {"Explain", Shown::Plain}, {"First", Shown::Plain}}},
        // The marks of a recurring record's dates come and go with it.
        {QStringLiteral("RecurringDone"), QStringLiteral("周期收支的到期记号"), {QStringLiteral("Template"), QStringLiteral("Due")},
         {{"Due", Shown::Plain}},
         false},
        {QStringLiteral("Budget"), QStringLiteral("预算"), {QStringLiteral("Item"), QStringLiteral("Month")},
         {{"Item", Shown::Plain}, {"Month", Shown::Month}, {"Cents", Shown::Cents}}},
    };
    return tables;
}

const JournalTable *TableOf(const QString &name)
{
    for (const JournalTable &table : JournalTables()) {
        if (table.table == name)
            return &table;
    }
    return nullptr;
}

QString ValueText(const SqlValue &value, Shown shown)
{
    if (std::holds_alternative<qint64>(value)) {
        const qint64 number = std::get<qint64>(value);
        if (shown == Shown::Cents)
            return TrimAmount(double(number) / 100.0);
        return shown == Shown::Money ? TrimAmount(double(number)) : QString::number(number);
    }
    if (std::holds_alternative<double>(value)) {
        const double number = std::get<double>(value);
        return shown == Shown::Cents ? TrimAmount(number / 100.0) : TrimAmount(number);
    }
    if (std::holds_alternative<QString>(value)) {
        const QString text = std::get<QString>(value);
        if (shown == Shown::Date)
            return text.left(10);
        if (shown == Shown::Month && text.isEmpty())
            return QStringLiteral("每月");
        return text.simplified();
    }
    return QString();
}

QString Summary(const JournalTable &table, const std::function<std::optional<SqlValue>(const QString &)> &valueOf)
{
    QStringList parts;
    for (const auto &[column, shown] : table.summary) {
        const std::optional<SqlValue> value = valueOf(column);
        const QString text = value ? ValueText(*value, shown) : QString();
        if (!text.isEmpty())
            parts << text;
    }
    QString summary = parts.join(QLatin1Char(' '));
    constexpr int kLongest = 80;
    if (summary.size() > kLongest)
        summary = summary.left(kLongest - 1) + QChar(0x2026);
    return summary;
}

QJsonArray ValueToJson(const SqlValue &value)
{
    if (std::holds_alternative<qint64>(value))
        return {QStringLiteral("i"), QString::number(std::get<qint64>(value))};
    if (std::holds_alternative<double>(value))
        return {QStringLiteral("r"), QString::number(std::get<double>(value), 'g', 17)};
    if (std::holds_alternative<QString>(value))
        return {QStringLiteral("t"), std::get<QString>(value)};
    return {QStringLiteral("n")};
}

SqlValue ValueFromJson(const QJsonArray &pair)
{
    const QString kind = pair.at(0).toString();
    const QString text = pair.at(1).toString();
    if (kind == QStringLiteral("i"))
        return text.toLongLong();
    if (kind == QStringLiteral("r"))
        return text.toDouble();
    if (kind == QStringLiteral("t"))
        return text;
    return std::monostate();
}

KeptRecord ReadKept(const QString &text)
{
    const QJsonObject object = QJsonDocument::fromJson(text.toUtf8()).object();
    KeptRecord record;
    for (const QJsonValue &column : object.value(QStringLiteral("c")).toArray())
        record.columns << column.toString();
    for (const QJsonValue &value : object.value(QStringLiteral("v")).toArray())
        record.values.push_back(ValueFromJson(value.toArray()));
    if (record.values.size() != size_t(record.columns.size()) || record.columns.isEmpty())
        throw DbError(QStringLiteral("回收站中的记录已损坏，无法恢复。"));
    return record;
}

QString WriteKept(const QStringList &columns, const std::vector<std::optional<SqlValue>> &values)
{
    QJsonArray kept;
    for (const std::optional<SqlValue> &value : values)
        kept.append(ValueToJson(value.value_or(SqlValue())));
    return QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("c"), QJsonArray::fromStringList(columns)},
                                                       {QStringLiteral("v"), kept}})
                                 .toJson(QJsonDocument::Compact));
}

QString Quoted(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QString KeyCondition(const QStringList &key)
{
    QStringList terms;
    for (const QString &column : key)
        terms << Quoted(column) + QStringLiteral(" = ?");
    return terms.join(QStringLiteral(" AND "));
}

} // namespace journal
