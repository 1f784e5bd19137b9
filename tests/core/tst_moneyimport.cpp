// A bill on its way into the book: strangers mapped to the ledger's items and members, duplicates
// found and left out, and the records written all at once or not at all.
#include "common/LedgerDate.h"
#include "db/CMoneyBook.h"
#include "db/DbError.h"
#include "db/KeptFigures.h"
#include "db/Ledger.h"
#include "db/SqlConnection.h"
#include "lists/ReferenceLists.h"
#include "transfer/Csv.h"
#include "transfer/MoneyImport.h"

#include "FileBytes.h"
#include "TestInstallation.h"

#include <QTest>

namespace {

const QStringList kItems{QStringLiteral("收入    工资"), QStringLiteral("收入    奖金"), QStringLiteral("支出    餐饮"),
                         QStringLiteral("支出    交通")};
const QStringList kMembers{QStringLiteral("爸爸"), QStringLiteral("妈妈")};

QByteArray Bill(const QStringList &lines)
{
    QByteArray bytes;
    WriteCsv(ParseCsv(lines.join(QLatin1Char('\n'))), CsvEncoding::Utf8WithBom, &bytes);
    return bytes;
}

std::vector<MoneyEntry> Entries(int count)
{
    std::vector<MoneyEntry> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back({LedgerDateTime(QDate(2020, 1 + i % 12, 1 + i % 28), QTime(i % 24, 0)),
                           QStringLiteral("餐饮"), -(i + 1) * 1.25, QStringLiteral("爸爸"), QStringLiteral("第%1条").arg(i)});
    return entries;
}

qint64 Count(const QString &installDb, const QString &sql)
{
    auto db = OpenLedgerDatabase(installDb);
    SqlStatement statement = db->Prepare(sql);
    return statement.Step() ? statement.Int(0) : -1;
}

} // namespace

class TestMoneyImport : public QObject
{
    Q_OBJECT
private slots:
    void strangersMappedToTheLedgersEntries()
    {
        CMoneyImport import(kItems, kMembers);
        QVERIFY(import.Load(Bill({"交易时间,交易类型,交易对方,商品,收/支,金额(元),支付方式,当前状态,交易单号,商户单号,备注",
                                  "2023-05-02 12:30:01,商户消费,面馆,牛肉面,支出,¥12.50,零钱,支付成功,1,2,/",
                                  "2023-05-03 09:00:00,转账,老王," + QString(60, QChar(0x6C34)) + ",收入,¥1200,/,已收钱,3,,/",
                                  "2023-05-04 09:00:00,商户消费,超市,纸巾,支出,¥3,零钱,支付成功,4,,/",
                                  "2023-05-05 09:00:00,商户消费,超市,纸巾,支出,三元,零钱,支付成功,5,,/",
                                  "2023-05-06 09:00:00,零钱提现,银行,/,/,¥100,零钱,提现已到账,6,,/"})));
        QCOMPARE(import.Encoding(), QStringLiteral("UTF-8 BOM"));
        QCOMPARE(import.Layout().preset, BillPreset::WeChat);
        QCOMPARE(import.RowCount(), 5);
        QCOMPARE(import.FileRecordOf(0), 2);

        // Each stranger once, with its rows, mapped to the first entry of its kind until chosen.
        QCOMPARE(import.StrangeItems().size(), 2);
        QCOMPARE(import.StrangeItems().at(0).name, QStringLiteral("商户消费"));
        QCOMPARE(import.StrangeItems().at(0).rows, 2);
        QCOMPARE(import.StrangeItems().at(0).mappedTo, QStringLiteral("餐饮"));
        QCOMPARE(import.StrangeItems().at(1).mappedTo, QStringLiteral("工资"));
        QCOMPARE(import.StrangeMembers().size(), 1);  // the bill names no member
        QCOMPARE(import.EntryOf(0).member, QStringLiteral("爸爸"));

        import.MapItem(0, QStringLiteral("交通"));
        import.MapItem(1, QStringLiteral("交通"));  // an expense item for income: refused
        import.MapMember(0, QStringLiteral("妈妈"));
        QCOMPARE(import.EntryOf(2).item, QStringLiteral("交通"));
        QCOMPARE(import.EntryOf(1).item, QStringLiteral("工资"));
        QCOMPARE(import.EntryOf(1).member, QStringLiteral("妈妈"));
        QCOMPARE(import.EntryOf(1).explain, QStringLiteral("老王 ") + QString(42, QChar(0x6C34)));  // cut to 90 bytes

        const CMoneyImport::Counts counts = import.Count();
        QCOMPARE(counts.records, 3);
        QCOMPARE(counts.skipped, 1);
        QCOMPARE(counts.refused, 1);
        QVERIFY(import.Problem().isEmpty());

        // The choices stay when the header is named again by hand.
        import.SetLayout(GuessColumnsAt(import.Records(), 0));
        QCOMPARE(import.EntryOf(2).item, QStringLiteral("交通"));

        CMoneyImport bare({QStringLiteral("收入    工资")}, {});
        QVERIFY(bare.Load(Bill({"日期,收支项目,金额", "2023-05-01,饭,-5"})));
        QCOMPARE(bare.Problem(), QStringLiteral("收支项目中没有支出项目，请先在设置中添加"));
        QVERIFY(!bare.Load(QByteArray("PK\x03\x04\x00\x00binary", 14)));
    }

    void anOpenQuoteIsRefusedNotSwallowed()
    {
        // A quote opened by hand and never closed takes every line after it into one field: the row
        // holding it is refused, not imported with the rest of the file inside its note.
        CMoneyImport import(kItems, kMembers);
        const QString text = QStringLiteral("日期,收支项目,金额,备注\n2023-05-01,餐饮,-4,早饭\n2023-05-02,餐饮,-5,\"午饭\n"
                                            "2023-05-03,餐饮,-6,晚饭\n2023-05-04,餐饮,-7,夜宵\n");
        QVERIFY(import.Load(QByteArray("\xEF\xBB\xBF") + text.toUtf8()));
        QCOMPARE(import.RowCount(), 2);
        QCOMPARE(int(import.Row(0).kind), int(BillRow::Kind::Record));
        QCOMPARE(int(import.Row(1).kind), int(BillRow::Kind::Refused));
        QVERIFY(import.Row(1).reason.contains(QStringLiteral("引号")));
        QCOMPARE(import.Count().records, 1);
        QCOMPARE(import.Count().refused, 1);
        QCOMPARE(import.EntriesToWrite(true).size(), size_t(1));
        // Read again under another layout, the row stays refused.
        import.SetLayout(GuessColumnsAt(import.Records(), 0));
        QCOMPARE(int(import.Row(1).kind), int(BillRow::Kind::Refused));
    }

    void duplicatesLeftOutUnlessKept()
    {
        TestInstallation install;
        CMoneyBook book;
        book.ShowPage(1, QStringLiteral("Date"));
        book.Add(LedgerDateTime(QDate(2023, 5, 1), QTime(8, 0)), QStringLiteral("餐饮"), -5, QStringLiteral("爸爸"), {});
        auto db = OpenLedgerDatabase(install.DataFile(QStringLiteral("Kinward.db")));

        CMoneyImport import(kItems, kMembers);
        QVERIFY(import.Load(Bill({"日期,收支项目,金额,成员", "2023-05-01 08:00:00,早饭,-5,爸爸",
                                  "2023-05-01 08:00:00,餐饮,-5,妈妈", "2023-05-02,餐饮,-5,爸爸"})));
        import.MatchExisting(*db);
        // The first row's item is a stranger mapped to 交通: no match until it is mapped to 餐饮.
        import.MapItem(0, QStringLiteral("交通"));
        import.MatchExisting(*db);
        QVERIFY(!import.IsDuplicate(0));
        QVERIFY(import.IsDuplicate(1));  // another member, the same record
        // Both rows alike now, and the ledger holds one such record: it matches the first row only,
        // and the second (a second lunch in the same second) is written.
        import.MapItem(0, QStringLiteral("餐饮"));
        import.MatchExisting(*db);
        QVERIFY(import.IsDuplicate(0));
        QVERIFY(!import.IsDuplicate(1));
        QCOMPARE(import.Count().duplicates, 1);
        QCOMPARE(import.EntriesToWrite(false).size(), size_t(2));
        QCOMPARE(import.EntriesToWrite(true).size(), size_t(3));
    }

    void aRowOfTheDayAloneIsNotTheRecordAnotherRowGivesWithItsTime()
    {
        // The ledger holds the lunch of 12:30; the sheet gives it with its time and a second lunch of the
        // day without one. The second was skipped as the first again: it is a real expense, written.
        TestInstallation install;
        CMoneyBook book;
        book.ShowPage(1, QStringLiteral("Date"));
        book.Add(LedgerDateTime(QDate(2023, 5, 1), QTime(12, 30)), QStringLiteral("餐饮"), -25, QStringLiteral("爸爸"), {});
        auto db = OpenLedgerDatabase(install.DataFile(QStringLiteral("Kinward.db")));

        CMoneyImport import(kItems, kMembers);
        QVERIFY(import.Load(Bill({"日期,收支项目,金额,成员", "2023-05-01 12:30:00,餐饮,-25,爸爸", "2023-05-01,餐饮,-25,爸爸"})));
        import.MatchExisting(*db);
        QVERIFY(import.IsDuplicate(0));
        QVERIFY(!import.IsDuplicate(1));
        QCOMPARE(import.EntriesToWrite(false).size(), size_t(1));
        QCOMPARE(import.EntriesToWrite(false).front().date, LedgerDateTime(QDate(2023, 5, 1)));
    }

    void notesNotReadOrCutAreToldPerRow()
    {
        // A bill with a byte-order mark whose later bytes are GBK (a file saved twice by different
        // programs): the rows read, and the note of the GBK row is told to hold characters not read.
        QByteArray bytes = QByteArray("\xEF\xBB\xBF") + QStringLiteral("日期,收支项目,金额,成员,备注\n2023-05-01,餐饮,-5,爸爸,面馆\n").toUtf8();
        bytes += QByteArray("2023-05-02,") + QStringLiteral("餐饮,-6,爸爸,").toUtf8() + QByteArray("\xC3\xE6\xB9\xDD\n");  // 面馆 in GBK
        bytes += QStringLiteral("2023-05-03,餐饮,-7,爸爸,").toUtf8() + QString(100, QLatin1Char('x')).toUtf8() + '\n';
        bytes += QStringLiteral("2023-05-04,餐饮,-8,爸爸,").toUtf8() + QString(90, QLatin1Char('y')).toUtf8() + '\n';
        CMoneyImport import(kItems, kMembers);
        QVERIFY(import.Load(bytes));
        QCOMPARE(import.Encoding(), QStringLiteral("UTF-8 BOM"));
        QCOMPARE(import.RowCount(), 4);
        QCOMPARE(import.NoteWarning(0), QString());
        QVERIFY(import.EntryOf(1).explain.contains(QChar::ReplacementCharacter));
        QCOMPARE(import.NoteWarning(1), QStringLiteral("备注含无法识别的字符"));
        // A note longer than the book keeps is cut, and told so; one that just fits is not.
        QCOMPARE(import.EntryOf(2).explain, QString(90, QLatin1Char('x')));
        QCOMPARE(import.NoteWarning(2), QStringLiteral("备注过长，已截断为 90 字节"));
        QCOMPARE(import.NoteWarning(3), QString());
        QCOMPARE(import.NotesTold(false), qsizetype(2));
        QCOMPARE(int(import.Row(1).kind), int(BillRow::Kind::Record));  // told, still written

        // Both at once; and characters not read in the part cut away are not written, so not told.
        CMoneyImport both(kItems, kMembers);
        QByteArray twice = QByteArray("\xEF\xBB\xBF") + QStringLiteral("日期,收支项目,金额,成员,备注\n2023-05-01,餐饮,-5,爸爸,").toUtf8();
        QVERIFY(both.Load(twice + "\xC3\xE6" + QByteArray(100, 'z') + "\n2023-05-02,\xE9\xA4\x90\xE9\xA5\xAE,-6,\xE7\x88\xB8\xE7\x88\xB8,"
                          + QByteArray(100, 'z') + "\xC3\xE6\n"));
        QCOMPARE(both.NoteWarning(0), QStringLiteral("备注含无法识别的字符；备注过长，已截断为 90 字节"));
        QCOMPARE(both.NoteWarning(1), QStringLiteral("备注过长，已截断为 90 字节"));
    }

    void manyRecordsWrittenAllOrNone()
    {
        TestInstallation install;
        const QString file = install.DataFile(QStringLiteral("Kinward.db"));
        CMoneyBook book;
        book.ShowPage(1, QStringLiteral("Date"));
        book.Add(LedgerDateTime(QDate(2019, 1, 1)), QStringLiteral("工资"), 1000, QStringLiteral("爸爸"), {});
        book.ComputeTotal();

        // Cancelled half-way: nothing written, the list and the total as they were.
        const std::vector<MoneyEntry> entries = Entries(1200);
        qsizetype asked = 0;
        QVERIFY(!book.AddMany(entries, [&](qsizetype done) {
            asked = done;
            return done < 1000;
        }));
        QCOMPARE(asked, 1000);
        QCOMPARE(Count(file, "SELECT COUNT(*) FROM Money"), 1);
        QCOMPARE(book.GetTotalCents(), 100000);
        QCOMPARE(book.GetItemCount(), 1);

        // A value the ledger refuses: nothing written either.
        std::vector<MoneyEntry> refused = entries;
        refused[700].amount = 1e20;
        QVERIFY_THROWS_EXCEPTION(DbError, book.AddMany(refused));
        QCOMPARE(Count(file, "SELECT COUNT(*) FROM Money"), 1);

        // Written: the book lists them in date order across its pages, the kept total follows.
        QVERIFY(book.AddMany(entries, [](qsizetype) { return true; }));
        QCOMPARE(Count(file, "SELECT COUNT(*) FROM Money"), 1201);
        qint64 cents = 100000;
        for (const MoneyEntry &entry : entries)
            cents += ToCents(entry.amount);
        QCOMPARE(book.GetTotalCents(), cents);
        QCOMPARE(Count(file, "SELECT SUM(Cents) FROM MoneyMonthItems"), cents);
        QCOMPARE(book.GetPageCount(), 13);
        QCOMPARE(book.GetItemText(0, 0), QStringLiteral("2019-01-01"));
        book.ShowPage(13, QStringLiteral("Date"));
        QCOMPARE(book.GetItemCount(), 1);
        // Later single writes take their place after the bulk ones.
        book.Add(LedgerDateTime(QDate(2030, 1, 1)), QStringLiteral("奖金"), 1, QStringLiteral("妈妈"), {});
        QCOMPARE(book.GetItemCount(), 2);
        QCOMPARE(book.GetItemText(1, 1), QStringLiteral("奖金"));
    }
};

QTEST_GUILESS_MAIN(TestMoneyImport)
#include "tst_moneyimport.moc"
