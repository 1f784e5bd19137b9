// Reading bills and spreadsheets: the header found below a bill's title block, the columns guessed
// for each known layout, and what each row becomes, skipped and refused rows with their reasons.
#include "common/LedgerDate.h"
#include "db/Ledger.h"
#include "transfer/BillImport.h"
#include "transfer/Csv.h"

#include "db/CMoneyBook.h"
#include "db/SqlConnection.h"

#include "FileBytes.h"
#include "TestInstallation.h"

#include <QTest>

// A fresh ledger holding one expense of 12.50 of 商户消费 at 2023-05-02 12:30:01, and its connection.
struct OneRecordLedger
{
    TestInstallation install;
    std::shared_ptr<SqlConnection> db;
    OneRecordLedger()
    {
        CMoneyBook book;
        book.ShowPage(1, QStringLiteral("Date"));
        book.Add(LedgerDateTime(QDate(2023, 5, 2), QTime(12, 30, 1)), QStringLiteral("商户消费"), -12.5, "Li", QString());
        book.Close();
        db = OpenLedgerDatabase(install.DataFile(QStringLiteral("Kinward.db")));
    }
};

class TestBillImport : public QObject
{
    Q_OBJECT
private slots:
    void weChatBill()
    {
        QString text = QStringLiteral("微信支付账单明细,,,,,,,,,,\n微信昵称：[小明],,,,,,,,,,\n起始时间：[2023-05-01 00:00:00] "
                                      "终止时间：[2023-05-31 23:59:59],,,,,,,,,,\n共4笔记录,,,,,,,,,,\n");
        text += QStringLiteral("----------------------微信支付账单明细列表--------------------,,,,,,,,,,\n");
        text += QStringLiteral("交易时间,交易类型,交易对方,商品,收/支,金额(元),支付方式,当前状态,交易单号,商户单号,备注\n");
        text += QStringLiteral("2023-05-02 12:30:01,商户消费,楼下面馆,牛肉面,支出,¥12.50,零钱,支付成功,1001,2001,/\n");
        text += QStringLiteral("2023-05-03 09:00:00,转账,老王,\"转账, 还款\",收入,\"¥1,200.00\",/,已收钱,1002,,/\n");
        text += QStringLiteral("2023-05-04 10:00:00,零钱提现,招商银行,/,/,¥100.00,零钱,提现已到账,1003,,/\n");
        text += QStringLiteral("2023-05-05 10:00:00,商户消费,网店,耳机,支出,¥99.00,零钱,已全额退款,1004,,/\n");
        QByteArray bytes;
        QVERIFY(WriteCsv(ParseCsv(text), CsvEncoding::Utf8WithBom, &bytes));
        const QList<QStringList> records = ParseCsv(DecodeCsvBytes(bytes).text);
        const BillLayout layout = GuessBillLayout(records);
        QCOMPARE(layout.preset, BillPreset::WeChat);
        QCOMPARE(layout.headerRow, 5);
        const BillRow noodles = ReadBillRow(records.at(6), layout);
        QCOMPARE(int(noodles.kind), int(BillRow::Kind::Record));
        QCOMPARE(noodles.amount, -12.5);
        QCOMPARE(noodles.date, LedgerDateTime(QDate(2023, 5, 2), QTime(12, 30, 1)));
        QCOMPARE(noodles.item, QStringLiteral("商户消费"));
        QCOMPARE(noodles.note, QStringLiteral("楼下面馆 牛肉面"));  // counterpart and goods
        const BillRow repaid = ReadBillRow(records.at(7), layout);
        QCOMPARE(repaid.amount, 1200.0);
        QCOMPARE(repaid.note, QStringLiteral("老王 转账, 还款"));
        const BillRow neutral = ReadBillRow(records.at(8), layout);
        QCOMPARE(int(neutral.kind), int(BillRow::Kind::Skipped));
        QCOMPARE(neutral.reason, QStringLiteral("本人账户间转账"));  // the wallet's change to one's own card
        const BillRow refunded = ReadBillRow(records.at(9), layout);
        QCOMPARE(int(refunded.kind), int(BillRow::Kind::Skipped));
        QCOMPARE(refunded.reason, QStringLiteral("已全额退款"));
        // Refunded in part: what was not given back was spent.
        const BillRow part = ReadBillRow({"2023-05-06 10:00:00", "商户消费", "外卖", "饭", "支出", "¥35.20", "零钱",
                                          "已退款(¥5.00)", "1005", "", "/"}, layout);
        QCOMPARE(int(part.kind), int(BillRow::Kind::Record));
        QCOMPARE(part.amount, -30.2);
        // All of it given back that way: skipped like a whole refund.
        const BillRow allBack = ReadBillRow({"2023-05-06 10:00:00", "商户消费", "外卖", "饭", "支出", "¥5", "零钱", "已退款（￥5.00）", "1006", "", "/"},
                                            layout);
        QCOMPARE(int(allBack.kind), int(BillRow::Kind::Skipped));
        QCOMPARE(allBack.reason, QStringLiteral("已退款（￥5.00）"));
    }

    void alipayBillInGbkBelowItsHeaderLines()
    {
        QString text;
        for (int i = 0; i < 24; ++i)
            text += QStringLiteral("说明第%1行\n").arg(i);
        text += QStringLiteral("交易时间,交易分类,交易对方,对方账号,商品说明,收/支,金额,收/付款方式,交易状态,交易订单号,商家订单号,备注\n");
        text += QStringLiteral("2023/5/6 8:05,餐饮美食,早餐店,,豆浆,支出,6.50,余额宝,交易成功,3001,,\n");
        text += QStringLiteral("2023/5/7 8:05,转账红包,老李,,红包,不计收支,50.00,余额,交易成功,3002,,\n");
        text += QStringLiteral("2023/5/8 8:05,日用百货,超市,,纸巾,支出,20.00,余额,交易关闭,3003,,\n");
        const CsvText decoded = DecodeCsvBytes(Gbk(text));
        QCOMPARE(decoded.encoding, QStringLiteral("GBK"));
        const QList<QStringList> records = ParseCsv(decoded.text);
        const BillLayout layout = GuessBillLayout(records);
        QCOMPARE(layout.preset, BillPreset::Alipay);
        QCOMPARE(layout.headerRow, 24);
        const BillRow breakfast = ReadBillRow(records.at(25), layout);
        QCOMPARE(breakfast.amount, -6.5);
        QCOMPARE(breakfast.item, QStringLiteral("餐饮美食"));
        QCOMPARE(breakfast.date, LedgerDateTime(QDate(2023, 5, 6), QTime(8, 5)));
        QCOMPARE(int(ReadBillRow(records.at(26), layout).kind), int(BillRow::Kind::Skipped));
        QCOMPARE(ReadBillRow(records.at(27), layout).reason, QStringLiteral("交易关闭"));
    }

    void thisProgramsOwnExport()
    {
        const QList<QStringList> records{{"日期", "收支项目", "收入", "支出", "家庭成员", "备注"},
                                         {"2003-05-01", "工资", "3000", "", "Li", "五月"},
                                         {"2003-05-02", "餐饮", "", "-12.5", "Wang", ""}};
        const BillLayout layout = GuessBillLayout(records);
        QCOMPARE(layout.preset, BillPreset::Zarvel);
        const BillRow pay = ReadBillRow(records.at(1), layout);
        QCOMPARE(pay.amount, 3000.0);
        QCOMPARE(pay.member, QStringLiteral("Li"));
        QCOMPARE(pay.note, QStringLiteral("五月"));
        QCOMPARE(ReadBillRow(records.at(2), layout).amount, -12.5);
        // A sheet that keeps its expenses unsigned in the expense column still spends them.
        QCOMPARE(ReadBillRow({"2003-05-03", "餐饮", "", "8", "Li", ""}, layout).amount, -8.0);
        // Amounts the ledger cannot hold, blank and dashed lines.
        QCOMPARE(ReadBillRow({"2003-05-03", "餐饮", "", "0.004", "Li", ""}, layout).reason, QStringLiteral("金额为零"));
        QCOMPARE(ReadBillRow({"2003-05-03", "餐饮", "1e300", "", "Li", ""}, layout).reason, QStringLiteral("金额超出范围"));
        QCOMPARE(ReadBillRow({"2003-05-03", "餐饮", "", "1.006", "Li", ""}, layout).amount, -1.01);
        QCOMPARE(ReadBillRow({"------------", ""}, layout).reason, QStringLiteral("空行"));
        QCOMPARE(ReadBillRow({""}, layout).reason, QStringLiteral("空行"));
        // A header the guess missed can be named by hand.
        QCOMPARE(GuessColumnsAt({{"x"}, {"日期", "收支项目", "收入", "支出"}}, 1).columns.expense, 3);
        QCOMPARE(GuessColumnsAt({{"when", "what"}}, 0).columns.date, -1);
    }

    void recordsTheLedgerHoldsAlready()
    {
        OneRecordLedger ledger;
        SqlConnection *db = ledger.db.get();
        const MoneyEntry same{LedgerDateTime(QDate(2023, 5, 2), QTime(12, 30, 1)), QStringLiteral("商户消费"), -12.5, "Li", {}};
        MoneyEntry otherAmount = same;
        otherAmount.amount = -12.51;
        MoneyEntry otherTime = same;
        otherTime.date = same.date.addSecs(1);
        MoneyEntry otherItem = same;
        otherItem.item = QStringLiteral("餐饮");
        QCOMPARE(MatchExistingRecords(*db, {same, otherAmount, otherTime, otherItem}),
                 std::vector<bool>({true, false, false, false}));
    }

    void incomeAndExpenseColumnsOfASheet()
    {
        const BillLayout layout = GuessBillLayout({{"日期", "收支项目", "收入", "支出", "家庭成员", "备注"}});
        QCOMPARE(layout.preset, BillPreset::Zarvel);
        // A sheet that fills the column it does not use with a zero.
        QCOMPARE(ReadBillRow({"2003-05-03", "餐饮", "0", "12.5", "Li", ""}, layout).amount, -12.5);
        QCOMPARE(ReadBillRow({"2003-05-03", "餐饮", "0.00", "-12.5", "Li", ""}, layout).amount, -12.5);
        QCOMPARE(ReadBillRow({"2003-05-03", "工资", "300", "0", "Li", ""}, layout).amount, 300.0);
        QCOMPARE(ReadBillRow({"2003-05-03", "工资", "300", "", "Li", ""}, layout).amount, 300.0);
        // Both columns holding an amount: which one the row means is not known, it is not guessed.
        const BillRow both = ReadBillRow({"2003-05-03", "餐饮", "100", "30", "Li", ""}, layout);
        QCOMPARE(int(both.kind), int(BillRow::Kind::Refused));
        QVERIFY(both.reason.contains(QStringLiteral("收入和支出")));
        QCOMPARE(ReadBillRow({"2003-05-03", "餐饮", "0", "0", "Li", ""}, layout).reason, QStringLiteral("金额为零"));
        QVERIFY(ReadBillRow({"2003-05-03", "餐饮", "", "", "Li", ""}, layout).reason.startsWith(QStringLiteral("金额无法识别")));
        QVERIFY(ReadBillRow({"2003-05-03", "餐饮", "0", "五元", "Li", ""}, layout).reason.startsWith(QStringLiteral("金额无法识别")));
        // This program's own note is taken as it is, a lone slash too (a bill's placeholder elsewhere).
        QCOMPARE(ReadBillRow({"2003-05-03", "餐饮", "", "-1", "Li", "/"}, layout).note, QStringLiteral("/"));
    }

    void aDayWithoutItsTimeMatchesAnyTimeOfThatDay()
    {
        // This program's export gives the day alone: a record it lists at 12:30 comes back at midnight.
        const BillLayout layout = GuessBillLayout({{"日期", "收支项目", "收入", "支出", "家庭成员", "备注"}});
        const BillRow listed = ReadBillRow({"2023-05-02", "商户消费", "", "-12.5", "Li", ""}, layout);
        QVERIFY(listed.dayOnly);
        QVERIFY(!ReadBillRow({"2023-05-02 00:00:00", "商户消费", "", "-12.5", "Li", ""}, layout).dayOnly);
        QVERIFY(!ReadBillRow({"2023/5/2 0:00", "商户消费", "", "-12.5", "Li", ""}, layout).dayOnly);

        OneRecordLedger ledger;
        SqlConnection *db = ledger.db.get();
        const MoneyEntry day{listed.date, QStringLiteral("商户消费"), -12.5, "Li", {}};
        MoneyEntry nextDay = day;
        nextDay.date = day.date.addDays(1);
        MoneyEntry dayBefore = day;
        dayBefore.date = day.date.addSecs(-1);
        MoneyEntry otherAmount = day;
        otherAmount.amount = -12.51;
        QCOMPARE(MatchExistingRecords(*db, {day, nextDay, dayBefore, otherAmount, day}, {true, true, true, true, false}),
                 std::vector<bool>({true, false, false, false, false}));
    }

    void eachRecordOfADayMatchesOneRowAtMost()
    {
        // Two lunches alike on a day of the file, one of them in the ledger: the other is new.
        TestInstallation install;
        CMoneyBook book;
        book.ShowPage(1, QStringLiteral("Date"));
        book.Add(LedgerDateTime(QDate(2023, 5, 2), QTime(12, 30)), QStringLiteral("餐饮"), -12.5, "Li", QString());
        book.Add(LedgerDateTime(QDate(2023, 5, 3), QTime(12, 30)), QStringLiteral("餐饮"), -12.5, "Li", QString());
        book.Add(LedgerDateTime(QDate(2023, 5, 3), QTime(18, 0)), QStringLiteral("餐饮"), -12.5, "Li", QString());
        book.Close();
        auto db = OpenLedgerDatabase(install.DataFile(QStringLiteral("Kinward.db")));
        const MoneyEntry second{LedgerDateTime(QDate(2023, 5, 2)), QStringLiteral("餐饮"), -12.5, "Li", {}};
        MoneyEntry third = second;
        third.date = LedgerDateTime(QDate(2023, 5, 3));
        QCOMPARE(MatchExistingRecords(*db, {second, second, third, third, third}, {true, true, true, true, true}),
                 std::vector<bool>({true, false, true, true, false}));
    }

    void aRecordFoundByItsTimeIsNotFoundAgainByARowOfItsDay()
    {
        // The ledger holds one lunch at 12:30:01. A file giving it at that time and another lunch of the
        // day alone: the second is a further expense, not the record again, in either order of the rows.
        OneRecordLedger ledger;
        SqlConnection *db = ledger.db.get();
        const MoneyEntry atTime{LedgerDateTime(QDate(2023, 5, 2), QTime(12, 30, 1)), QStringLiteral("商户消费"), -12.5, "Li", {}};
        MoneyEntry ofDay = atTime;
        ofDay.date = LedgerDateTime(QDate(2023, 5, 2));
        QCOMPARE(MatchExistingRecords(*db, {atTime, ofDay}, {false, true}), std::vector<bool>({true, false}));
        QCOMPARE(MatchExistingRecords(*db, {ofDay, atTime}, {true, false}), std::vector<bool>({false, true}));
        // A row of the day alone still finds the record when no row names its time.
        MoneyEntry otherTime = atTime;
        otherTime.date = atTime.date.addSecs(3600);
        QCOMPARE(MatchExistingRecords(*db, {otherTime, ofDay}, {false, true}), std::vector<bool>({false, true}));
    }

    void recordsOfADaySharedOutAmongRowsOfBothForms()
    {
        // Three lunches held on the day (12:30 twice, 18:00); the file gives 12:30 three times and the day
        // alone twice: two rows match at 12:30, the third is new; of the day's rows one takes the
        // 18:00 record left, the other is new.
        TestInstallation install;
        CMoneyBook book;
        book.ShowPage(1, QStringLiteral("Date"));
        for (const QTime time : {QTime(12, 30), QTime(12, 30), QTime(18, 0)})
            book.Add(LedgerDateTime(QDate(2023, 5, 3), time), QStringLiteral("餐饮"), -12.5, "Li", QString());
        book.Close();
        auto db = OpenLedgerDatabase(install.DataFile(QStringLiteral("Kinward.db")));
        const MoneyEntry noon{LedgerDateTime(QDate(2023, 5, 3), QTime(12, 30)), QStringLiteral("餐饮"), -12.5, "Li", {}};
        MoneyEntry day = noon;
        day.date = LedgerDateTime(QDate(2023, 5, 3));
        QCOMPARE(MatchExistingRecords(*db, {day, noon, day, noon, noon}, {true, false, true, false, false}),
                 std::vector<bool>({true, true, false, true, false}));
    }

    void directionsOfBillsAndSheets()
    {
        const BillLayout bill = GuessBillLayout({{"交易时间", "交易分类", "交易对方", "商品说明", "收/支", "金额", "交易状态"}});
        QCOMPARE(bill.preset, BillPreset::Alipay);
        const auto billRow = [&](const char *direction) {
            return ReadBillRow({"2023-05-01 08:00", "餐饮", "店", "饭", direction, "5", "交易成功"}, bill);
        };
        QCOMPARE(billRow("").reason, QStringLiteral("不计收支"));  // an older bill's neutral transfer
        QCOMPARE(billRow("支").amount, -5.0);
        QCOMPARE(billRow("收入").amount, 5.0);
        QCOMPARE(billRow("退回").reason, QStringLiteral("收/支无法识别：退回"));

        // A sheet's own signs stand where it names no direction.
        const BillLayout sheet = GuessBillLayout({{"日期", "项目", "收/支", "金额", "商品名称"}});
        QCOMPARE(sheet.preset, BillPreset::Plain);  // goods alone do not make an Alipay bill
        QCOMPARE(ReadBillRow({"2023-05-01", "餐饮", "", "-5", ""}, sheet).amount, -5.0);
        QCOMPARE(ReadBillRow({"2023-05-01", "餐饮", "支", "5", ""}, sheet).amount, -5.0);
        QCOMPARE(ReadBillRow({"1899-12-30", "餐饮", "", "-5", ""}, sheet).reason, QStringLiteral("日期超出范围：1899-12-30"));
    }

    void bankStatementsDatesInTheirOwnOrder()
    {
        // A card statement: "12/29", the year only in its period, which runs into the next year.
        const QList<QStringList> card{{"信用卡对账单"}, {"账单周期：2025/12/20-2026/01/19"}, {"交易日", "记账日", "交易摘要", "金额"},
                                      {"12/29", "12/30", "超市", "45.80"}, {"01/05", "01/06", "加油", "300"},
                                      {"01/10", "01/10", "还款", "-2,000.00"}};
        const BillLayout cardLayout = GuessBillLayout(card);
        QCOMPARE(cardLayout.headerRow, 2);
        QCOMPARE(cardLayout.dates.periodStart, QDate(2025, 12, 20));
        QCOMPARE(ReadBillRow(card.at(3), cardLayout).date, LedgerDateTime(QDate(2025, 12, 29)));
        QCOMPARE(ReadBillRow(card.at(4), cardLayout).date, LedgerDateTime(QDate(2026, 1, 5)));
        // Spending stands positive on a card's statement, a repayment negative.
        QVERIFY(cardLayout.spendingPositive);
        QCOMPARE(ReadBillRow(card.at(4), cardLayout).amount, -300.0);
        QCOMPARE(ReadBillRow(card.at(5), cardLayout).reason, QStringLiteral("本人账户间转账（信用卡还款）"));  // the card repaid
        // Only a year named: the days fall in it.
        const QList<QStringList> yearly{{"2025年交易明细"}, {"日期", "摘要", "金额"}, {"3/8", "工资", "5000"}};
        QCOMPARE(ReadBillRow(yearly.at(2), GuessBillLayout(yearly)).date, LedgerDateTime(QDate(2025, 3, 8)));
        // No year anywhere: the row says so rather than guessing one.
        const QList<QStringList> yearless{{"日期", "摘要", "金额"}, {"3/8", "工资", "5000"}};
        QCOMPARE(ReadBillRow(yearless.at(1), GuessBillLayout(yearless)).reason, QStringLiteral("日期无法识别：3/8"));

        // A Hong Kong card's day first, found from a day past 12; a month first from a day past 12 in
        // second place; with times and two-digit years.
        const QList<QStringList> dayFirst{{"日期", "摘要", "金额"}, {"02/01/2026", "超市", "-10"}, {"13/01/2026 18:30", "餐厅", "-20"}};
        const BillLayout hongKong = GuessBillLayout(dayFirst);
        QCOMPARE(hongKong.dates.order, DateOrder::DayFirst);
        QCOMPARE(ReadBillRow(dayFirst.at(1), hongKong).date, LedgerDateTime(QDate(2026, 1, 2)));
        QCOMPARE(ReadBillRow(dayFirst.at(2), hongKong).date, LedgerDateTime(QDate(2026, 1, 13), QTime(18, 30)));
        const QList<QStringList> monthFirst{{"日期", "摘要", "金额"}, {"02/01/26", "超市", "-10"}, {"01/13/26", "餐厅", "-20"}};
        const BillLayout american = GuessBillLayout(monthFirst);
        QCOMPARE(american.dates.order, DateOrder::MonthFirst);
        QCOMPARE(ReadBillRow(monthFirst.at(1), american).date, LedgerDateTime(QDate(2026, 2, 1)));
        // The year first stays as it was, with the compact form of a bank's export.
        QCOMPARE(ReadBillDate(QStringLiteral("20260213"), nullptr, hongKong.dates), LedgerDateTime(QDate(2026, 2, 13)));
        QCOMPARE(ReadBillDate(QStringLiteral("2026/2/13 8:05"), nullptr, hongKong.dates), LedgerDateTime(QDate(2026, 2, 13), QTime(8, 5)));
        QVERIFY(!ReadBillDate(QStringLiteral("13/13/2026"), nullptr, hongKong.dates).isValid());
    }

    void rowsThatCannotBeRead()
    {
        const QList<QStringList> records{{"日期", "项目", "金额"}, {"明天", "餐饮", "5"}, {"2003-05-01", "餐饮", "五元"},
                                         {"2003-05-01"}, {"2003-02-30", "餐饮", "5"}};
        const BillLayout layout = GuessBillLayout(records);
        QCOMPARE(layout.preset, BillPreset::Plain);
        QVERIFY(ReadBillRow(records.at(1), layout).reason.startsWith(QStringLiteral("日期无法识别")));
        QVERIFY(ReadBillRow(records.at(2), layout).reason.startsWith(QStringLiteral("金额无法识别")));
        QVERIFY(ReadBillRow(records.at(3), layout).reason.startsWith(QStringLiteral("列数不足")));
        QCOMPARE(int(ReadBillRow(records.at(4), layout).kind), int(BillRow::Kind::Refused));
        QCOMPARE(GuessBillLayout({{"a", "b"}, {"c", "d"}}).headerRow, -1);

        double amount = 0;
        QVERIFY(ReadBillAmount(QStringLiteral("￥１２.５０"), &amount));
        QCOMPARE(amount, 12.5);
        QVERIFY(ReadBillAmount(QStringLiteral("12.50元"), &amount));
        QVERIFY(!ReadBillAmount(QStringLiteral("1.2.3"), &amount));
        QVERIFY(!ReadBillAmount(QString(), &amount));
        QCOMPARE(ReadBillDate(QStringLiteral("2023年5月1日")), LedgerDateTime(QDate(2023, 5, 1)));
    }

    void amountsAsStatementsWriteThem()
    {
        // A bank's statement marks the side a row does not use with a dash.
        const QList<QStringList> bank{{"交易日期", "摘要", "支出", "存入", "余额"},
                                      {"2026-03-01", "超市", "45.80", "-", "954.20"},
                                      {"2026-03-02", "工资", "—", "8,000.00", "8954.20"},
                                      {"2026-03-03", "转账", "－", "--", "8954.20"}};
        const BillLayout layout = GuessBillLayout(bank);
        QCOMPARE(layout.columns.expense, 2);
        QCOMPARE(layout.columns.income, 3);
        QCOMPARE(ReadBillRow(bank.at(1), layout).amount, -45.8);
        QCOMPARE(ReadBillRow(bank.at(2), layout).amount, 8000.0);
        QCOMPARE(int(ReadBillRow(bank.at(3), layout).kind), int(BillRow::Kind::Refused));

        // A decimal comma (an account abroad) is not taken for a thousands one: never a hundred times off.
        double amount = 0;
        QVERIFY(ReadBillAmount(QStringLiteral("1.234,56"), &amount));
        QCOMPARE(amount, 1234.56);
        QVERIFY(ReadBillAmount(QStringLiteral("-12,50"), &amount));
        QCOMPARE(amount, -12.5);
        QVERIFY(ReadBillAmount(QStringLiteral("EUR 3,5"), &amount));
        QCOMPARE(amount, 3.5);
        QVERIFY(ReadBillAmount(QStringLiteral("1,234"), &amount));
        QCOMPARE(amount, 1234.0);
        QVERIFY(ReadBillAmount(QStringLiteral("1,234,567.8"), &amount));
        QCOMPARE(amount, 1234567.8);
        QVERIFY(!ReadBillAmount(QStringLiteral("-"), &amount));

        // A card statement's mark written against the figures.
        int marked = 0;
        QVERIFY(ReadBillAmount(QStringLiteral("1,234.56CR"), &amount, &marked));
        QCOMPARE(amount, 1234.56);
        QCOMPARE(marked, 1);
        QVERIFY(ReadBillAmount(QStringLiteral("88.00DR"), &amount, &marked));
        QCOMPARE(amount, -88.0);
        QCOMPARE(marked, -1);
        QVERIFY(!ReadBillAmount(QStringLiteral("SCR"), &amount));
    }
};

QTEST_GUILESS_MAIN(TestBillImport)
#include "tst_billimport.moc"
