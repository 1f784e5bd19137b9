// The rules of the savings and asset dialogs: number fields, rates, maturity, due dates and the checks.
#include "common/Amount.h"
#include "entry/ArticleRules.h"
#include "entry/CreditRules.h"
#include "entry/DepositRules.h"
#include "entry/InsureRules.h"
#include "entry/ItemChoice.h"
#include "entry/MemoRules.h"
#include "entry/NumberRules.h"
#include "entry/SavingsRules.h"

#include <QTest>

namespace {

// The rate list of the installation: 整存整取 ×6, 零存整取 ×3, 定活两便 ×6, then the interest tax.
const double kRates[16] = {1.71, 1.89, 2.25, 2.70, 3.24, 3.60, 1.71, 1.89, 2.00, 1.026, 1.134, 1.35, 1.62, 1.944, 2.16, 20};

} // namespace

class TestSavingsRules : public QObject
{
    Q_OBJECT
private slots:
    void typingFamily_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        const int unsignedKind = int(NumberKind::Unsigned), whole = int(NumberKind::Whole), sign = int(NumberKind::Signed),
                  any = int(NumberKind::Any);
        QTest::newRow("foreign character clears") << unsignedKind << "12a" << "";
        QTest::newRow("sign goes from the end") << unsignedKind << "12-" << "12";
        QTest::newRow("a sign in front takes everything") << unsignedKind << "-12" << "";
        QTest::newRow("leading point") << unsignedKind << ".5" << "";
        QTest::newRow("cut to the limit") << unsignedKind << "1234567890123456789" << "123456789012345678";
        QTest::newRow("quantity keeps whole numbers") << whole << "12.5" << "12";
        QTest::newRow("signed keeps its sign") << sign << "-12.5" << "-12.5";
        QTest::newRow("signed leading point") << sign << ".5" << "";
        QTest::newRow("searched amount keeps anything numeric") << any << "-.5" << "-.5";
    }
    void typingFamily()
    {
        QFETCH(int, kind);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QCOMPARE(NumberTextAfterTyping(typed, NumberKind(kind)), kept);
        QCOMPARE(NumberTextAfterTyping(QStringLiteral("123456789012"), NumberKind::Unsigned, 9), QStringLiteral("123456789"));
    }

    void wellFormedNumbers()
    {
        for (const char *good : {"5", "12.5", "-25", "+5", "0.01"})
            QVERIFY2(IsWellFormedNumber(QString::fromLatin1(good)), good);
        for (const char *bad : {"", "1.2.3", "5-", "5+", "1-2", "5.", ".5", "-.5", "-"})
            QVERIFY2(!IsWellFormedNumber(QString::fromLatin1(bad)), bad);
    }

    void ratesAndTheirDisplay()
    {
        QCOMPARE(RateText(2.250), QStringLiteral("2.25"));
        QCOMPARE(RateText(2.500), QStringLiteral("2.5"));
        QCOMPARE(RateText(2.000), QStringLiteral("2"));
        QCOMPARE(RateText(0.720), QStringLiteral("0.72"));
        QCOMPARE(RateText(1.026), QStringLiteral("1.026"));
        const auto oneYear = LookupDepositRate(0, 2, kRates);
        QVERIFY(oneYear);
        QCOMPARE(oneYear->rate, 2.25);
        QCOMPARE(oneYear->years, 1.0);
        QCOMPARE(LookupDepositRate(1, 1, kRates)->rate, 1.89);
        QCOMPARE(LookupDepositRate(1, 1, kRates)->years, 3.0);
        QCOMPARE(LookupDepositRate(2, 0, kRates)->rate, 1.026);
        QCOMPARE(LookupDepositRate(2, 0, kRates)->years, 0.25);
        QVERIFY(!LookupDepositRate(1, 3, kRates));  // 零存整取 has three terms
        QVERIFY(!LookupDepositRate(3, 0, kRates));
        QCOMPARE(InterestTaxRate(kRates), 20.0);
        QCOMPARE(DepositTerms(1), QStringList({"一年", "三年", "五年"}));
        QCOMPARE(DepositTerms(0).size(), 6);
    }

    void maturity()
    {
        QCOMPARE(MaturityText(0, 10000, 2.25, 1, 20, false), QStringLiteral("10225"));
        QCOMPARE(MaturityText(0, 10000, 2.25, 1, 20, true), QStringLiteral("10180"));
        QCOMPARE(MaturityText(0, 10000, 2.25, 0.25, 20, false), QStringLiteral("10056.25"));
        QCOMPARE(MaturityText(2, 10000, 0, 5, 20, true), QStringLiteral("10000"));  // a rate of 0
        QCOMPARE(MaturityText(1, 100, 1.71, 1, 20, false), QStringLiteral("1211.12"));
        QCOMPARE(MaturityText(1, 100, 1.71, 3, 20, false), QStringLiteral("3694.91"));  // half a cent rounds up
        QCOMPARE(MaturityText(1, 100, 1.71, 5, 20, false), QStringLiteral("6260.78"));
        QCOMPARE(MaturityText(1, 100, 0, 3, 20, false), QStringLiteral("3600"));
        QCOMPARE(CentsText(-1211.115), QStringLiteral("-1211.12"));
    }

    void dueDates_data()
    {
        QTest::addColumn<QDate>("begin");
        QTest::addColumn<QString>("term");
        QTest::addColumn<QDate>("due");
        QTest::newRow("three months into the next year") << QDate(2002, 11, 15) << "三个月" << QDate(2003, 2, 15);
        QTest::newRow("half a year") << QDate(2002, 6, 10) << "半年" << QDate(2002, 12, 10);
        QTest::newRow("half a year into the next") << QDate(2002, 7, 10) << "半年" << QDate(2003, 1, 10);
        QTest::newRow("five years") << QDate(2002, 7, 10) << "五年" << QDate(2007, 7, 10);
        QTest::newRow("30th into February") << QDate(2003, 11, 30) << "三个月" << QDate(2004, 2, 29);
        QTest::newRow("leap day, a year on") << QDate(2004, 2, 29) << "一年" << QDate(2005, 2, 28);
        QTest::newRow("31st, half a year on") << QDate(2003, 8, 31) << "半年" << QDate(2004, 2, 29);
        QTest::newRow("unknown term") << QDate(2003, 8, 31) << "十年" << QDate();
    }
    void dueDates()
    {
        QFETCH(QDate, begin);
        QFETCH(QString, term);
        QFETCH(QDate, due);
        QCOMPARE(DueDate(begin, term), due);
    }

    void instalmentPlansTermFromItsDates_data()
    {
        QTest::addColumn<QDate>("lastPaid");
        QTest::addColumn<QDate>("due");
        QTest::addColumn<int>("term");  // 0 一年, 1 三年, 2 五年
        QTest::newRow("a year, as opened") << QDate(2003, 3, 10) << QDate(2004, 3, 10) << 0;
        QTest::newRow("three years, as opened") << QDate(2003, 3, 10) << QDate(2006, 3, 10) << 1;
        QTest::newRow("five years, as opened") << QDate(2003, 3, 10) << QDate(2008, 3, 10) << 2;
        // Each instalment moves the date kept: a whole-year count of what is left would say 一年 here.
        QTest::newRow("three years, paid into in the second") << QDate(2004, 5, 10) << QDate(2006, 3, 10) << 1;
        QTest::newRow("five years, paid into in the third") << QDate(2005, 1, 10) << QDate(2008, 3, 10) << 2;
        QTest::newRow("five years, a day over three left") << QDate(2005, 3, 9) << QDate(2008, 3, 10) << 2;
        // What the dates cannot tell: paid into with three years or less left, the plan could be one of three.
        QTest::newRow("five years, three left") << QDate(2005, 3, 10) << QDate(2008, 3, 10) << 1;
        QTest::newRow("a year, paid into late in it") << QDate(2003, 12, 31) << QDate(2004, 3, 10) << 0;
        // Begun on 29 February: due on the 28th, read back as the plan it was.
        QTest::newRow("29 February, a year") << QDate(2004, 2, 29) << DueDate(QDate(2004, 2, 29), QStringLiteral("一年")) << 0;
        QTest::newRow("29 February, five years") << QDate(2004, 2, 29) << DueDate(QDate(2004, 2, 29), QStringLiteral("五年")) << 2;
        QTest::newRow("29 February, three years") << QDate(2004, 2, 29) << DueDate(QDate(2004, 2, 29), QStringLiteral("三年")) << 1;
        // Dates no plan could have: 一年, as when nothing can be told.
        QTest::newRow("due more than five years on") << QDate(2003, 1, 1) << QDate(2010, 1, 1) << 0;
        QTest::newRow("no due date") << QDate(2003, 1, 1) << QDate() << 0;
    }
    void instalmentPlansTermFromItsDates()
    {
        QFETCH(QDate, lastPaid);
        QFETCH(QDate, due);
        QFETCH(int, term);
        QCOMPARE(InstalmentTermPosition(lastPaid, due), term);
    }

    void depositChecksInOrder()
    {
        DepositEntry entry{QStringLiteral("A"), QStringLiteral("整存整取"), QStringLiteral("人民币"), QStringLiteral("中国银行"),
                           QStringLiteral("Li"), QStringLiteral("一年"), QStringLiteral("100.5"), QStringLiteral("2.25")};
        const QList<std::pair<QString DepositEntry::*, QString>> empties{
            {&DepositEntry::account, " 请填写帐户"}, {&DepositEntry::kind, " 请选择储蓄种类"},
            {&DepositEntry::currency, " 请选择货币种类"}, {&DepositEntry::bank, " 请选择办理银行"},
            {&DepositEntry::person, " 请选择经手人"}, {&DepositEntry::term, " 请选择存款时间"},
            {&DepositEntry::amount, " 请填写存入金额"}, {&DepositEntry::rate, " 请填写利率"}};
        for (const auto &[field, message] : empties) {
            DepositEntry missing = entry;
            missing.*field = QString();
            QCOMPARE(CheckDeposit(&missing), message);
        }
        for (const char *zero : {"0", "0.00", "0.004"}) {
            DepositEntry e = entry;
            e.amount = QString::fromLatin1(zero);
            QCOMPARE(CheckDeposit(&e), QStringLiteral(" 金额不可为零"));
        }
        for (const char *wrong : {"5.", "1.2.3"}) {
            DepositEntry e = entry;
            e.amount = QString::fromLatin1(wrong);
            QCOMPARE(CheckDeposit(&e), QStringLiteral(" 金额填写错误"));
        }
        DepositEntry badRate = entry;
        badRate.rate = QStringLiteral("2.");
        QCOMPARE(CheckDeposit(&badRate), QStringLiteral(" 利率填写错误"));
        DepositEntry zeroRate = entry;
        zeroRate.rate = QStringLiteral("0");
        QCOMPARE(CheckDeposit(&zeroRate), QString());
        QCOMPARE(CheckDeposit(&entry), QString());
        QCOMPARE(entry.amount, QStringLiteral("100.5"));
        entry.amount = QStringLiteral("12.346");
        QCOMPARE(CheckDeposit(&entry), QString());
        QCOMPARE(entry.amount, QStringLiteral("12.35"));
    }

    void depositAmountIsSavedAsTheCentsItWasCheckedAs()
    {
        // An amount that passes the zero check must not be written back as nothing, and the cents
        // written back are those the check rounded to.
        DepositEntry entry{QStringLiteral("A"), QStringLiteral("整存整取"), QStringLiteral("人民币"), QStringLiteral("中国银行"),
                           QStringLiteral("Li"), QStringLiteral("一年"), QStringLiteral("0.0049999999"), QStringLiteral("2.25")};
        const QString refused = CheckDeposit(&entry);
        QVERIFY2(refused == QStringLiteral(" 金额不可为零") || (refused.isEmpty() && AtoF(entry.amount) != 0.0),
                 qPrintable(refused + QStringLiteral(" / ") + entry.amount));
    }

    void maturityBeyondTheLedgersRangeIsNotShownAsNothing()
    {
        // Far beyond the largest amount: the figure must stay out of range (and be refused at the save),
        // not wrap to a small number that would be saved as the amount due.
        QVERIFY(AtoF(CentsText(184467440737095520.0)) > kLargestAmount);  // its cents wrap round to 3.84
        DepositEntry huge{QStringLiteral("A"), QStringLiteral("整存整取"), QStringLiteral("人民币"), QStringLiteral("中国银行"),
                          QStringLiteral("Li"), QStringLiteral("一年"), QStringLiteral("184467440737095520"), QStringLiteral("2.25")};
        QCOMPARE(CheckDeposit(&huge), QStringLiteral(" 金额不能大于 9,999,999,999,999.99"));
        QVERIFY(AtoF(CentsText(5e20)) > kLargestAmount);
        QVERIFY(AtoF(CentsText(1e17)) > kLargestAmount);
        QVERIFY(AtoF(MaturityText(0, 9999999999999, 999999999, 5, 20, false)) > kLargestAmount);
        QVERIFY(AtoF(MaturityText(1, 999999999999999999, 999999999, 5, 20, true)) > kLargestAmount);
    }

    void movementsAndNotes()
    {
        MovementEntry entry{QStringLiteral("A"), QStringLiteral("人民币"), QStringLiteral("中国银行"), QStringLiteral("Li"),
                            QStringLiteral("取款"), QStringLiteral("200")};
        QCOMPARE(CheckMovement(&entry), QString());
        MovementEntry noNote = entry;
        noNote.note.clear();
        QCOMPARE(CheckMovement(&noNote), QStringLiteral(" 请选择注释"));
        MovementEntry sign = entry;
        sign.amount = QStringLiteral("5-");
        QCOMPARE(CheckMovement(&sign), QStringLiteral(" 金额填写错误"));
        QCOMPARE(SignedMovementText(QStringLiteral("200"), true), QStringLiteral("-200"));
        QCOMPARE(SignedMovementText(QStringLiteral("200"), false), QStringLiteral("200"));
        QCOMPARE(SignedMovementText(QStringLiteral("-200"), false), QStringLiteral("200"));

        ItemChoice out = ParseNoteChoice(QStringLiteral("出 进货款"), true);  // the leading word decides
        QVERIFY(!out.income);
        QCOMPARE(out.name, QStringLiteral("进货款"));
        ItemChoice in = ParseNoteChoice(QStringLiteral("进 工资"), false);
        QVERIFY(in.income);
        QCOMPARE(in.name, QStringLiteral("工资"));
        ItemChoice neither = ParseNoteChoice(QStringLiteral("利息"), false);
        QVERIFY(!neither.income);
        QCOMPARE(neither.name, QStringLiteral("利息"));
    }

    void assetKindsAndChecks()
    {
        const QStringList list{QStringLiteral("家电 电视机"), QStringLiteral("家电 冰箱"), QStringLiteral("家具 沙发"),
                               QStringLiteral("家电 空调")};
        QCOMPARE(ArticleKinds(list), QStringList({"家电", "家具"}));
        QCOMPARE(ArticleNames(list, QStringLiteral("家电")), QStringList({"电视机", "冰箱", "空调"}));
        QCOMPARE(ArticleNames(list), QStringList({"电视机", "冰箱", "沙发", "空调"}));

        const ArticleEntry good{QStringLiteral("电视机"), QStringLiteral("1"), QStringLiteral("3000"), QStringLiteral("1500.5")};
        const auto check = [&](void (*change)(ArticleEntry &)) {
            ArticleEntry entry = good;
            change(entry);
            return CheckArticle(&entry);
        };
        QCOMPARE(check([](ArticleEntry &e) { e.name.clear(); }), QStringLiteral(" 请输入物品名称"));
        QCOMPARE(check([](ArticleEntry &e) { e.quantity.clear(); }), QStringLiteral(" 请输入物品数量"));
        QCOMPARE(check([](ArticleEntry &e) { e.quantity = QStringLiteral("0"); }), QStringLiteral(" 物品数量不可为零"));
        QCOMPARE(check([](ArticleEntry &e) { e.quantity = QStringLiteral("00"); }), QString());  // only the text 0
        QCOMPARE(check([](ArticleEntry &e) { e.quantity = QStringLiteral("32767"); }), QString());
        QCOMPARE(check([](ArticleEntry &e) { e.quantity = QStringLiteral("40000"); }), QStringLiteral(" 物品数量不能大于 32767"));
        QCOMPARE(check([](ArticleEntry &e) { e.cost.clear(); }), QStringLiteral(" 请输入物品成本"));
        QCOMPARE(check([](ArticleEntry &e) { e.cost = QStringLiteral("5."); }), QStringLiteral(" 物品成本输入错误"));
        QCOMPARE(check([](ArticleEntry &e) { e.cost = QStringLiteral("1.2.3"); }), QStringLiteral(" 物品成本输入错误"));
        QCOMPARE(check([](ArticleEntry &e) { e.value.clear(); }), QStringLiteral(" 请输入物品估值"));
        QCOMPARE(check([](ArticleEntry &e) { e.value = QStringLiteral("5."); }), QStringLiteral(" 物品成本输入错误"));
        QCOMPARE(check([](ArticleEntry &e) { e.cost = QStringLiteral("0"); e.value = QStringLiteral("100"); }), QString());
        QCOMPARE(check([](ArticleEntry &e) { e.cost = QStringLiteral("0"); e.value = QStringLiteral("0.00"); }),
                 QStringLiteral(" 成本与估值不可皆为零"));
        ArticleEntry rounded = good;
        rounded.cost = QStringLiteral("12.346");
        rounded.value = QStringLiteral("0800");
        QCOMPARE(CheckArticle(&rounded), QString());
        QCOMPARE(rounded.cost, QStringLiteral("12.35"));
        QCOMPARE(rounded.value, QStringLiteral("800"));
    }

    void insuranceActivities()
    {
        InsureEntry entry{QStringLiteral("缴纳保费"), QStringLiteral("车险"), QStringLiteral("Li"), QStringLiteral("120")};
        QCOMPARE(CheckInsureActivity(&entry), QString());
        QCOMPARE(SignedInsureText(entry.amount, entry.activity), QStringLiteral("-120"));
        QCOMPARE(SignedInsureText(QStringLiteral("300"), QStringLiteral("保单开户")), QStringLiteral("-300"));
        QCOMPARE(SignedInsureText(QStringLiteral("5000"), QStringLiteral("保险金给付")), QStringLiteral("5000"));
        QCOMPARE(SignedInsureText(QStringLiteral("-20"), QStringLiteral("缴纳保费")), QStringLiteral("-20"));
        QCOMPARE(SignedInsureText(QStringLiteral("+20"), QStringLiteral("缴纳保费")), QStringLiteral("-20"));
        const QList<std::pair<QString InsureEntry::*, QString>> empties{
            {&InsureEntry::activity, " 请选择保险活动"}, {&InsureEntry::policy, " 请选择保单名称"},
            {&InsureEntry::person, " 请选择经手人"}, {&InsureEntry::amount, " 请填写金额"}};
        for (const auto &[field, message] : empties) {
            InsureEntry missing = entry;
            missing.*field = QString();
            QCOMPARE(CheckInsureActivity(&missing), message);
        }
        for (const char *wrong : {"1-", "5.", "1.2.3"}) {
            InsureEntry e = entry;
            e.amount = QString::fromLatin1(wrong);
            QCOMPARE(CheckInsureActivity(&e), QStringLiteral(" 金额填写错误"));
        }
        InsureEntry zero = entry;
        zero.amount = QStringLiteral("0.00");
        QCOMPARE(CheckInsureActivity(&zero), QStringLiteral(" 金额不可为零"));
    }

    void policyChecksInOrder()
    {
        const PolicyEntry good{QStringLiteral("车险"), QStringLiteral("300"), QStringLiteral("100000"), QStringLiteral("300"), 10};
        const auto check = [&](void (*change)(PolicyEntry &), bool adding = true, bool taken = false) {
            PolicyEntry entry = good;
            change(entry);
            return CheckPolicy(&entry, adding, taken);
        };
        const auto same = [](PolicyEntry &) {};
        QCOMPARE(check(same), QString());
        QCOMPARE(check([](PolicyEntry &e) { e.name.clear(); }), QStringLiteral(" 请输入保单名称"));
        QCOMPARE(check(same, true, true), QStringLiteral(" 保单名称重复,请重新输入"));
        QCOMPARE(check(same, false, true), QString());  // the name a changed policy keeps
        QCOMPARE(check([](PolicyEntry &e) { e.premium.clear(); }), QStringLiteral(" 请输入投保金额"));
        QCOMPARE(check([](PolicyEntry &e) { e.premium = QStringLiteral("3."); }), QStringLiteral(" 投保金额输入错误"));
        QCOMPARE(check([](PolicyEntry &e) { e.sumInsured.clear(); }), QStringLiteral(" 请输入保险金额"));
        QCOMPARE(check([](PolicyEntry &e) { e.sumInsured = QStringLiteral("0"); }), QStringLiteral(" 保险金额不可为零"));
        QCOMPARE(check([](PolicyEntry &e) { e.sumInsured = QStringLiteral("1.2.3"); }), QStringLiteral(" 保险金额输入错误"));
        QCOMPARE(check([](PolicyEntry &e) { e.paid.clear(); }), QStringLiteral(" 请输入已交金额"));
        QCOMPARE(check([](PolicyEntry &e) { e.paid = QStringLiteral("5."); }), QStringLiteral(" 保险金额输入错误"));
        QCOMPARE(check([](PolicyEntry &e) { e.paid = QStringLiteral("0"); }), QString());  // nothing paid yet
        QCOMPARE(check([](PolicyEntry &e) { e.years = 101; }), QStringLiteral(" 交费年限只能在 0 到 100 之间"));
        QCOMPARE(check([](PolicyEntry &e) { e.years = 0; }), QString());
        PolicyEntry rounded = good;
        rounded.premium = QStringLiteral("299.995");
        QCOMPARE(CheckPolicy(&rounded, true, false), QString());
        QCOMPARE(rounded.premium, QStringLiteral("300"));
    }

    void creditSignsAndChecks()
    {
        const QString lent = QStringLiteral("借出"), borrowed = QStringLiteral("借入");
        QCOMPARE(CreditActivities(), QStringList({lent, borrowed}));
        QCOMPARE(SignedCreditText(QStringLiteral("500"), borrowed), QStringLiteral("-500"));
        QCOMPARE(SignedCreditText(QStringLiteral("500"), lent), QStringLiteral("500"));
        QCOMPARE(SignedCreditText(QStringLiteral("-500"), borrowed), QStringLiteral("-500"));
        QCOMPARE(SignedCreditText(QStringLiteral("-500"), lent), QStringLiteral("-500"));
        // "-+500" would be saved as 0.
        QCOMPARE(SignedCreditText(QStringLiteral("+500"), borrowed), QStringLiteral("-500"));
        QCOMPARE(AtoF(SignedCreditText(QStringLiteral("+500"), borrowed)), -500.0);

        CreditEntry entry{borrowed, QStringLiteral("Li"), QStringLiteral("500")};
        QCOMPARE(CheckCreditEntry(&entry), QString());
        const QList<std::pair<QString CreditEntry::*, QString>> empties{
            {&CreditEntry::activity, " 请选择借贷活动"}, {&CreditEntry::person, " 请选择经手人"},
            {&CreditEntry::amount, " 请填写金额"}};
        for (const auto &[field, message] : empties) {
            CreditEntry missing = entry;
            missing.*field = QString();
            QCOMPARE(CheckCreditEntry(&missing), message);
        }
        // A sign after the digits would be read as +5, money lent, under 借入.
        for (const char *wrong : {"5-", "5.", "1.2.3", "5+"}) {
            CreditEntry e = entry;
            e.amount = QString::fromLatin1(wrong);
            QCOMPARE(CheckCreditEntry(&e), QStringLiteral(" 金额填写错误"));
        }
        for (const char *zero : {"0", "0.00", "0.004"}) {
            CreditEntry e = entry;
            e.amount = QString::fromLatin1(zero);
            QCOMPARE(CheckCreditEntry(&e), QStringLiteral(" 金额不可为零"));
        }
        // A passing amount is written as the list will show it after the ledger is opened again.
        const QList<std::pair<const char *, const char *>> rewritten{{"12.345", "12.35"}, {"007", "7"},
                                                                      {"+500", "500"}, {"5.50", "5.5"}};
        for (const auto &[typed, kept] : rewritten) {
            entry.amount = QString::fromLatin1(typed);
            QCOMPARE(CheckCreditEntry(&entry), QString());
            QCOMPARE(entry.amount, QString::fromLatin1(kept));
        }
        entry.amount = QStringLiteral("99999999999999999");
        QCOMPARE(CheckCreditEntry(&entry), QStringLiteral(" 金额不能大于 9,999,999,999,999.99"));
    }

    void memoAddressAndFilterRules()
    {
        QCOMPARE(CheckMemo(QStringLiteral("Li"), QStringLiteral("   ")), QString());  // blanks are a memo
        QCOMPARE(CheckMemo(QStringLiteral("Li"), QString()), QStringLiteral(" 请输入备忘内容"));
        QCOMPARE(CheckMemo(QString(), QString()), QStringLiteral(" 请选择家庭成员"));
        QCOMPARE(CheckAddressName(QString()), QStringLiteral("请填入姓名"));
        QCOMPARE(CheckAddressName(QStringLiteral("王")), QString());

        const QDate day(2003, 5, 20);
        QCOMPARE(FilterCondition(FilterChoice::SinceYear, day), QStringLiteral("Date>=#2003-1-1#"));
        QCOMPARE(FilterCondition(FilterChoice::SinceMonth, day), QStringLiteral("Date>=#2003-5-1#"));
        QCOMPARE(FilterCondition(FilterChoice::SinceDay, day), QStringLiteral("Date>=#2003-5-20#"));
        QCOMPARE(FilterCondition(FilterChoice::SinceDay, QDate(2003, 11, 3)), QStringLiteral("Date>=#2003-11-3#"));
        QCOMPARE(FilterCondition(FilterChoice::All, day), QString());
    }

    void transferChecks()
    {
        QString amount = QStringLiteral("1211.12");
        QCOMPARE(CheckTransfer(QStringLiteral("Li"), &amount, 1211.12), QString());
        amount = QStringLiteral("1211.13");
        QCOMPARE(CheckTransfer(QStringLiteral("Li"), &amount, 1211.12), QStringLiteral(" 转入金额不能大于存款到期金额"));
        amount = QStringLiteral("1211.124");  // cut to cents before it is compared
        QCOMPARE(CheckTransfer(QStringLiteral("Li"), &amount, 1211.12), QString());
        QCOMPARE(amount, QStringLiteral("1211.12"));
        amount = QStringLiteral("5.");
        QCOMPARE(CheckTransfer(QStringLiteral("Li"), &amount, 10), QStringLiteral(" 金额输入错误"));
        amount = QStringLiteral("0");
        QCOMPARE(CheckTransfer(QStringLiteral("Li"), &amount, 10), QStringLiteral(" 金额不能为零"));
        amount = QString();
        QCOMPARE(CheckTransfer(QStringLiteral("Li"), &amount, 10), QStringLiteral(" 请输入金额"));
        QCOMPARE(CheckTransfer(QString(), &amount, 10), QStringLiteral(" 请输入经手人"));
    }
};

QTEST_MAIN(TestSavingsRules)
#include "tst_savingsrules.moc"
