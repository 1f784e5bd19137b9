// Exporting a record list: every page under the list's filter, its column titles, the two encodings,
// and a file that cannot be written told and left as it was.
#include "app/CBookView.h"
#include "transfer/Csv.h"

#include "FileBytes.h"
#include "FileSizeLimit.h"
#include "OpenLedger.h"

#include <QTemporaryDir>
#include <QTest>

class TestExport : public QObject
{
    Q_OBJECT
private slots:
    void moneyListOnEveryPageUnderItsFilter()
    {
        OpenLedger ledger;
        CMoneyBook &book = ledger.window.m_moneyBook;
        for (int i = 0; i < 250; ++i)
            book.Add(LedgerDateTime(QDate(2003, 1, 1).addDays(i), QTime(9, 0)), i % 2 ? QStringLiteral("餐饮") : QStringLiteral("工资"),
                     i % 2 ? -(i + 0.5) : i, QStringLiteral("Li"), i == 4 ? QStringLiteral("含,逗号") : QString());
        book.SetFilter(QStringLiteral("Item='工资'"));
        QCOMPARE(book.GetPageCount(), 2);
        auto *list = qobject_cast<CBookView *>(ledger.window.Control(1004));
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("收支.csv"));
        QVERIFY(list->ExportCsv(path, CsvEncoding::Utf8WithBom));
        const QList<QStringList> rows = ParseCsv(DecodeCsvBytes(ReadBytes(path)).text);
        QCOMPARE(rows.size(), 1 + 125);
        QCOMPARE(rows.first(), QStringList({"日期", "收支项目", "收入", "支出", "家庭成员", "备注"}));
        QCOMPARE(rows.at(1), QStringList({"2003-01-01", "工资", "0", "", "Li", ""}));
        QCOMPARE(rows.at(3), QStringList({"2003-01-05", "工资", "4", "", "Li", "含,逗号"}));
        QCOMPARE(rows.last().at(0), QStringLiteral("2003-09-06"));
        QCOMPARE(book.GetCurrentPage(), 1);  // the list stays on its page

        QVERIFY(list->ExportCsv(path, CsvEncoding::Gbk));
        QVERIFY(ReadBytes(path).startsWith(Gbk(QStringLiteral("日期,收支项目"))));

        // A file that cannot be written is told, and nothing else happens.
        QVERIFY(!list->ExportCsv(folder.filePath(QStringLiteral("没有的文件夹/收支.csv")), CsvEncoding::Utf8WithBom));
        QVERIFY(ledger.messages.Last().contains(QStringLiteral("无法写入文件")));
    }

    void anExportOnAFullDiskIsToldAndTheEarlierFileStays()
    {
        OpenLedger ledger;
        for (int i = 0; i < 200; ++i)
            ledger.window.m_memoBook.Add(QStringLiteral("2003-05-01"), QStringLiteral("一条相当长的备忘 %1").arg(i), QStringLiteral("Li"));
        auto *list = qobject_cast<CBookView *>(ledger.window.Control(1114));
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("memo.csv"));
        WriteBytes(path, "earlier export");
        {
            FileSizeLimit full(1024);  // the disk fills after the first kilobyte
            QVERIFY(full.IsValid());
            QVERIFY(!list->ExportCsv(path, CsvEncoding::Utf8WithBom));
        }
        QVERIFY(ledger.messages.Last().contains(QStringLiteral("无法写入文件")));
        QCOMPARE(ReadBytes(path), QByteArray("earlier export"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList({"memo.csv"}));  // nothing left beside it
    }

    void simpleListWithItsTitles()
    {
        OpenLedger ledger;
        ledger.window.m_memoBook.Add(QStringLiteral("2003-05-01"), QStringLiteral("两行\n备忘"), QStringLiteral("Li"));
        auto *list = qobject_cast<CBookView *>(ledger.window.Control(1114));
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("memo.csv"));
        QVERIFY(list->ExportCsv(path, CsvEncoding::Utf8WithBom));
        QCOMPARE(ParseCsv(DecodeCsvBytes(ReadBytes(path)).text),
                 (QList<QStringList>{{"记录日期", "备忘内容", "记录人"}, {"2003-05-01", "两行\n备忘", "Li"}}));
    }
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
