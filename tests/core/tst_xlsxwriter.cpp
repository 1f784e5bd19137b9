// Tables written as Excel workbooks: cells typed by their column's kind and read back by the ledger's
// own reader, the sheet's name and widths, and a workbook that cannot be written told and left unmade.
#include "transfer/XlsxReader.h"
#include "transfer/XlsxWriter.h"

#include "FileBytes.h"
#include "FileSizeLimit.h"
#include "WorkbookParts.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

XlsxSheet Table(const QList<QStringList> &rows)
{
    return {QStringLiteral("收支"),
            {"文字", "金额", "日期", "数量"},
            {ColumnKind::Text, ColumnKind::Amount, ColumnKind::Date, ColumnKind::Number},
            rows};
}

// The widths of the sheet's columns, in its order.
QList<double> ColumnWidths(const QByteArray &workbook)
{
    QList<double> widths;
    static const QRegularExpression col(QStringLiteral("<col [^>]*width=\"([0-9.]+)\""));
    auto matches = col.globalMatch(QString::fromUtf8(ZipPart(workbook, QStringLiteral("xl/worksheets/sheet1.xml"))));
    while (matches.hasNext())
        widths << matches.next().captured(1).toDouble();
    return widths;
}

} // namespace

class TestXlsxWriter : public QObject
{
    Q_OBJECT
private slots:
    void cellsAreTypedByTheirColumnsKind()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("收支.xlsx"));
        QString error;
        QVERIFY(WriteXlsx(path,
                          Table({{"010020", "1,234.50", "2025-12-29", "3"},
                                 {"=1+1", "-0.10", "2025-12-29 08:05:00", "12"},
                                 {"+86 139 0000 0000", "", "", ""},
                                 {"-5", "不是金额", "不是日期", "三"},
                                 {"@家庭 支出", "12", "1899-12-30", "1.5"},
                                 {" 前后有空格 ", "0", "2025-2-3", "-7"}}),
                          &error));
        QCOMPARE(error, QString());
        const QByteArray bytes = ReadBytes(path);
        const XlsxTable table = ReadXlsx(bytes);
        QCOMPARE(table.error, QString());
        QCOMPARE(table.sheets, QStringList{"收支"});
        QCOMPARE(table.rows, (QList<QStringList>{
                                 {"文字", "金额", "日期", "数量"},
                                 {"010020", "1234.5", "2025-12-29", "3"},
                                 {"=1+1", "-0.1", "2025-12-29 08:05:00", "12"},
                                 {"+86 139 0000 0000"},
                                 {"-5", "不是金额", "不是日期", "三"},
                                 {"@家庭 支出", "12", "1899-12-30", "1.5"},
                                 {" 前后有空格 ", "0", "2025-02-03", "-7"},
                             }));
        // Texts are strings, never numbers or formulas; what a kind reads is a number (a date a
        // number shown as a date, as read above); what it cannot read stays a string.
        const QHash<QString, QString> types = CellTypes(bytes);
        for (const char *cell : {"A2", "A3", "A4", "A5", "A6", "A7", "B5", "C5", "D5", "C6", "D6"})
            QVERIFY2(types.value(cell).endsWith(QLatin1String("inlineStr")) || types.value(cell) == QLatin1String("s"),
                     qPrintable(QString::fromLatin1(cell) + QStringLiteral(": ") + types.value(cell)));
        for (const char *cell : {"B2", "C2", "D2", "B3", "C3", "D3", "B6", "B7", "C7", "D7"})
            QCOMPARE(types.value(cell), QStringLiteral("n"));
        QVERIFY(!types.contains(QStringLiteral("B4")));  // an empty amount stays empty
        QVERIFY(!types.contains(QStringLiteral("C4")));

        // The header stays in view, and amounts and dates carry their formats.
        const QByteArray sheet = ZipPart(bytes, QStringLiteral("xl/worksheets/sheet1.xml"));
        QVERIFY(sheet.contains(R"(<pane ySplit="1" topLeftCell="A2" activePane="bottomLeft" state="frozen"/>)"));
        const QByteArray styles = ZipPart(bytes, QStringLiteral("xl/styles.xml"));
        QVERIFY(styles.contains(R"(formatCode="0.00")"));
        QVERIFY(styles.contains(R"(formatCode="yyyy\-mm\-dd")") || styles.contains(R"(formatCode="yyyy-mm-dd")"));
        QVERIFY(styles.contains("<b/>"));
    }

    void columnsAreAsWideAsTheirWidestCell()
    {
        QCOMPARE(XlsxTextWidth(QStringLiteral("abc 12")), 6);
        QCOMPARE(XlsxTextWidth(QStringLiteral("餐饮")), 4);
        QCOMPARE(XlsxTextWidth(QStringLiteral("（１２）")), 8);         // full-width forms
        QCOMPARE(XlsxTextWidth(QStringLiteral("𠀀a")), 3);               // beyond the BMP: one character, wide
        QCOMPARE(XlsxTextWidth(QStringLiteral("两行\n第二行较长")), 10);  // the widest line

        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("宽度.xlsx"));
        QVERIFY(WriteXlsx(path, Table({{"家庭支出备注很长", "1,234,567.50", "2025-12-29 08:05:00", "12"},
                                       {QString(200, QLatin1Char('x')), "", "", ""}})));
        const QList<double> widths = ColumnWidths(ReadBytes(path));
        QCOMPARE(widths.size(), 4);
        // The widest cell plus a margin (the file adds a fraction for the cell's padding): a long
        // text capped, an amount as shown with two decimals, a date with its time, a count's title.
        const QList<int> expected{60, 10 + 2, 19 + 2, 4 + 2};
        for (int column = 0; column < 4; ++column)
            QVERIFY2(widths.at(column) >= expected.at(column) && widths.at(column) < expected.at(column) + 1,
                     qPrintable(QString::number(widths.at(column))));
    }

    void sheetNamesAreMadeFitForExcel_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("sheet");
        QTest::newRow("plain") << "定期储蓄" << "定期储蓄";
        QTest::newRow("characters a sheet cannot bear") << "收支[2025]:1/2\\3*?" << "收支2025123";
        QTest::newRow("quotes at either end") << "'借贷'" << "借贷";
        QTest::newRow("cut to 31") << QString(40, QChar(0x7C3F)) << QString(31, QChar(0x7C3F));
        const QString far = QStringLiteral("𠀀");  // one character, two QChars, as Excel counts it too
        QTest::newRow("beyond the BMP counts two") << far + QString(31, QChar(0x4E00)) << far + QString(29, QChar(0x4E00));
        QTest::newRow("never half a character") << QString(30, QChar(0x4E00)) + far << QString(30, QChar(0x4E00));
        QTest::newRow("nothing left") << "[]" << "Sheet1";
    }
    void sheetNamesAreMadeFitForExcel()
    {
        QFETCH(QString, name);
        QFETCH(QString, sheet);
        QCOMPARE(XlsxSheetName(name), sheet);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("book.xlsx"));
        XlsxSheet table = Table({{"x"}});
        table.name = name;
        QVERIFY(WriteXlsx(path, table));
        QCOMPARE(ReadXlsx(ReadBytes(path)).sheets, QStringList{sheet});
    }

    void aWorkbookThatCannotBeWrittenIsToldAndLeavesNothing()
    {
        QTemporaryDir folder;
        QString error;
        // No such folder.
        QVERIFY(!WriteXlsx(folder.filePath(QStringLiteral("没有的文件夹/收支.xlsx")), Table({{"x"}}), &error));
        QVERIFY2(error.startsWith(QStringLiteral("无法写入文件")), qPrintable(error));

        // A full disk: the earlier file stays as it was, and nothing is left beside it.
        const QString path = folder.filePath(QStringLiteral("收支.xlsx"));
        WriteBytes(path, "earlier export");
        QList<QStringList> rows;
        for (int i = 0; i < 2000; ++i)
            rows.append({QStringLiteral("备忘 %1").arg(i), QString::number(i), QStringLiteral("2025-12-29"), QString::number(i)});
        error.clear();
        for (const qint64 limit : {1024, 64 * 1024}) {  // the workbook itself, or a part of it, cut off
            FileSizeLimit full(limit);
            QVERIFY(full.IsValid());
            QVERIFY(!WriteXlsx(path, Table(rows), &error));
            QVERIFY2(error.startsWith(QStringLiteral("无法写入文件")), qPrintable(error));
        }
        QCOMPARE(ReadBytes(path), QByteArray("earlier export"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"收支.xlsx"});

        // More than a cell holds, or than a sheet holds: told, and nothing written.
        QVERIFY(!WriteXlsx(path, Table({{"x"}, {"y", "", "", "", QString(40000, QLatin1Char('z'))}}), &error));
        QCOMPARE(error, QStringLiteral("第 2 条记录的“5”超过 Excel 一个单元格所能容纳的 32767 个字符"));
        QVERIFY(!WriteXlsx(path, Table(QList<QStringList>(1048576, QStringList{"x"})), &error));
        QCOMPARE(error, QStringLiteral("列表有 1048576 条记录，超过 Excel 一张工作表所能容纳的 1048575 条；请先过滤，分几次导出。"));
        QCOMPARE(ReadBytes(path), QByteArray("earlier export"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"收支.xlsx"});
    }
};

QTEST_GUILESS_MAIN(TestXlsxWriter)
#include "tst_xlsxwriter.moc"
