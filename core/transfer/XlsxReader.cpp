// Workbooks unpacked with libzip and read with Qt's XML stream reader.
#include "XlsxReader.h"

#include <QDate>
#include <QHash>
#include <QSet>
#include <QXmlStreamReader>
#include <cmath>
#include <future>
#include <memory>
#include <zip.h>

namespace {

// A reason the workbook cannot be read, thrown inside the reader and handed back as its error.
struct Unreadable
{
    QString reason;
};

constexpr qint64 kLargestPart = 512LL * 1024 * 1024;

class Archive
{
public:
    Archive(const QByteArray &bytes, qint64 largest)
    {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t *source = zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &error);
        if (source)
            m_zip = zip_open_from_source(source, ZIP_RDONLY, &error);
        if (source && !m_zip)
            zip_source_free(source);
        zip_error_fini(&error);
        if (!m_zip)
            throw Unreadable{QStringLiteral("压缩包已损坏，无法打开")};
        // What the parts say they unpack to, before any is unpacked: a zip bomb is refused here.
        qint64 total = 0;
        const zip_int64_t entries = zip_get_num_entries(m_zip, 0);
        for (zip_int64_t i = 0; i < entries; ++i) {
            zip_stat_t stat;
            zip_stat_init(&stat);
            if (zip_stat_index(m_zip, zip_uint64_t(i), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
                throw Unreadable{QStringLiteral("压缩包已损坏，无法读取其目录")};
            total += qint64(std::min<zip_uint64_t>(stat.size, zip_uint64_t(largest) + 1));
            if (total > largest)
                throw Unreadable{QStringLiteral("解压后超过 %1 MB，不像是账单或表格").arg(largest / (1024 * 1024))};
        }
    }
    ~Archive()
    {
        if (m_zip)
            zip_discard(m_zip);
    }
    Archive(const Archive &) = delete;
    Archive &operator=(const Archive &) = delete;

    bool Has(const QString &name) const { return zip_name_locate(m_zip, name.toUtf8().constData(), 0) >= 0; }

    // The part's bytes; a part that unpacks beyond what its entry says, or fails its check, is refused.
    QByteArray Read(const QString &name) const
    {
        const QByteArray path = name.toUtf8();
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat(m_zip, path.constData(), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
            throw Unreadable{QStringLiteral("缺少 %1").arg(name)};
        if (stat.size > zip_uint64_t(kLargestPart))
            throw Unreadable{QStringLiteral("%1 解压后过大").arg(name)};
        zip_file_t *file = zip_fopen(m_zip, path.constData(), 0);
        if (!file)
            throw Unreadable{QStringLiteral("%1 已损坏").arg(name)};
        QByteArray bytes(qsizetype(stat.size) + 1, Qt::Uninitialized);
        const zip_int64_t read = zip_fread(file, bytes.data(), zip_uint64_t(bytes.size()));
        zip_fclose(file);
        if (read < 0 || zip_uint64_t(read) != stat.size)
            throw Unreadable{QStringLiteral("%1 已损坏").arg(name)};
        bytes.truncate(qsizetype(read));
        return bytes;
    }

private:
    zip_t *m_zip = nullptr;
};

[[noreturn]] void XmlFailed(const QString &part, const QXmlStreamReader &xml)
{
    throw Unreadable{QStringLiteral("%1 的 XML 有误（第 %2 行）：%3").arg(part).arg(xml.lineNumber()).arg(xml.errorString())};
}

// A relationship's target as a part name: relative to the folder of the part that names it.
QString PartName(const QString &folder, const QString &target)
{
    if (target.startsWith(QLatin1Char('/')))
        return target.mid(1);
    QStringList parts = folder.isEmpty() ? QStringList() : folder.split(QLatin1Char('/'));
    for (const QString &step : target.split(QLatin1Char('/'))) {
        if (step == QLatin1String(".."))
            parts.removeLast();
        else if (step != QLatin1String("."))
            parts << step;
    }
    return parts.join(QLatin1Char('/'));
}

struct Relationship
{
    QString type, target;
};

QHash<QString, Relationship> ReadRelationships(const Archive &zip, const QString &part, const QString &folder)
{
    QHash<QString, Relationship> relationships;
    if (!zip.Has(part))
        return relationships;
    QXmlStreamReader xml(zip.Read(part));
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("Relationship")) {
            const auto attributes = xml.attributes();
            relationships.insert(attributes.value(QLatin1String("Id")).toString(),
                                 {attributes.value(QLatin1String("Type")).toString(),
                                  PartName(folder, attributes.value(QLatin1String("Target")).toString())});
        }
    }
    if (xml.hasError())
        XmlFailed(part, xml);
    return relationships;
}

QString Folder(const QString &part)
{
    const qsizetype slash = part.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : part.left(slash);
}

QString RelsOf(const QString &part)
{
    const QString folder = Folder(part);
    return (folder.isEmpty() ? QString() : folder + QLatin1Char('/')) + QStringLiteral("_rels/")
           + part.mid(folder.isEmpty() ? 0 : folder.size() + 1) + QStringLiteral(".rels");
}

QString TargetOfType(const QHash<QString, Relationship> &relationships, const char *typeEnd, const QString &fallback)
{
    for (const Relationship &relationship : relationships) {
        if (relationship.type.endsWith(QLatin1String(typeEnd)))
            return relationship.target;
    }
    return fallback;
}

// The text of an <si> or <is>: its <t>, or its runs' <t> joined; phonetic runs (<rPh>) left out.
QString ReadStringItem(QXmlStreamReader &xml)
{
    const QString element = xml.name().toString();
    QString text;
    int phonetic = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("rPh"))
                ++phonetic;
            else if (xml.name() == QLatin1String("t") && phonetic == 0)
                text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (xml.isEndElement()) {
            if (xml.name() == QLatin1String("rPh"))
                --phonetic;
            else if (xml.name() == element)
                break;
        }
    }
    return text;
}

QStringList ReadSharedStrings(const Archive &zip, const QString &part)
{
    QStringList strings;
    if (!zip.Has(part))
        return strings;
    QXmlStreamReader xml(zip.Read(part));
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("si"))
            strings << ReadStringItem(xml);
    }
    if (xml.hasError())
        XmlFailed(part, xml);
    return strings;
}

// How a number styled with the format shows: as a date (and whether with a time of day), or not.
enum class Shown { Number, Day, DayAndTime };

Shown ShownByCode(const QString &code)
{
    // Quoted texts, escaped characters and [colour]/[locale] sections say nothing of the kind.
    QString bare;
    bool quoted = false;
    int bracket = 0;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == QLatin1Char('\\') || c == QLatin1Char('_') || c == QLatin1Char('*'))
            ++i;
        else if (c == QLatin1Char('['))
            ++bracket;
        else if (c == QLatin1Char(']'))
            bracket = std::max(0, bracket - 1);
        else if (bracket == 0)
            bare += c.toLower();
    }
    const bool day = bare.contains(QLatin1Char('y')) || bare.contains(QLatin1Char('d'));
    const bool time = bare.contains(QLatin1Char('h')) || bare.contains(QLatin1Char('s'));
    if (day)
        return time ? Shown::DayAndTime : Shown::Day;
    return Shown::Number;  // a time of day alone is no date of a record
}

Shown ShownByBuiltIn(int id)
{
    if ((id >= 14 && id <= 17) || (id >= 27 && id <= 31) || (id >= 34 && id <= 36) || (id >= 50 && id <= 58))
        return Shown::Day;
    if (id == 22)
        return Shown::DayAndTime;
    return Shown::Number;
}

// What each cell style (the s attribute, an index into cellXfs) shows its numbers as.
std::vector<Shown> ReadStyles(const Archive &zip, const QString &part)
{
    std::vector<Shown> styles;
    if (!zip.Has(part))
        return styles;
    QHash<int, Shown> custom;
    QXmlStreamReader xml(zip.Read(part));
    bool inCellXfs = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto attributes = xml.attributes();
            if (xml.name() == QLatin1String("numFmt")) {
                custom.insert(attributes.value(QLatin1String("numFmtId")).toInt(),
                              ShownByCode(attributes.value(QLatin1String("formatCode")).toString()));
            } else if (xml.name() == QLatin1String("cellXfs")) {
                inCellXfs = true;
            } else if (inCellXfs && xml.name() == QLatin1String("xf")) {
                const int id = attributes.value(QLatin1String("numFmtId")).toInt();
                styles.push_back(custom.contains(id) ? custom.value(id) : ShownByBuiltIn(id));
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("cellXfs")) {
            inCellXfs = false;
        }
    }
    if (xml.hasError())
        XmlFailed(part, xml);
    return styles;
}

// "B12" as its column from 0 (1 for B); -1 when the reference holds no letters.
int ColumnOf(QStringView reference)
{
    int column = 0;
    qsizetype i = 0;
    for (; i < reference.size() && reference.at(i).isLetter(); ++i) {
        column = column * 26 + (reference.at(i).toUpper().unicode() - 'A' + 1);
        if (column > 16384)
            return -1;
    }
    return i == 0 ? -1 : column - 1;
}

// A date serial as the workbook counts it: days since 1899-12-31 (Excel's day 60 is a 29 February
// 1900 that never was) or since 1904-01-01, the fraction the time of day.
QString DateOfSerial(double serial, bool from1904, Shown shown, bool *ok)
{
    constexpr double kLastDay = 2958465.0;  // 9999-12-31
    *ok = std::isfinite(serial) && serial >= 0 && serial < kLastDay + 1;
    if (!*ok)
        return QString();
    qint64 seconds = qint64(std::llround(serial * 86400.0));
    qint64 days = seconds / 86400;
    seconds %= 86400;
    QDate day;
    if (from1904) {
        day = QDate(1904, 1, 1).addDays(days);
    } else {
        if (days == 60) {
            *ok = false;  // the day Excel counts that was not
            return QString();
        }
        day = QDate(1899, 12, 31).addDays(days < 60 ? days : days - 1);
    }
    // Written out by hand: a date and time of the local zone would look the zone up at every cell.
    QString text = QString::asprintf("%04d-%02d-%02d", day.year(), day.month(), day.day());
    if (shown == Shown::DayAndTime)
        text += QString::asprintf(" %02d:%02d:%02d", int(seconds / 3600), int(seconds / 60 % 60), int(seconds % 60));
    return text;
}

QString NumberText(const QString &value)
{
    bool number = false;
    const double d = value.toDouble(&number);
    return number ? QString::number(d, 'g', 15) : value;
}

QList<QStringList> ReadSheetXml(const QByteArray &bytes, const QString &part, const QStringList &shared,
                                const std::vector<Shown> &styles, bool from1904)
{
    QList<QStringList> rows;
    QXmlStreamReader xml(bytes);
    qsizetype rowIndex = -1;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("row")) {
            const QStringView r = xml.attributes().value(QLatin1String("r"));
            bool numbered = false;
            const qsizetype number = r.toLongLong(&numbered);
            rowIndex = numbered && number > rowIndex + 1 ? number - 1 : rowIndex + 1;
            if (rowIndex > 2000000)
                throw Unreadable{QStringLiteral("行数超过 2,000,000，不像是账单")};
            while (rows.size() <= rowIndex)
                rows.append(QStringList());
            continue;
        }
        if (xml.name() != QLatin1String("c") || rowIndex < 0)
            continue;
        const auto attributes = xml.attributes();
        QStringList &row = rows[rowIndex];
        const int column = ColumnOf(attributes.value(QLatin1String("r")));
        const qsizetype at = column >= 0 ? column : row.size();
        const QString type = attributes.value(QLatin1String("t")).toString();
        const int style = attributes.value(QLatin1String("s")).toInt();
        QString value, inlineText;
        bool hasInline = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == QLatin1String("v")) {
                value = xml.readElementText();
            } else if (xml.isStartElement() && xml.name() == QLatin1String("is")) {
                inlineText = ReadStringItem(xml);
                hasInline = true;
            } else if (xml.isEndElement() && xml.name() == QLatin1String("c")) {
                break;
            }
        }
        QString text;
        if (type == QLatin1String("s")) {
            bool isIndex = false;
            const qsizetype index = value.toLongLong(&isIndex);
            if (!isIndex || index < 0 || index >= shared.size())
                throw Unreadable{QStringLiteral("第 %1 行：共享字符串序号 %2 不存在").arg(rowIndex + 1).arg(value)};
            text = shared.at(index);
        } else if (type == QLatin1String("inlineStr") || hasInline) {
            text = inlineText;
        } else if (type == QLatin1String("b")) {
            text = value == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        } else if (type == QLatin1String("str") || type == QLatin1String("e") || type == QLatin1String("d")) {
            text = value;  // a formula's text, an error, or a date written out ("2026-03-01T12:30:00")
        } else if (!value.isEmpty()) {
            const Shown shown = style >= 0 && size_t(style) < styles.size() ? styles[size_t(style)] : Shown::Number;
            if (shown == Shown::Number) {
                text = NumberText(value);
            } else {
                bool ok = false;
                text = DateOfSerial(value.toDouble(), from1904, shown, &ok);
                if (!ok)
                    throw Unreadable{QStringLiteral("第 %1 行：日期序号 %2 超出范围").arg(rowIndex + 1).arg(value)};
            }
        }
        // No bill is that wide: an empty cell out there (a formatted column) is passed over, and text
        // there refused, so that a damaged sheet cannot make a million rows of sixteen thousand cells.
        constexpr qsizetype kWidest = 1024;
        if (at >= kWidest) {
            if (text.isEmpty())
                continue;
            throw Unreadable{QStringLiteral("第 %1 行：列数超过 %2，不像是账单或表格").arg(rowIndex + 1).arg(kWidest)};
        }
        while (row.size() <= at)
            row.append(QString());
        row[at] = text;
    }
    if (xml.hasError())
        XmlFailed(part, xml);
    return rows;
}

// A large sheet cut in two whole documents at a row that gives its own number: the first half closed
// after the rows before it, the second opened as the sheet is and holding the rest. Empty halves when
// the sheet is small or cannot be cut so.
std::pair<QByteArray, QByteArray> HalvesOf(const QByteArray &sheet, qsizetype *secondRow)
{
    constexpr qsizetype kWorthCutting = 8 * 1024 * 1024;
    if (sheet.size() < kWorthCutting)
        return {};
    // The names as the sheet writes them, prefix and all ("sheetData", "x:sheetData").
    const qsizetype dataName = sheet.indexOf("sheetData>");
    const qsizetype dataOpen = dataName < 0 ? -1 : sheet.lastIndexOf('<', dataName);
    if (dataOpen < 0 || sheet.at(dataOpen + 1) == '/')
        return {};
    const QByteArray data = sheet.mid(dataOpen + 1, dataName + 9 - dataOpen - 1);
    const QByteArray prefix = data.left(data.size() - 9);
    qsizetype rootOpen = -1;
    for (qsizetype at = sheet.indexOf('<'); at >= 0 && at < dataOpen; at = sheet.indexOf('<', at + 1)) {
        if (sheet.at(at + 1) != '?' && sheet.at(at + 1) != '!') {
            rootOpen = at;
            break;
        }
    }
    if (rootOpen < 0)
        return {};
    qsizetype rootEnd = rootOpen + 1;
    while (rootEnd < sheet.size() && sheet.at(rootEnd) != ' ' && sheet.at(rootEnd) != '>' && sheet.at(rootEnd) != '\n'
           && sheet.at(rootEnd) != '\r' && sheet.at(rootEnd) != '\t')
        ++rootEnd;
    const QByteArray root = sheet.mid(rootOpen + 1, rootEnd - rootOpen - 1);
    const QByteArray rowTag = '<' + prefix + "row ";
    const qsizetype cut = sheet.indexOf(rowTag, sheet.size() / 2);
    const qsizetype tagEnd = cut < 0 ? -1 : sheet.indexOf('>', cut);
    if (tagEnd < 0)
        return {};
    const QByteArray tag = sheet.mid(cut, tagEnd - cut);
    const qsizetype number = tag.indexOf(" r=\"");
    bool numbered = false;
    *secondRow = number < 0 ? 0 : tag.mid(number + 4, tag.indexOf('"', number + 4) - number - 4).toLongLong(&numbered);
    if (!numbered || *secondRow < 1)
        return {};
    const qsizetype dataEnd = dataName + 10;
    return {sheet.left(cut) + "</" + data + "></" + root + '>', sheet.left(dataEnd) + sheet.mid(cut)};
}

QList<QStringList> ReadSheet(const Archive &zip, const QString &part, const QStringList &shared,
                             const std::vector<Shown> &styles, bool from1904)
{
    const QByteArray sheet = zip.Read(part);
    // A large sheet is read in two halves at once, on two cores: its XML is most of the reading.
    qsizetype secondRow = 0;
    auto [first, second] = HalvesOf(sheet, &secondRow);
    if (first.isEmpty())
        return ReadSheetXml(sheet, part, shared, styles, from1904);
    auto firstRows = std::async(std::launch::async, [&] { return ReadSheetXml(first, part, shared, styles, from1904); });
    QList<QStringList> rows;
    QList<QStringList> secondRows;
    try {
        secondRows = ReadSheetXml(second, part, shared, styles, from1904);
    } catch (...) {
        firstRows.wait();  // the half on its way holds the sheet's bytes
        throw;
    }
    rows = firstRows.get();
    // Rows numbered out of order (a sheet written by hand) are read whole, as they stand.
    if (rows.size() > secondRow - 1)
        return ReadSheetXml(sheet, part, shared, styles, from1904);
    rows.reserve(secondRows.size());
    for (qsizetype r = rows.size(); r < secondRows.size(); ++r)
        rows.append(std::move(secondRows[r]));
    return rows;
}

} // namespace

bool LooksLikeZip(const QByteArray &bytes)
{
    return bytes.startsWith("PK\x03\x04");
}

XlsxTable ReadXlsx(const QByteArray &bytes, const QString &sheet, qint64 largestUnpacked)
{
    XlsxTable table;
    try {
        const Archive zip(bytes, largestUnpacked);
        const QString workbook = TargetOfType(ReadRelationships(zip, QStringLiteral("_rels/.rels"), QString()),
                                              "/officeDocument", QStringLiteral("xl/workbook.xml"));
        if (!zip.Has(workbook))
            throw Unreadable{QStringLiteral("其中没有工作簿（不是 Excel 文件）")};
        const QHash<QString, Relationship> parts = ReadRelationships(zip, RelsOf(workbook), Folder(workbook));

        QXmlStreamReader xml(zip.Read(workbook));
        bool from1904 = false;
        QStringList sheetParts;
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement())
                continue;
            const auto attributes = xml.attributes();
            if (xml.name() == QLatin1String("workbookPr")) {
                const QString value = attributes.value(QLatin1String("date1904")).toString();
                from1904 = value == QLatin1String("1") || value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
            } else if (xml.name() == QLatin1String("sheet")) {
                table.sheets << attributes.value(QLatin1String("name")).toString();
                QString id;
                for (const QXmlStreamAttribute &attribute : attributes) {
                    if (attribute.name() == QLatin1String("id"))  // r:id, whatever the prefix
                        id = attribute.value().toString();
                }
                sheetParts << parts.value(id).target;
            }
        }
        if (xml.hasError())
            XmlFailed(workbook, xml);
        if (table.sheets.isEmpty())
            throw Unreadable{QStringLiteral("工作簿中没有工作表")};
        const qsizetype chosen = sheet.isEmpty() ? 0 : table.sheets.indexOf(sheet);
        if (chosen < 0)
            throw Unreadable{QStringLiteral("工作簿中没有名为“%1”的工作表").arg(sheet)};
        if (sheetParts.at(chosen).isEmpty() || !zip.Has(sheetParts.at(chosen)))
            throw Unreadable{QStringLiteral("工作表“%1”的内容不在文件中").arg(table.sheets.at(chosen))};
        const QStringList shared = ReadSharedStrings(
            zip, TargetOfType(parts, "/sharedStrings", Folder(workbook) + QStringLiteral("/sharedStrings.xml")));
        const std::vector<Shown> styles = ReadStyles(zip, TargetOfType(parts, "/styles", Folder(workbook) + QStringLiteral("/styles.xml")));
        table.rows = ReadSheet(zip, sheetParts.at(chosen), shared, styles, from1904);
    } catch (const Unreadable &unreadable) {
        table.rows.clear();
        table.error = unreadable.reason;
    }
    return table;
}
