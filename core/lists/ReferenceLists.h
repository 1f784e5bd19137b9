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

void LoadSysFile();
void SaveSysFile();
void LoadMemberFile();
void SaveMemberFile();
void LoadItemFile();
void SaveItemFile();
void LoadArticleFile();
void SaveArticleFile();
void LoadMkindFile();
void SaveMkindFile();
void LoadBankFile();
void SaveBankFile();
void LoadRateFile();
void SaveRateFile();
void LoadCurnoteFile();
void SaveCurnoteFile();
void LoadInskindFile();
void SaveInskindFile();
void LoadInsorganFile();
void SaveInsorganFile();

// The ten loads in start-up order: Sys, Item, Member, Article, Mkind, Bank, Rate, Curnote, Inskind, Insorgan.
void LoadAllListFiles();

// Empties every list, zeroes the rate table and the login setting (the state before loading).
void ClearReferenceLists();

// Member helpers over g_memberList: names at even positions, each followed by its password.
QStringList MemberNames();
int FindMember(const QString &name);        // position of the name entry, -1 when no member has it
