// A bill or spreadsheet on its way into the income and expense book: the file read, its layout
// (guessed, changeable), each row read, the items and members the ledger does not know mapped to
// entries it does, and the rows that repeat a record the ledger holds already.
#pragma once

#include "db/CMoneyBook.h"
#include "transfer/BillImport.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <vector>

class SqlConnection;

class CMoneyImport
{
public:
    // The entries records may take: the item list ("收入    工资", "支出    餐饮") and the member names.
    CMoneyImport(const QStringList &itemEntries, const QStringList &members);

    // Reads a file's bytes (a CSV or text table, an Excel workbook's first sheet, a QIF or OFX file)
    // and guesses its layout; the file's name (when given) says what a QIF or OFX file that does not
    // say so itself is meant to be. False for a file that is neither; nothing is read then, and LoadProblem says why when
    // there is more to say than that (a workbook that cannot be read). Progress is told as the rows are
    // read (and may stop it: ImportProgress).
    bool Load(const QByteArray &bytes, const ImportProgress &progress = {}, const QString &sheet = QString(),
              const QString &fileName = QString());
    QString LoadProblem() const { return m_loadProblem; }
    // What the household is told of a file Load refused, named as shown.
    QString LoadFailure(const QString &shownFile) const;
    // A workbook's sheets and the one read (the first unless another was named); empty for a CSV.
    const QStringList &Sheets() const { return m_sheets; }
    QString SheetRead() const { return m_sheetRead; }
    QString Encoding() const { return m_encoding; }
    const QList<QStringList> &Records() const { return m_records; }
    const BillLayout &Layout() const { return m_layout; }
    // Reads the rows again under another layout; names met for the first time get their guessed entry.
    void SetLayout(const BillLayout &layout, const ImportProgress &progress = {});

    // The rows below the header, as read, and each one's record number in the file (from 1).
    qsizetype RowCount() const { return qsizetype(m_rows.size()); }
    const BillRow &Row(qsizetype row) const { return m_rows[size_t(row)]; }
    qsizetype FileRecordOf(qsizetype row) const { return m_layout.headerRow + 2 + row; }

    // An item (with its kind) or a member that the ledger's lists do not hold, the rows that name it,
    // and the entry it becomes (empty when the lists have none to offer).
    struct Stranger
    {
        QString name;
        bool income = false;  // items only
        qsizetype rows = 0;
        QString mappedTo;
    };
    const QList<Stranger> &StrangeItems() const { return m_strangeItems; }
    const QList<Stranger> &StrangeMembers() const { return m_strangeMembers; }
    // The list's items of the kind, in its order.
    const QStringList &ItemNames(bool income) const { return income ? m_incomeNames : m_expenseNames; }
    QStringList MemberNames() const { return m_members; }
    // The mappings chosen by an earlier import, taken up by the rows read from now on where their entry
    // is still on the lists; and the mappings as they stand, to be remembered for the next import.
    void RememberMappings(const QHash<QString, QString> &items, const QHash<QString, QString> &members);
    // The mappings of the strangers this bill has under its layout (not those of names a column
    // chosen by mistake brought on the way).
    QHash<QString, QString> ItemMappings() const;
    QHash<QString, QString> MemberMappings() const;
    void MapItem(qsizetype stranger, const QString &item);
    void MapMember(qsizetype stranger, const QString &member);

    // A rule that remembers a counterparty: its rows of the kind are written under the item and the
    // member chosen, in any bill, before the trade type's mapping and the member column. Either may be
    // empty (not ruled).
    struct Rule
    {
        QString counterparty;
        bool income = false;
        QString item, member;
        qsizetype rows = 0;
    };
    // The rules the records of this bill meet, in the order first met.
    const QList<Rule> &Rules() const { return m_rules; }
    // Rules the row's counterparty (of the row's kind) with the item and member given (an entry of the
    // lists, or empty to leave it unruled). False for a row that is not a record or has no counterparty.
    bool RuleRow(qsizetype row, const QString &item, const QString &member);
    void ChangeRule(qsizetype rule, const QString &item, const QString &member);
    // The rule the row's counterparty meets (empty item and member when none).
    Rule RuleOf(qsizetype row) const;
    void DropRule(qsizetype rule);
    // The rules chosen at earlier imports, and the rules as they stand (with those dropped) to be kept.
    void RememberRules(const QHash<QString, QString> &items, const QHash<QString, QString> &members);
    const QHash<QString, QString> &RuleItems() const { return m_ruleItems; }
    const QHash<QString, QString> &RuleMembers() const { return m_ruleMembers; }
    const QSet<QString> &DroppedRules() const { return m_droppedRules; }
    // The stranger whose mapping the row's item takes; -1 when its item is the ledger's own.
    qsizetype StrangeItemOf(qsizetype row) const;
    qsizetype StrangeMemberOf(qsizetype row) const;

    // A record left out by hand: not written, counted apart.
    void LeaveOut(qsizetype row, bool out);
    bool IsLeftOut(qsizetype row) const { return m_leftOut[size_t(row)]; }
    // Whether the row's record is to be written.
    bool IsWritten(qsizetype row, bool keepDuplicates) const;
    // What keeps the records from being written: a kind of item or no member to map to; empty when none.
    QString Problem() const;

    // The record a row read as one becomes: its item and member mapped, its note cut to the book's size.
    MoneyEntry EntryOf(qsizetype row) const;

    // What the household is told of a row's note as it will be written: it holds characters the file's
    // bytes did not read as (a bill that changes its encoding part-way, shown as U+FFFD), or it is longer
    // than the book keeps and is cut; both joined by "；". Empty when neither.
    QString NoteWarning(qsizetype row) const;
    // How many of the records to write (the duplicates only when kept) have a note told of.
    qsizetype NotesTold(bool keepDuplicates) const;

    // Finds the rows whose record the ledger holds already (same time, item and amount); asked again
    // after a mapping changes, since the item is part of the match.
    void MatchExisting(SqlConnection &db, const ImportProgress &progress = {});
    bool IsDuplicate(qsizetype row) const { return m_duplicate[size_t(row)]; }
    // The rows found so by a match made on a copy of this plan (same rows, same mappings).
    void TakeDuplicatesOf(const CMoneyImport &copy) { m_duplicate = copy.m_duplicate; }

    struct Counts
    {
        qsizetype records = 0, skipped = 0, refused = 0, duplicates = 0, leftOut = 0;
    };
    Counts Count() const;

    // The records to write, in the file's order; the duplicates only when kept.
    std::vector<MoneyEntry> EntriesToWrite(bool keepDuplicates) const;

    // A layout chosen by hand, kept by its header's titles: a bill whose header has the same titles
    // is read under it at once.
    struct KnownLayout
    {
        QStringList titles;
        BillLayout layout;
    };
    void RememberLayouts(const QList<KnownLayout> &layouts) { m_knownLayouts = layouts; }
    // The layout to keep for the next bill of this header: empty titles when the guess reads it alike.
    KnownLayout LayoutToKeep() const;

private:
    void ReadRows(const ImportProgress &progress);
    // The strangers and rules met by the records, counted again after a rule changes.
    void FindStrangers();
    // The layout of a header kept from an earlier import, found among the first rows.
    bool FindKnownLayout(BillLayout *layout) const;
    const QString *RuledItem(const BillRow &row) const;
    const QString *RuledMember(const BillRow &row) const;
    QString MappedItem(const BillRow &row) const;
    QString MappedMember(const BillRow &row) const;

    QStringList m_itemEntries, m_members;
    QStringList m_incomeNames, m_expenseNames;
    QString m_encoding;
    QString m_loadProblem;
    QStringList m_sheets;
    QString m_sheetRead;
    QList<QStringList> m_records;
    bool m_complete = true;  // false: the last record runs from a quote never closed to the file's end
    BillLayout m_layout;
    std::vector<BillRow> m_rows;
    std::vector<bool> m_duplicate;
    std::vector<bool> m_leftOut;
    // The file's records left out by hand, by their place in the file: kept when the rows are read again.
    QSet<qsizetype> m_leftOutRecords;
    QList<Rule> m_rules;
    QHash<QString, QString> m_ruleItems, m_ruleMembers;  // by "1name"/"0name" of the counterparty
    QSet<QString> m_droppedRules;
    QList<KnownLayout> m_knownLayouts;
    QList<Stranger> m_strangeItems, m_strangeMembers;
    QHash<QString, qsizetype> m_strangeItemAt, m_strangeMemberAt;  // by "1name"/"0name", by name
    // Mappings chosen so far, kept across layouts: "1name"/"0name" for items, the name for members.
    QHash<QString, QString> m_itemMap, m_memberMap;
};
