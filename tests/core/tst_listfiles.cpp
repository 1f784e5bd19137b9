// The ten list files: byte format, round trips, failure messages and damaged files.
#include "common/Gbk.h"
#include "lists/ListFile.h"
#include "lists/ReferenceLists.h"

#include "FileBytes.h"
#include "FileSizeLimit.h"
#include "MessageRecorder.h"
#include "TestInstallation.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

class TestListFiles : public QObject
{
    Q_OBJECT
private slots:
    void installedListsDecodeAsGbk()
    {
        TestInstallation install;
        QVERIFY(install.IsValid());
        MessageRecorder messages;
        LoadAllListFiles();
        QVERIFY2(messages.messages.isEmpty(), qPrintable(messages.Texts().join('|')));
        QCOMPARE(g_currencyList.value(0), QStringLiteral("人民币"));
        QVERIFY(g_itemList.contains(QStringLiteral("收入    工资")));
        QCOMPARE(g_bNeedPassword, 0);
        QVERIFY(g_memberList.isEmpty());
        QVERIFY(g_rateTable[3] > 0.0);
        for (const QString &entry : g_itemList)
            QVERIFY(entry.startsWith(QStringLiteral("收入    ")) || entry.startsWith(QStringLiteral("支出    ")));
    }

    void emptyEntryBetweenTwoMarks()
    {
        TestInstallation install;
        WriteBytes(install.DataFile("Bank.kwl"), "a##b#");
        LoadBankFile();
        QCOMPARE(g_bankList, QStringList({"a", "", "b"}));
    }

    void listRoundTripKeepsOrderAndBlanks()
    {
        TestInstallation install;
        g_itemList = {QStringLiteral("收入    工资"), QStringLiteral("支出    餐饮"), QStringLiteral("支出    餐饮")};
        SaveItemFile();
        QByteArray expected;
        QByteArray bytes;
        for (const QString &entry : g_itemList) {
            QVERIFY(EncodeGbk(entry, &bytes));
            expected += bytes + '#';
        }
        QCOMPARE(ReadBytes(install.DataFile("Item.kwl")), expected);
        const QStringList saved = g_itemList;
        g_itemList.clear();
        LoadItemFile();
        QCOMPARE(g_itemList, saved);
    }

    void emptyListSavesEmptyFile()
    {
        TestInstallation install;
        g_insKindList.clear();
        SaveInskindFile();
        QCOMPARE(ReadBytes(install.DataFile("Inskind.kwl")), QByteArray());
        g_insKindList = {QStringLiteral("x")};
        g_insKindList.clear();
        LoadInskindFile();
        QVERIFY(g_insKindList.isEmpty());
    }

    void memberWithEmptyPasswordGivesTwoMarks()
    {
        TestInstallation install;
        g_memberList = {QStringLiteral("Li"), QString()};
        SaveMemberFile();
        QCOMPARE(ReadBytes(install.DataFile("Member.kwl")), QByteArray("Li##"));
        g_memberList.clear();
        LoadMemberFile();
        QCOMPARE(g_memberList, QStringList({"Li", ""}));
    }

    void rateFileFormat()
    {
        TestInstallation install;
        for (double &rate : g_rateTable)
            rate = 0.0;
        g_rateTable[0] = 2.25;
        SaveRateFile();
        QByteArray expected("2.250#");
        for (int i = 0; i < 15; ++i)
            expected += "0.000#";
        QCOMPARE(ReadBytes(install.DataFile("Rate.kwl")), expected);
    }

    void shortRateFileLeavesOtherSlots()
    {
        TestInstallation install;
        for (int i = 0; i < kRateCount; ++i)
            g_rateTable[i] = 9.0;
        WriteBytes(install.DataFile("Rate.kwl"), "1#2#3#4#5.5#");
        LoadRateFile();
        QCOMPARE(g_rateTable[0], 1.0);
        QCOMPARE(g_rateTable[4], 5.5);
        QCOMPARE(g_rateTable[5], 9.0);
        QCOMPARE(g_rateTable[15], 9.0);
        WriteBytes(install.DataFile("Rate.kwl"), QByteArray("1#").repeated(20));
        LoadRateFile();  // entries beyond the sixteenth have no slot
        QCOMPARE(g_rateTable[15], 1.0);
    }

    void systemFile()
    {
        TestInstallation install;
        MessageRecorder messages;
        WriteBytes(install.DataFile("Sys.kwl"), "1#");
        LoadSysFile();
        QCOMPARE(g_bNeedPassword, 1);
        g_bNeedPassword = 0;
        WriteBytes(install.DataFile("Sys.kwl"), "");
        LoadSysFile();
        QCOMPARE(g_bNeedPassword, 0);
        QVERIFY(messages.messages.isEmpty());  // an empty file is no failure
        g_bNeedPassword = 1;
        SaveSysFile();
        QCOMPARE(ReadBytes(install.DataFile("Sys.kwl")), QByteArray("1#"));
    }

    void missingFilesReportTheirOwnMessages()
    {
        TestInstallation install;
        MessageRecorder messages;
        const char *names[] = {"Sys.kwl", "Item.kwl", "Member.kwl", "Article.kwl", "Mkind.kwl",
                               "Bank.kwl", "Rate.kwl", "Curnote.kwl", "Inskind.kwl", "Insorgan.kwl"};
        for (const char *name : names)
            QVERIFY(QFile::remove(install.DataFile(name)));
        LoadAllListFiles();
        QCOMPARE(messages.Texts(), QStringList({"系统文件读取失败", "读取收支项目文件失败", "读取家庭成员文件失败",
                                                "读取物品种类文件失败", "读取货币种类文件失败", "读取银行名称文件失败",
                                                "利率文件读取失败", "读取活期储蓄注释文件失败", "读取保险种类文件失败",
                                                "读取保险机构文件失败"}));
        QVERIFY(g_currencyList.isEmpty());
        QCOMPARE(g_bNeedPassword, 0);
        QVERIFY2(!QFile::exists(install.DataFile("Bank.kwl")), "a load must never create a file");
    }

    void unwritableFileKeepsItsContent()
    {
        TestInstallation install;
        MessageRecorder messages;
        QDir(install.Path()).rename(QStringLiteral("Data"), QStringLiteral("Moved"));
        g_bankList = {QStringLiteral("x")};
        SaveBankFile();
        QCOMPARE(messages.Last(), QStringLiteral("保存银行机构文件失败"));
        QCOMPARE(g_bankList, QStringList({"x"}));
    }

    void entryWithoutGbkFormIsRefused()
    {
        TestInstallation install;
        MessageRecorder messages;
        const QByteArray before = ReadBytes(install.DataFile("Member.kwl"));
        g_memberList = {QStringLiteral("小明😀"), QStringLiteral("pw")};
        SaveMemberFile();
        QVERIFY(messages.Last().startsWith(QStringLiteral("保存家庭成员文件失败")));
        QCOMPARE(ReadBytes(install.DataFile("Member.kwl")), before);

        g_bankList = {QStringLiteral("a#b")};  // '#' would split the entry in two
        SaveBankFile();
        QVERIFY(messages.Last().startsWith(QStringLiteral("保存银行机构文件失败")));
    }

    void fullDiskKeepsTheOldFile()
    {
        TestInstallation install;
        MessageRecorder messages;
        const QByteArray five("Li#a#Wang#b#Zhao#c#Sun#d#Zhou#e#");
        const QString members = install.DataFile("Member.kwl");
        WriteBytes(members, five);
        LoadMemberFile();
        g_memberList << QStringLiteral("Qian") << QStringLiteral("f");
        for (double &rate : g_rateTable)
            rate = 1.5;
        const QByteArray rates = ReadBytes(install.DataFile("Rate.kwl"));
        {
            FileSizeLimit full(five.size());  // the longer list no longer fits
            QVERIFY(full.IsValid());
            QVERIFY(!WriteListFile(members, {QByteArray(100, 'x')}));
            QVERIFY(!SaveMemberFile());
            QVERIFY(!SaveRateFile());
        }
        QCOMPARE(messages.Texts(), QStringList({"保存家庭成员文件失败", "保存利率文件失败"}));
        QCOMPARE(ReadBytes(members), five);
        QCOMPARE(ReadBytes(install.DataFile("Rate.kwl")), rates);
        QCOMPARE(QDir(install.Path() + QStringLiteral("/Data")).entryList({QStringLiteral("*.kwl.*")}), QStringList());
        QVERIFY(SaveMemberFile());  // room again
        QCOMPARE(ReadBytes(members), five + "Qian#f#");
    }

    void bytesThatAreNotGbkAreNamedAtLoad()
    {
        TestInstallation install;
        MessageRecorder messages;
        // Entry 2 ends in a lone lead byte, which would vanish at the next save.
        const QByteArray item = Gbk(QStringLiteral("收入    工资")) + '#' + Gbk(QStringLiteral("支出    餐")) + "\xB7#"
                                + Gbk(QStringLiteral("支出    房租")) + '#';
        WriteBytes(install.DataFile("Item.kwl"), item);
        LoadAllListFiles();
        QCOMPARE(messages.messages.size(), 1);
        QCOMPARE(messages.Last(),
                 QStringLiteral("收支项目文件 Item.kwl 中的第 2 项“支出    餐\uFFFD”含有无法识别的字节（显示为 \uFFFD）。\n"
                                "改正或删除这一项之前，这个文件无法保存。"));
        QCOMPARE(g_itemList.size(), 3);
        QCOMPARE(g_itemList.at(1), QStringLiteral("支出    餐\uFFFD"));

        // The save refuses rather than write the entry shortened.
        messages.Clear();
        QVERIFY(!SaveItemFile());
        QVERIFY(messages.Last().startsWith(QStringLiteral("保存收支项目文件失败\n第 2 项")));
        QCOMPARE(ReadBytes(install.DataFile("Item.kwl")), item);
    }

    void manyDamagedEntriesGiveOneMessageAndHidePasswords()
    {
        TestInstallation install;
        MessageRecorder messages;
        WriteBytes(install.DataFile("Member.kwl"), "Li#secret\xC3#Wang##");
        WriteBytes(install.DataFile("Bank.kwl"), QByteArray("a\x81 #").repeated(7));
        LoadMemberFile();
        LoadBankFile();
        QCOMPARE(messages.messages.size(), 2);
        QVERIFY2(messages.Texts().at(0).contains(QStringLiteral("第 2 项（密码）")), qPrintable(messages.Texts().at(0)));
        QVERIFY(!messages.Texts().at(0).contains(QStringLiteral("secret")));
        QVERIFY2(messages.Texts().at(1).contains(QStringLiteral("等 7 项")), qPrintable(messages.Texts().at(1)));
        QCOMPARE(g_bankList.size(), 7);
    }

    void staleTemporariesAreRemovedAtStart()
    {
        TestInstallation install;
        MessageRecorder messages;
        const QStringList stale = {"Member.kwl.AbCdEf", "Item.kwl.QWERTY", "Rate.kwl.zzzzzA"};
        const QStringList kept = {"Item.kwl.backup", "Item.kwl.AbCdE", "Item.kwl.AbCdEfG", "Item.kwl.AbC1Ef",
                                  "Notes.kwl.AbCdEf", "item.kwl.AbCdEf"};
        for (const QString &name : stale + kept)
            WriteBytes(install.DataFile(name), "x#");
        LoadAllListFiles();
        QVERIFY(messages.messages.isEmpty());
        for (const QString &name : stale)
            QVERIFY2(!QFile::exists(install.DataFile(name)), qPrintable(name));
        for (const QString &name : kept)
            QVERIFY2(QFile::exists(install.DataFile(name)), qPrintable(name));
    }

    void damagedFilesNeverHangOrCrash()
    {
        TestInstallation install;
        MessageRecorder messages;
        WriteBytes(install.DataFile("Bank.kwl"), "a#tail");
        LoadBankFile();
        QCOMPARE(g_bankList, QStringList({"a", "tail"}));

        QRandomGenerator random(7);
        for (int round = 0; round < 50; ++round) {
            QByteArray noise(int(random.bounded(2000)), '\0');
            for (char &c : noise)
                c = char(random.bounded(256));
            WriteBytes(install.DataFile("Insorgan.kwl"), noise);
            WriteBytes(install.DataFile("Rate.kwl"), noise);
            WriteBytes(install.DataFile("Sys.kwl"), noise);
            g_insOrganList.clear();
            LoadInsorganFile();
            LoadRateFile();
            LoadSysFile();
            QCOMPARE(g_insOrganList.size(), noise.count('#') + (noise.endsWith('#') || noise.isEmpty() ? 0 : 1));
        }
        // Noise is not GBK: the only word about it is which entries of the text file hold such bytes.
        for (const QString &text : messages.Texts())
            QVERIFY2(text.startsWith(QStringLiteral("保险机构文件 Insorgan.kwl 中的第 ")), qPrintable(text));
    }
};

QTEST_GUILESS_MAIN(TestListFiles)
#include "tst_listfiles.moc"
