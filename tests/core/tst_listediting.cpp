// Editing the reference lists as their editors do: entries with their kind words, refusals, moves,
// the rate table's lines and rule, the asset kinds split and joined, and what the saved files hold.
#include "common/Gbk.h"
#include "entry/NumberRules.h"
#include "lists/ListEditing.h"
#include "lists/ReferenceLists.h"

#include "FileBytes.h"
#include "MessageRecorder.h"
#include "TestInstallation.h"

#include <QTest>

class TestListEditing : public QObject
{
    Q_OBJECT
private slots:
    void init() { ClearReferenceLists(); }

    void itemsWithTheirKindWords()
    {
        QCOMPARE(AddListEntry(ListMode::Items, QStringLiteral("工资"), 0), QString());
        QCOMPARE(g_itemList, QStringList({"收入    工资"}));
        QCOMPARE(AddListEntry(ListMode::Items, QStringLiteral("工资"), 0), QStringLiteral("添加的项目已存在"));
        QCOMPARE(AddListEntry(ListMode::Items, QStringLiteral("工资"), 1), QString());  // the same name as expense
        QCOMPARE(AddListEntry(ListMode::Items, QStringLiteral("奖金"), -1), QStringLiteral("请注明收入支出"));
        QCOMPARE(AddListEntry(ListMode::CurNotes, QStringLiteral("取款"), -1), QStringLiteral("请注明进出"));
        QCOMPARE(AddListEntry(ListMode::CurNotes, QStringLiteral("取款"), 1), QString());
        QCOMPARE(g_curNoteList, QStringList({"出 取款"}));
        QCOMPARE(AddListEntry(ListMode::Items, QString(), 0), QString());  // nothing typed: nothing done
        QCOMPARE(g_itemList.size(), 2);

        // What the list file could not hold is refused at once, not lost at 保存.
        QCOMPARE(AddListEntry(ListMode::Banks, QStringLiteral("a#b"), -1), kReservedCharMessage);
        QVERIFY(AddListEntry(ListMode::Banks, QStringLiteral("银行\U0001F600"), -1).contains(QStringLiteral("不能保存")));
        QVERIFY(g_bankList.isEmpty());

        // The leading word decides the kind: an expense whose name holds 收入 stays an expense.
        g_itemList.append(QStringLiteral("支出    收入补贴"));
        const ListLine line = SplitLine(ListMode::Items, g_itemList.last());
        QCOMPARE(line.kind, 1);
        QCOMPARE(line.content, QStringLiteral("收入补贴"));
        QCOMPARE(SplitLine(ListMode::CurNotes, QStringLiteral("出 进货款")).kind, 1);

        // 修改: unchanged refused; a change keeps the place.
        QCOMPARE(ModifyListEntry(ListMode::Items, 0, QStringLiteral("工资"), 0), QStringLiteral("修改后的项目已存在"));
        QCOMPARE(ModifyListEntry(ListMode::Items, 0, QStringLiteral("薪水"), 0), QString());
        QCOMPARE(g_itemList.first(), QStringLiteral("收入    薪水"));
        QCOMPARE(ModifyListEntry(ListMode::Items, 0, QStringLiteral("工资"), 1), QStringLiteral("修改后的项目已存在"));
        QCOMPARE(ModifyListEntry(ListMode::Items, 0, QStringLiteral("x#"), 1), kReservedCharMessage);
        QCOMPARE(g_itemList.first(), QStringLiteral("收入    薪水"));
    }

    void deletesAndMoves()
    {
        g_bankList = QStringList({"甲", "乙", "丙"});
        QVERIFY(!MoveListEntry(ListMode::Banks, 0, true));   // 上移 on the first line
        QVERIFY(!MoveListEntry(ListMode::Banks, 2, false));  // 下移 on the last line
        QCOMPARE(g_bankList, QStringList({"甲", "乙", "丙"}));
        QVERIFY(MoveListEntry(ListMode::Banks, 2, true));
        QCOMPARE(g_bankList, QStringList({"甲", "丙", "乙"}));
        QVERIFY(MoveListEntry(ListMode::Banks, 0, false));
        QCOMPARE(g_bankList, QStringList({"丙", "甲", "乙"}));
        QVERIFY(DeleteListEntry(ListMode::Banks, 1));
        QCOMPARE(g_bankList, QStringList({"丙", "乙"}));
        QVERIFY(!DeleteListEntry(ListMode::Banks, 5));
    }

    void ratesAndTheirFile()
    {
        TestInstallation install;
        MessageRecorder messages;
        LoadAllListFiles();
        QCOMPARE(RateLine(0), QStringLiteral("定期三个月      ") + QString::number(g_rateTable[0]));
        QCOMPARE(RateOfLine(RateLine(15)), QString::number(g_rateTable[15]));
        // Typing: a foreign character empties the field.
        QCOMPARE(NumberTextAfterTyping(QStringLiteral("2.2a"), NumberKind::Unsigned, 9), QString());
        QCOMPARE(ModifyRate(2, QString()), QStringLiteral("请填写利率"));
        QCOMPARE(ModifyRate(2, QStringLiteral("2.")), QStringLiteral("利率填写错误"));
        QCOMPARE(ModifyRate(2, QStringLiteral("2.2.5")), QStringLiteral("利率填写错误"));
        QCOMPARE(ModifyRate(2, QStringLiteral("2.2555")), QString());
        QCOMPARE(g_rateTable[2], 2.255);
        QCOMPARE(RateLine(2), QStringLiteral("定期一年        2.255"));
        QVERIFY(SaveRateFile());
        const QList<QByteArray> entries = ReadBytes(install.DataFile("Rate.kwl")).split('#');
        QCOMPARE(entries.value(2), QByteArray("2.255"));
        QVERIFY(messages.messages.isEmpty());
    }

    void assetKinds()
    {
        g_articleKindList = QStringList({"车 轿车", "车库 车位", "车 摩托", "家电 电视", "家电 冰箱"});
        QCOMPARE(MajorKinds(), QStringList({"车", "车库", "家电"}));
        QCOMPARE(MinorKinds(QStringLiteral("车")), QStringList({"轿车", "摩托"}));
        DeleteMajorKind(QStringLiteral("车"));
        QCOMPARE(g_articleKindList, QStringList({"车库 车位", "家电 电视", "家电 冰箱"}));

        QCOMPARE(RenameMajorKind(QStringLiteral("车库"), QStringLiteral("家电")), QStringLiteral("添加的物品种类已存在"));
        QCOMPARE(RenameMajorKind(QStringLiteral("家电"), QStringLiteral("家用 电器")),
                 QStringLiteral("物品大类不能为空，也不能含有空格"));
        QCOMPARE(RenameMajorKind(QStringLiteral("家电"), QString()), QStringLiteral("物品大类不能为空，也不能含有空格"));
        QCOMPARE(RenameMajorKind(QStringLiteral("车库"), QStringLiteral("车库房")), QString());  // begins like one: accepted
        QCOMPARE(g_articleKindList, QStringList({"车库房 车位", "家电 电视", "家电 冰箱"}));

        QCOMPARE(AddMajorKind(), QStringLiteral("新物品种类"));
        QCOMPARE(AddMajorKind(), QString());
        QCOMPARE(g_articleKindList.last(), QStringLiteral("新物品种类 新物品"));
        QCOMPARE(AddMinorKind(QStringLiteral("家电")), QStringLiteral("新物品"));
        QCOMPARE(AddMinorKind(QStringLiteral("家电")), QString());
        QCOMPARE(RenameMinorKind(QStringLiteral("家电"), QStringLiteral("新物品"), QStringLiteral("冰箱")),
                 QStringLiteral("添加的物品已存在"));
        QCOMPARE(RenameMinorKind(QStringLiteral("家电"), QStringLiteral("新物品"), QStringLiteral("洗 衣 机")), QString());
        QCOMPARE(MinorKinds(QStringLiteral("家电")), QStringList({"电视", "冰箱", "洗 衣 机"}));
        DeleteMinorKind(QStringLiteral("家电"), QStringLiteral("电视"));
        QCOMPARE(MinorKinds(QStringLiteral("家电")), QStringList({"冰箱", "洗 衣 机"}));
    }

    void savedListsReadBackByteForByte()
    {
        TestInstallation install;
        MessageRecorder messages;
        LoadAllListFiles();
        g_bankList = QStringList({"中国银行", "招商银行"});
        QCOMPARE(AddListEntry(ListMode::Banks, QStringLiteral("农村信用社"), -1), QString());
        QVERIFY(SaveBankFile());
        QCOMPARE(ReadBytes(install.DataFile("Bank.kwl")), Gbk(QStringLiteral("中国银行#招商银行#农村信用社#")));
        g_bankList.clear();
        LoadBankFile();
        QCOMPARE(g_bankList, QStringList({"中国银行", "招商银行", "农村信用社"}));
        QCOMPARE(AddListEntry(ListMode::Items, QStringLiteral("理财"), 0), QString());
        QVERIFY(SaveItemFile());
        QVERIFY(ReadBytes(install.DataFile("Item.kwl")).endsWith(Gbk(QStringLiteral("收入    理财#"))));
        QVERIFY(messages.messages.isEmpty());
    }
};

QTEST_MAIN(TestListEditing)
#include "tst_listediting.moc"
