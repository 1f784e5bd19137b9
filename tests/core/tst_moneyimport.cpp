// A bill on its way into the book: strangers mapped to the ledger's items and members, duplicates
// found and left out, and the records written all at once or not at all.
#include "common/Gbk.h"
#include "common/LedgerDate.h"
#include "db/CMoneyBook.h"
#include "db/DbError.h"
#include "db/KeptFigures.h"
#include "db/Ledger.h"
#include "db/SqlConnection.h"
#include "lists/ReferenceLists.h"
#include "transfer/Csv.h"
#include "transfer/ImportMappings.h"
#include "transfer/ImportPreview.h"
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

QByteArray GbkBill(const QStringList &lines)
{
    QByteArray bytes;
    EncodeGbk(lines.join(QStringLiteral("\r\n")), &bytes);
    return bytes;
}

// Each row as a person reading the bill would put it down: what it becomes, its amount, and why.
QString Outcome(const CMoneyImport &plan, qsizetype row)
{
    const BillRow &read = plan.Row(row);
    const char *kind = read.kind == BillRow::Kind::Record ? "记录" : read.kind == BillRow::Kind::Skipped ? "跳过" : "拒绝";
    return QStringLiteral("%1 %2 %3 %4").arg(QString::fromUtf8(kind), read.item).arg(read.amount, 0, 'f', 2).arg(read.reason);
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

    void alipayBillsAsTheyAreExported()
    {
        // The app's GBK bill: its title block, padded cells, order numbers ended by a tab, a trailing
        // comma, the newest first (a refund before its purchase), and its closing lines.
        CMoneyImport app(kItems, kMembers);
        QVERIFY(app.Load(GbkBill({
            "------------------------------------------------------------------------------------",
            "导出信息：", "起始时间：[2026-03-01 00:00:00]    终止时间：[2026-03-31 23:59:59]",
            "----------------------支付宝（中国）网络技术有限公司  电子客户回单----------------------",
            "交易时间,交易分类,交易对方,对方账号,商品说明,收/支,金额,收/付款方式,交易状态,交易订单号,商家订单号,备注,",
            "2026-03-20 10:00:00,退款,网店,shop***@x.com,退款-耳机,不计收支,99.00,花呗,退款成功,20260310220011\t_8801,T1001\t,,",
            "2026-03-15 08:00:00,投资理财,天弘基金,/,余额宝-单次转入,不计收支,500.00,招商银行,交易成功,20260315220012\t,,,",
            "2026-03-12 12:00:00,餐饮美食,  面馆  ,/,牛肉面,支出,  25.00  ,花呗,交易成功,20260312220013\t,,,",
            "2026-03-10 09:00:00,数码电器,网店,shop***@x.com,耳机,支出,199.00,花呗,交易成功,20260310220011\t,T1001\t,,",
            "2026-03-05 09:00:00,信用卡还款,招商银行,/,信用卡还款,不计收支,3000.00,余额,交易成功,20260305220014\t,,,",
            "------------------------------------------------------------------------------------",
            "共5笔记录"})));
        QCOMPARE(app.Encoding(), QStringLiteral("GBK"));
        QCOMPARE(app.Layout().preset, BillPreset::Alipay);
        QCOMPARE(app.RowCount(), 7);
        QCOMPARE(Outcome(app, 0), QStringLiteral("跳过 退款 99.00 退款，已从第 9 行的支出中扣除"));
        QCOMPARE(Outcome(app, 1), QStringLiteral("跳过 投资理财 0.00 本人账户间转账"));
        QCOMPARE(Outcome(app, 2), QStringLiteral("记录 餐饮美食 -25.00 "));
        QCOMPARE(app.Row(2).note, QStringLiteral("面馆 牛肉面"));
        QCOMPARE(Outcome(app, 3), QStringLiteral("记录 数码电器 -100.00 已扣除退款 99"));
        QCOMPARE(Outcome(app, 4), QStringLiteral("跳过 信用卡还款 0.00 本人账户间转账"));
        QCOMPARE(app.Row(6).reason, QStringLiteral("账单末尾的说明"));

        // The older web export: every cell padded, 收/支 empty for a move of funds, the refunded and
        // fee columns.
        CMoneyImport web(kItems, kMembers);
        QVERIFY(web.Load(GbkBill({
            "支付宝交易记录明细查询", "账号:[someone@example.com]",
            "起始日期:[2019-01-01 00:00:00]    终止日期:[2019-02-01 00:00:00]",
            "---------------------------------交易记录明细列表------------------------------------",
            "交易号                  ,商户订单号               ,交易创建时间              ,付款时间                ,最近修改时间              ,交易来源地     ,类型              ,交易对方            ,商品名称                ,金额（元）   ,收/支     ,交易状态    ,服务费（元）   ,成功退款（元）  ,备注                  ,资金状态     ,",
            "2019013122001\t,T200P1\t,2019-01-31 20:17:38 ,2019-01-31 20:17:39 ,2019-01-31 20:17:39 ,其他,即时到账交易          ,超市                 ,日用品                 ,100.00  ,支出      ,交易成功    ,0.00     ,30.00     ,                    ,已支出      ,",
            "2019013022001\t,T200P2\t,2019-01-30 10:00:00 ,2019-01-30 10:00:01 ,2019-01-30 10:00:01 ,其他,即时到账交易          ,书店                 ,书                 ,45.00  ,支出      ,交易关闭    ,0.00     ,45.00     ,                    ,已支出      ,",
            "2019012922001\t,\t,2019-01-29 08:00:00 ,2019-01-29 08:00:00 ,2019-01-29 08:00:00 ,其他,提现          ,我                 ,提现                 ,500.00  ,      ,交易成功    ,2.00     ,0.00     ,                    ,资金转移      ,",
            "2019012822001\t,\t,2019-01-28 18:00:00 ,2019-01-28 18:00:00 ,2019-01-28 18:00:00 ,其他,即时到账交易          ,公司                 ,报销                 ,300.00  ,收入      ,交易成功    ,0.00     ,0.00     ,                    ,已收入      ,",
            "------------------------------------------------------------------------------------",
            "共4笔记录", "已收入：1笔，300.00元", "待收入：0笔，0.00元", "已支出：2笔，145.00元"})));
        QCOMPARE(web.Layout().preset, BillPreset::Alipay);
        QCOMPARE(web.Layout().headerRow, 4);
        QCOMPARE(Outcome(web, 0), QStringLiteral("记录 即时到账交易 -70.00 已扣除退款 30"));
        QCOMPARE(web.Row(0).date, LedgerDateTime(QDate(2019, 1, 31), QTime(20, 17, 38)));
        QCOMPARE(Outcome(web, 1), QStringLiteral("跳过 即时到账交易 0.00 交易关闭"));
        QCOMPARE(Outcome(web, 2), QStringLiteral("记录 服务费 -2.00 本人账户间转账的服务费"));
        QCOMPARE(Outcome(web, 3), QStringLiteral("记录 即时到账交易 300.00 "));
        QCOMPARE(web.Count().refused, 0);
        QCOMPARE(web.Count().records, 3);
    }

    void weChatRefundsFeesAndOwnPurses()
    {
        // A refund tied to its purchase by the merchant's order, one whose purchase counts it already,
        // one whose purchase is in an earlier bill; a fee in the remarks of a withdrawal.
        CMoneyImport plan(kItems, kMembers);
        QVERIFY(plan.Load(Bill({"微信支付账单明细", "起始时间：[2026-03-01 00:00:00] 终止时间：[2026-03-31 23:59:59]",
                                "----------------------微信支付账单明细列表--------------------",
                                "交易时间,交易类型,交易对方,商品,收/支,金额(元),支付方式,当前状态,交易单号,商户单号,备注",
                                "2026-03-01 12:00:00,商户消费,商场,外套,支出,¥300.00,零钱,支付成功,4201,M1,/",
                                "2026-03-03 12:00:00,商户消费-退款,商场,外套,收入,¥120.00,零钱,已退款,5201,M1,/",
                                "2026-03-04 12:00:00,商户消费,外卖,饭,支出,¥35.20,零钱,已退款(¥5.00),4202,M2,/",
                                "2026-03-04 13:00:00,商户消费-退款,外卖,饭,收入,¥5.00,零钱,已退款,5202,M2,/",
                                "2026-03-06 12:00:00,商户消费-退款,网店,鞋,收入,¥60.00,零钱,已全额退款,5203,M9,/",
                                "2026-03-07 10:00:00,零钱提现,招商银行(1234),/,/,¥100.00,零钱,提现已到账,4203,/,服务费¥0.10",
                                "2026-03-08 10:00:00,信用卡还款,招商银行,/,支出,¥2000.00,零钱,支付成功,4204,/,/",
                                "2026-03-09 10:00:00,转账,房东,/,支出,¥3500.00,零钱,对方已收钱,4205,/,/"})));
        QCOMPARE(Outcome(plan, 0), QStringLiteral("记录 商户消费 -180.00 已扣除退款 120"));
        QCOMPARE(Outcome(plan, 1), QStringLiteral("跳过 商户消费-退款 120.00 退款，已从第 5 行的支出中扣除"));
        QCOMPARE(Outcome(plan, 2), QStringLiteral("记录 商户消费 -30.20 已扣除退款 5"));
        QCOMPARE(Outcome(plan, 3), QStringLiteral("跳过 商户消费-退款 5.00 退款，已在第 7 行的原交易中扣除"));
        QCOMPARE(Outcome(plan, 4), QStringLiteral("记录 商户消费-退款 60.00 退款，原交易不在本账单中，记为收入"));
        QCOMPARE(Outcome(plan, 5), QStringLiteral("记录 服务费 -0.10 本人账户间转账的服务费"));
        QCOMPARE(Outcome(plan, 6), QStringLiteral("跳过 信用卡还款 0.00 本人账户间转账"));
        QCOMPARE(Outcome(plan, 7), QStringLiteral("记录 转账 -3500.00 "));

        // Two refunds of one purchase, the second returning what is left: nothing is spent.
        CMoneyImport twice(kItems, kMembers);
        QVERIFY(twice.Load(Bill({"交易时间,交易类型,交易对方,商品,收/支,金额(元),支付方式,当前状态,交易单号,商户单号,备注",
                                 "2026-03-05 12:00:00,退款,店,/,收入,¥40.00,零钱,已退款,2,/,/",
                                 "2026-03-04 12:00:00,退款,店,/,收入,¥60.00,零钱,已退款,3,/,/",
                                 "2026-03-01 12:00:00,商户消费,店,/,支出,¥100.00,零钱,支付成功,1,/,/"})));
        QCOMPARE(Outcome(twice, 2), QStringLiteral("跳过 商户消费 0.00 已全额退款"));
        QCOMPARE(twice.Count().records, 0);
        QCOMPARE(twice.Count().skipped, 3);
    }

    void refundsNeverCountedTwiceNorLost()
    {
        const auto net = [](const CMoneyImport &plan) {
            double sum = 0;
            for (const MoneyEntry &entry : plan.EntriesToWrite(false))
                sum += entry.amount;
            return qRound64(sum * 100);
        };
        const QString header = QStringLiteral("交易时间,交易类型,交易对方,商品,收/支,金额(元),支付方式,当前状态,交易单号,商户单号,备注");
        // A purchase whose status says it was given back whole, and the refund's own row (its order
        // numbers the refund's): the money came and went, nothing is written.
        CMoneyImport whole(kItems, kMembers);
        QVERIFY(whole.Load(Bill({header, "2026-03-03 12:00:00,商户消费-退款,商场,外套,收入,¥300.00,零钱,已退款,5030001,R7001,/",
                                 "2026-03-01 12:00:00,商户消费,商场,外套,支出,¥300.00,零钱,已全额退款,4200001,M1,/"})));
        QCOMPARE(Outcome(whole, 0), QStringLiteral("跳过 商户消费-退款 300.00 退款，已在第 3 行的原交易中扣除"));
        QCOMPARE(whole.Count().records, 0);
        QCOMPARE(net(whole), 0);
        // Given back in part by status, the refund larger than what is left to pay.
        CMoneyImport part(kItems, kMembers);
        QVERIFY(part.Load(Bill({header, "2026-03-03 12:00:00,商户消费-退款,商场,外套,收入,¥80.00,零钱,已退款,5030002,R7002,/",
                                "2026-03-01 12:00:00,商户消费,商场,外套,支出,¥100.00,零钱,已退款(¥80.00),4200002,M2,/"})));
        QCOMPARE(Outcome(part, 1), QStringLiteral("记录 商户消费 -20.00 已扣除退款 80"));
        QCOMPARE(Outcome(part, 0), QStringLiteral("跳过 商户消费-退款 80.00 退款，已在第 3 行的原交易中扣除"));
        QCOMPARE(net(part), -2000);

        // A refund larger than its purchase (the difference paid back besides), and two refunds that
        // together give back more: the money over the purchase came in all the same.
        CMoneyImport over(kItems, kMembers);
        QVERIFY(over.Load(Bill({header, "2026-03-01 12:00:00,商户消费,店,/,支出,¥50.00,零钱,支付成功,4200003,M3,/",
                                "2026-03-02 12:00:00,商户消费-退款,店,/,收入,¥60.00,零钱,已退款,5030003,M3,/",
                                "2026-03-01 13:00:00,商户消费,店,/,支出,¥100.00,零钱,支付成功,4200004,M4,/",
                                "2026-03-02 13:00:00,商户消费-退款,店,/,收入,¥70.00,零钱,已退款,5030004,M4,/",
                                "2026-03-02 14:00:00,商户消费-退款,店,/,收入,¥70.00,零钱,已退款,5030005,M4,/"})));
        QCOMPARE(Outcome(over, 0), QStringLiteral("跳过 商户消费 0.00 已全额退款"));
        QCOMPARE(Outcome(over, 2), QStringLiteral("跳过 商户消费 0.00 已全额退款"));
        QCOMPARE(net(over), 1000 + 4000);
    }

    void bankStatementsDebitAndCreditColumns()
    {
        CMoneyImport bank(kItems, kMembers);
        QVERIFY(bank.Load(Bill({"个人账户交易明细", "账号：6222****1234  币种：人民币",
                                "交易日期,摘要,对方户名,借方发生额,贷方发生额,余额",
                                "20260301,消费,超市,\"1,234.50\",,10000.00",
                                "20260302,工资,公司,,RMB 8000.00,18000.00",
                                "20260303,转账,老王,0.00,(12.00),17988.00"})));
        QCOMPARE(bank.Layout().columns.expense, 3);
        QCOMPARE(bank.Layout().columns.income, 4);
        QCOMPARE(Outcome(bank, 0), QStringLiteral("记录 消费 -1234.50 "));  // the movement's kind its item
        QCOMPARE(bank.Row(0).note, QStringLiteral("超市 消费"));
        QCOMPARE(bank.Row(0).counterparty, QStringLiteral("超市"));
        QCOMPARE(Outcome(bank, 1), QStringLiteral("记录 工资 8000.00 "));
        QCOMPARE(bank.EntryOf(1).item, QStringLiteral("工资"));  // the ledger's own item
        QCOMPARE(bank.Row(1).date, LedgerDateTime(QDate(2026, 3, 2)));
        QCOMPARE(Outcome(bank, 2), QStringLiteral("记录 转账 -12.00 "));

        // Amounts with a credit mark on a card's statement: spending positive, a payment marked CR.
        double amount = 0;
        int marked = 0;
        QVERIFY(ReadBillAmount(QStringLiteral("HKD 1,200.00 CR"), &amount, &marked));
        QCOMPARE(amount, 1200.0);
        QCOMPARE(marked, 1);
        QVERIFY(ReadBillAmount(QStringLiteral("￥８８.００ DR"), &amount, &marked));
        QCOMPARE(amount, -88.0);
        QVERIFY(ReadBillAmount(QStringLiteral("人民币 66.6"), &amount));
        QCOMPARE(amount, 66.6);
        QVERIFY(!ReadBillAmount(QStringLiteral("(-5)"), &amount));
        QVERIFY(!ReadBillAmount(QStringLiteral("CR"), &amount));
        QVERIFY(!ReadBillAmount(QStringLiteral("RMB"), &amount));
        const BillLayout card = GuessBillLayout({{"信用卡对账单 2026年3月"}, {"交易日", "交易摘要", "金额"}});
        QVERIFY(card.spendingPositive);
        QCOMPARE(ReadBillRow({"3/5", "还款", "5,000.00 CR"}, card).reason, QStringLiteral("本人账户间转账（信用卡还款）"));
        QCOMPARE(ReadBillRow({"3/5", "京东 退货", "899.00 CR"}, card).amount, 899.0);  // money back all the same
        QCOMPARE(ReadBillRow({"3/6", "超市", "50.00"}, card).amount, -50.0);
    }

    void rulesLayoutsAndRowsLeftOutCarryToTheNextBill()
    {
        TestInstallation install;
        QVERIFY(install.IsValid());
        // The rent paid by transfer: its counterparty ruled to an item and a member.
        CMoneyImport first(kItems, kMembers);
        RecallImportMappings(first);
        QVERIFY(first.Load(Bill({"交易时间,交易类型,交易对方,商品,收/支,金额(元),支付方式,当前状态,交易单号,商户单号,备注",
                                 "2026-03-09 10:00:00,转账,房东,/,支出,¥3500.00,零钱,对方已收钱,1,/,/",
                                 "2026-03-10 10:00:00,转账,老王,/,支出,¥50.00,零钱,对方已收钱,2,/,/",
                                 "2026-03-11 10:00:00,商户消费,房东,/,支出,¥20.00,零钱,支付成功,3,/,/",
                                 "2026-03-12 10:00:00,转账,小李,/,/,¥20.00,零钱,已存入零钱,4,/,/"})));
        QCOMPARE(first.StrangeItems().at(0).rows, 2);  // 转账
        QVERIFY(!first.RuleRow(3, QStringLiteral("交通"), QString()));  // not a record
        QVERIFY(!first.RuleRow(0, QStringLiteral("工资"), QString()));  // an income item for spending
        QVERIFY(first.RuleRow(0, QStringLiteral("交通"), QStringLiteral("妈妈")));
        QCOMPARE(first.Rules().size(), 1);
        QCOMPARE(first.Rules().at(0).rows, 2);  // both of 房东's payments
        QCOMPARE(first.EntryOf(2).item, QStringLiteral("交通"));
        QCOMPARE(first.EntryOf(2).member, QStringLiteral("妈妈"));
        QCOMPARE(first.EntryOf(1).member, QStringLiteral("爸爸"));  // the member column's mapping
        QCOMPARE(first.StrangeItems().at(0).rows, 1);  // 转账 is 老王's alone now
        QCOMPARE(first.StrangeItems().size(), 1);  // 商户消费 is ruled away
        // 老王 ruled and dropped again: nothing kept of him.
        QVERIFY(first.RuleRow(1, QStringLiteral("餐饮"), QString()));
        first.DropRule(1);
        QCOMPARE(first.Rules().size(), 1);
        first.LeaveOut(1, true);
        QCOMPARE(first.Count().leftOut, 1);
        QCOMPARE(first.Count().records, 2);
        QCOMPARE(first.EntriesToWrite(false).size(), size_t(2));
        KeepImportMappings(first);

        // Another app's bill: 房东 is taken as ruled; 老王 is not.
        CMoneyImport next(kItems, kMembers);
        RecallImportMappings(next);
        QVERIFY(next.Load(Bill({"交易时间,交易分类,交易对方,对方账号,商品说明,收/支,金额,收/付款方式,交易状态,交易订单号,商家订单号,备注",
                                "2026-04-09 10:00:00,转账红包,房东,/,房租,支出,3500.00,余额,交易成功,9,,",
                                "2026-04-10 10:00:00,转账红包,老王,/,还钱,支出,80.00,余额,交易成功,8,,"})));
        QCOMPARE(next.EntryOf(0).item, QStringLiteral("交通"));
        QCOMPARE(next.EntryOf(0).member, QStringLiteral("妈妈"));
        QCOMPARE(next.EntryOf(1).item, QStringLiteral("餐饮"));  // the guess for an unknown trade type: the first
        QCOMPARE(next.Rules().size(), 1);
        QVERIFY(!next.IsLeftOut(1));

        // A statement whose titles no guess knows, laid out by hand: the next one maps itself, its
        // title block longer.
        CMoneyImport statement(kItems, kMembers);
        RecallImportMappings(statement);
        QVERIFY(statement.Load(Bill({"Statement", "Txn Date,Description,Amount,Balance", "29/03/2026,超市,-45.80,100"})));
        QCOMPARE(statement.Layout().headerRow, -1);
        BillLayout byHand = GuessColumnsAt(statement.Records(), 1);
        byHand.columns.date = 0;
        byHand.columns.amount = 2;
        byHand.columns.note = {1};
        byHand.dates.order = DateOrder::DayFirst;
        statement.SetLayout(byHand);
        QCOMPARE(Outcome(statement, 0), QStringLiteral("记录  -45.80 "));
        KeepImportMappings(statement);
        CMoneyImport again(kItems, kMembers);
        RecallImportMappings(again);
        QVERIFY(again.Load(Bill({"Statement", "Account 1234", "Txn Date,Description,Amount,Balance", "05/04/2026,加油,-300.00,50"})));
        QCOMPARE(again.Layout().headerRow, 2);
        QCOMPARE(again.Layout().dates.order, DateOrder::DayFirst);
        QCOMPARE(again.Row(0).date, LedgerDateTime(QDate(2026, 4, 5)));
        QCOMPARE(again.Row(0).note, QStringLiteral("加油"));
        // A sheet the guess reads, its note columns changed by hand: kept; put back as the guess has
        // it: forgotten.
        const QStringList sheet{"日期,摘要,金额,备注", "2026-04-05,加油,-300.00,周末"};
        CMoneyImport changed(kItems, kMembers);
        RecallImportMappings(changed);
        QVERIFY(changed.Load(Bill(sheet)));
        BillLayout noteless = changed.Layout();
        noteless.columns.note = {3};
        changed.SetLayout(noteless);
        KeepImportMappings(changed);
        CMoneyImport kept(kItems, kMembers);
        RecallImportMappings(kept);
        QVERIFY(kept.Load(Bill(sheet)));
        QCOMPARE(kept.Row(0).note, QStringLiteral("周末"));
        kept.SetLayout(GuessBillLayout(kept.Records()));
        KeepImportMappings(kept);
        CMoneyImport forgotten(kItems, kMembers);
        RecallImportMappings(forgotten);
        QVERIFY(forgotten.Load(Bill(sheet)));
        QCOMPARE(forgotten.Row(0).note, QStringLiteral("加油 周末"));

        // A kept layout edited by hand out of shape is passed over.
        BillLayout read;
        QVERIFY(ReadBillLayoutText(BillLayoutText(byHand), &read));
        QCOMPARE(BillLayoutText(read), BillLayoutText(byHand));
        QVERIFY(!ReadBillLayoutText(QStringLiteral("preset=9;date=0"), &read));
        QVERIFY(!ReadBillLayoutText(BillLayoutText(byHand).replace(QStringLiteral("amount=2"), QStringLiteral("amount=99999")), &read));
    }

    void rowsLeftOutStayOutWhenTheLayoutChanges()
    {
        // Two lunches the household entered by hand already, left out; then the note column and the
        // header line chosen again: the same lines of the file stay out.
        CMoneyImport plan(kItems, kMembers);
        QVERIFY(plan.Load(Bill({"日期,项目,金额,备注", "2026-03-01,餐饮,-12,午饭", "2026-03-02,餐饮,-15,午饭",
                                "2026-03-03,交通,-3,地铁"})));
        plan.LeaveOut(0, true);
        plan.LeaveOut(2, true);
        QCOMPARE(plan.Count().leftOut, 2);
        BillLayout noted = plan.Layout();
        noted.columns.note = {1, 3};
        plan.SetLayout(noted);
        QVERIFY(plan.IsLeftOut(0));
        QVERIFY(!plan.IsLeftOut(1));
        QVERIFY(plan.IsLeftOut(2));
        QCOMPARE(plan.EntriesToWrite(false).size(), size_t(1));
        // The first lunch taken as the header: the lines below keep their choice.
        noted.headerRow = 1;
        plan.SetLayout(noted);
        QCOMPARE(plan.RowCount(), 2);
        QVERIFY(!plan.IsLeftOut(0));
        QVERIFY(plan.IsLeftOut(1));
        // A new file starts with every record in.
        QVERIFY(plan.Load(Bill({"日期,项目,金额", "2026-04-01,餐饮,-12", "2026-04-02,餐饮,-15", "2026-04-03,交通,-3"})));
        QCOMPARE(plan.Count().leftOut, 0);
    }

    void aHongKongCardStatementInItsOwnWords()
    {
        // English titles, days first, spending unmarked and credits marked CR (with or without a blank).
        CMoneyImport hk(kItems, kMembers);
        QVERIFY(hk.Load(Bill({"HSBC Visa Statement", "Statement Date,15/04/2026", "Post Date,Trans Date,Description,Amount (HKD)",
                              "02/03/2026,01/03/2026,PARKNSHOP,245.30", "06/03/2026,05/03/2026,PAYMENT - THANK YOU,\"5,000.00 CR\"",
                              "14/03/2026,13/03/2026,MTR,300.00", "25/03/2026,24/03/2026,PARKNSHOP REFUND,45.30CR"})));
        const BillLayout &layout = hk.Layout();
        QCOMPARE(layout.headerRow, 2);
        QCOMPARE(layout.columns.date, 1);  // the day of the trade, before the day it was posted
        QCOMPARE(layout.columns.amount, 3);
        QCOMPARE(layout.dates.order, DateOrder::DayFirst);
        QVERIFY(layout.spendingPositive);
        QCOMPARE(Outcome(hk, 0), QStringLiteral("记录  -245.30 "));
        QCOMPARE(hk.Row(0).date, LedgerDateTime(QDate(2026, 3, 1)));
        QCOMPARE(hk.Row(0).note, QStringLiteral("PARKNSHOP"));
        QCOMPARE(Outcome(hk, 1), QStringLiteral("跳过  0.00 本人账户间转账（信用卡还款）"));
        QCOMPARE(Outcome(hk, 2), QStringLiteral("记录  -300.00 "));
        QCOMPARE(Outcome(hk, 3), QStringLiteral("记录  45.30 "));
        // The column of post dates chosen instead: its own days, the same order.
        QCOMPARE(GuessBillDates(hk.Records(), 2, 0).order, DateOrder::DayFirst);
    }

    void otherLedgersQifAndBanksOfxThroughTheImport()
    {
        // A QIF: a split purchase, a transfer to another account, an opening balance, day-first dates.
        CMoneyImport qif(kItems, kMembers);
        QVERIFY(qif.Load(Bill({"!Type:Bank", "D29/12/2025", "T-100.00", "PSupermarket", "LGroceries", "MWeekly", "SGroceries",
                               "$-70.00", "SHousehold", "EBulbs", "$-30.00", "^", "D30/12/2025", "T-500.00", "PTo savings", "L[Savings]", "^",
                               "D1/1/2026", "T1000.00", "POpening Balance", "L[Checking]", "^", "D2/1/2026", "T3,000.00", "PEmployer",
                               "LSalary", "N1042", "^"}),
                         {}, QString(), QStringLiteral("money.qif")));
        QCOMPARE(qif.Layout().preset, BillPreset::Qif);
        QCOMPARE(qif.Layout().dates.order, DateOrder::DayFirst);
        QCOMPARE(qif.RowCount(), 5);
        QCOMPARE(Outcome(qif, 0), QStringLiteral("记录 Groceries -70.00 "));
        QCOMPARE(qif.Row(0).note, QStringLiteral("Supermarket Weekly"));
        QCOMPARE(Outcome(qif, 1), QStringLiteral("记录 Household -30.00 "));
        QCOMPARE(qif.Row(1).date, LedgerDateTime(QDate(2025, 12, 29)));
        QCOMPARE(Outcome(qif, 2), QStringLiteral("跳过 [Savings] 0.00 本人账户间转账"));
        QCOMPARE(Outcome(qif, 3), QStringLiteral("跳过 [Checking] 0.00 本人账户间转账"));
        QCOMPARE(Outcome(qif, 4), QStringLiteral("记录 Salary 3000.00 "));
        // Without its type line a .qif is told so, named; the same text named .csv is a table.
        CMoneyImport untyped(kItems, kMembers);
        QVERIFY(!untyped.Load(Bill({"D1/2/2026", "T-5", "^"}), {}, QString(), QStringLiteral("old.qif")));
        QVERIFY2(untyped.LoadFailure(QStringLiteral("old.qif")).startsWith(QStringLiteral("文件 old.qif 不是可以读取的 QIF 文件：")),
                 qPrintable(untyped.LoadFailure(QStringLiteral("old.qif"))));

        // An OFX statement sent with a transaction twice (one FITID, day and amount), and a FITID the
        // bank used again for another amount, which is a trade of its own.
        const QString trade = QStringLiteral("<STMTTRN><TRNTYPE>%1<DTPOSTED>%2<TRNAMT>%3<FITID>%4<NAME>%5<MEMO>%6</STMTTRN>");
        CMoneyImport ofx(kItems, kMembers);
        QVERIFY(ofx.Load(Bill({"OFXHEADER:100", "DATA:OFXSGML", "VERSION:102", "ENCODING:USASCII", "CHARSET:1252", "",
                               "<OFX><BANKMSGSRSV1><STMTTRNRS><STMTRS><CURDEF>CNY<BANKTRANLIST><DTSTART>20260301<DTEND>20260331",
                               trade.arg("DEBIT", "20260302120000", "-45.80", "F1", "Supermarket", "card 1234"),
                               trade.arg("DEBIT", "20260302120000", "-45.80", "F1", "Supermarket", "card 1234"),
                               trade.arg("DEBIT", "20260305", "-8.00", "F1", "Coffee", ""),
                               trade.arg("CREDIT", "20260310", "8000.00", "F2", "Employer", "Salary"),
                               "</BANKTRANLIST></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>"})));
        QCOMPARE(ofx.Layout().preset, BillPreset::Ofx);
        QCOMPARE(Outcome(ofx, 0), QStringLiteral("记录  -45.80 "));
        QCOMPARE(ofx.Row(0).note, QStringLiteral("Supermarket card 1234"));
        QCOMPARE(ofx.Row(0).date, LedgerDateTime(QDate(2026, 3, 2), QTime(12, 0)));
        QCOMPARE(Outcome(ofx, 1), QStringLiteral("跳过  -45.80 交易编号重复（与第 2 行相同）"));
        QCOMPARE(Outcome(ofx, 2), QStringLiteral("记录  -8.00 "));
        QCOMPARE(Outcome(ofx, 3), QStringLiteral("记录  8000.00 "));
        // The payee ruled: the next statement's coffee is 餐饮 by itself.
        QVERIFY(ofx.RuleRow(2, QStringLiteral("餐饮"), QString()));
        QCOMPARE(ofx.EntryOf(2).item, QStringLiteral("餐饮"));
        // An unclosed transaction refuses the file, naming its line; nothing is read.
        CMoneyImport cut(kItems, kMembers);
        QVERIFY(!cut.Load(Bill({"<OFX><BANKMSGSRSV1><STMTTRNRS><STMTRS><BANKTRANLIST>", "<STMTTRN><TRNAMT>-1"})));
        QVERIFY2(cut.LoadFailure(QStringLiteral("a.ofx")).contains(QStringLiteral("第 2 行")), qPrintable(cut.LoadFailure(QStringLiteral("a.ofx"))));
        QCOMPARE(cut.RowCount(), 0);
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
        // Printed for scripts as the dialog shows it.
        QCOMPARE(ImportPreviewLines(import).at(0), QStringLiteral("2\t跳过\t\t\t\t\t\t已有相同记录"));
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
