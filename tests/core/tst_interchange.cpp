// QIF and OFX statements read as the bill import's table, the files that cannot be read refused
// whole, and damaged files never taken for whole ones.
#include "common/Gbk.h"
#include "transfer/BillImport.h"
#include "transfer/Interchange.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

using Rows = QList<QStringList>;

const QStringList kHeader{"日期", "金额", "交易对方", "收支项目", "备注", "交易编号"};
const QStringList kQifHeader{"日期", "金额", "交易对方", "收支项目", "备注", "支票号"};

QByteArray Lines(const QStringList &lines, const char *end = "\r\n")
{
    return lines.join(QString::fromLatin1(end)).toUtf8();
}

// Two accounts as Quicken writes them, an investment account passed over between them, the last
// record without its "^".
QByteArray QuickenFile()
{
    return Lines({"!Option:AutoSwitch", "!Account", "NChecking", "TBank", "^", "NBrokerage", "TInvst", "^", "!Clear:AutoSwitch",
                  "!Account", "NChecking", "TBank", "^",
                  "!Type:Bank ",
                  "D12/29'25", "T-1,234.56", "CX", "PLandlord", "LHousing:Rent", "MDecember", "N1042", "AFlat 3", "^",
                  "D 1/ 5'26", "U2,500.00", "T2,500.00", "PEmployer", "LSalary", "^",
                  "D12/29/99", "T-100.00", "PSavings", "L[Savings]", "^",
                  "!Account", "NBrokerage", "TInvst", "^",
                  "!Type:Invst", "D1/6'26", "NBuy", "YACME", "I10.00", "Q5", "T50.00", "^",
                  "!Account", "NVisa", "TCCard", "^",
                  "!Type:CCard", "D01/07/2026", "U-19.99", "PBookshop", "LBooks", "^",
                  "D2026-01-08", "T-5.00", "PCafé", "LFood:Coffee"});
}

QByteArray OfxSgml()
{
    QByteArray bytes = Lines({"OFXHEADER:100", "DATA:OFXSGML", "VERSION:102", "SECURITY:NONE", "ENCODING:USASCII",
                              "CHARSET:1252", "COMPRESSION:NONE", "OLDFILEUID:NONE", "NEWFILEUID:NONE", "",
                              "<OFX>", "<SIGNONMSGSRSV1><SONRS>", "<STATUS><CODE>0<SEVERITY>INFO</STATUS>",
                              "<DTSERVER>20260110120000<LANGUAGE>ENG", "</SONRS></SIGNONMSGSRSV1>",
                              "<BANKMSGSRSV1><STMTTRNRS><TRNUID>1<STATUS><CODE>0<SEVERITY>INFO</STATUS>",
                              "<STMTRS><CURDEF>EUR<BANKACCTFROM><BANKID>123<ACCTID>456<ACCTTYPE>CHECKING</BANKACCTFROM>",
                              "<BANKTRANLIST><DTSTART>20260101<DTEND>20260110",
                              "<STMTTRN>", "<TRNTYPE>POS", "<DTPOSTED>20260102", "<TRNAMT>-12,50", "<FITID>A1",
                              "<NAME>Caf@ & Co", "<MEMO>Latte &amp; cake", "</STMTTRN>",
                              "<STMTTRN>", "<TRNTYPE>FEE", "<DTPOSTED>20260103083015.000[-5:EST]", "<TRNAMT>-3.00", "<FITID>A1",
                              "<MEMO>", "<PAYEE><NAME>The Bank<ADDR1>Main St</PAYEE>", "</STMTTRN>",
                              "</BANKTRANLIST><LEDGERBAL><BALAMT>100<DTASOF>20260110</LEDGERBAL>",
                              "</STMTRS></STMTTRNRS></BANKMSGSRSV1>",
                              "<CREDITCARDMSGSRSV1><CCSTMTTRNRS><TRNUID>2<STATUS><CODE>0<SEVERITY>INFO</STATUS>",
                              "<CCSTMTRS><CURDEF>EUR<CCACCTFROM><ACCTID>9999</CCACCTFROM>",
                              "<BANKTRANLIST><DTSTART>20260101<DTEND>20260110",
                              "<stmttrn><trntype>DEBIT<dtposted>20261399<trnamt>-40.00<fitid>C7<name>Fuel <3</stmttrn>",
                              "</BANKTRANLIST></CCSTMTRS></CCSTMTTRNRS></CREDITCARDMSGSRSV1>",
                              "<INVSTMTMSGSRSV1><INVSTMTTRNRS><INVSTMTRS><INVTRANLIST><INVBANKTRAN>",
                              "<STMTTRN><TRNTYPE>CREDIT<DTPOSTED>20260104<TRNAMT>500<FITID>I1</STMTTRN><SUBACCTFUND>CASH",
                              "</INVBANKTRAN></INVTRANLIST></INVSTMTRS></INVSTMTTRNRS></INVSTMTMSGSRSV1>",
                              "</OFX>", ""});
    bytes.replace("Caf@", "Caf\xE9 \x80");  // Windows-1252: é and the euro sign
    return bytes;
}

QByteArray OfxXml()
{
    return Lines({R"(<?xml version="1.0" encoding="UTF-8" standalone="no"?>)",
                  R"(<?OFX OFXHEADER="200" VERSION="211" SECURITY="NONE" OLDFILEUID="NONE" NEWFILEUID="NONE"?>)",
                  "<OFX>", "<!-- downloaded 2026-01-10 -->",
                  "<BANKMSGSRSV1>",
                  "<STMTTRNRS><TRNUID>1</TRNUID><STMTRS><CURDEF>CNY</CURDEF>",
                  "<BANKTRANLIST><DTSTART>20260101</DTSTART><DTEND>20260110</DTEND>",
                  "<STMTTRN><TRNTYPE>DEBIT</TRNTYPE><DTPOSTED>202601051015</DTPOSTED><TRNAMT>-88.00</TRNAMT>",
                  "<FITID>X-1</FITID><NAME>Tom &amp; Jerry&apos;s</NAME><MEMO>&lt;晚饭&gt;</MEMO></STMTTRN>",
                  "</BANKTRANLIST></STMTRS></STMTTRNRS>",
                  "<STMTTRNRS><TRNUID>2</TRNUID><STMTRS><CURDEF>CNY</CURDEF>",
                  "<BANKTRANLIST><DTSTART>20260101</DTSTART><DTEND>20260110</DTEND>",
                  "<STMTTRN><TRNTYPE>CREDIT</TRNTYPE><DTUSER>20260106</DTUSER><TRNAMT>1500</TRNAMT><FITID>Y-1</FITID>",
                  "<PAYEE><NAME>公司</NAME></PAYEE><MEMO></MEMO></STMTTRN>",
                  "</BANKTRANLIST></STMTRS></STMTTRNRS>",
                  "</BANKMSGSRSV1>", "</OFX>"});
}

// The rows of a file read without fault.
Rows Read(const QByteArray &bytes)
{
    const InterchangeTable table = ReadInterchange(bytes);
    if (!table.error.isEmpty())
        qWarning() << "not read:" << table.error;
    return table.error.isEmpty() && table.rows.value(0) == (table.kind == InterchangeTable::Kind::Qif ? kQifHeader : kHeader)
               ? table.rows.mid(1)
               : Rows{{"refused"}};
}

QByteArray OneQifTransaction(const QString &date, const QString &amount = QStringLiteral("-1.00"))
{
    return Lines({"!Type:Bank", "D" + date, "T" + amount, "^"});
}

} // namespace

class TestInterchange : public QObject
{
    Q_OBJECT
private slots:
    void kindsSniffedFromTheContent_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<InterchangeTable::Kind>("kind");
        QTest::newRow("QIF bank") << QByteArray("!Type:Bank\nD1/2/2026\n") << InterchangeTable::Kind::Qif;
        QTest::newRow("QIF after a BOM and blank lines, lower case") << QByteArray("\xEF\xBB\xBF\r\n\r\n!type:cash\r\n")
                                                                       << InterchangeTable::Kind::Qif;
        QTest::newRow("OFX SGML") << QByteArray("\n OFXHEADER:100\nDATA:OFXSGML\n") << InterchangeTable::Kind::Ofx;
        QTest::newRow("OFX XML") << OfxXml() << InterchangeTable::Kind::Ofx;
        QTest::newRow("OFX without a header") << QByteArray("<ofx><bankmsgsrsv1>") << InterchangeTable::Kind::Ofx;
        QTest::newRow("CSV") << QByteArray("日期,金额\n2026-01-01,3\n") << InterchangeTable::Kind::None;
        QTest::newRow("QIF marks later on") << QByteArray("header\n!Type:Bank\n") << InterchangeTable::Kind::None;
        QTest::newRow("OFX beyond the first kilobyte") << QByteArray(2000, 'x') + "<OFX>" << InterchangeTable::Kind::None;
        QTest::newRow("empty") << QByteArray() << InterchangeTable::Kind::None;
    }
    void kindsSniffedFromTheContent()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(InterchangeTable::Kind, kind);
        QCOMPARE(InterchangeKindOf(bytes), kind);
        const InterchangeTable table = ReadInterchange(bytes);
        QCOMPARE(table.kind, kind);
        if (kind == InterchangeTable::Kind::None)
            QCOMPARE(table.error, QStringLiteral("不是 QIF 或 OFX 文件"));
    }

    void quickenAccountsReadAsRows()
    {
        const InterchangeTable table = ReadInterchange(QuickenFile());
        QCOMPARE(table.error, QString());
        QCOMPARE(table.kind, InterchangeTable::Kind::Qif);
        QCOMPARE(table.rows, Rows({kQifHeader,
                                   {"12/29/2025", "-1,234.56", "Landlord", "Housing:Rent", "December", "1042"},
                                   {"1/5/2026", "2,500.00", "Employer", "Salary", "", ""},
                                   {"12/29/1999", "-100.00", "Savings", "[Savings]", "", ""},
                                   {"01/07/2026", "-19.99", "Bookshop", "Books", "", ""},
                                   {"2026-01-08", "-5.00", "Café", "Food:Coffee", "", ""}}));
        // LF line ends read alike.
        QByteArray unixLines = QuickenFile();
        unixLines.replace("\r\n", "\n");
        QCOMPARE(ReadInterchange(unixLines).rows, table.rows);
    }

    void quickenDatesMadeReadable_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QDate>("monthFirst");
        QTest::newRow("apostrophe year") << "12/29'25" << "12/29/2025" << QDate(2025, 12, 29);
        QTest::newRow("padded") << " 1/ 5'25" << "1/5/2025" << QDate(2025, 1, 5);
        QTest::newRow("padded year") << "1/5' 5" << "1/5/2005" << QDate(2005, 1, 5);
        QTest::newRow("last century") << "12/29/99" << "12/29/1999" << QDate(1999, 12, 29);
        QTest::newRow("bare two digits of this century") << "12/29/05" << "12/29/2005" << QDate(2005, 12, 29);
        QTest::newRow("dashes") << "12-29-2025" << "12/29/2025" << QDate(2025, 12, 29);
        QTest::newRow("not a date, kept for the import to refuse") << "yesterday" << "yesterday" << QDate();
    }
    void quickenDatesMadeReadable()
    {
        QFETCH(QString, written);
        QFETCH(QString, table);
        QFETCH(QDate, monthFirst);
        const Rows rows = Read(OneQifTransaction(written));
        QCOMPARE(rows.value(0).value(0), table);
        QCOMPARE(ReadBillDate(table).date(), monthFirst);
    }

    void dayFirstDatesKeepTheirOrder()
    {
        const Rows rows = Read(Lines({"!Type:Bank", "D29/12/2025", "T-1", "^", "D 3/ 1'26", "T-2", "^"}));
        QCOMPARE(rows.value(1).value(0), QStringLiteral("3/1/2026"));
        // The import finds the order from the 29 itself.
        const BillLayout layout = GuessBillLayout(Rows{kQifHeader} + rows);
        QCOMPARE(layout.dates.order, DateOrder::DayFirst);
        QCOMPARE(ReadBillRow(rows.value(1), layout).date.date(), QDate(2026, 1, 3));
    }

    void splitsMakeARowEachAndTheRemainderKeepsTheTotal()
    {
        const Rows rows = Read(Lines({"!Type:Bank", "D1/10'26", "T-100.00", "PMarket", "LGroceries", "MWeekly shop", "N77",
                                      "SFood", "EBread", "$-30.00", "SHousehold", "$-45.50", "^",
                                      // Splits that add up: no remainder.
                                      "D1/11'26", "T-10", "PMarket", "SFood", "$-4", "SDrink", "E", "$-6", "^",
                                      // A split amount that cannot be read: no remainder reckoned without it.
                                      "D1/12'26", "T-10", "PMarket", "SFood", "$-4", "SDrink", "$six", "^",
                                      // Memo and amount without a category, and E and $ beginning the next split.
                                      "D1/13'26", "T1,000.00", "PBoss", "LBonus", "$600", "EPart", "$300", "^"}));
        QCOMPARE(rows, Rows({{"1/10/2026", "-30.00", "Market", "Food", "Bread", "77"},
                             {"1/10/2026", "-45.50", "Market", "Household", "Weekly shop", "77"},
                             {"1/10/2026", "-24.50", "Market", "Groceries", "Weekly shop", "77"},
                             {"1/11/2026", "-4", "Market", "Food", "", ""},
                             {"1/11/2026", "-6", "Market", "Drink", "", ""},
                             {"1/12/2026", "-4", "Market", "Food", "", ""},
                             {"1/12/2026", "six", "Market", "Drink", "", ""},
                             {"1/13/2026", "600", "Boss", "", "", ""},
                             {"1/13/2026", "300", "Boss", "", "Part", ""},
                             {"1/13/2026", "100.00", "Boss", "Bonus", "", ""}}));
    }

    void amountsKeptAsWrittenWithADecimalCommaMadeAPoint_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("table");
        QTest::addColumn<double>("amount");
        QTest::newRow("groups") << "-1,234.56" << "-1,234.56" << -1234.56;
        QTest::newRow("decimal comma") << "-12,50" << "-12.50" << -12.5;
        QTest::newRow("groups with points") << "1.234,5" << "1234.5" << 1234.5;
        QTest::newRow("a thousand with a comma") << "1,234" << "1,234" << 1234.0;
        QTest::newRow("not a number, for the import to refuse") << "abc" << "abc" << 0.0;
    }
    void amountsKeptAsWrittenWithADecimalCommaMadeAPoint()
    {
        QFETCH(QString, written);
        QFETCH(QString, table);
        QFETCH(double, amount);
        QCOMPARE(Read(OneQifTransaction("1/1/2026", written)).value(0).value(1), table);
        const QByteArray ofx = "OFXHEADER:100\n<OFX><BANKMSGSRSV1><STMTTRNRS><STMTRS><BANKTRANLIST><STMTTRN><DTPOSTED>20260101<TRNAMT>"
                               + written.toUtf8() + "</STMTTRN></BANKTRANLIST></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>";
        QCOMPARE(Read(ofx).value(0).value(1), table);
        double read = 0;
        QCOMPARE(ReadBillAmount(table, &read), amount != 0.0);
        QCOMPARE(read, amount);
    }

    void quickenFilesRefusedOrPassedOver()
    {
        InterchangeTable table = ReadInterchange(Lines({"!Account", "NChecking", "TBank", "^", "D1/1/2026", "T-5", "^"}));
        QCOMPARE(table.error, QStringLiteral("QIF 文件没有类型行（!Type:）"));
        QCOMPARE(table.rows, Rows());
        table = ReadInterchange(Lines({"!Type:Invst", "D1/6'26", "NBuy", "T50.00", "^", "!Type:Cat", "NFood", "E", "^"}));
        QCOMPARE(table.error, QStringLiteral("QIF 文件中没有银行、现金或信用卡账户的交易，只有 Invst、Cat 部分，无法导入为收支记录"));
        QCOMPARE(table.rows, Rows());
        // An account without transactions is an empty table, not a fault.
        QCOMPARE(Read(Lines({"!Type:Oth L", "^", "!Type:Memorized", "PRent", "T-900", "^"})), Rows());
        QByteArray binary = Lines({"!Type:Bank", "D1/1/2026", "T-5", "^"});
        binary.insert(binary.indexOf("T-5"), QByteArray(1, '\0'));
        QCOMPARE(ReadInterchange(binary).error, QStringLiteral("QIF 文件第 3 行含有 NUL 字节，不是文本文件"));
        QCOMPARE(ReadInterchange(QByteArray("!Type:Bank\r\nD1/1/2026\r\nP\x81\r\n^\r\n")).error,
                 QStringLiteral("QIF 文件第 3 行的文字既不是 UTF-8 也不是 GBK 编码"));
    }

    void gbkQuickenFileRead()
    {
        QByteArray bytes;
        QVERIFY(EncodeGbk(QStringLiteral("!Type:Cash\r\nD2026-01-02\r\nT-18.00\r\nP兰州拉面\r\nL餐饮\r\nM午饭\r\n^\r\n"), &bytes));
        QCOMPARE(Read(bytes), Rows({{"2026-01-02", "-18.00", "兰州拉面", "餐饮", "午饭", ""}}));
        // Other sections named in any case; the other-asset and other-liability accounts read too.
        QCOMPARE(Read(Lines({"!type:oth a", "D1/1/2026", "T5", "^", "!TYPE:OTH L", "D1/2/2026", "T-5", "^"})).size(), 2);
    }

    void ofxSgmlRead()
    {
        const InterchangeTable table = ReadInterchange(OfxSgml());
        QCOMPARE(table.error, QString());
        QCOMPARE(table.kind, InterchangeTable::Kind::Ofx);
        // Both transactions of one FITID are kept: leaving out the repeat is the import's. The card
        // statement's day that cannot be is kept as written; the investment account's cash is not read.
        QCOMPARE(table.rows, Rows({kHeader,
                                   {"2026-01-02", "-12.50", "Café € & Co", "", "Latte & cake", "A1"},
                                   {"2026-01-03 08:30:15", "-3.00", "The Bank", "", "", "A1"},
                                   {"20261399", "-40.00", "Fuel <3", "", "", "C7"}}));
    }

    void ofxXmlRead()
    {
        QCOMPARE(Read(OfxXml()), Rows({{"2026-01-05 10:15:00", "-88.00", "Tom & Jerry's", "", "<晚饭>", "X-1"},
                                       {"2026-01-06", "1500", "公司", "", "", "Y-1"}}));
        // The same statement in SGML reads the same.
        QByteArray sgml = OfxXml();
        sgml.replace(R"(<?xml version="1.0" encoding="UTF-8" standalone="no"?>)", "OFXHEADER:100\r\nDATA:OFXSGML\r\nENCODING:UTF-8");
        sgml.replace(R"(<?OFX OFXHEADER="200" VERSION="211" SECURITY="NONE" OLDFILEUID="NONE" NEWFILEUID="NONE"?>)", "");
        QCOMPARE(Read(sgml), Read(OfxXml()));
    }

    void ofxCharactersDecodedByWhatTheBytesAndHeaderSay_data()
    {
        QTest::addColumn<QByteArray>("charset");
        QTest::addColumn<QByteArray>("name");
        QByteArray gbk;
        EncodeGbk(QStringLiteral("超市"), &gbk);
        QTest::newRow("GB2312") << QByteArray("GB2312") << gbk;
        QTest::newRow("UTF-8 behind a header saying 1252") << QByteArray("1252") << QStringLiteral("超市").toUtf8();
        QTest::newRow("GBK behind a header saying nothing") << QByteArray("NONE") << gbk;
    }
    void ofxCharactersDecodedByWhatTheBytesAndHeaderSay()
    {
        QFETCH(QByteArray, charset);
        QFETCH(QByteArray, name);
        const QByteArray ofx = "OFXHEADER:100\r\nCHARSET:" + charset + "\r\n<OFX><BANKMSGSRSV1><STMTTRNRS><STMTRS><BANKTRANLIST>"
                               "<STMTTRN><DTPOSTED>20260101<TRNAMT>-1<NAME>" + name
                               + "</STMTTRN></BANKTRANLIST></STMTRS></STMTTRNRS></BANKMSGSRSV1></OFX>";
        QCOMPARE(Read(ofx).value(0).value(2), QStringLiteral("超市"));
    }

    void ofxFilesRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        QByteArray unclosed = OfxSgml();
        unclosed.replace("<NAME>Caf\xE9 \x80 & Co\r\n<MEMO>Latte &amp; cake\r\n</STMTTRN>", "<NAME>Caf\xE9");
        QTest::newRow("a transaction never closed") << unclosed << "OFX 文件不完整：<STMTTRN> 没有结束标签（第 19 行）";
        QByteArray runOn = OfxSgml();
        runOn.replace("</STMTTRN>\r\n<STMTTRN>\r\n<TRNTYPE>FEE", "<STMTTRN>\r\n<TRNTYPE>FEE");
        QTest::newRow("a transaction running into the next") << runOn << "OFX 文件不完整：<STMTTRN> 没有结束标签（第 19 行）";
        QTest::newRow("cut short") << OfxSgml().left(OfxSgml().indexOf("</BANKTRANLIST>"))
                                   << "OFX 文件不完整：<BANKTRANLIST> 没有结束标签（第 18 行）";
        QByteArray broken = OfxXml();
        broken.replace("</FITID><NAME>", "</NAME><NAME>");
        QTest::newRow("XML not well formed") << broken << "OFX 文件的 XML 格式有误（第 9 行）：Opening and ending tag mismatch.";
        QTest::newRow("no OFX element") << QByteArray("OFXHEADER:100\n<BANKMSGSRSV1></BANKMSGSRSV1>") << "不是 OFX 文件";
        QTest::newRow("XML of something else") << QByteArray(R"(<?xml version="1.0"?><?OFX OFXHEADER="200"?><HTML/>)")
                                               << "不是 OFX 文件";
        QTest::newRow("no statement") << QByteArray("OFXHEADER:100\n<OFX><SIGNONMSGSRSV1></SIGNONMSGSRSV1></OFX>")
                                      << "OFX 文件中没有银行或信用卡对账单（STMTRS、CCSTMTRS），无法导入为收支记录";
        QTest::newRow("nested without end") << "OFXHEADER:100\n<OFX>" + QByteArray(200, 'x').replace("x", "<A><B>")
                                            << "OFX 文件的标签嵌套过深（第 2 行）";
    }
    void ofxFilesRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        const InterchangeTable table = ReadInterchange(bytes);
        QCOMPARE(table.error, error);
        QCOMPARE(table.rows, Rows());
    }

    void rowsReadByTheBillImport()
    {
        const Rows rows = ReadInterchange(QuickenFile()).rows;
        const BillLayout layout = GuessBillLayout(rows);
        QCOMPARE(layout.headerRow, 0);
        const BillRow rent = ReadBillRow(rows.at(1), layout);
        QCOMPARE(rent.kind, BillRow::Kind::Record);
        QCOMPARE(rent.date.date(), QDate(2025, 12, 29));
        QCOMPARE(rent.amount, -1234.56);
        QCOMPARE(rent.item, QStringLiteral("Housing:Rent"));
    }

    void truncatedFilesNeverReadAsWhole()
    {
        // An OFX file cut anywhere before its end is refused; a QIF file has no end to miss, so a cut one
        // reads at most the transactions it holds.
        for (const QByteArray &whole : {OfxSgml(), OfxXml()}) {
            const qsizetype end = whole.lastIndexOf("</OFX>") + 6;
            for (qsizetype cut = 0; cut < end; ++cut) {
                const InterchangeTable table = ReadInterchange(whole.left(cut));
                if (table.error.isEmpty() || !table.rows.isEmpty())
                    QFAIL(qPrintable(QStringLiteral("cut at %1 read as whole").arg(cut)));
            }
        }
        const qsizetype rows = ReadInterchange(QuickenFile()).rows.size();
        for (qsizetype cut = 0; cut < QuickenFile().size(); ++cut) {
            const InterchangeTable table = ReadInterchange(QuickenFile().left(cut));
            QVERIFY(table.rows.size() <= rows);
        }
    }

    void damagedBytesNeverCrash()
    {
        QRandomGenerator random(20260110);
        const QList<QByteArray> samples{QuickenFile(), OfxSgml(), OfxXml()};
        const QByteArray alphabet("<>/!^&;#:\r\n DTPSE$NMLU0123456789'-,.OFXSTMTRNAMEHEADER\xE9\x80\xFF");
        for (int round = 0; round < 3000; ++round) {
            QByteArray bytes = samples.at(round % samples.size());
            const int changes = 1 + int(random.bounded(8));
            for (int c = 0; c < changes && !bytes.isEmpty(); ++c) {
                const qsizetype at = random.bounded(int(bytes.size()));
                switch (random.bounded(4)) {
                case 0: bytes[at] = alphabet.at(random.bounded(int(alphabet.size()))); break;
                case 1: bytes.remove(at, random.bounded(40)); break;
                case 2: bytes.insert(at, bytes.mid(random.bounded(int(bytes.size())), random.bounded(60))); break;
                default: bytes[at] = char(random.bounded(256)); break;
                }
            }
            if (round % 7 == 0) {  // pure noise behind a header that sniffs
                bytes = round % 2 ? QByteArray("OFXHEADER:100\n") : QByteArray("!Type:Bank\n");
                for (int i = int(random.bounded(400)); i > 0; --i)
                    bytes += alphabet.at(random.bounded(int(alphabet.size())));
            }
            const InterchangeTable table = ReadInterchange(bytes);
            QVERIFY2(table.error.isEmpty() != table.rows.isEmpty(), bytes.constData());
            for (const QStringList &row : table.rows)
                QCOMPARE(row.size(), kHeader.size());
        }
    }
};

QTEST_GUILESS_MAIN(TestInterchange)
#include "tst_interchange.moc"
