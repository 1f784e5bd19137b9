// Quicken Interchange Format: sections opened by "!Type:" lines, records of one letter and a value a
// line, each record ended by "^". Only the money sections are read (bank, cash, card, other asset and
// liability); investments, memorised transactions, categories and classes are passed over.
#include "InterchangeParts.h"

#include "transfer/BillImport.h"
#include "transfer/Csv.h"

#include "common/Gbk.h"

#include <QRegularExpression>
#include <optional>

namespace {

QStringList SplitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('\n') && text.at(i) != QLatin1Char('\r'))
            continue;
        lines << text.mid(start, i - start);
        if (text.at(i) == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

// Quicken pads its dates with blanks (" 1/ 5'25") and marks a year from 2000 on with an apostrophe
// and two digits; a bare two-digit year is taken in the fifty years either side of 2000, since
// writers other than Quicken use it for this century too. The two first numbers stay in the file's
// order for the import to read as month or day first.
QString QifDateText(const QString &written)
{
    QString text = written;
    text.remove(QLatin1Char(' '));
    static const QRegularExpression yearLast(QStringLiteral("^(\\d{1,2})[-/.'](\\d{1,2})([-/.'])(\\d{1,2}|\\d{4})$"));
    const QRegularExpressionMatch match = yearLast.match(text);
    if (!match.hasMatch())
        return written.trimmed();  // ISO as it is, anything else for the import to refuse
    const QString yearText = match.captured(4);
    int year = yearText.toInt();
    if (yearText.size() < 4) {
        if (match.captured(3) == QStringLiteral("'"))
            year += 2000;
        else
            year += year < 50 ? 2000 : 1900;
    }
    return QStringLiteral("%1/%2/%3").arg(match.captured(1), match.captured(2)).arg(year);
}

std::optional<qint64> Cents(const QString &amountText)
{
    double value = 0;
    if (!ReadBillAmount(amountText, &value))
        return std::nullopt;
    return qRound64(value * 100.0);
}

QString CentsText(qint64 cents)
{
    const qint64 whole = (cents < 0 ? -cents : cents);
    return QStringLiteral("%1%2.%3").arg(cents < 0 ? QStringLiteral("-") : QString()).arg(whole / 100).arg(whole % 100, 2, 10, QLatin1Char('0'));
}

struct QifSplit
{
    QString category, memo, amount;
    bool memoSeen = false, amountSeen = false;
};

struct QifTransaction
{
    QString date, payee, category, memo, number;
    std::optional<QString> total, unitTotal;  // T, and U (which some writers give alone)
    bool hasAny = false;
    QList<QifSplit> splits;

    // One row, or one per split and the remainder when the splits fall short of the total.
    void AppendRows(QList<QStringList> *rows) const
    {
        if (!hasAny)
            return;
        const std::optional<QString> amount = total ? total : unitTotal;
        if (splits.isEmpty()) {
            *rows << QStringList{date, amount.value_or(QString()), payee, category, memo, number};
            return;
        }
        qint64 splitCents = 0;
        bool splitsRead = true;
        for (const QifSplit &split : splits) {
            *rows << QStringList{date, split.amount, payee, split.category, split.memo.isEmpty() ? memo : split.memo, number};
            const std::optional<qint64> cents = Cents(split.amount);
            splitsRead = splitsRead && cents.has_value();
            splitCents += cents.value_or(0);
        }
        // A split that cannot be read is refused by the import on its own row; a remainder reckoned
        // without it would put its amount under the transaction's category instead.
        const std::optional<qint64> totalCents = amount ? Cents(*amount) : std::nullopt;
        if (splitsRead && totalCents && *totalCents != splitCents)
            *rows << QStringList{date, CentsText(*totalCents - splitCents), payee, category, memo, number};
    }
};

enum class QifSection { None, Money, Account, Other };

QifSection SectionOf(const QString &headerLine, QString *typeName)
{
    static const QStringList moneyTypes{QStringLiteral("bank"), QStringLiteral("cash"), QStringLiteral("ccard"),
                                        QStringLiteral("oth a"), QStringLiteral("oth l")};
    const QString header = headerLine.trimmed();
    if (header.startsWith(QStringLiteral("!type:"), Qt::CaseInsensitive)) {
        *typeName = header.mid(6).trimmed();
        return moneyTypes.contains(typeName->toLower()) ? QifSection::Money : QifSection::Other;
    }
    if (header.compare(QStringLiteral("!account"), Qt::CaseInsensitive) == 0)
        return QifSection::Account;
    return QifSection::Other;  // !Option:, !Clear: and what else a writer adds
}

// Why the bytes are not text, naming the first line that is not.
QString NotTextReason(const QByteArray &bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        return QStringLiteral("QIF 文件第 %1 行含有 NUL 字节，不是文本文件").arg(LineAtOffset(bytes, nul));
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        bool faithful = true;
        DecodeGbk(bytes.mid(start, end - start), &faithful);
        if (!faithful)
            return QStringLiteral("QIF 文件第 %1 行的文字既不是 UTF-8 也不是 GBK 编码").arg(LineAtOffset(bytes, start));
        start = end + 1;
    }
    return QStringLiteral("QIF 文件的文字既不是 UTF-8 也不是 GBK 编码");
}

} // namespace

InterchangeTable ReadQif(const QByteArray &bytes)
{
    InterchangeTable table;
    table.kind = InterchangeTable::Kind::Qif;
    const CsvText text = DecodeCsvBytes(bytes);
    if (!text.isText) {
        table.error = NotTextReason(bytes);
        return table;
    }
    QList<QStringList> rows{InterchangeHeader(InterchangeTable::Kind::Qif)};
    QifSection section = QifSection::None;
    bool typed = false, moneySection = false;
    QStringList passedOver;
    QifTransaction record;
    auto endRecord = [&] {
        if (section == QifSection::Money)
            record.AppendRows(&rows);
        record = QifTransaction();
    };
    // A split is written S, E, $ and ends with its amount: an E or $ after that, or a second E, begins
    // the next one (a split without a category).
    auto splitFor = [&](bool memo) -> QifSplit & {
        if (record.splits.isEmpty() || record.splits.last().amountSeen || (memo && record.splits.last().memoSeen))
            record.splits.append(QifSplit());
        QifSplit &split = record.splits.last();
        (memo ? split.memoSeen : split.amountSeen) = true;
        return split;
    };
    for (const QString &line : SplitLines(text.text)) {
        if (line.startsWith(QLatin1Char('!'))) {
            endRecord();
            QString typeName;
            section = SectionOf(line, &typeName);
            typed = typed || line.trimmed().startsWith(QStringLiteral("!type:"), Qt::CaseInsensitive);
            if (section == QifSection::Money)
                moneySection = true;
            else if (!typeName.isEmpty() && !passedOver.contains(typeName))
                passedOver << typeName;
            continue;
        }
        if (section != QifSection::Money || line.isEmpty())
            continue;
        const QChar letter = line.at(0);
        if (letter == QLatin1Char('^')) {
            endRecord();
            continue;
        }
        if (!QStringLiteral("DTUPLMNSE$").contains(letter))
            continue;  // cleared (C), address (A), split percent (%) and the like carry nothing here
        const QString value = line.mid(1).trimmed();
        record.hasAny = true;
        switch (letter.unicode()) {
        case 'D': record.date = QifDateText(value); break;
        case 'T': record.total = InterchangeAmountText(value); break;
        case 'U': record.unitTotal = InterchangeAmountText(value); break;
        case 'P': record.payee = value; break;
        case 'L': record.category = value; break;
        case 'M': record.memo = value; break;
        case 'N': record.number = value; break;
        case 'S':
            record.splits.append(QifSplit());
            record.splits.last().category = value;
            break;
        case 'E': splitFor(true).memo = value; break;
        case '$': splitFor(false).amount = InterchangeAmountText(value); break;
        }
    }
    endRecord();
    if (!typed) {
        table.error = QStringLiteral("QIF 文件没有类型行（!Type:）");
        return table;
    }
    if (!moneySection && !passedOver.isEmpty()) {
        table.error = QStringLiteral("QIF 文件中没有银行、现金或信用卡账户的交易，只有 %1 部分，无法导入为收支记录")
                          .arg(passedOver.join(QStringLiteral("、")));
        return table;
    }
    table.rows = std::move(rows);
    return table;
}
