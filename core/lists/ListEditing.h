// The editing of the reference lists as their editors do it, on the lists in memory: entries built
// from a kind and a text, added, changed, deleted and moved; the rate table's lines; the asset kinds
// split into major and minor kinds and joined again. Refusals are returned as the texts the editors
// show (empty: done), and a refused action leaves the list as it was.
#pragma once

#include <QString>
#include <QStringList>

// The editor's modes, by the list they edit.
enum class ListMode { Items = 1, Banks, Currencies, InsOrgans, InsKinds, CurNotes, Rates };

// The list a mode edits (the rate table has none: nullptr).
QStringList *ListOf(ListMode mode);
// The content field's limit in GBK bytes.
int ContentLimit(ListMode mode);
// Whether the mode's entries carry a kind word (收入/支出, 进/出) chosen with the two radio buttons.
bool HasKindWords(ListMode mode);
// The two kind words of the mode, for the radio buttons.
QStringList KindWords(ListMode mode);

// The entry written for a content and a kind (0 first word, 1 second, -1 none): "收入    工资", "出 取款", or
// the content itself.
QString EntryFor(ListMode mode, const QString &content, int kind);

// A line as the editor shows it in its fields: its kind (-1 without kind words) and its content.
struct ListLine
{
    int kind = -1;
    QString content;
};
ListLine SplitLine(ListMode mode, const QString &line);

// 添加: appends the entry. Refused without a kind where the mode has kind words ("请注明收入支出",
// "请注明进出"), when the list holds the entry ("添加的项目已存在"), or when the text has a character
// the list file cannot hold. An empty content does nothing (and says nothing).
QString AddListEntry(ListMode mode, const QString &content, int kind);
// 修改: the entry at the row becomes the one built from the content and kind; refused like 添加, and
// with "修改后的项目已存在" when the list holds the new entry (an unchanged entry among them).
QString ModifyListEntry(ListMode mode, int row, const QString &content, int kind);
// 删除: removes the entry at the row; false when there is none.
bool DeleteListEntry(ListMode mode, int row);
// 上移/下移: the entry at the row changes places with its neighbour; false at the list's end.
bool MoveListEntry(ListMode mode, int row, bool up);

// The rate table's line of a slot: its label and its value ("定期三个月      1.71").
QString RateLine(int slot);
// The value of a rate line (the text after its last blank).
QString RateOfLine(const QString &line);
// 修改 in the rate table: "请填写利率" when empty, "利率填写错误" when malformed (a point last, or
// more than one); else the slot takes the value cut to three decimals.
QString ModifyRate(int slot, const QString &text);

// The asset kinds: an entry is a major kind, a blank and a minor kind.
QStringList MajorKinds();                       // each once, in order of first appearance
QStringList MinorKinds(const QString &major);   // in list order
QString MajorOf(const QString &entry);
QString MinorOf(const QString &entry);
// 添加: a new major kind "新物品种类" with the minor kind "新物品", or "新物品" under the major kind,
// unless there is one already. Returns the kind added, or an empty text when there was one.
QString AddMajorKind();
QString AddMinorKind(const QString &major);
// 删除: exactly the entries of the major kind, or the one entry of the major and minor kind.
void DeleteMajorKind(const QString &major);
void DeleteMinorKind(const QString &major, const QString &minor);
// 修改: renames a major kind (every entry of it) or a minor kind. Refused when the new name exists
// ("添加的物品种类已存在", "添加的物品已存在"), when it is empty, when a major kind holds a blank (it would
// split every entry of the kind anew), or when the list file cannot hold its characters.
QString RenameMajorKind(const QString &oldMajor, const QString &newMajor);
QString RenameMinorKind(const QString &major, const QString &oldMinor, const QString &newMinor);
