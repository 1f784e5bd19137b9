// Telling a QIF file from an OFX one by its first bytes, and what both readers share.
#include "Interchange.h"

#include "InterchangeParts.h"

#include <QRegularExpression>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

InterchangeTable::Kind InterchangeKindOf(const QByteArray &bytes)
{
    qsizetype start = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (start < bytes.size() && IsBlank(bytes.at(start)))
        ++start;
    const QByteArray head = bytes.mid(start, 1024).toUpper();
    if (head.contains("OFXHEADER") || head.contains("<OFX>"))
        return InterchangeTable::Kind::Ofx;
    qsizetype lineEnd = head.indexOf('\n');
    const QByteArray firstLine = head.left(lineEnd < 0 ? head.size() : lineEnd).trimmed();
    for (const char *opening : {"!TYPE:", "!ACCOUNT", "!OPTION"}) {
        if (firstLine.startsWith(opening))
            return InterchangeTable::Kind::Qif;
    }
    return InterchangeTable::Kind::None;
}

InterchangeTable::Kind InterchangeKindOfName(const QString &fileName)
{
    if (fileName.endsWith(QStringLiteral(".qif"), Qt::CaseInsensitive))
        return InterchangeTable::Kind::Qif;
    if (fileName.endsWith(QStringLiteral(".ofx"), Qt::CaseInsensitive) || fileName.endsWith(QStringLiteral(".qfx"), Qt::CaseInsensitive))
        return InterchangeTable::Kind::Ofx;
    return InterchangeTable::Kind::None;
}

InterchangeTable ReadInterchange(const QByteArray &bytes, InterchangeTable::Kind kind)
{
    InterchangeTable table;
    switch (kind == InterchangeTable::Kind::None ? InterchangeKindOf(bytes) : kind) {
    case InterchangeTable::Kind::Qif:
        table = ReadQif(bytes);
        break;
    case InterchangeTable::Kind::Ofx:
        table = ReadOfx(bytes);
        break;
    case InterchangeTable::Kind::None:
        table.error = QStringLiteral("不是 QIF 或 OFX 文件");
        break;
    }
    if (!table.error.isEmpty())
        table.rows.clear();
    return table;
}

QStringList InterchangeHeader(InterchangeTable::Kind kind)
{
    return {QStringLiteral("日期"), QStringLiteral("金额"), QStringLiteral("交易对方"), QStringLiteral("收支项目"), QStringLiteral("备注"),
            kind == InterchangeTable::Kind::Qif ? QStringLiteral("支票号") : QStringLiteral("交易编号")};
}

QString InterchangeAmountText(const QString &written)
{
    const QString text = written.trimmed();
    const qsizetype comma = text.lastIndexOf(QLatin1Char(','));
    if (comma < 0)
        return text;
    const qsizetype point = text.lastIndexOf(QLatin1Char('.'));
    // A comma is the decimal mark when a point stands before it ("1.234,56") or, with no point at
    // all, when one or two digits follow it ("12,5", "-12,50"); three digits follow a group mark.
    static const QRegularExpression centsAfter(QStringLiteral(",\\d{1,2}$"));
    const bool decimalComma = point >= 0 ? point < comma : centsAfter.match(text).hasMatch();
    if (!decimalComma)
        return text;
    QString plain = text;
    plain.remove(QLatin1Char('.'));
    plain.replace(plain.lastIndexOf(QLatin1Char(',')), 1, QLatin1Char('.'));
    plain.remove(QLatin1Char(','));
    return plain;
}

int LineAtOffset(const QByteArray &bytes, qsizetype offset)
{
    int line = 1;
    for (qsizetype i = 0; i < offset && i < bytes.size(); ++i) {
        if (bytes.at(i) == '\n' || (bytes.at(i) == '\r' && (i + 1 >= bytes.size() || bytes.at(i + 1) != '\n')))
            ++line;
    }
    return line;
}
