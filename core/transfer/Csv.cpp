// Comma-separated tables.
#include "Csv.h"

#include "common/Gbk.h"

#include <QStringDecoder>

QString CsvField(const QString &text)
{
    const bool quoted = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"'))
                        || text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))
                        || (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()));
    if (!quoted)
        return text;
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

namespace {

// The apostrophes the text begins with, or -1 when what follows them is not what a spreadsheet runs.
qsizetype LeadingApostrophesBeforeFormula(const QString &text)
{
    qsizetype quotes = 0;
    while (quotes < text.size() && text.at(quotes) == QLatin1Char('\''))
        ++quotes;
    if (quotes == text.size())
        return -1;
    static const QString kFormulaStarts = QStringLiteral("=+-@\t\r");
    return kFormulaStarts.contains(text.at(quotes)) ? quotes : -1;
}

} // namespace

QString GuardedCsvText(const QString &text)
{
    return LeadingApostrophesBeforeFormula(text) >= 0 ? QLatin1Char('\'') + text : text;
}

QString UnguardedCsvText(const QString &text)
{
    return LeadingApostrophesBeforeFormula(text) > 0 ? text.mid(1) : text;
}

bool WriteCsv(const QList<QStringList> &rows, CsvEncoding encoding, QByteArray *bytes)
{
    QString text;
    for (const QStringList &row : rows) {
        QStringList fields;
        for (const QString &field : row)
            fields << CsvField(field);
        text += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    bytes->clear();
    if (encoding == CsvEncoding::Gbk)
        return EncodeGbk(text, bytes);
    *bytes = QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    return true;
}

CsvText DecodeCsvBytes(const QByteArray &bytes)
{
    CsvText decoded;
    if (bytes.contains('\0')) {
        decoded.isText = false;
        return decoded;
    }
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        decoded.text = QString::fromUtf8(bytes.mid(3));
        decoded.encoding = QStringLiteral("UTF-8 BOM");
        return decoded;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString asUtf8 = utf8.decode(bytes);
    if (!utf8.hasError()) {
        decoded.text = asUtf8;
        decoded.encoding = QStringLiteral("UTF-8");
        return decoded;
    }
    bool faithful = false;
    decoded.text = DecodeGbk(bytes, &faithful);
    decoded.encoding = QStringLiteral("GBK");
    decoded.isText = faithful;
    return decoded;
}

QList<QStringList> ParseCsv(const QString &text, bool *complete)
{
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool inQuotes = false;
    bool fieldStarted = false;
    auto endField = [&] {
        record << field;
        field.clear();
        fieldStarted = false;
    };
    auto endRecord = [&] {
        endField();
        records << record;
        record.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (inQuotes) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && !fieldStarted && field.isEmpty()) {
            inQuotes = true;
            fieldStarted = true;
        } else if (c == QLatin1Char(',')) {
            endField();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            endRecord();
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (complete)
        *complete = !inQuotes;
    if (fieldStarted || !field.isEmpty() || !record.isEmpty())
        endRecord();
    return records;
}
