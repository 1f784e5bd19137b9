// Comma-separated tables: quoting, the two encodings written, the encodings found when reading,
// and records whose fields hold commas, quotes and line breaks.
#include "transfer/Csv.h"

#include "FileBytes.h"

#include <QTest>

class TestCsv : public QObject
{
    Q_OBJECT
private slots:
    void fieldsQuotedOnlyWhenNeeded()
    {
        QCOMPARE(CsvField(QStringLiteral("餐饮")), QStringLiteral("餐饮"));
        QCOMPARE(CsvField(QStringLiteral("1,200.00")), QStringLiteral("\"1,200.00\""));
        QCOMPARE(CsvField(QStringLiteral("他说\"好\"")), QStringLiteral("\"他说\"\"好\"\"\""));
        QCOMPARE(CsvField(QStringLiteral("两行\n文字")), QStringLiteral("\"两行\n文字\""));
        QCOMPARE(CsvField(QStringLiteral(" 前后有空 ")), QStringLiteral("\" 前后有空 \""));
        QCOMPARE(CsvField(QString()), QString());
    }

    void textsASpreadsheetWouldRunAreGuardedAndComeBackExactly()
    {
        // Each text, and whether a spreadsheet would run it (it then gains an apostrophe).
        const QList<QPair<QString, bool>> texts{
            {"=HYPERLINK(\"http://x\",\"点我\")", true}, {"+86 138", true}, {"-负数", true}, {"@SUM(A1)", true},
            {"\t制表", true}, {"\r回车", true}, {"'=已有撇号", true}, {"''+两个撇号", true},
            {"'普通撇号", false}, {"'", false}, {"", false}, {"餐饮", false}, {"a=b", false}, {"1-2", false}};
        for (const auto &[text, runs] : texts) {
            const QString guarded = GuardedCsvText(text);
            QCOMPARE(guarded, runs ? QLatin1Char('\'') + text : text);
            QCOMPARE(UnguardedCsvText(guarded), text);
        }
    }

    void roundTripInBothEncodings()
    {
        const QList<QStringList> rows{{"日期", "收支项目", "收入", "支出", "家庭成员", "备注"},
                                      {"2003-05-01", "工资", "3000", "", "Li", "五月, \"全勤\"\r\n奖金另计"},
                                      {"2003-05-02", "餐饮", "", "-12.5", "Wang", ""}};
        QByteArray utf8;
        QVERIFY(WriteCsv(rows, CsvEncoding::Utf8WithBom, &utf8));
        QVERIFY(utf8.startsWith("\xEF\xBB\xBF"));
        QVERIFY(utf8.endsWith("\r\n"));
        const CsvText read = DecodeCsvBytes(utf8);
        QCOMPARE(read.encoding, QStringLiteral("UTF-8 BOM"));
        bool complete = false;
        QCOMPARE(ParseCsv(read.text, &complete), rows);
        QVERIFY(complete);

        QByteArray gbk;
        QVERIFY(WriteCsv(rows, CsvEncoding::Gbk, &gbk));
        QVERIFY(gbk.startsWith(Gbk(QStringLiteral("日期,"))));
        const CsvText readGbk = DecodeCsvBytes(gbk);
        QCOMPARE(readGbk.encoding, QStringLiteral("GBK"));
        QCOMPARE(ParseCsv(readGbk.text), rows);

        // Without its mark, UTF-8 is still found; what GBK cannot hold is refused, not written half.
        const CsvText plain = DecodeCsvBytes(utf8.mid(3));
        QCOMPARE(plain.encoding, QStringLiteral("UTF-8"));
        QCOMPARE(ParseCsv(plain.text), rows);
        QByteArray refused = "x";
        QVERIFY(!WriteCsv({{QStringLiteral("笑\U0001F600")}}, CsvEncoding::Gbk, &refused));
        QVERIFY(refused.isEmpty());
    }

    void whatIsNotAWholeTable()
    {
        QVERIFY(!DecodeCsvBytes(QByteArray("PK\x03\x04\0\0binary", 12)).isText);
        bool complete = true;
        const QList<QStringList> open = ParseCsv(QStringLiteral("a,\"never closed\nb"), &complete);
        QVERIFY(!complete);
        QCOMPARE(open.size(), 1);
        // Lines ended by LF alone, a last line without its end, and an empty field at the end.
        QCOMPARE(ParseCsv(QStringLiteral("a,b\nc,\n")), (QList<QStringList>{{"a", "b"}, {"c", ""}}));
        QCOMPARE(ParseCsv(QStringLiteral("a,b")), (QList<QStringList>{{"a", "b"}}));
    }
};

QTEST_GUILESS_MAIN(TestCsv)
#include "tst_csv.moc"
