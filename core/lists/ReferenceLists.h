// The household's reference lists, held for the whole run, and their twenty load and save routines.
// Each routine reports its own failure in a message box and returns normally.
#pragma once

#include <QString>
#include <QStringList>

constexpr int kRateCount = 16;

extern int g_bNeedPassword;                 // Sys.kwl: non-zero when a login is required at start
extern QStringList g_memberList;            // Member.kwl: name, password, name, password, ...
extern QStringList g_itemList;              // Item.kwl: "收入    name" / "支出    name"
extern QStringList g_articleKindList;       // Article.kwl: "major minor"
extern QStringList g_currencyList;          // Mkind.kwl
extern QStringList g_bankList;              // Bank.kwl
extern double g_rateTable[kRateCount];      // Rate.kwl, percent
extern QStringList g_curNoteList;           // Curnote.kwl: "进 note" / "出 note"
extern QStringList g_insKindList;           // Inskind.kwl
extern QStringList g_insOrganList;          // Insorgan.kwl

extern const QString kHomeCurrency;         // "人民币"
extern const QString kReservedCharMessage;  // the answer to a '#' typed into a list text

// Each save returns true when the file was written; on failure it has shown the file's message,
// and the old file stays as it was.
void LoadSysFile();
bool SaveSysFile();
void LoadMemberFile();   // the list always holds whole pairs: a lone last name gets an empty password
bool SaveMemberFile();
void LoadItemFile();
bool SaveItemFile();
void LoadArticleFile();
bool SaveArticleFile();
void LoadMkindFile();
bool SaveMkindFile();
void LoadBankFile();
bool SaveBankFile();
void LoadRateFile();
bool SaveRateFile();
void LoadCurnoteFile();
bool SaveCurnoteFile();
void LoadInskindFile();
bool SaveInskindFile();
void LoadInsorganFile();
bool SaveInsorganFile();

// Writes the given member list to the member file without showing anything, for callers that report
// through their own dialog: false with the text to show in *failure.
bool WriteMemberFile(const QStringList &members, QString *failure);

// The ten loads in start-up order: Sys, Item, Member, Article, Mkind, Bank, Rate, Curnote, Inskind, Insorgan,
// after removing the temporaries that a write interrupted by a crash left in the data directory.
void LoadAllListFiles();

// Empties every list, zeroes the rate table and the login setting (the state before loading).
void ClearReferenceLists();

// Member helpers over g_memberList: names at even positions, each followed by its password. They never
// read past the list; a lone last name counts as a member with an empty password.
QStringList MemberNames();
int FindMember(const QString &name);        // position of the name entry, -1 when no member has it
QStringList MemberPairs();                  // g_memberList as whole pairs, the start of every change
