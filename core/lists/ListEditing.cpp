// Reference-list editing.
#include "ListEditing.h"

#include "common/Amount.h"
#include "common/Gbk.h"
#include "entry/ItemChoice.h"
#include "lists/ReferenceLists.h"

namespace {

const QString kNewMajor = QStringLiteral("新物品种类");
const QString kNewMinor = QStringLiteral("新物品");

// A text a list file can hold: no '#' (it closes an entry) and only characters GBK has, so that
// nothing typed is lost when the list is saved.
QString CheckListText(const QString &text)
{
    if (text.contains(QLatin1Char('#')))
        return kReservedCharMessage;
    if (!IsGbkEncodable(text))
        return QStringLiteral("“%1”中有列表文件不能保存的字符，请改用其他文字").arg(text);
    return QString();
}

// The entry 添加 or 修改 would write, after their checks: the kind, the text, and the list not holding
// it yet (taken: the message when it does). Empty in *entry when refused.
QString NewEntry(ListMode mode, const QString &content, int kind, const QString &taken, QString *entry)
{
    entry->clear();
    if (HasKindWords(mode) && kind != 0 && kind != 1)
        return mode == ListMode::Items ? QStringLiteral("请注明收入支出") : QStringLiteral("请注明进出");
    const QString refused = CheckListText(content);
    if (!refused.isEmpty())
        return refused;
    const QString built = EntryFor(mode, content, kind);
    if (ListOf(mode)->contains(built))
        return taken;
    *entry = built;
    return QString();
}

bool IsRow(const QStringList *list, int row)
{
    return list && row >= 0 && row < list->size();
}

QString Joined(const QString &major, const QString &minor)
{
    return major + QLatin1Char(' ') + minor;
}

} // namespace

QStringList *ListOf(ListMode mode)
{
    switch (mode) {
    case ListMode::Items: return &g_itemList;
    case ListMode::Banks: return &g_bankList;
    case ListMode::Currencies: return &g_currencyList;
    case ListMode::InsOrgans: return &g_insOrganList;
    case ListMode::InsKinds: return &g_insKindList;
    case ListMode::CurNotes: return &g_curNoteList;
    case ListMode::Rates: break;
    }
    return nullptr;
}

int ContentLimit(ListMode mode)
{
    switch (mode) {
    case ListMode::Banks: return 30;
    case ListMode::Currencies: return 20;
    case ListMode::Rates: return 9;
    default: return 50;
    }
}

bool HasKindWords(ListMode mode)
{
    return mode == ListMode::Items || mode == ListMode::CurNotes;
}

QStringList KindWords(ListMode mode)
{
    if (mode == ListMode::CurNotes)
        return {QStringLiteral("进"), QStringLiteral("出")};
    return {QStringLiteral("收入"), QStringLiteral("支出")};
}

QString EntryFor(ListMode mode, const QString &content, int kind)
{
    if (mode == ListMode::Items)
        return (kind == 0 ? QStringLiteral("收入    ") : QStringLiteral("支出    ")) + content;
    if (mode == ListMode::CurNotes)
        return (kind == 0 ? QStringLiteral("进 ") : QStringLiteral("出 ")) + content;
    return content;
}

ListLine SplitLine(ListMode mode, const QString &line)
{
    // The leading word decides the kind, whatever the name holds.
    if (mode == ListMode::Items) {
        const ItemChoice choice = ParseItemChoice(line);
        return {choice.income ? 0 : 1, choice.name};
    }
    if (mode == ListMode::CurNotes) {
        const ItemChoice choice = ParseNoteChoice(line, false);
        return {choice.income ? 0 : 1, choice.name};
    }
    if (mode == ListMode::Rates)
        return {-1, RateOfLine(line)};
    return {-1, line};
}

QString AddListEntry(ListMode mode, const QString &content, int kind)
{
    QStringList *list = ListOf(mode);
    if (!list || content.isEmpty())
        return QString();
    QString entry;
    const QString refused = NewEntry(mode, content, kind, QStringLiteral("添加的项目已存在"), &entry);
    if (refused.isEmpty())
        list->append(entry);
    return refused;
}

QString ModifyListEntry(ListMode mode, int row, const QString &content, int kind)
{
    QStringList *list = ListOf(mode);
    if (!IsRow(list, row) || content.isEmpty())
        return QString();
    QString entry;
    const QString refused = NewEntry(mode, content, kind, QStringLiteral("修改后的项目已存在"), &entry);
    if (refused.isEmpty())
        (*list)[row] = entry;
    return refused;
}

bool DeleteListEntry(ListMode mode, int row)
{
    QStringList *list = ListOf(mode);
    if (!IsRow(list, row))
        return false;
    list->removeAt(row);
    return true;
}

bool MoveListEntry(ListMode mode, int row, bool up)
{
    QStringList *list = ListOf(mode);
    const int other = up ? row - 1 : row + 1;
    if (!IsRow(list, row) || !IsRow(list, other))
        return false;
    list->swapItemsAt(row, other);
    return true;
}

QString RateLine(int slot)
{
    static const char *const labels[kRateCount] = {
        "定期三个月      ", "定期半年        ", "定期一年        ", "定期二年        ", "定期三年        ",
        "定期五年        ", "零存整取一年    ", "零存整取三年    ", "零存整取五年    ", "定活两便三个月  ",
        "定活两便半年    ", "定活两便一年    ", "定活两便二年    ", "定活两便三年    ", "定活两便五年    ",
        "利息税          "};
    if (slot < 0 || slot >= kRateCount)
        return QString();
    return QString::fromUtf8(labels[slot]) + FormatLg(g_rateTable[slot]);
}

QString RateOfLine(const QString &line)
{
    return line.mid(line.lastIndexOf(QLatin1Char(' ')) + 1);
}

QString ModifyRate(int slot, const QString &text)
{
    if (slot < 0 || slot >= kRateCount)
        return QString();
    if (text.isEmpty())
        return QStringLiteral("请填写利率");
    if (text.endsWith(QLatin1Char('.')) || text.count(QLatin1Char('.')) > 1)
        return QStringLiteral("利率填写错误");
    const int point = text.indexOf(QLatin1Char('.'));
    g_rateTable[slot] = AtoF(point < 0 ? text : text.left(point + 4));
    return QString();
}

QString MajorOf(const QString &entry)
{
    const int blank = entry.indexOf(QLatin1Char(' '));
    return blank < 0 ? entry : entry.left(blank);
}

QString MinorOf(const QString &entry)
{
    const int blank = entry.indexOf(QLatin1Char(' '));
    return blank < 0 ? QString() : entry.mid(blank + 1);
}

QStringList MajorKinds()
{
    QStringList majors;
    for (const QString &entry : std::as_const(g_articleKindList)) {
        if (!majors.contains(MajorOf(entry)))
            majors.append(MajorOf(entry));
    }
    return majors;
}

QStringList MinorKinds(const QString &major)
{
    QStringList minors;
    for (const QString &entry : std::as_const(g_articleKindList)) {
        if (MajorOf(entry) == major)
            minors.append(MinorOf(entry));
    }
    return minors;
}

QString AddMajorKind()
{
    if (MajorKinds().contains(kNewMajor))
        return QString();
    g_articleKindList.append(Joined(kNewMajor, kNewMinor));
    return kNewMajor;
}

QString AddMinorKind(const QString &major)
{
    if (major.isEmpty() || MinorKinds(major).contains(kNewMinor))
        return QString();
    g_articleKindList.append(Joined(major, kNewMinor));
    return kNewMinor;
}

void DeleteMajorKind(const QString &major)
{
    g_articleKindList.removeIf([&](const QString &entry) { return MajorOf(entry) == major; });
}

void DeleteMinorKind(const QString &major, const QString &minor)
{
    const int row = g_articleKindList.indexOf(Joined(major, minor));
    if (row >= 0)
        g_articleKindList.removeAt(row);
}

QString RenameMajorKind(const QString &oldMajor, const QString &newMajor)
{
    if (newMajor.isEmpty() || newMajor.contains(QLatin1Char(' ')))
        return QStringLiteral("物品大类不能为空，也不能含有空格");
    const QString refused = CheckListText(newMajor);
    if (!refused.isEmpty())
        return refused;
    if (MajorKinds().contains(newMajor))
        return QStringLiteral("添加的物品种类已存在");
    for (QString &entry : g_articleKindList) {
        if (MajorOf(entry) == oldMajor)
            entry = entry.contains(QLatin1Char(' ')) ? Joined(newMajor, MinorOf(entry)) : newMajor;
    }
    return QString();
}

QString RenameMinorKind(const QString &major, const QString &oldMinor, const QString &newMinor)
{
    if (newMinor.isEmpty())
        return QStringLiteral("物品细类不能为空");
    const QString refused = CheckListText(newMinor);
    if (!refused.isEmpty())
        return refused;
    if (g_articleKindList.contains(Joined(major, newMinor)))
        return QStringLiteral("添加的物品已存在");
    const int row = g_articleKindList.indexOf(Joined(major, oldMinor));
    if (row >= 0)
        g_articleKindList[row] = Joined(major, newMinor);
    return QString();
}
