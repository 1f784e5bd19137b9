// The reference lists and their list files.
#include "ReferenceLists.h"

#include "common/Amount.h"
#include "common/Gbk.h"
#include "common/Messages.h"
#include "common/Paths.h"
#include "lists/ListFile.h"

#include <QFileInfo>

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

// How a list file is named to the user, and whether its odd entries are passwords (never shown).
struct TextListFile
{
    const char *fileName;
    const char *title;
    bool passwords;
};

const TextListFile kMemberFile{"Member.kwl", "家庭成员文件", true};
const TextListFile kItemFile{"Item.kwl", "收支项目文件", false};
const TextListFile kArticleFile{"Article.kwl", "物品种类文件", false};
const TextListFile kMkindFile{"Mkind.kwl", "货币种类文件", false};
const TextListFile kBankFile{"Bank.kwl", "银行名称文件", false};
const TextListFile kCurnoteFile{"Curnote.kwl", "活期储蓄注释文件", false};
const TextListFile kInskindFile{"Inskind.kwl", "保险种类文件", false};
const TextListFile kInsorganFile{"Insorgan.kwl", "保险机构文件", false};

QString FilePath(const TextListFile &file)
{
    return DataFilePath(QString::fromLatin1(file.fileName));
}

// "第 3 项“工资”", or "第 4 项（密码）" where the entry is a password.
QString EntryLabel(const TextListFile &file, int index, const QString &text)
{
    if (file.passwords && index % 2 == 1)
        return QStringLiteral("第 %1 项（密码）").arg(index + 1);
    return QStringLiteral("第 %1 项“%2”").arg(index + 1).arg(text);
}

// Appends the file's entries to the list. Entries holding bytes that are not GBK are kept as decoded,
// with replacement characters, and named in one message: they cannot be saved until mended.
void LoadTextList(const TextListFile &file, QStringList *list, const QString &failure)
{
    QList<QByteArray> entries;
    if (!ReadListFile(FilePath(file), &entries)) {
        ShowMessage(failure);
        return;
    }
    constexpr int kNamed = 5;
    QStringList damaged;
    int damagedCount = 0;
    for (int i = 0; i < entries.size(); ++i) {
        bool faithful = true;
        const QString text = DecodeGbk(entries.at(i), &faithful);
        list->append(text);
        if (!faithful && ++damagedCount <= kNamed)
            damaged.append(EntryLabel(file, i, text));
    }
    if (damagedCount == 0)
        return;
    QString which = damaged.join(QStringLiteral("、"));
    if (damagedCount > kNamed)
        which += QStringLiteral("等 %1 项").arg(damagedCount);
    ShowMessage(QStringLiteral("%1 %2 中的%3含有无法识别的字节（显示为 \uFFFD）。\n改正或删除%4之前，这个文件无法保存。")
                    .arg(QString::fromUtf8(file.title), QString::fromLatin1(file.fileName), which,
                         damagedCount == 1 ? QStringLiteral("这一项") : QStringLiteral("这些项")),
                kAppCaption, MessageIcon::Warning);
}

// Encodes every entry; an entry that cannot be stored faithfully refuses the whole save, with the
// reason after the file's failure text in *message.
bool EncodeEntries(const TextListFile &file, const QStringList &list, const QString &failure,
                   QList<QByteArray> *entries, QString *message)
{
    for (int i = 0; i < list.size(); ++i) {
        const QString &text = list.at(i);
        QByteArray bytes;
        if (text.contains(QLatin1Char('#'))) {
            *message = failure + QStringLiteral("\n%1含有保留字符 #").arg(EntryLabel(file, i, text));
            return false;
        }
        if (!EncodeGbk(text, &bytes)) {
            *message = failure + QStringLiteral("\n%1含有无法保存的字符").arg(EntryLabel(file, i, text));
            return false;
        }
        entries->append(bytes);
    }
    return true;
}

// Writes the list without showing anything; false with the text to show in *message.
bool WriteTextList(const TextListFile &file, const QStringList &list, const QString &failure, QString *message)
{
    QList<QByteArray> entries;
    if (!EncodeEntries(file, list, failure, &entries, message))
        return false;
    if (!WriteListFile(FilePath(file), entries)) {
        *message = failure;
        if (const QString why = ListStoreFailure(); !why.isEmpty())
            *message += QLatin1Char('\n') + why;
        return false;
    }
    return true;
}

bool SaveTextList(const TextListFile &file, QStringList *list, const QString &failure)
{
    QString message;
    if (WriteTextList(file, *list, failure, &message))
        return true;
    ShowMessage(message);
    // A shared list is shown as the server holds it: what was not saved does not stay on screen as if
    // it had been.
    if (ListsKeptInStore()) {
        list->clear();
        LoadTextList(file, list, QStringLiteral("读取%1失败").arg(QString::fromUtf8(file.title)));
    }
    return false;
}

const QString kMemberSaveFailure = QStringLiteral("保存家庭成员文件失败");

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

bool SaveSysFile()
{
    const QByteArray entry = QByteArray::number(g_bNeedPassword);
    if (WriteListFile(DataFilePath(QStringLiteral("Sys.kwl")), {entry}))
        return true;
    ShowMessage(QStringLiteral("系统文件保存失败"));
    return false;
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

bool SaveRateFile()
{
    QList<QByteArray> entries;
    for (double rate : g_rateTable)
        entries.append(FormatDouble("%.3f", rate).toLatin1());
    if (WriteListFile(DataFilePath(QStringLiteral("Rate.kwl")), entries))
        return true;
    ShowMessage(QStringLiteral("保存利率文件失败"));
    return false;
}

void LoadMemberFile()
{
    LoadTextList(kMemberFile, &g_memberList, QStringLiteral("读取家庭成员文件失败"));
    // A damaged file may end in a name without its password: read it as a member without one,
    // so that every name is followed by its password.
    if (g_memberList.size() % 2 != 0)
        g_memberList.append(QString());
}

bool SaveMemberFile() { return SaveTextList(kMemberFile, &g_memberList, kMemberSaveFailure); }

bool WriteMemberFile(const QStringList &members, QString *failure)
{
    // A member file the household made read-only stays as it is: a write would replace it (its folder
    // is writable) and undo what was meant. No write bit for anyone counts too, whoever runs this.
    const QFileInfo file(FilePath(kMemberFile));
    const auto anyWrite = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (!ListsKeptInStore() && file.exists() && (!file.isWritable() || !(file.permissions() & anyWrite))) {
        *failure = kMemberSaveFailure + QStringLiteral("：家庭成员文件是只读的");
        return false;
    }
    return WriteTextList(kMemberFile, members, kMemberSaveFailure, failure);
}

void LoadItemFile() { LoadTextList(kItemFile, &g_itemList, QStringLiteral("读取收支项目文件失败")); }
bool SaveItemFile() { return SaveTextList(kItemFile, &g_itemList, QStringLiteral("保存收支项目文件失败")); }
void LoadArticleFile() { LoadTextList(kArticleFile, &g_articleKindList, QStringLiteral("读取物品种类文件失败")); }
bool SaveArticleFile() { return SaveTextList(kArticleFile, &g_articleKindList, QStringLiteral("保存物品种类文件失败")); }
void LoadMkindFile() { LoadTextList(kMkindFile, &g_currencyList, QStringLiteral("读取货币种类文件失败")); }
bool SaveMkindFile() { return SaveTextList(kMkindFile, &g_currencyList, QStringLiteral("保存货币种类文件失败")); }
void LoadBankFile() { LoadTextList(kBankFile, &g_bankList, QStringLiteral("读取银行名称文件失败")); }
bool SaveBankFile() { return SaveTextList(kBankFile, &g_bankList, QStringLiteral("保存银行机构文件失败")); }
void LoadCurnoteFile() { LoadTextList(kCurnoteFile, &g_curNoteList, QStringLiteral("读取活期储蓄注释文件失败")); }
bool SaveCurnoteFile() { return SaveTextList(kCurnoteFile, &g_curNoteList, QStringLiteral("保存活期储蓄注释文件失败")); }
void LoadInskindFile() { LoadTextList(kInskindFile, &g_insKindList, QStringLiteral("读取保险种类文件失败")); }
bool SaveInskindFile() { return SaveTextList(kInskindFile, &g_insKindList, QStringLiteral("保存保险种类文件失败")); }
void LoadInsorganFile() { LoadTextList(kInsorganFile, &g_insOrganList, QStringLiteral("读取保险机构文件失败")); }
bool SaveInsorganFile() { return SaveTextList(kInsorganFile, &g_insOrganList, QStringLiteral("保存保险机构文件失败")); }

void LoadAllListFiles()
{
    RemoveStaleTemporaries(DataDirectory(), ListFileNames());
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

QStringList MemberPairs()
{
    QStringList pairs = g_memberList;
    if (pairs.size() % 2 != 0)
        pairs.append(QString());
    return pairs;
}
