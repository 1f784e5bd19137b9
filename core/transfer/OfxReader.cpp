// Open Financial Exchange statements: the transactions (STMTTRN) of the bank and card statements'
// lists (BANKTRANLIST in STMTRS or CCSTMTRS). OFX 2.x is XML and goes through Qt's reader; OFX 1.x is
// SGML whose values have no end tag ("<TRNAMT>-12.50"), read by a small tag reader that closes a
// value at the next tag. Both feed one collector, so that they read alike.
#include "InterchangeParts.h"

#include "common/Gbk.h"

#include <QDateTime>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <optional>

namespace {

// The aggregates that hold the transactions: a file that leaves one of them open has lost its end,
// and with it transactions no one can tell, so it is refused. Others may be left open, as sloppy
// writers do with an empty value ("<MEMO>" followed by the next tag).
const QSet<QString> &HoldingAggregates()
{
    static const QSet<QString> names{QStringLiteral("OFX"),       QStringLiteral("BANKMSGSRSV1"), QStringLiteral("CREDITCARDMSGSRSV1"),
                                     QStringLiteral("STMTTRNRS"), QStringLiteral("CCSTMTTRNRS"),  QStringLiteral("STMTRS"),
                                     QStringLiteral("CCSTMTRS"),  QStringLiteral("BANKTRANLIST"), QStringLiteral("STMTTRN")};
    return names;
}

// "YYYYMMDD[HHMMSS[.XXX]][[+-]H[:TZ]]" as "yyyy-MM-dd[ HH:mm:ss]", the zone left out as the
// ledger keeps local times; anything else as written, for the import to refuse visibly.
QString OfxDateText(const QString &written)
{
    static const QRegularExpression form(QStringLiteral(
        "^(\\d{4})(\\d{2})(\\d{2})(?:(\\d{2})(\\d{2})(\\d{2})?(?:\\.\\d+)?)?\\s*(?:\\[[^\\]]*\\]|[-+]\\d{1,4})?$"));
    const QRegularExpressionMatch match = form.match(written);
    if (!match.hasMatch())
        return written;
    const QDate day(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    const QTime time(match.captured(4).toInt(), match.captured(5).toInt(), match.captured(6).toInt());
    if (!day.isValid() || !time.isValid())
        return written;
    if (!match.hasCaptured(4))
        return day.toString(QStringLiteral("yyyy-MM-dd"));
    return day.toString(QStringLiteral("yyyy-MM-dd ")) + time.toString(QStringLiteral("HH:mm:ss"));
}

// Gathers the transactions from the tags, whichever reader found them, and tells where one was
// left open.
class OfxCollector
{
public:
    QList<QStringList> rows;
    QString error;
    bool sawOfx = false, sawStatement = false;

    bool Start(const QString &name, int line)
    {
        if (!m_open.isEmpty() && HoldsValue(m_open.last()))
            Close();  // an SGML value ends where the next tag begins
        constexpr qsizetype kDeepest = 64;  // OFX nests a handful deep; garbage could go on for ever
        if (m_open.size() >= kDeepest) {
            error = QStringLiteral("OFX 文件的标签嵌套过深（第 %1 行）").arg(line);
            return false;
        }
        if (!m_open.isEmpty())
            m_open.last().hasChildren = true;
        sawOfx = sawOfx || name == QStringLiteral("OFX");
        sawStatement = sawStatement || name == QStringLiteral("STMTRS") || name == QStringLiteral("CCSTMTRS");
        if (name == QStringLiteral("STMTTRN")) {
            if (m_transaction)
                return Unclosed(m_open.at(m_transaction->depth));
            if (InBankList())
                m_transaction = Transaction{m_open.size(), {}, {}};
        }
        m_open.append(Open{name, line, QString(), false});
        return true;
    }

    void Text(const QString &text)
    {
        if (!m_open.isEmpty() && !m_open.last().hasChildren && !HoldingAggregates().contains(m_open.last().name))
            m_open.last().text += text;
    }

    bool End(const QString &name)
    {
        qsizetype at = m_open.size() - 1;
        while (at >= 0 && m_open.at(at).name != name)
            --at;
        if (at < 0)
            return true;  // the end tag of a value already closed by the tag after it, or a stray one
        for (qsizetype inner = m_open.size() - 1; inner > at; --inner) {
            if (HoldingAggregates().contains(m_open.at(inner).name))
                return Unclosed(m_open.at(inner));
        }
        while (m_open.size() > at)
            Close();
        return true;
    }

    bool Finish()
    {
        for (qsizetype inner = m_open.size() - 1; inner >= 0; --inner) {
            if (HoldingAggregates().contains(m_open.at(inner).name))
                return Unclosed(m_open.at(inner));
        }
        return true;
    }

private:
    struct Open
    {
        QString name;
        int line = 0;
        QString text;
        bool hasChildren = false;
    };
    struct Transaction
    {
        qsizetype depth = 0;           // where its STMTTRN stands among the open tags
        QHash<QString, QString> values;  // the first of each name within it
        QString payeeName;             // PAYEE/NAME, taken when it has no NAME of its own
    };
    QList<Open> m_open;
    std::optional<Transaction> m_transaction;

    static bool HoldsValue(const Open &open) { return !open.hasChildren && !open.text.trimmed().isEmpty(); }

    bool Unclosed(const Open &open)
    {
        error = QStringLiteral("OFX 文件不完整：<%1> 没有结束标签（第 %2 行）").arg(open.name).arg(open.line);
        return false;
    }

    // Within a statement's list of bank transactions; an investment statement's are not income and expense.
    bool InBankList() const
    {
        qsizetype at = m_open.size() - 1;
        while (at >= 0 && m_open.at(at).name != QStringLiteral("BANKTRANLIST"))
            --at;
        for (; at >= 0; --at) {
            const QString &name = m_open.at(at).name;
            if (name == QStringLiteral("STMTRS") || name == QStringLiteral("CCSTMTRS"))
                return true;
            if (name == QStringLiteral("INVSTMTRS"))
                return false;
        }
        return false;
    }

    void Close()
    {
        const Open closed = m_open.takeLast();
        if (!m_transaction)
            return;
        Transaction &transaction = *m_transaction;
        if (m_open.size() == transaction.depth) {
            const QHash<QString, QString> &v = transaction.values;
            const QString date = v.contains(QStringLiteral("DTPOSTED")) ? v.value(QStringLiteral("DTPOSTED")) : v.value(QStringLiteral("DTUSER"));
            const QString payee = v.contains(QStringLiteral("NAME")) ? v.value(QStringLiteral("NAME")) : transaction.payeeName;
            rows << QStringList{OfxDateText(date), InterchangeAmountText(v.value(QStringLiteral("TRNAMT"))), payee, QString(),
                                v.value(QStringLiteral("MEMO")), v.value(QStringLiteral("FITID"))};
            m_transaction.reset();
            return;
        }
        const QString value = closed.text.trimmed();
        if (closed.hasChildren || value.isEmpty())
            return;
        bool inPayee = false;
        for (qsizetype at = transaction.depth + 1; at < m_open.size(); ++at)
            inPayee = inPayee || m_open.at(at).name == QStringLiteral("PAYEE");
        if (closed.name == QStringLiteral("NAME") && inPayee) {
            if (transaction.payeeName.isEmpty())
                transaction.payeeName = value;
        } else if (!transaction.values.contains(closed.name)) {
            transaction.values.insert(closed.name, value);
        }
    }
};

QString DecodeWindows1252(const QByteArray &bytes)
{
    QStringDecoder decoder("windows-1252", QStringConverter::Flag::Stateless);
    return decoder.isValid() ? decoder.decode(bytes) : QString::fromLatin1(bytes);
}

// UTF-8 when the bytes are (a header saying 1252 over UTF-8 text is common, the reverse unheard
// of), else the header's character set, else GBK when every byte is, else Windows-1252.
QString DecodeSgml(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString asUtf8 = utf8.decode(bytes);
    if (!utf8.hasError())
        return asUtf8;
    const qsizetype bodyAt = bytes.indexOf('<');
    static const QRegularExpression charsetLine(QStringLiteral("CHARSET\\s*:\\s*(\\S+)"), QRegularExpression::CaseInsensitiveOption);
    const QString charset = charsetLine.match(QString::fromLatin1(bytes.left(bodyAt < 0 ? bytes.size() : bodyAt))).captured(1).toUpper();
    if (charset.startsWith(QStringLiteral("GB")) || charset == QStringLiteral("936"))
        return DecodeGbk(bytes);
    if (charset.contains(QStringLiteral("1252")) || charset.contains(QStringLiteral("8859")) || charset.contains(QStringLiteral("LATIN")))
        return DecodeWindows1252(bytes);
    bool faithful = false;
    const QString asGbk = DecodeGbk(bytes, &faithful);
    return faithful ? asGbk : DecodeWindows1252(bytes);
}

QString DecodeEntities(const QString &text)
{
    if (!text.contains(QLatin1Char('&')))
        return text;
    static const QHash<QString, QString> named{{QStringLiteral("amp"), QStringLiteral("&")},   {QStringLiteral("lt"), QStringLiteral("<")},
                                               {QStringLiteral("gt"), QStringLiteral(">")},    {QStringLiteral("quot"), QStringLiteral("\"")},
                                               {QStringLiteral("apos"), QStringLiteral("'")}, {QStringLiteral("nbsp"), QString(QChar(0xA0))}};
    constexpr qsizetype kLongestName = 8;
    QString decoded;
    qsizetype from = 0;
    for (qsizetype amp = text.indexOf(QLatin1Char('&')); amp >= 0; amp = text.indexOf(QLatin1Char('&'), amp + 1)) {
        const qsizetype nameLength = QStringView(text).mid(amp + 1, kLongestName + 1).indexOf(QLatin1Char(';'));
        if (nameLength < 0)
            continue;
        const qsizetype semicolon = amp + 1 + nameLength;
        const QString name = text.mid(amp + 1, semicolon - amp - 1);
        QString replacement;
        if (name.startsWith(QLatin1Char('#'))) {
            const bool hex = name.startsWith(QStringLiteral("#x"), Qt::CaseInsensitive);
            bool number = false;
            const char32_t code = name.mid(hex ? 2 : 1).toUInt(&number, hex ? 16 : 10);
            if (number && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF))
                replacement = QString::fromUcs4(&code, 1);
        } else {
            replacement = named.value(name.toLower());
        }
        if (replacement.isEmpty())
            continue;  // one not known stays as written
        decoded += QStringView(text).mid(from, amp - from);
        decoded += replacement;
        from = semicolon + 1;
    }
    decoded += QStringView(text).mid(from);
    return decoded;
}

struct SgmlTag
{
    QString name;  // upper case, as OFX names are compared
    bool ending = false, empty = false;
    qsizetype end = 0;  // just past its '>'
};

// The tag beginning at the '<': "<NAME>", "</NAME>", "<NAME/>", anything up to the '>' on its line
// passed over. None when the '<' begins no tag, as in "Fuel <3".
std::optional<SgmlTag> SgmlTagAt(const QString &text, qsizetype open)
{
    SgmlTag tag;
    qsizetype at = open + 1;
    tag.ending = at < text.size() && text.at(at) == QLatin1Char('/');
    if (tag.ending)
        ++at;
    const qsizetype nameFrom = at;
    auto isNameChar = [](QChar c, bool first) {
        return (c.unicode() < 0x80 && c.isLetter()) || c == QLatin1Char('_')
               || (!first && ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.') || c == QLatin1Char(':') || c == QLatin1Char('-')));
    };
    while (at < text.size() && isNameChar(text.at(at), at == nameFrom))
        ++at;
    if (at == nameFrom)
        return std::nullopt;
    tag.name = text.mid(nameFrom, at - nameFrom).toUpper();
    for (; at < text.size(); ++at) {
        const QChar c = text.at(at);
        if (c == QLatin1Char('>')) {
            tag.empty = !tag.ending && text.at(at - 1) == QLatin1Char('/');
            tag.end = at + 1;
            return tag;
        }
        if (c == QLatin1Char('<') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            break;
    }
    return std::nullopt;
}

// Tags in SGML, case as it comes; comments, declarations and processing instructions passed over;
// a '<' that begins no tag is part of the value.
bool ReadSgml(const QString &text, OfxCollector &collector)
{
    int line = 1;
    qsizetype counted = 0;
    auto lineAt = [&](qsizetype offset) {
        for (; counted < offset; ++counted) {
            const QChar c = text.at(counted);
            if (c == QLatin1Char('\n') || (c == QLatin1Char('\r') && (counted + 1 >= text.size() || text.at(counted + 1) != QLatin1Char('\n'))))
                ++line;
        }
        return line;
    };
    qsizetype valueFrom = 0, searchFrom = 0;
    auto takeValue = [&](qsizetype upTo) { collector.Text(DecodeEntities(text.mid(valueFrom, upTo - valueFrom))); };
    for (qsizetype open = text.indexOf(QLatin1Char('<')); open >= 0; open = text.indexOf(QLatin1Char('<'), searchFrom)) {
        const QStringView rest = QStringView(text).mid(open);
        if (rest.startsWith(QStringLiteral("<!")) || rest.startsWith(QStringLiteral("<?"))) {
            const bool comment = rest.startsWith(QStringLiteral("<!--"));
            const qsizetype close = comment ? text.indexOf(QStringLiteral("-->"), open + 4) : text.indexOf(QLatin1Char('>'), open);
            takeValue(open);
            valueFrom = searchFrom = close < 0 ? text.size() : close + (comment ? 3 : 1);
            continue;
        }
        const std::optional<SgmlTag> tag = SgmlTagAt(text, open);
        if (!tag) {
            searchFrom = open + 1;
            continue;
        }
        takeValue(open);
        const int tagLine = lineAt(open);
        if (tag->ending ? !collector.End(tag->name) : !collector.Start(tag->name, tagLine) || (tag->empty && !collector.End(tag->name)))
            return false;
        valueFrom = searchFrom = tag->end;
    }
    takeValue(text.size());
    return collector.Finish();
}

// False with the reader's message and line when the XML is not well formed.
bool ReadXml(const QByteArray &bytes, OfxCollector &collector, QString *xmlError)
{
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            if (!collector.Start(xml.name().toString().toUpper(), int(xml.lineNumber())))
                return false;
            break;
        case QXmlStreamReader::EndElement:
            if (!collector.End(xml.name().toString().toUpper()))
                return false;
            break;
        case QXmlStreamReader::Characters:
            collector.Text(xml.text().toString());
            break;
        default:
            break;
        }
    }
    if (xml.hasError()) {
        *xmlError = QStringLiteral("OFX 文件的 XML 格式有误（第 %1 行）：%2").arg(xml.lineNumber()).arg(xml.errorString());
        return false;
    }
    return collector.Finish();
}

// OFX 2.x opens with an XML declaration or its <?OFX ...?> header; 1.x with "OFXHEADER:100".
bool IsXmlOfx(const QByteArray &bytes)
{
    const QByteArray head = bytes.left(1024).trimmed().toUpper();
    return head.startsWith("<?XML") || head.startsWith("\xEF\xBB\xBF<?XML") || head.contains("<?OFX");
}

} // namespace

InterchangeTable ReadOfx(const QByteArray &bytes)
{
    InterchangeTable table;
    table.kind = InterchangeTable::Kind::Ofx;
    OfxCollector collector;
    const bool read = IsXmlOfx(bytes) ? ReadXml(bytes, collector, &table.error) : ReadSgml(DecodeSgml(bytes), collector);
    if (!table.error.isEmpty())
        return table;
    if (!collector.sawOfx)
        table.error = QStringLiteral("不是 OFX 文件");
    else if (!read)
        table.error = collector.error;
    else if (!collector.sawStatement)
        table.error = QStringLiteral("OFX 文件中没有银行或信用卡对账单（STMTRS、CCSTMTRS），无法导入为收支记录");
    else
        table.rows = QList<QStringList>{InterchangeHeader(InterchangeTable::Kind::Ofx)} + collector.rows;
    return table;
}
