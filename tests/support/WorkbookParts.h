// Workbooks made part by part for the tests, as a spreadsheet program writes one (a zip of XML parts).
#pragma once

#include <QDateTime>
#include <QFile>
#include <QList>
#include <QStringList>
#include <QHash>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <zip.h>

namespace workbook_parts {

// A workbook made part by part, as a spreadsheet program writes one (a zip of XML parts).
inline QByteArray Zip(const QList<std::pair<QString, QByteArray>> &parts)
{
    QTemporaryDir folder;
    const QByteArray path = folder.filePath(QStringLiteral("book.xlsx")).toUtf8();
    int error = 0;
    zip_t *zip = zip_open(path.constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    for (const auto &[name, bytes] : parts) {
        zip_source_t *source = zip_source_buffer(zip, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        zip_file_add(zip, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
    }
    zip_close(zip);  // the parts' bytes are read here, while the list still holds them
    QFile file(QString::fromUtf8(path));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

inline const QByteArray kRels = R"(<?xml version="1.0" encoding="UTF-8"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>
</Relationships>)";

inline const QByteArray kWorkbookRels = R"(<?xml version="1.0" encoding="UTF-8"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>
<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/xl/worksheets/other.xml"/>
<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>
<Relationship Id="rId4" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>
</Relationships>)";

inline QByteArray Workbook(bool from1904)
{
    return QByteArray(R"(<?xml version="1.0" encoding="UTF-8"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)")
           + (from1904 ? "<workbookPr date1904=\"1\"/>" : "<workbookPr/>")
           + R"(<sheets><sheet name="账单" sheetId="1" r:id="rId1"/><sheet name="其他" sheetId="2" r:id="rId2"/></sheets></workbook>)";
}

// Style 0 general, 1 a date and time of a format of the workbook's own, 2 the built-in day (14),
// 3 a number format with a quoted "d" that is no date, 4 text.
inline const QByteArray kStyles = R"(<?xml version="1.0" encoding="UTF-8"?>
<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
<numFmts count="2"><numFmt numFmtId="176" formatCode="yyyy\-mm\-dd\ hh:mm:ss"/><numFmt numFmtId="177" formatCode="0.00&quot;d&quot;"/></numFmts>
<cellXfs count="5"><xf numFmtId="0"/><xf numFmtId="176"/><xf numFmtId="14"/><xf numFmtId="177"/><xf numFmtId="49"/></cellXfs>
</styleSheet>)";

inline QByteArray Sheet(const QByteArray &rows)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)"
           + rows + "</sheetData></worksheet>";
}

// The shared strings part around its <si> items.
inline QByteArray SharedStringsXml(const QByteArray &items)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
           + items + "</sst>";
}

inline QByteArray SharedStrings(const QStringList &strings)
{
    QByteArray items;
    for (const QString &text : strings)
        items += "<si><t xml:space=\"preserve\">" + text.toHtmlEscaped().toUtf8() + "</t></si>";
    return SharedStringsXml(items);
}

inline QByteArray Book(const QByteArray &sheetRows, const QByteArray &shared, bool from1904 = false)
{
    return Zip({{QStringLiteral("_rels/.rels"), kRels},
                {QStringLiteral("xl/workbook.xml"), Workbook(from1904)},
                {QStringLiteral("xl/_rels/workbook.xml.rels"), kWorkbookRels},
                {QStringLiteral("xl/styles.xml"), kStyles},
                {QStringLiteral("xl/sharedStrings.xml"), shared},
                {QStringLiteral("xl/worksheets/sheet1.xml"), Sheet(sheetRows)},
                {QStringLiteral("xl/worksheets/other.xml"), Sheet(R"(<row r="1"><c r="A1" t="inlineStr"><is><t>第二张</t></is></c></row>)")}});
}

// A day and time as Excel counts it from 1900: days since 1899-12-30 (from March 1900 on).
inline double Serial(const QDateTime &moment)
{
    return double(QDate(1899, 12, 30).daysTo(moment.date())) + moment.time().msecsSinceStartOfDay() / 86400000.0;
}

// The payment app's workbook bill: its title block, the divider, the header on the given row, and
// four rows (dates and amounts as numbers or as texts, an order number as text).
inline QByteArray WeChatWorkbook(int headerRow)
{
    QStringList strings{QStringLiteral("微信支付账单明细"), QStringLiteral("----------------------微信支付账单明细列表--------------------")};
    const QStringList header{"交易时间", "交易类型", "交易对方", "商品", "收/支", "金额(元)", "支付方式", "当前状态", "交易单号", "商户单号", "备注"};
    const int headerAt = int(strings.size());
    strings += header;
    auto s = [&](const QString &text) {
        qsizetype at = strings.indexOf(text);
        if (at < 0) {
            at = strings.size();
            strings << text;
        }
        return QByteArray::number(at);
    };
    QByteArray rows = "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>";
    rows += "<row r=\"" + QByteArray::number(headerRow - 1) + "\"><c r=\"A" + QByteArray::number(headerRow - 1) + "\" t=\"s\"><v>1</v></c></row>";
    rows += "<row r=\"" + QByteArray::number(headerRow) + "\">";
    for (int c = 0; c < header.size(); ++c)
        rows += "<c t=\"s\"><v>" + QByteArray::number(headerAt + c) + "</v></c>";
    rows += "</row>";
    struct Line
    {
        QByteArray date;  // a cell's XML: a serial with the date style or a text
        QString item, direction;
        QByteArray amount;
        QString status, order;
    };
    const QList<Line> lines{
        {"<c s=\"1\"><v>" + QByteArray::number(Serial(QDateTime(QDate(2026, 3, 1), QTime(12, 30))), 'f', 10) + "</v></c>",
         QStringLiteral("商户消费"), QStringLiteral("支出"), "<c t=\"s\"><v>" + s(QStringLiteral("¥12.00")) + "</v></c>",
         QStringLiteral("支付成功"), QStringLiteral("4200001234567890123")},
        {"<c t=\"s\"><v>" + s(QStringLiteral("2026-03-02 09:00:00")) + "</v></c>", QStringLiteral("转账"), QStringLiteral("收入"),
         "<c><v>1200</v></c>", QStringLiteral("已收钱"), QStringLiteral("1000050001")},
        {"<c s=\"1\"><v>" + QByteArray::number(Serial(QDateTime(QDate(2026, 3, 3), QTime(10, 0))), 'f', 10) + "</v></c>",
         QStringLiteral("零钱提现"), QStringLiteral("/"), "<c><v>100</v></c>", QStringLiteral("提现已到账"), QStringLiteral("1000050002")},
        {"<c s=\"1\"><v>" + QByteArray::number(Serial(QDateTime(QDate(2026, 3, 4), QTime(18, 45, 30))), 'f', 10) + "</v></c>",
         QStringLiteral("商户消费"), QStringLiteral("支出"), "<c><v>35.5</v></c>", QStringLiteral("支付成功"), QStringLiteral("4200009876543210987")}};
    int r = headerRow + 1;
    for (const Line &line : lines) {
        rows += "<row r=\"" + QByteArray::number(r++) + "\">" + line.date + "<c t=\"s\"><v>" + s(line.item) + "</v></c>"
                + "<c t=\"s\"><v>" + s(QStringLiteral("面馆")) + "</v></c><c t=\"s\"><v>" + s(QStringLiteral("/")) + "</v></c>"
                + "<c t=\"s\"><v>" + s(line.direction) + "</v></c>" + line.amount + "<c t=\"s\"><v>" + s(QStringLiteral("零钱")) + "</v></c>"
                + "<c t=\"s\"><v>" + s(line.status) + "</v></c><c s=\"4\" t=\"s\"><v>" + s(line.order) + "</v></c></row>";
    }
    return Book(rows, SharedStrings(strings));
}

// One part of a workbook's zip, unpacked; empty when it is not there.
inline QByteArray ZipPart(const QByteArray &workbook, const QString &name)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(workbook.constData(), zip_uint64_t(workbook.size()), 0, &error);
    zip_t *zip = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
    zip_error_fini(&error);
    if (!zip) {
        zip_source_free(source);
        return QByteArray();
    }
    QByteArray bytes;
    if (zip_file_t *file = zip_fopen(zip, name.toUtf8().constData(), 0)) {
        char buffer[8192];
        zip_int64_t read = 0;
        while ((read = zip_fread(file, buffer, sizeof buffer)) > 0)
            bytes.append(buffer, qsizetype(read));
        zip_fclose(file);
    }
    zip_discard(zip);
    return bytes;
}

// How each cell of the first sheet is stored, by its reference ("B2"): its t attribute ("s" or
// "inlineStr" for a string, "str" for a formula's text), "n" for a number, with "+f" for a formula.
inline QHash<QString, QString> CellTypes(const QByteArray &workbook)
{
    QHash<QString, QString> types;
    QXmlStreamReader xml(ZipPart(workbook, QStringLiteral("xl/worksheets/sheet1.xml")));
    QString cell;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("c")) {
            cell = xml.attributes().value(QLatin1String("r")).toString();
            const QString type = xml.attributes().value(QLatin1String("t")).toString();
            types.insert(cell, type.isEmpty() ? QStringLiteral("n") : type);
        } else if (xml.name() == QLatin1String("f")) {
            types[cell] += QStringLiteral("+f");
        }
    }
    return types;
}

} // namespace workbook_parts

using namespace workbook_parts;
