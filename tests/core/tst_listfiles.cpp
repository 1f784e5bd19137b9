// The ten list files: byte format, round trips, failure messages and damaged files.
#include "common/Gbk.h"
#include "lists/ListFile.h"
#include "lists/ReferenceLists.h"

#include "MessageRecorder.h"
#include "TestInstallation.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTest>

namespace {

QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

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
        QVERIFY(messages.messages.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestListFiles)
#include "tst_listfiles.moc"
