// Entry-field rules: amount typing and checks, item choices, and the calculator pad's arithmetic.
#include "entry/AmountRules.h"
#include "entry/CalcEngine.h"
#include "entry/EntryChoice.h"
#include "entry/ItemChoice.h"
#include "entry/NumberRules.h"

#include "MessageRecorder.h"

#include <QTest>

class TestEntry : public QObject
{
    Q_OBJECT
private slots:
    void typing_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("pasted letter clears") << "12a" << "";
        QTest::newRow("digits") << "12.5" << "12.5";
        QTest::newRow("leading point clears") << ".5" << "";
        QTest::newRow("signs stay while typing") << "+5" << "+5";
        QTest::newRow("cut to 18") << "1234567890123456789" << "123456789012345678";
        QTest::newRow("blank clears") << "1 2" << "";
    }
    void typing()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QCOMPARE(AmountTextAfterChange(typed), kept);
    }

    void keys()
    {
        QVERIFY(IsAmountKey(QLatin1Char('7')));
        QVERIFY(IsAmountKey(QLatin1Char('\b')));
        QVERIFY(IsAmountKey(QLatin1Char('-')));
        QVERIFY(!IsAmountKey(QLatin1Char('a')));
        QVERIFY(!IsAmountKey(QLatin1Char(',')));
    }

    void checks_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("rewritten");
        QTest::newRow("empty") << "" << " 请输入金额" << "";
        QTest::newRow("zero") << "0" << " 金额不能为零" << "0";
        QTest::newRow("zero cents") << "0.00" << " 金额不能为零" << "0.00";
        QTest::newRow("minus zero") << "-0" << " 金额不能为零" << "-0";
        QTest::newRow("trailing point") << "5." << " 金额输入错误" << "5.";
        QTest::newRow("trailing minus") << "5-" << " 金额输入错误" << "5-";
        QTest::newRow("trailing plus") << "5+" << " 金额输入错误" << "5+";
        QTest::newRow("plus sign dropped") << "+5" << "" << "5";
        QTest::newRow("rounded to cents") << "12.346" << "" << "12.35";
        QTest::newRow("less than half a cent") << "0.004" << " 金额不能为零" << "0.004";
        QTest::newRow("half a cent") << "0.005" << "" << "0.01";
        QTest::newRow("trailing zero") << "12.50" << "" << "12.5";
        QTest::newRow("whole") << "12.00" << "" << "12";
        QTest::newRow("negative") << "-25" << "" << "-25";
        const QString tooLarge = QStringLiteral(" 金额不能大于 9,999,999,999,999.99");
        QTest::newRow("largest") << "9999999999999.99" << "" << "9999999999999.99";
        QTest::newRow("largest spent") << "-9999999999999.99" << "" << "-9999999999999.99";
        QTest::newRow("a cent more") << "10000000000000" << tooLarge << "10000000000000";
        QTest::newRow("rounds up past it") << "9999999999999.996" << tooLarge << "9999999999999.996";
        QTest::newRow("eighteen nines") << "999999999999999999" << tooLarge << "999999999999999999";
        QTest::newRow("card number spent") << "-6222021234567890" << tooLarge << "-6222021234567890";
    }
    void checks()
    {
        QFETCH(QString, amount);
        QFETCH(QString, message);
        QFETCH(QString, rewritten);
        QString text = amount;
        QCOMPARE(CheckAmount(&text), message);
        QCOMPARE(text, rewritten);
    }

    void aSecondPointInAnIncomeOrExpenseIsRefusedAsInEveryAmountField_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::newRow("two points together") << "12..5";
        QTest::newRow("two points apart") << "1.2.3";
        QTest::newRow("spent, two points") << "-1.2.3";
        QTest::newRow("point after the sign") << "-.5";
    }
    void aSecondPointInAnIncomeOrExpenseIsRefusedAsInEveryAmountField()
    {
        // These were saved as 12 and 1.2; the savings and later fields refuse them, and so does this one.
        QFETCH(QString, amount);
        QString text = amount;
        QCOMPARE(CheckAmount(&text), QStringLiteral(" 金额输入错误"));
        QCOMPARE(text, amount);  // left as typed, for the user to mend
        QString shared = amount;
        QCOMPARE(CheckAmountField(&shared, QStringLiteral(" 金额不能为零"), QStringLiteral(" 金额输入错误")),
                 QStringLiteral(" 金额输入错误"));
    }

    void anIncomeOrExpenseIsRoundedToTheCentAsEveryAmountField()
    {
        // Half a cent goes away from zero on the decimal value, as the savings fields round it ("%.2f"
        // on the binary value gave 1211.11 and 0.12).
        const QList<QPair<QString, QString>> amounts{{"1211.115", "1211.12"}, {"-3694.905", "-3694.91"}, {"0.125", "0.13"}};
        for (const auto &[typed, saved] : amounts) {
            QString text = typed;
            QCOMPARE(CheckAmount(&text), QString());
            QCOMPARE(text, saved);
        }
    }

    void signing()
    {
        QCOMPARE(SignedAmountText(QStringLiteral("25"), true), QStringLiteral("-25"));
        QCOMPARE(SignedAmountText(QStringLiteral("-25"), false), QStringLiteral("-25"));
        QCOMPARE(SignedAmountText(QStringLiteral("-25"), true), QStringLiteral("-25"));
        QCOMPARE(SignedAmountText(QStringLiteral("25"), false), QStringLiteral("25"));
    }

    void itemChoices()
    {
        ItemChoice income = ParseItemChoice(QStringLiteral("收入    工资"));
        QCOMPARE(income.name, QStringLiteral("工资"));
        QVERIFY(income.income);
        ItemChoice expense = ParseItemChoice(QStringLiteral("支出    餐饮"));
        QCOMPARE(expense.name, QStringLiteral("餐饮"));
        QVERIFY(!expense.income);
        ItemChoice plain = ParseItemChoice(QStringLiteral("其他    礼品"));  // neither word: income, four bytes off
        QCOMPARE(plain.name, QStringLiteral("礼品"));
        QVERIFY(plain.income);
        QCOMPARE(ParseItemChoice(QStringLiteral("abcdefg")).name, QStringLiteral("efg"));
        QCOMPARE(ParseItemChoice(QStringLiteral("abc工资")).name, QStringLiteral("资"));  // no half character
    }

    void itemKindIsTheLeadingWordNotAWordInTheName()
    {
        ItemChoice tax = ParseItemChoice(QStringLiteral("支出    个人收入所得税"));
        QVERIFY(!tax.income);
        QCOMPARE(tax.name, QStringLiteral("个人收入所得税"));
        ItemChoice refund = ParseItemChoice(QStringLiteral("收入    支出返还"));
        QVERIFY(refund.income);
        QCOMPARE(refund.name, QStringLiteral("支出返还"));
        // A kind word later in an entry without a leading one does not decide either.
        ItemChoice other = ParseItemChoice(QStringLiteral("其他    支出"));
        QVERIFY(other.income);
        QCOMPARE(other.name, QStringLiteral("支出"));
    }

    void storedTextChoosesTheExactEntryBeforeALongerOne()
    {
        const QStringList members = {QStringLiteral("Lisa"), QStringLiteral("Li"), QStringLiteral("Wang")};
        QCOMPARE(ChooseEntry(members, QStringLiteral("Li")), 1);
        QCOMPARE(ChooseEntry(members, QStringLiteral("Lisa")), 0);
        QCOMPARE(ChooseEntry(members, QStringLiteral("Wa")), 2);  // no exact entry: the first that begins with it
        QCOMPARE(ChooseEntry(members, QStringLiteral("Zhou")), -1);  // neither: the dialog appends it
        QCOMPARE(ChooseEntry({}, QStringLiteral("Li")), -1);
    }

    void calculator_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("rangeMessage");
        auto keys = [](const char *text) { return QString::fromLatin1(text).split(QLatin1Char(' ')); };
        QTest::newRow("sum") << "" << keys("1 2 . 5 + 7 . 5 =") << "20" << false;
        QTest::newRow("quarter") << "" << keys("1 0 / 4 =") << "2.5" << false;
        QTest::newRow("third") << "" << keys("1 / 3 =") << "0.33" << false;
        QTest::newRow("by zero") << "" << keys("7 / 0 =") << "" << true;
        QTest::newRow("negative first") << "" << keys("- 8 + 2 =") << "-6" << false;
        QTest::newRow("zero intermediate is a first number") << "" << keys("5 - 5 * 3 =") << "0" << false;
        QTest::newRow("zero intermediate then minus") << "" << keys("2 - 2 - 3 =") << "-3" << false;
        QTest::newRow("typed zero is a first number") << "" << keys("0 - 5 =") << "-5" << false;
        QTest::newRow("clear forgets the first number") << "" << keys("4 + 4 + C 0 - 5 =") << "-5" << false;
        QTest::newRow("range error forgets the first number") << "" << keys("7 / 0 + 0 - 2 =") << "-2" << true;
        QTest::newRow("field's number") << "100" << keys("+ 5 0 =") << "150" << false;
        QTest::newRow("plus twice") << "" << keys("2 + + 3 =") << "5" << false;
        QTest::newRow("point after operator") << "" << keys("2 + . 5 =") << "7" << false;
        QTest::newRow("edge of range") << "" << keys("9 9 9 9 9 9 9 9 9 9 9 9 9 9 * 1 0 + 1 =") << "999999999999991" << false;
        QTest::newRow("out of range") << "" << keys("9 9 9 9 9 9 9 9 9 9 9 9 9 9 * 1 0 0 =") << "" << true;
        QTest::newRow("backspace") << "" << keys("1 2 3 <- + 1 =") << "13" << false;
        QTest::newRow("clear") << "" << keys("4 + 4 C 9 =") << "9" << false;
    }
    void calculator()
    {
        QFETCH(QString, field);
        QFETCH(QStringList, keys);
        QFETCH(QString, result);
        QFETCH(bool, rangeMessage);
        MessageRecorder messages;
        CalcEngine engine(field);
        for (const QString &key : keys) {
            QVERIFY(!engine.IsFinished());
            field = engine.Press(key, field);
        }
        QVERIFY(engine.IsFinished());
        QCOMPARE(field, result);
        QCOMPARE(messages.Texts(), rangeMessage ? QStringList({"超出计算范围"}) : QStringList());
        if (rangeMessage)
            QCOMPARE(messages.messages.first().caption, QStringLiteral("错误"));
    }

    void secondPlusChangesNotEvenTheOperator()
    {
        CalcEngine engine{QString()};
        QString field;
        for (const char *key : {"6", "*", "+", "2", "="})
            field = engine.Press(QString::fromLatin1(key), field);
        QCOMPARE(field, QStringLiteral("12"));
    }

    void resultFormat()
    {
        QCOMPARE(CalcEngine::FormatResult(20), QStringLiteral("20"));
        QCOMPARE(CalcEngine::FormatResult(2.5), QStringLiteral("2.5"));
        QCOMPARE(CalcEngine::FormatResult(1.0 / 3), QStringLiteral("0.33"));
        QCOMPARE(CalcEngine::FormatResult(-6), QStringLiteral("-6"));
    }
};

QTEST_GUILESS_MAIN(TestEntry)
#include "tst_entry.moc"
