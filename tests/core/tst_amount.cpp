// Amount texts and C-style number reading.
#include "common/Amount.h"
#include "common/Gbk.h"
#include "common/LedgerDate.h"

#include <QTest>

class TestAmount : public QObject
{
    Q_OBJECT
private slots:
    void trimAmount_data()
    {
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 12.0 << "12";
        QTest::newRow("one decimal") << 12.5 << "12.5";
        QTest::newRow("two decimals") << 12.05 << "12.05";
        QTest::newRow("zeros before the point stay") << 100.5 << "100.5";
        QTest::newRow("hundred") << 100.0 << "100";
        QTest::newRow("negative") << -25.0 << "-25";
        QTest::newRow("negative decimals") << -0.75 << "-0.75";
        QTest::newRow("rounded to cents") << 12.346 << "12.35";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("ten") << 10.1 << "10.1";
    }
    void trimAmount()
    {
        QFETCH(double, amount);
        QFETCH(QString, text);
        QCOMPARE(TrimAmount(amount), text);
    }

    void formatAmount_data()
    {
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("text");
        QTest::newRow("millions and a half") << 1234567.5 << "1,234,567.5";
        QTest::newRow("negative thousands") << -1234.0 << "-1,234";
        QTest::newRow("twelve hundred") << 1200.0 << "1,200";
        QTest::newRow("small decimals") << 3.05 << "3.05";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("thousand and a half") << 1000.5 << "1,000.5";
        QTest::newRow("minus a million") << -1000000.0 << "-1,000,000";
        QTest::newRow("three digits, no comma") << -999.0 << "-999";
        QTest::newRow("cents") << 1234567.89 << "1,234,567.89";
    }
    void formatAmount()
    {
        QFETCH(double, amount);
        QFETCH(QString, text);
        QCOMPARE(FormatAmount(amount), text);
    }

    void formatLg()
    {
        QCOMPARE(FormatLg(1234567.89), QStringLiteral("1.23457e+06"));
        QCOMPARE(FormatLg(70.0), QStringLiteral("70"));
        QCOMPARE(FormatLg(-30.5), QStringLiteral("-30.5"));
        QCOMPARE(FormatLg(0.0), QStringLiteral("0"));
    }

    void atof_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "12.5" << 12.5;
        QTest::newRow("signed") << "-25" << -25.0;
        QTest::newRow("plus") << "+5" << 5.0;
        QTest::newRow("leading blanks") << "  3.25" << 3.25;
        QTest::newRow("trailing junk") << "12a" << 12.0;
        QTest::newRow("second point ends it") << "1.2.3" << 1.2;
        QTest::newRow("no number") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("lone sign") << "-" << 0.0;
        QTest::newRow("leading point") << ".5" << 0.5;
        QTest::newRow("trailing point") << "5." << 5.0;
        QTest::newRow("exponent") << "1e3" << 1000.0;
        QTest::newRow("minus zero") << "-0" << 0.0;
    }
    void atof()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(AtoF(text), value);
    }

    void atoi()
    {
        QCOMPARE(AtoI(QStringLiteral("1")), 1);
        QCOMPARE(AtoI(QStringLiteral(" 42x")), 42);
        QCOMPARE(AtoI(QStringLiteral("x")), 0);
        QCOMPARE(AtoI(QStringLiteral("-7")), -7);
        QCOMPARE(AtoI(QStringLiteral("3.9")), 3);
    }

    void gbkLengthCountsTwoPerChineseCharacter()
    {
        QCOMPARE(GbkLength(QStringLiteral("人民币")), 6);
        QCOMPARE(GbkLength(QStringLiteral("收入    工资")), 12);
        QCOMPARE(GbkLength(QStringLiteral("abc")), 3);
        // Cut to a number of bytes: never a character in two, a surrogate pair kept whole or left out.
        QCOMPARE(CutToGbkBytes(QStringLiteral("人民币abc"), 5), QStringLiteral("人民"));
        QCOMPARE(CutToGbkBytes(QStringLiteral("ab人民币"), 7), QStringLiteral("ab人民"));
        const QString smile = QStringLiteral("a\U0001F600b");
        QCOMPARE(CutToGbkBytes(smile, 2), QStringLiteral("a"));
        QCOMPARE(CutToGbkBytes(smile, 3), smile.left(3));
        QCOMPARE(CutToGbkBytes(QStringLiteral("abc"), 90), QStringLiteral("abc"));
    }

    void gbkRoundTripAndRefusal()
    {
        QByteArray bytes;
        QVERIFY(EncodeGbk(QStringLiteral("人民币"), &bytes));
        QCOMPARE(bytes, QByteArray("\xC8\xCB\xC3\xF1\xB1\xD2"));
        QCOMPARE(DecodeGbk(bytes), QStringLiteral("人民币"));
        QVERIFY(!IsGbkEncodable(QStringLiteral("笑😀")));
        QVERIFY(IsGbkEncodable(QStringLiteral("O'Neil")));
    }

    void loneLeadByteAtTheEndIsNotDroppedSilently()
    {
        bool faithful = false;
        QCOMPARE(DecodeGbk(QByteArray("\xC8\xCB\xC3\xF1"), &faithful), QStringLiteral("人民"));
        QVERIFY(faithful);
        QCOMPARE(DecodeGbk(QByteArray("\xC8\xCB\xC3"), &faithful), QStringLiteral("人\uFFFD"));
        QVERIFY(!faithful);
        QCOMPARE(DecodeGbk(QByteArray("Li\x81 x"), &faithful), QStringLiteral("Li\uFFFD x"));
        QVERIFY(!faithful);
        QVERIFY(!IsGbkEncodable(DecodeGbk(QByteArray("\xC3"))));  // so it can never be saved as something else
        QCOMPARE(DecodeGbk(QByteArray(), &faithful), QString());
        QVERIFY(faithful);
    }

    void dateTexts()
    {
        const QDateTime date(QDate(2003, 5, 1), QTime(10, 30, 5));
        QCOMPARE(ListDateText(date), QStringLiteral("2003-05-01"));
        QCOMPARE(DbDateText(date), QStringLiteral("2003-05-01 10:30:05"));
        QCOMPARE(DateFromDb(QStringLiteral("2003-05-01 10:30:05")), date);
        QCOMPARE(ParseDateText(QStringLiteral("2003-5-1")), LedgerDateTime(QDate(2003, 5, 1), QTime(0, 0)));
        QCOMPARE(ParseDateText(QStringLiteral("2003-05-01 10:30:05")), LedgerDateTime(QDate(2003, 5, 1), QTime(0, 0)));
        QVERIFY(!ParseDateText(QStringLiteral("2003-02-30")).isValid());
        QVERIFY(!ParseDateText(QStringLiteral("tomorrow")).isValid());
    }
};

QTEST_GUILESS_MAIN(TestAmount)
#include "tst_amount.moc"
