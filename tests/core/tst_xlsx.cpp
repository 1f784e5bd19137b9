// Excel workbooks read as tables, and a payment app's workbook bill read into records.
#include "transfer/ImportPreview.h"
#include "transfer/MoneyImport.h"
#include "transfer/XlsxReader.h"

#include "WorkbookParts.h"

#include <QTest>


class TestXlsx : public QObject
{
    Q_OBJECT
private slots:
    void aLargeSheetReadInHalvesAsAWhole()
    {
        // Large enough to be read in two halves at once: every row, in order, across the cut; a row
        // left empty in the middle stays; a sheet numbered out of order is read whole, as it stands.
        constexpr int kRows = 80000;  // over 8 MB of XML
        QByteArray rows;
        for (int r = 1; r <= kRows; ++r) {
            if (r == kRows / 2 + 7)
                continue;  // an empty row near the cut
            rows += "<row r=\"" + QByteArray::number(r) + "\"><c r=\"A" + QByteArray::number(r) + "\" t=\"inlineStr\"><is><t>第"
                    + QByteArray::number(r) + "行</t></is></c><c r=\"B" + QByteArray::number(r) + "\"><v>" + QByteArray::number(r * 3)
                    + ".5</v></c><c r=\"C" + QByteArray::number(r) + "\" s=\"2\"><v>46000</v></c></row>";
        }
        const XlsxTable table = ReadXlsx(Book(rows, SharedStrings({})));
        QCOMPARE(table.error, QString());
        QCOMPARE(table.rows.size(), qsizetype(kRows));
        for (int r = 1; r <= kRows; ++r) {
            const QStringList expected = r == kRows / 2 + 7 ? QStringList()
                                                             : QStringList{QStringLiteral("第%1行").arg(r), QStringLiteral("%1.5").arg(r * 3),
                                                                           QStringLiteral("2025-12-09")};
            if (table.rows.at(r - 1) != expected)
                QFAIL(qPrintable(QStringLiteral("row %1: %2").arg(r).arg(table.rows.at(r - 1).join(QLatin1Char('|')))));
        }
        // The same rows under a prefix of the sheet's namespace.
        QByteArray prefixed = rows;
        prefixed.replace("<row ", "<x:row ").replace("</row>", "</x:row>").replace("<c ", "<x:c ").replace("</c>", "</x:c>");
        prefixed.replace("<v>", "<x:v>").replace("</v>", "</x:v>").replace("<is>", "<x:is>").replace("</is>", "</x:is>");
        prefixed.replace("<t>", "<x:t>").replace("</t>", "</x:t>");
        const QByteArray sheet = R"(<?xml version="1.0" encoding="UTF-8"?><x:worksheet xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><x:sheetData>)"
                                 + prefixed + "</x:sheetData></x:worksheet>";
        const XlsxTable x = ReadXlsx(Zip({{QStringLiteral("_rels/.rels"), kRels}, {QStringLiteral("xl/workbook.xml"), Workbook(false)},
                                          {QStringLiteral("xl/_rels/workbook.xml.rels"), kWorkbookRels}, {QStringLiteral("xl/styles.xml"), kStyles},
                                          {QStringLiteral("xl/sharedStrings.xml"), SharedStrings({})},
                                          {QStringLiteral("xl/worksheets/sheet1.xml"), sheet},
                                          {QStringLiteral("xl/worksheets/other.xml"), Sheet(QByteArray())}}));
        QCOMPARE(x.error, QString());
        QCOMPARE(x.rows, table.rows);
        // Numbered out of order (a row far down first): read whole, as the sheet stands, never lost.
        QByteArray shuffled = rows;
        shuffled.replace("<row r=\"1\">", "<row r=\"79990\">");
        const XlsxTable whole = ReadXlsx(Book(shuffled, SharedStrings({})));
        QCOMPARE(whole.error, QString());
        QCOMPARE(whole.rows.at(79989).value(0), QStringLiteral("第1行"));
        QCOMPARE(whole.rows.last().value(0), QStringLiteral("第%1行").arg(kRows));
    }

    void cellsReadAsTheirTexts()
    {
        // A plain item, one in runs with a phonetic reading (left out), one with blanks kept.
        const QByteArray shared = SharedStringsXml(R"(<si><t>餐饮</t></si><si><r><t>面</t></r><r><rPr><b/></rPr><t>馆</t></r>)"
                                                   R"(<rPh><t>めん</t></rPh></si><si><t xml:space="preserve"> 010020 </t></si>)");
        // Row 2 is missing; B1 is missing; C3 and E3 skip a column each.
        const QByteArray rows = R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="C1" t="s"><v>1</v></c></row>
<row r="3"><c r="A3"><v>12.5</v></c><c r="C3" t="b"><v>1</v></c><c r="D3" s="3"><v>0.1</v></c><c r="E3"><v>1E-3</v></c><c r="G3" t="inlineStr"><is><t>行内</t></is></c></row>
<row r="4"><c r="A4" s="1"><v>46082.5208333333</v></c><c r="B4" s="2"><v>46082</v></c><c r="C4" t="s"><v>2</v></c><c r="D4" t="str"><f>A1</f><v>餐饮</v></c><c r="E4" t="e"><v>#N/A</v></c><c r="F4" t="d"><v>2026-03-01T12:30:00</v></c></row>)";
        const XlsxTable table = ReadXlsx(Book(rows, shared));
        QCOMPARE(table.error, QString());
        QCOMPARE(table.sheets, QStringList({"账单", "其他"}));
        QCOMPARE(table.rows.size(), 4);
        QCOMPARE(table.rows.at(0), QStringList({"餐饮", "", "面馆"}));
        QCOMPARE(table.rows.at(1), QStringList());
        QCOMPARE(table.rows.at(2), QStringList({"12.5", "", "TRUE", "0.1", "0.001", "", "行内"}));
        QCOMPARE(table.rows.at(3), QStringList({"2026-03-01 12:30:00", "2026-03-01", " 010020 ", "餐饮", "#N/A", "2026-03-01T12:30:00"}));
        QCOMPARE(ReadBillDate(table.rows.at(3).at(5)), QDateTime(QDate(2026, 3, 1), QTime(12, 30)));
        QCOMPARE(ReadXlsx(Book(rows, shared), QStringLiteral("其他")).rows, QList<QStringList>({{"第二张"}}));
        QCOMPARE(ReadXlsx(Book(rows, shared), QStringLiteral("没有")).error, QStringLiteral("工作簿中没有名为“没有”的工作表"));

        // Counted from 1904 as the workbook says: day 0 is its first of January.
        const XlsxTable from1904 = ReadXlsx(Book(R"(<row><c s="2"><v>0</v></c><c s="1"><v>44621.75</v></c></row>)", shared, true));
        QCOMPARE(from1904.rows.value(0), QStringList({"1904-01-01", "2026-03-02 18:00:00"}));
        // From 1900, day 59 is 28 February 1900 and day 61 the first of March (day 60 never was).
        const XlsxTable early = ReadXlsx(Book(R"(<row><c s="2"><v>1</v></c><c s="2"><v>59</v></c><c s="2"><v>61</v></c></row>)", shared));
        QCOMPARE(early.rows.value(0), QStringList({"1900-01-01", "1900-02-28", "1900-03-01"}));
    }

    void aPaymentAppsWorkbookReadsAsItsCsvDoes_data()
    {
        QTest::addColumn<int>("headerRow");
        QTest::newRow("header on row 17 (before March 2026)") << 17;
        QTest::newRow("header on row 18 (after)") << 18;
    }
    void aPaymentAppsWorkbookReadsAsItsCsvDoes()
    {
        QFETCH(int, headerRow);
        CMoneyImport plan({QStringLiteral("支出    餐饮"), QStringLiteral("收入    工资")}, {QStringLiteral("爸爸")});
        QVERIFY(plan.Load(WeChatWorkbook(headerRow)));
        QCOMPARE(plan.Encoding(), QStringLiteral("Excel 工作簿"));
        QCOMPARE(plan.Layout().preset, BillPreset::WeChat);
        QCOMPARE(plan.Layout().headerRow, headerRow - 1);
        QCOMPARE(plan.RowCount(), 4);
        // What a person reading the bill writes down: the lunch and the takings, the withdrawal left
        // out as neither, the order numbers not taken for amounts.
        QCOMPARE(plan.Row(0).kind, BillRow::Kind::Record);
        QCOMPARE(plan.Row(0).date, QDateTime(QDate(2026, 3, 1), QTime(12, 30)));
        QCOMPARE(plan.Row(0).amount, -12.0);
        QCOMPARE(plan.Row(1).date, QDateTime(QDate(2026, 3, 2), QTime(9, 0)));
        QCOMPARE(plan.Row(1).amount, 1200.0);
        QCOMPARE(plan.Row(2).kind, BillRow::Kind::Skipped);
        QCOMPARE(plan.Row(3).date, QDateTime(QDate(2026, 3, 4), QTime(18, 45, 30)));
        QCOMPARE(plan.Row(3).amount, -35.5);
        QCOMPARE(plan.Records().value(headerRow + 3).value(8), QStringLiteral("4200009876543210987"));
    }

    void previewLinesSayWhatEachRowBecomes()
    {
        CMoneyImport plan({QStringLiteral("支出    餐饮"), QStringLiteral("收入    工资")}, {QStringLiteral("爸爸")});
        QVERIFY(plan.Load(WeChatWorkbook(17)));
        const QStringList lines = ImportPreviewLines(plan);
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines.at(0), QStringLiteral("18\t记录\t2026-03-01 12:30:00\t餐饮\t-12.00\t爸爸\t面馆\t"));
        QCOMPARE(lines.at(1), QStringLiteral("19\t记录\t2026-03-02 09:00:00\t工资\t1200.00\t爸爸\t面馆\t"));
        QCOMPARE(lines.at(2), QStringLiteral("20\t跳过\t\t\t\t\t\t本人账户间转账"));
        QCOMPARE(lines.at(3).section(QLatin1Char('\t'), 0, 4), QStringLiteral("21\t记录\t2026-03-04 18:45:30\t餐饮\t-35.50"));
    }

    void workbooksThatCannotBeReadSayWhy()
    {
        const QByteArray shared = SharedStrings({QStringLiteral("一")});
        const QByteArray good = Book(R"(<row><c t="s"><v>0</v></c></row>)", shared);
        QVERIFY(LooksLikeZip(good));
        QVERIFY(!LooksLikeZip(QByteArray("日期,金额\n")));
        QCOMPARE(ReadXlsx(good.left(good.size() / 2)).error, QStringLiteral("压缩包已损坏，无法打开"));
        QCOMPARE(ReadXlsx(Book(R"(<row r="7"><c t="s"><v>3</v></c></row>)", shared)).error,
                 QStringLiteral("第 7 行：共享字符串序号 3 不存在"));
        QCOMPARE(ReadXlsx(Book(R"(<row r="2"><c s="1"><v>99999999</v></c></row>)", shared)).error,
                 QStringLiteral("第 2 行：日期序号 99999999 超出范围"));
        QVERIFY(ReadXlsx(Book(R"(<row><c><v>1</v></row>)", shared)).error.startsWith(QStringLiteral("xl/worksheets/sheet1.xml 的 XML 有误")));
        // A formatted cell far to the right is passed over; text there is no bill's.
        QCOMPARE(ReadXlsx(Book(R"(<row r="3"><c r="A3"><v>1</v></c><c r="XFD3" s="1"/></row>)", shared)).rows.value(2), QStringList{"1"});
        QCOMPARE(ReadXlsx(Book(R"(<row r="3"><c r="XFD3"><v>1</v></c></row>)", shared)).error,
                 QStringLiteral("第 3 行：列数超过 1024，不像是账单或表格"));
        QCOMPARE(ReadXlsx(Zip({{QStringLiteral("word/document.xml"), QByteArray("<w/>")}})).error,
                 QStringLiteral("其中没有工作簿（不是 Excel 文件）"));
        // A part that unpacks far beyond its packed size (a zip bomb, here at a small limit).
        const QByteArray bomb = Zip({{QStringLiteral("xl/workbook.xml"), QByteArray(3 * 1024 * 1024, ' ')}});
        QVERIFY(bomb.size() < 64 * 1024);
        QCOMPARE(ReadXlsx(bomb, QString(), 2 * 1024 * 1024).error, QStringLiteral("解压后超过 2 MB，不像是账单或表格"));

        // Read into the import, the reason is kept for the message, and nothing is read.
        CMoneyImport plan({QStringLiteral("支出    餐饮")}, {QStringLiteral("爸爸")});
        QVERIFY(!plan.Load(good.left(100)));
        QCOMPARE(plan.LoadProblem(), QStringLiteral("压缩包已损坏，无法打开"));
        QCOMPARE(plan.RowCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestXlsx)
#include "tst_xlsx.moc"
