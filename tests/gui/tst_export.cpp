// Exporting a record list: every page under the list's filter, its column titles, the two encodings,
// an Excel workbook whose cells are typed by the list's columns, and a file that cannot be written
// told and left as it was.
#include "app/CBookView.h"
#include "common/Amount.h"
#include "transfer/BillImport.h"
#include "transfer/Csv.h"
#include "transfer/XlsxReader.h"

#include "FileBytes.h"
#include "FileSizeLimit.h"
#include "OpenLedger.h"
#include "WorkbookParts.h"

#include <QApplication>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// Answers the next save dialog with the path, as a household typing it would.
void AnswerSaveDialogWith(const QString &path)
{
    QTimer::singleShot(0, [path] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->selectFile(path);
        static_cast<QDialog *>(dialog)->accept();  // the file dialog's own accept, which checks the name
    });
}

} // namespace

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

    void textsThatWouldRunInASpreadsheetAreGuardedAndImportBackExactly()
    {
        OpenLedger ledger;
        CMoneyBook &book = ledger.window.m_moneyBook;
        const QStringList notes{"=HYPERLINK(\"http://x\",\"点我\")", "+86 138", "-负数", "@SUM(A1)", "\t制表", "'=已有撇号", "'普通"};
        for (int i = 0; i < notes.size(); ++i)
            QVERIFY(book.Add(LedgerDateTime(QDate(2026, 1, 1 + i)), QStringLiteral("餐饮"), -12.5 - i, QStringLiteral("Li"), notes.at(i)));
        auto *list = qobject_cast<CBookView *>(ledger.window.Control(1004));
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("收支.csv"));
        QVERIFY(list->ExportCsv(path, CsvEncoding::Utf8WithBom));
        const QList<QStringList> rows = ParseCsv(DecodeCsvBytes(ReadBytes(path)).text);
        QCOMPARE(rows.size(), 1 + notes.size());
        for (int i = 0; i < notes.size(); ++i) {
            const QStringList &row = rows.at(1 + i);
            // The note cannot run; the expense keeps its minus sign and stays a number.
            QVERIFY2(!QStringLiteral("=+-@\t").contains(row.at(5).front()), qPrintable(row.at(5)));
            QCOMPARE(row.at(3), TrimAmount(-12.5 - i));
        }
        // Read back as this program's export, every note is what was written.
        const BillLayout layout = GuessBillLayout(rows);
        QCOMPARE(layout.preset, BillPreset::Zarvel);
        for (int i = 0; i < notes.size(); ++i) {
            const BillRow read = ReadBillRow(rows.at(1 + i), layout);
            QCOMPARE(read.note, notes.at(i));
            QCOMPARE(read.amount, -12.5 - i);
        }
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

    void moneyListAsAWorkbookOnEveryPageUnderItsFilter()
    {
        OpenLedger ledger;
        CMoneyBook &book = ledger.window.m_moneyBook;
        for (int i = 0; i < 250; ++i)
            book.Add(LedgerDateTime(QDate(2003, 1, 1).addDays(i), QTime(9, 0)), i % 2 ? QStringLiteral("餐饮") : QStringLiteral("工资"),
                     i % 2 ? -(i + 0.5) : i, QStringLiteral("Li"), QString());
        book.SetFilter(QStringLiteral("Item='餐饮'"));
        QCOMPARE(book.GetPageCount(), 2);
        auto *list = qobject_cast<CBookView *>(ledger.window.Control(1004));
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("收支.xlsx"));
        QVERIFY(list->ExportXlsx(path));
        const QByteArray bytes = ReadBytes(path);
        const XlsxTable table = ReadXlsx(bytes);
        QCOMPARE(table.error, QString());
        QCOMPARE(table.sheets, QStringList{"收支"});
        QCOMPARE(table.rows.size(), 1 + 125);
        QCOMPARE(table.rows.first(), QStringList({"日期", "收支项目", "收入", "支出", "家庭成员", "备注"}));
        QCOMPARE(table.rows.at(1), QStringList({"2003-01-02", "餐饮", "", "-1.5", "Li"}));
        QCOMPARE(table.rows.last(), QStringList({"2003-09-07", "餐饮", "", "-249.5", "Li"}));
        QCOMPARE(book.GetCurrentPage(), 1);  // the list stays on its page
        // The date and the amount are a date and a number; the item and the member text.
        const QHash<QString, QString> types = CellTypes(bytes);
        QCOMPARE(types.value(QStringLiteral("A2")), QStringLiteral("n"));
        QCOMPARE(types.value(QStringLiteral("D2")), QStringLiteral("n"));
        QCOMPARE(types.value(QStringLiteral("B2")), QStringLiteral("inlineStr"));
        QVERIFY(!types.contains(QStringLiteral("C2")));

        // A file that cannot be written is told under the export's caption.
        QVERIFY(!list->ExportXlsx(folder.filePath(QStringLiteral("没有的文件夹/收支.xlsx"))));
        QCOMPARE(ledger.messages.messages.last().caption, QStringLiteral("导出为 Excel"));
        QVERIFY(ledger.messages.Last().startsWith(QStringLiteral("无法写入文件")));
    }

    void phonesAndPostcodesStayTextAndEveryListKnowsItsColumns()
    {
        OpenLedger ledger;
        QStringList fields;
        for (int i = 0; i < 15; ++i)
            fields << QString();
        fields[0] = QStringLiteral("张三");
        fields[3] = QStringLiteral("010-62345678");
        fields[7] = QStringLiteral("013912345678");
        fields[12] = QStringLiteral("010020");
        QVERIFY(ledger.window.m_addressBook.Add(fields));
        auto *list = qobject_cast<CBookView *>(ledger.window.Control(1115));
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("通讯录.xlsx"));
        QVERIFY(list->ExportXlsx(path));
        const QByteArray bytes = ReadBytes(path);
        QCOMPARE(ReadXlsx(bytes).rows.value(1), fields.mid(0, 13));
        QCOMPARE(CellTypes(bytes).value(QStringLiteral("M2")), QStringLiteral("inlineStr"));

        // Each list's kinds stand beside its columns, one to one.
        const QList<CBookView *> lists = ledger.window.findChildren<CBookView *>();
        QCOMPARE(lists.size(), 8);
        for (CBookView *view : lists)
            QVERIFY2(view->Book().ColumnKinds().size() == view->Model()->Titles().size(), qPrintable(view->objectName()));
    }

    void theExportAsksBeforeTheNameItCompletesReplacesAFile()
    {
        OpenLedger ledger;
        ledger.window.m_memoBook.Add(QStringLiteral("2003-05-01"), QStringLiteral("交电费"), QStringLiteral("Li"));
        auto *list = qobject_cast<CBookView *>(ledger.window.Control(1114));
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("备忘.xlsx"));
        WriteBytes(path, "earlier export");

        // "备忘" becomes 备忘.xlsx, which the dialog did not ask about.
        ledger.messages.answer = false;
        AnswerSaveDialogWith(folder.filePath(QStringLiteral("备忘")));
        list->ChooseAndExportXlsx();
        QCOMPARE(ledger.messages.messages.size(), 1);
        QVERIFY(ledger.messages.messages.last().question);
        QCOMPARE(ReadBytes(path), QByteArray("earlier export"));

        ledger.messages.answer = true;
        AnswerSaveDialogWith(folder.filePath(QStringLiteral("备忘")));
        list->ChooseAndExportXlsx();
        QCOMPARE(ReadXlsx(ReadBytes(path)).rows.value(1), QStringList({"2003-05-01", "交电费", "Li"}));

        // A new name is completed without a question.
        ledger.messages.Clear();
        AnswerSaveDialogWith(folder.filePath(QStringLiteral("新的")));
        list->ChooseAndExportXlsx();
        QCOMPARE(ledger.messages.messages.size(), 0);
        QCOMPARE(ReadXlsx(ReadBytes(folder.filePath(QStringLiteral("新的.xlsx")))).sheets, QStringList{"备忘"});
    }
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
