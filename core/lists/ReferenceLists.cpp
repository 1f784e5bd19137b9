// The reference lists and their list files.
#include "ReferenceLists.h"

#include "common/Amount.h"
#include "common/Gbk.h"
#include "common/Messages.h"
#include "common/Paths.h"
#include "lists/ListFile.h"

int g_bNeedPassword = 0;
QStringList g_memberList;
QStringList g_itemList;
QStringList g_articleKindList;
QStringList g_currencyList;
QStringList g_bankList;
double g_rateTable[kRateCount] = {};
QStringList g_curNoteList;
QStringList g_insKindList;
QStringList g_insOrganList;

const QString kHomeCurrency = QStringLiteral("人民币");
const QString kReservedCharMessage = QStringLiteral("符号 # 为保留字\n   请再次输入");

namespace {

void LoadTextList(const char *fileName, QStringList *list, const QString &failure)
{
    QList<QByteArray> entries;
    if (!ReadListFile(DataFilePath(QString::fromLatin1(fileName)), &entries)) {
        ShowMessage(failure);
        return;
    }
    for (const QByteArray &entry : entries)
        list->append(DecodeGbk(entry));
}

// Encodes every entry; an entry that cannot be stored faithfully refuses the whole save.
bool EncodeEntries(const QStringList &list, const QString &failure, QList<QByteArray> *entries)
{
    for (const QString &text : list) {
        QByteArray bytes;
        if (text.contains(QLatin1Char('#'))) {
            ShowMessage(failure + QStringLiteral("\n“%1”含有保留字符 #").arg(text));
            return false;
        }
        if (!EncodeGbk(text, &bytes)) {
            ShowMessage(failure + QStringLiteral("\n“%1”含有无法保存的字符").arg(text));
            return false;
        }
        entries->append(bytes);
    }
    return true;
}

void SaveTextList(const char *fileName, const QStringList &list, const QString &failure)
{
    QList<QByteArray> entries;
    if (!EncodeEntries(list, failure, &entries))
        return;
    if (!WriteListFile(DataFilePath(QString::fromLatin1(fileName)), entries))
        ShowMessage(failure);
}

} // namespace

void LoadSysFile()
{
    QList<QByteArray> entries;
    if (!ReadListFile(DataFilePath(QStringLiteral("Sys.kwl")), &entries)) {
        ShowMessage(QStringLiteral("系统文件读取失败"));
        return;
    }
    if (!entries.isEmpty())
        g_bNeedPassword = AtoI(QString::fromLatin1(entries.first()));
}

void SaveSysFile()
{
    const QByteArray entry = QByteArray::number(g_bNeedPassword);
    if (!WriteListFile(DataFilePath(QStringLiteral("Sys.kwl")), {entry}))
        ShowMessage(QStringLiteral("系统文件保存失败"));
}

void LoadRateFile()
{
    QList<QByteArray> entries;
    if (!ReadListFile(DataFilePath(QStringLiteral("Rate.kwl")), &entries)) {
        ShowMessage(QStringLiteral("利率文件读取失败"));
        return;
    }
    for (int k = 0; k < entries.size() && k < kRateCount; ++k)
        g_rateTable[k] = AtoF(QString::fromLatin1(entries.at(k)));
}

void SaveRateFile()
{
    QList<QByteArray> entries;
    for (double rate : g_rateTable)
        entries.append(FormatDouble("%.3f", rate).toLatin1());
    if (!WriteListFile(DataFilePath(QStringLiteral("Rate.kwl")), entries))
        ShowMessage(QStringLiteral("保存利率文件失败"));
}

void LoadMemberFile() { LoadTextList("Member.kwl", &g_memberList, QStringLiteral("读取家庭成员文件失败")); }
void SaveMemberFile() { SaveTextList("Member.kwl", g_memberList, QStringLiteral("保存家庭成员文件失败")); }
void LoadItemFile() { LoadTextList("Item.kwl", &g_itemList, QStringLiteral("读取收支项目文件失败")); }
void SaveItemFile() { SaveTextList("Item.kwl", g_itemList, QStringLiteral("保存收支项目文件失败")); }
void LoadArticleFile() { LoadTextList("Article.kwl", &g_articleKindList, QStringLiteral("读取物品种类文件失败")); }
void SaveArticleFile() { SaveTextList("Article.kwl", g_articleKindList, QStringLiteral("保存物品种类文件失败")); }
void LoadMkindFile() { LoadTextList("Mkind.kwl", &g_currencyList, QStringLiteral("读取货币种类文件失败")); }
void SaveMkindFile() { SaveTextList("Mkind.kwl", g_currencyList, QStringLiteral("保存货币种类文件失败")); }
void LoadBankFile() { LoadTextList("Bank.kwl", &g_bankList, QStringLiteral("读取银行名称文件失败")); }
void SaveBankFile() { SaveTextList("Bank.kwl", g_bankList, QStringLiteral("保存银行机构文件失败")); }
void LoadCurnoteFile() { LoadTextList("Curnote.kwl", &g_curNoteList, QStringLiteral("读取活期储蓄注释文件失败")); }
void SaveCurnoteFile() { SaveTextList("Curnote.kwl", g_curNoteList, QStringLiteral("保存活期储蓄注释文件失败")); }
void LoadInskindFile() { LoadTextList("Inskind.kwl", &g_insKindList, QStringLiteral("读取保险种类文件失败")); }
void SaveInskindFile() { SaveTextList("Inskind.kwl", g_insKindList, QStringLiteral("保存保险种类文件失败")); }
void LoadInsorganFile() { LoadTextList("Insorgan.kwl", &g_insOrganList, QStringLiteral("读取保险机构文件失败")); }
void SaveInsorganFile() { SaveTextList("Insorgan.kwl", g_insOrganList, QStringLiteral("保存保险机构文件失败")); }

void LoadAllListFiles()
{
    LoadSysFile();
    LoadItemFile();
    LoadMemberFile();
    LoadArticleFile();
    LoadMkindFile();
    LoadBankFile();
    LoadRateFile();
    LoadCurnoteFile();
    LoadInskindFile();
    LoadInsorganFile();
}

void ClearReferenceLists()
{
    g_bNeedPassword = 0;
    for (QStringList *list : {&g_memberList, &g_itemList, &g_articleKindList, &g_currencyList, &g_bankList,
                              &g_curNoteList, &g_insKindList, &g_insOrganList})
        list->clear();
    for (double &rate : g_rateTable)
        rate = 0.0;
}

QStringList MemberNames()
{
    QStringList names;
    for (int i = 0; i < g_memberList.size(); i += 2)
        names.append(g_memberList.at(i));
    return names;
}

int FindMember(const QString &name)
{
    for (int i = 0; i < g_memberList.size(); i += 2) {
        if (g_memberList.at(i) == name)
            return i;
    }
    return -1;
}
