// Books on a large ledger, each operation next to the best plain SQL for the same result through the
// SQLite C API (its floor: a keyset read where the place is known, a kept figure where the database
// keeps one), with the ratio printed at the end.
//
// $ZARVEL_BENCH_RECORDS sets the number of income/expense records (default 1,000,000). The ledger is
// made once in $ZARVEL_BENCH_LEDGER (default: build/bench-ledger, or build/bench-ledger-<records> for
// another size) and reused.
//
// With $ZARVEL_BENCH_PG=<socket folder>:<port> (bench/pg-bench.sh starts such a server) every
// operation runs also on a copy of the ledger on that PostgreSQL server ("<name>@server"), moved there
// once with the program's own migration, beside plain SQL over libpq; the table at the end sets the
// server's figures beside the file's.
#include "BenchSupport.h"
#include "LedgerBooks.h"
#include "LedgerGenerator.h"

#include "db/CAddressBook.h"
#include "db/CArticleBook.h"
#include "db/CCreditBook.h"
#include "db/CCurrentBook.h"
#include "db/CDepositBook.h"
#include "db/CInsureBook.h"
#include "db/CMemoBook.h"
#include "db/CMoneyBook.h"

#include <QCoreApplication>
#include <QDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The bench ledger, and beside it a ledger of as many records all in one month (years of bills
// imported and dated within it); each on the server too when one is named.
BenchLedger g_ledger;
BenchLedger g_crowdedLedger;

// The eight books of the main window, filled as the main window fills them at start-up, and what a
// list view reads when it first shows: the texts of its visible rows.
struct MainWindowBooks : Ledger
{
    void Fill()
    {
        Open();
        for (const CBook *book : Books()) {
            for (int row = 0; row < 30 && row < book->GetItemCount(); ++row)
                benchmark::DoNotOptimize(book->GetItemText(row, 0));
        }
    }
};

const char *const kMoneyColumns = "SELECT ID,Date,Item,Money,Member,Explain FROM Money";

// Puts back the records a benchmark deletes: a copy of a stretch of the list is kept while it runs,
// and whatever of it is gone afterwards is inserted again with its own ID, so the ledger keeps its
// size from run to run.
class KeptRecords
{
public:
    explicit KeptRecords(double where, qint64 count = 20000)
    {
        const auto raw = Plain();
        const qint64 first = std::max<qint64>(0, qint64(double(raw->Integer("SELECT count(*) FROM Money")) * where) - 1000);
        raw->Run("DROP TABLE IF EXISTS BenchKept");
        const QByteArray sql = "CREATE TABLE BenchKept AS SELECT * FROM Money ORDER BY Date, ID LIMIT "
                               + QByteArray::number(count) + " OFFSET " + QByteArray::number(first);
        raw->Run(sql.constData());
    }
    ~KeptRecords()
    {
        const auto raw = Plain();
        raw->Run("INSERT OR IGNORE INTO Money SELECT * FROM BenchKept");
        raw->Run("DROP TABLE BenchKept");
    }
};

void StartupFill(benchmark::State &state)
{
    for (auto _ : state) {
        MainWindowBooks books;
        books.Fill();
        books.Close();
    }
}

void StartupFill_Floor(benchmark::State &state)
{
    // The book's connection stays open from one fill to the next, and so does this one.
    const auto raw = Plain();
    for (auto _ : state) {
        // The counts and totals the database keeps, the first page, and the first rows of each list.
        raw->Run("SELECT Value FROM Totals");
        raw->Run("SELECT ID,Date,Item,Money,Member,Explain FROM Money ORDER BY Date, ID LIMIT 100");
        raw->Run("SELECT ID FROM Article ORDER BY Name, ID LIMIT 64");
        raw->Run("SELECT ID FROM Deposit ORDER BY BDate, ID LIMIT 64");
        raw->Run("SELECT ID FROM Current ORDER BY Date, ID LIMIT 64");
        raw->Run("SELECT ID FROM Memo ORDER BY Date, ID LIMIT 64");
        raw->Run("SELECT ID FROM Address ORDER BY Name, ID LIMIT 64");
        raw->Run("SELECT ID FROM Credit ORDER BY Date, ID LIMIT 64");
        raw->Run("SELECT ID FROM InsureRecord ORDER BY Date, ID LIMIT 64");
        for (const char *table : {"Article", "Deposit", "Current", "Memo", "Address", "Credit", "InsureRecord"}) {
            const QByteArray sql = QByteArray("SELECT * FROM \"") + table + "\" LIMIT 30";
            raw->Run(sql.constData());
        }
    }
}

// Times turns from one page to another: the page listed and the texts of the rows the list shows at once.
void TimePageTurns(benchmark::State &state, CMoneyBook &book, int from, int to)
{
    for (auto _ : state) {
        state.PauseTiming();
        book.ShowPage(from, QStringLiteral("Date"));
        state.ResumeTiming();
        book.ShowPage(to, QStringLiteral("Date"));
        for (int row = 0; row < 18 && row < book.GetItemCount(); ++row) {
            for (int column = 0; column < book.GetColumnCount(); ++column)
                benchmark::DoNotOptimize(book.GetItemText(row, column));
        }
    }
}

// A page turn: from another page to the page, and the texts of the rows the list shows at once.
void TurnTo(benchmark::State &state, double where)
{
    CMoneyBook book;
    book.ShowPage(1, QStringLiteral("Date"));
    const int target = std::max(1, int(book.GetPageCount() * where));
    const int from = target == 1 ? book.GetPageCount() : 1;
    TimePageTurns(state, book, from, target);
    state.counters["page"] = book.GetCurrentPage();
}

void TurnTo_Floor(benchmark::State &state, double where)
{
    const auto raw = Plain();
    const qint64 count = raw->Integer("SELECT count(*) FROM Money");
    const qint64 pages = (count - 1) / 100 + 1;
    const qint64 target = std::max<qint64>(1, qint64(pages * where));
    // The last page is read backwards from the end of the index; any other page from nowhere has no
    // key to start from, so plain SQL skips to it.
    const QByteArray sql = target == pages
        ? QByteArray(kMoneyColumns) + " ORDER BY Date DESC, ID DESC LIMIT " + QByteArray::number(count - (pages - 1) * 100)
        : QByteArray(kMoneyColumns) + " ORDER BY Date, ID LIMIT 100 OFFSET " + QByteArray::number((target - 1) * 100);
    for (auto _ : state)
        raw->Run(sql.constData());
}

void TurnToFirstPage(benchmark::State &state) { TurnTo(state, 0.0); }
void TurnToFirstPage_Floor(benchmark::State &state) { TurnTo_Floor(state, 0.0); }
void TurnToMiddlePage(benchmark::State &state) { TurnTo(state, 0.5); }
void TurnToMiddlePage_Floor(benchmark::State &state) { TurnTo_Floor(state, 0.5); }
void TurnToLastPage(benchmark::State &state) { TurnTo(state, 1.0); }
void TurnToLastPage_Floor(benchmark::State &state) { TurnTo_Floor(state, 1.0); }

void SetFilterOneYear(benchmark::State &state)
{
    CMoneyBook book;
    book.ShowPage(1, QStringLiteral("Date"));
    for (auto _ : state)
        book.SetFilter(QStringLiteral("Date>#2025-1-1#"));
    state.counters["pages"] = book.GetPageCount();
}

void SetFilterOneYear_Floor(benchmark::State &state)
{
    const auto raw = Plain();
    for (auto _ : state) {
        raw->Run("SELECT count(*) FROM Money WHERE Date > '2025-01-01 00:00:00'");
        raw->Run("SELECT ID,Date,Item,Money,Member,Explain FROM Money WHERE Date > '2025-01-01 00:00:00' "
                 "ORDER BY Date, ID LIMIT 100");
    }
}

void ComputeTotal(benchmark::State &state)
{
    CMoneyBook book;
    book.ShowPage(1, QStringLiteral("Date"));
    for (auto _ : state)
        book.ComputeTotal();
}

void ComputeTotal_Floor(benchmark::State &state)
{
    const auto raw = Plain();
    for (auto _ : state)
        raw->Run("SELECT Value FROM Totals WHERE Name='Money|Money|'");
}

void FindRecordsOneMember(benchmark::State &state)
{
    CMoneyBook book;
    book.ShowPage(1, QStringLiteral("Date"));
    for (auto _ : state)
        book.FindRecords(QString(), false, QString(), false, QString(), false, QStringLiteral("奶奶"), true);
}

// The first match shown: the floor is the first matching record read in list order.
void FindRecordsOneMember_Floor(benchmark::State &state)
{
    const auto raw = Plain();
    for (auto _ : state)
        raw->Run("SELECT * FROM Money WHERE Member='奶奶' ORDER BY Date, ID LIMIT 1");
}

// A search whose only match is the last record of the list: an item and a member together that were
// written once (0), or an amount written once (1). The message box of a search without a match is
// what a member nobody has costs (2).
void FindRare(benchmark::State &state)
{
    Plain()->Run("INSERT INTO Money (Date, Item, Money, Member, Explain) VALUES "
              "('2026-06-30 23:00:00', '稀有', -987654.32, '客人', 'bench')");
    {
        CMoneyBook book;
        for (auto _ : state) {
            // A first search: nothing kept from an earlier one.
            state.PauseTiming();
            book.Close();
            book.ShowPage(1, QStringLiteral("Date"));
            state.ResumeTiming();
            switch (state.range(0)) {
            case 0:
                book.FindRecords(QString(), false, QStringLiteral("稀有"), true, QString(), false, QStringLiteral("客人"), true);
                break;
            case 1:
                book.FindRecords(QString(), false, QString(), false, QStringLiteral("-987654.32"), true, QString(), false);
                break;
            default:
                book.FindRecords(QString(), false, QString(), false, QString(), false, QStringLiteral("没有这人"), true);
            }
        }
    }
    Plain()->Run("DELETE FROM Money WHERE Explain='bench'");
}

// Plain SQL walks the list's index to the one match (or to its end).
void FindRare_Floor(benchmark::State &state)
{
    const auto raw = Plain();
    raw->Run("INSERT INTO Money (Date, Item, Money, Member, Explain) VALUES "
             "('2026-06-30 23:00:00', '稀有', -987654.32, '客人', 'bench')");
    const char *const sql[] = {"SELECT * FROM Money WHERE Item='稀有' AND Member='客人' ORDER BY Date, ID LIMIT 1",
                               "SELECT * FROM Money WHERE Money=-987654.32 ORDER BY Date, ID LIMIT 1",
                               "SELECT * FROM Money WHERE Member='没有这人' ORDER BY Date, ID LIMIT 1"};
    for (auto _ : state)
        raw->Run(sql[state.range(0)]);
    raw->Run("DELETE FROM Money WHERE Explain='bench'");
}

// 下一项 in the middle of the list (a search for a day there): the next match, its page and row. The
// floor reads the next record after a key in the middle, in order.
void FindNextOnADay(benchmark::State &state)
{
    CMoneyBook book;
    book.ShowPage(1, QStringLiteral("Date"));
    book.ShowPage(book.GetPageCount() / 2, QStringLiteral("Date"));
    const QString middleDay = book.GetItemText(50, 0).left(10);
    for (auto _ : state) {
        state.PauseTiming();
        book.FindRecords(middleDay, true, QString(), false, QString(), false, QString(), false);
        book.FindNext();
        state.ResumeTiming();
        book.FindNext();
    }
}

void FindNextOnADay_Floor(benchmark::State &state)
{
    const auto raw = Plain();
    for (auto _ : state)
        raw->Run("SELECT * FROM Money WHERE (Date, ID) > ('2015-06-15', 0) ORDER BY Date, ID LIMIT 1");
}

void AddRecord(benchmark::State &state)
{
    CMoneyBook book;
    book.ShowPage(1, QStringLiteral("Date"));
    const QDateTime date(QDate(2026, 1, 5), QTime(9, 0));
    for (auto _ : state)
        book.Add(date, QStringLiteral("餐饮"), -12.5, QStringLiteral("爸爸"), QStringLiteral("bench"));
    Plain()->Run("DELETE FROM Money WHERE Explain='bench'");
}

void AddRecord_Floor(benchmark::State &state)
{
    const auto raw = Plain();
    for (auto _ : state)
        raw->Run("INSERT INTO Money (Date, Item, Money, Member, Explain) "
                 "VALUES ('2026-01-05 09:00:00', '餐饮', -12.5, '爸爸', 'bench')");
    raw->Run("DELETE FROM Money WHERE Explain='bench'");
}

void ModifyRecord(benchmark::State &state)
{
    CMoneyBook book;
    book.ShowPage(1, QStringLiteral("Date"));
    book.SetSelected(50);
    const QDateTime date = ParseDateText(book.GetItemText(50, 0));
    double amount = -20;
    for (auto _ : state) {
        amount = -amount;
        book.Modify(date, QStringLiteral("餐饮"), amount, QStringLiteral("爸爸"), QString());
    }
}

void ModifyRecord_Floor(benchmark::State &state)
{
    const auto raw = Plain();
    const QByteArray sql = "UPDATE Money SET Item='餐饮', Money=?, Member='爸爸', Explain='' WHERE ID="
                           + QByteArray::number(raw->Integer("SELECT ID FROM Money ORDER BY Date, ID LIMIT 1 OFFSET 50"));
    double amount = -20;
    for (auto _ : state) {
        amount = -amount;
        raw->Run(sql.constData(), {amount});
    }
}

void RemoveRecord(benchmark::State &state)
{
    const KeptRecords kept(0.0);
    CMoneyBook book;
    book.ShowPage(1, QStringLiteral("Date"));
    for (auto _ : state) {
        book.SetSelected(50);
        book.Remove();  // the page stays full: the first record of page 2 moves up
    }
    state.counters["rows"] = book.GetItemCount();
}

void RemoveRecord_Floor(benchmark::State &state)
{
    const KeptRecords kept(0.0);
    const auto raw = Plain();
    for (auto _ : state) {
        state.PauseTiming();
        const qint64 id = raw->Integer("SELECT ID FROM Money ORDER BY Date, ID LIMIT 1 OFFSET 50");
        state.ResumeTiming();
        raw->Run("DELETE FROM Money WHERE ID=?", {id});
        raw->Run("SELECT ID,Date,Item,Money,Member,Explain FROM Money ORDER BY Date, ID LIMIT 1 OFFSET 99");
    }
}

int MiddlePage(const CMoneyBook &book)
{
    return std::max(1, book.GetPageCount() / 2);
}

qint64 MiddleOffset(PlainSql &raw)
{
    const qint64 pages = (raw.Integer("SELECT count(*) FROM Money") - 1) / 100 + 1;
    return (std::max<qint64>(1, pages / 2) - 1) * 100;
}

// The ID and date of the record at a position of the list.
QStringList RecordAt(PlainSql &raw, qint64 position)
{
    return raw.Row("SELECT ID, Date FROM Money ORDER BY Date, ID LIMIT 1 OFFSET " + QByteArray::number(position));
}

// The IDs and dates of the records of the page from first on, in one walk to it.
QList<QStringList> PageAt(PlainSql &raw, qint64 first)
{
    return raw.Rows("SELECT ID, Date FROM Money ORDER BY Date, ID LIMIT 100 OFFSET " + QByteArray::number(first));
}

// A keyset read of the record after the one given (ID, date): what keeps a page full after a delete.
void ReadRecordAfter(PlainSql &raw, const QStringList &record)
{
    raw.Run("SELECT ID,Date,Item,Money,Member,Explain FROM Money WHERE (Date, ID) > (?, ?) ORDER BY Date, ID LIMIT 1",
            QVariantList{record.value(1), record.value(0).toLongLong()});
}

// A delete on a middle page: the record, its row, and the record after the page that keeps it full.
void RemoveOnMiddlePage(benchmark::State &state)
{
    const KeptRecords kept(0.5);
    CMoneyBook book;
    book.ShowPage(1, QStringLiteral("Date"));
    book.ShowPage(MiddlePage(book), QStringLiteral("Date"));
    for (auto _ : state) {
        book.SetSelected(50);
        book.Remove();
    }
    state.counters["rows"] = book.GetItemCount();
}

// The delete, and a keyset read of the record after the page's last row.
void RemoveOnMiddlePage_Floor(benchmark::State &state)
{
    const KeptRecords kept(0.5);
    const auto raw = Plain();
    const qint64 first = MiddleOffset(*raw);
    for (auto _ : state) {
        state.PauseTiming();
        const QList<QStringList> page = PageAt(*raw, first);
        const qint64 id = page.value(50).value(0).toLongLong();
        const QStringList last = page.value(99);
        state.ResumeTiming();
        raw->Run("DELETE FROM Money WHERE ID=?", QVariantList{QVariant(id)});
        ReadRecordAfter(*raw, last);
    }
}

// What a household does on a middle page: adds a record dated inside it, changes another (the entry
// dialog saves its date at midnight, so it moves), deletes a third.
void EditsOnMiddlePage(benchmark::State &state)
{
    const KeptRecords kept(0.5);
    CMoneyBook book;
    book.ShowPage(1, QStringLiteral("Date"));
    book.ShowPage(MiddlePage(book), QStringLiteral("Date"));
    for (auto _ : state) {
        book.Add(ParseDateText(book.GetItemText(40, 0)), QStringLiteral("餐饮"), -12.5, QStringLiteral("爸爸"),
                 QStringLiteral("bench"));
        book.SetSelected(50);
        book.Modify(ParseDateText(book.GetItemText(50, 0)), QStringLiteral("买菜"), -20, QStringLiteral("爸爸"),
                    QStringLiteral("bench"));
        book.SetSelected(60);
        book.Remove();
    }
    Plain()->Run("DELETE FROM Money WHERE Explain='bench'");
}

void EditsOnMiddlePage_Floor(benchmark::State &state)
{
    const KeptRecords kept(0.5);
    const auto raw = Plain();
    const qint64 first = MiddleOffset(*raw);
    for (auto _ : state) {
        state.PauseTiming();
        const QList<QStringList> page = PageAt(*raw, first);
        const QStringList inside = page.value(40);
        const qint64 changed = page.value(50).value(0).toLongLong();
        const qint64 removed = page.value(60).value(0).toLongLong();
        const QStringList last = page.value(99);
        state.ResumeTiming();
        raw->Run("INSERT INTO Money (Date, Item, Money, Member, Explain) VALUES (?, '餐饮', -12.5, '爸爸', 'bench')",
                 QVariantList{inside.value(1).left(10) + QStringLiteral(" 00:00:00")});
        raw->Run("UPDATE Money SET Date=substr(Date,1,10)||' 00:00:00', Item='买菜', Money=-20, Member='爸爸', "
                 "Explain='bench' WHERE ID=?", QVariantList{QVariant(changed)});
        raw->Run("DELETE FROM Money WHERE ID=?", QVariantList{QVariant(removed)});
        ReadRecordAfter(*raw, last);
    }
    raw->Run("DELETE FROM Money WHERE Explain='bench'");
}

// The middle page after the set added a record of its own.
void MiddlePageAfterAdd(benchmark::State &state)
{
    CMoneyBook book;
    book.ShowPage(1, QStringLiteral("Date"));
    book.Add(LedgerDateTime(QDate(2016, 1, 5), QTime(9, 0)), QStringLiteral("餐饮"), -12.5, QStringLiteral("爸爸"),
             QStringLiteral("bench"));
    const int middle = MiddlePage(book);
    TimePageTurns(state, book, 1, middle);
    Plain()->Run("DELETE FROM Money WHERE Explain='bench'");
}

void MiddlePageAfterAdd_Floor(benchmark::State &state) { TurnTo_Floor(state, 0.5); }

const QString kItemFilter = QStringLiteral("Item='餐饮'");

// A filter on one item: its count and first page.
void SetFilterOneItem(benchmark::State &state)
{
    CMoneyBook book;
    book.ShowPage(1, QStringLiteral("Date"));
    for (auto _ : state)
        book.SetFilter(kItemFilter);
    state.counters["pages"] = book.GetPageCount();
}

// The kept count of the item's records and the first page.
void SetFilterOneItem_Floor(benchmark::State &state)
{
    const auto raw = Plain();
    for (auto _ : state) {
        raw->Run("SELECT sum(N) FROM MoneyMonthItems WHERE Item='餐饮'");
        raw->Run("SELECT ID,Date,Item,Money,Member,Explain FROM Money WHERE Item='餐饮' ORDER BY Date, ID LIMIT 100");
    }
}

// The middle page of the item's records.
void ItemMiddlePage(benchmark::State &state)
{
    CMoneyBook book;
    book.SetFilter(kItemFilter);
    const int middle = MiddlePage(book);
    TimePageTurns(state, book, 1, middle);
    state.counters["page"] = book.GetCurrentPage();
}

void ItemMiddlePage_Floor(benchmark::State &state)
{
    const auto raw = Plain();
    const qint64 count = raw->Integer("SELECT count(*) FROM Money WHERE Item='餐饮'");
    const qint64 middle = std::max<qint64>(1, ((count - 1) / 100 + 1) / 2);
    const QByteArray sql = QByteArray(kMoneyColumns) + " WHERE Item='餐饮' ORDER BY Date, ID LIMIT 100 OFFSET "
                           + QByteArray::number((middle - 1) * 100);
    for (auto _ : state)
        raw->Run(sql.constData());
}

// Filters a household sets (过滤 since a year, or conditions written by hand): a date from a year on,
// one member, an item and a member, and a stretch of five years.
const QString kFilters[] = {QStringLiteral("Date>#2010-1-1#"), QStringLiteral("Member='妈妈'"),
                            QStringLiteral("Item='餐饮' AND Member='妈妈'"),
                            QStringLiteral("Date>=#2010-1-1# AND Date<#2015-1-1#")};
const char *const kFilterSql[] = {"Date > '2010-01-01 00:00:00'", "Member='妈妈'", "Item='餐饮' AND Member='妈妈'",
                                  "Date >= '2010-01-01 00:00:00' AND Date < '2015-01-01 00:00:00'"};

// Setting the filter: its count and first page.
void SetFilter(benchmark::State &state)
{
    CMoneyBook book;
    book.ShowPage(1, QStringLiteral("Date"));
    for (auto _ : state) {
        state.PauseTiming();
        book.SetFilter(QString());
        state.ResumeTiming();
        book.SetFilter(kFilters[state.range(0)]);
    }
    state.counters["pages"] = book.GetPageCount();
}

// Plain SQL counts the filter's records in the index and reads its first page.
void SetFilter_Floor(benchmark::State &state)
{
    const auto raw = Plain();
    const QByteArray where = QByteArray(" WHERE ") + kFilterSql[state.range(0)];
    for (auto _ : state) {
        raw->Run(("SELECT count(*) FROM Money" + where).constData());
        raw->Run((QByteArray(kMoneyColumns) + where + " ORDER BY Date, ID LIMIT 100").constData());
    }
}

// A turn from the first page to the middle one of the filtered list.
void FilterMiddlePage(benchmark::State &state)
{
    CMoneyBook book;
    book.SetFilter(kFilters[state.range(0)]);
    const int middle = MiddlePage(book);
    TimePageTurns(state, book, 1, middle);
    state.counters["page"] = book.GetCurrentPage();
}

// Plain SQL reads the same page from the key of the record before it (a keyset read, as if the
// place were known).
void FilterMiddlePage_Floor(benchmark::State &state)
{
    const auto raw = Plain();
    const QByteArray where = QByteArray(" WHERE ") + kFilterSql[state.range(0)];
    const qint64 count = raw->Integer(("SELECT count(*) FROM Money" + where).constData());
    const qint64 middle = std::max<qint64>(1, ((count - 1) / 100 + 1) / 2);
    const QStringList before = raw->Row("SELECT ID, Date FROM Money" + where + " ORDER BY Date, ID LIMIT 1 OFFSET "
                                       + QByteArray::number(std::max<qint64>(0, (middle - 1) * 100 - 1)));
    // The filter's terms are kept from the index ("+(...)"), so that the key, not a date of the filter,
    // is where the walk starts.
    const QByteArray sql = QByteArray(kMoneyColumns) + " WHERE +(" + kFilterSql[state.range(0)]
                           + ") AND (Date, ID) > (?, ?) ORDER BY Date, ID LIMIT 100";
    for (auto _ : state)
        raw->Run(sql.constData(), QVariantList{before.value(1), before.value(0).toLongLong()});
}

// A turn from the first page to the middle one, in the crowded month.
void CrowdedMiddlePage(benchmark::State &state)
{
    const WorkingOn crowded(g_crowdedLedger);
    CMoneyBook book;
    book.ShowPage(1, QStringLiteral("Date"));
    TimePageTurns(state, book, 1, MiddlePage(book));
    state.counters["page"] = book.GetCurrentPage();
}

void CrowdedMiddlePage_Floor(benchmark::State &state)
{
    const WorkingOn crowded(g_crowdedLedger);
    const auto raw = Plain();
    const QStringList before = RecordAt(*raw, MiddleOffset(*raw) - 1);
    const QByteArray sql = QByteArray(kMoneyColumns) + " WHERE (Date, ID) > (?, ?) ORDER BY Date, ID LIMIT 100";
    for (auto _ : state)
        raw->Run(sql.constData(), QVariantList{before.value(1), before.value(0).toLongLong()});
}

// A modify on the middle page of the crowded month: the record is written and found again in the list.
void CrowdedModify(benchmark::State &state)
{
    const WorkingOn crowded(g_crowdedLedger);
    CMoneyBook book;
    book.ShowPage(1, QStringLiteral("Date"));
    book.ShowPage(MiddlePage(book), QStringLiteral("Date"));
    double amount = -20;
    for (auto _ : state) {
        state.PauseTiming();
        book.SetSelected(50);
        // The entry dialog saves the day at midnight: the record moves to the start of its day.
        const QDateTime date = ParseDateText(book.GetItemText(50, 0));
        amount = -amount;
        state.ResumeTiming();
        book.Modify(date, QStringLiteral("餐饮"), amount, QStringLiteral("爸爸"), QString());
    }
}

void CrowdedModify_Floor(benchmark::State &state)
{
    const WorkingOn crowded(g_crowdedLedger);
    const auto raw = Plain();
    const qint64 id = RecordAt(*raw, MiddleOffset(*raw) + 50).value(0).toLongLong();
    const QByteArray sql = "UPDATE Money SET Date=substr(Date,1,10)||' 00:00:00', Item='餐饮', Money=?, Member='爸爸', "
                           "Explain='' WHERE ID=" + QByteArray::number(id);
    double amount = -20;
    for (auto _ : state) {
        amount = -amount;
        raw->Run(sql.constData(), {amount});
    }
}

// Peak resident memory of a process that does nothing but the start-up fill.
long FillPeakKilobytes()
{
    const pid_t child = fork();
    if (child == 0) {
        MainWindowBooks books;
        books.Fill();
        books.Close();
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_maxrss;
}

// Registers an operation and its floor (the function of its name with _Floor) on the bench ledger's
// file and on the server; the crowded ones move to their ledger themselves.
#define ON_EACH_WITH_FLOOR(name, ...)                                        \
    RegisterOnEach(#name, g_ledger, name, ##__VA_ARGS__);                  \
    RegisterOnEach(#name "_Floor", g_ledger, name##_Floor, ##__VA_ARGS__)

void RegisterAll()
{
    ON_EACH_WITH_FLOOR(StartupFill);
    ON_EACH_WITH_FLOOR(TurnToFirstPage);
    ON_EACH_WITH_FLOOR(TurnToMiddlePage);
    ON_EACH_WITH_FLOOR(TurnToLastPage);
    ON_EACH_WITH_FLOOR(SetFilterOneYear);
    ON_EACH_WITH_FLOOR(ComputeTotal);
    ON_EACH_WITH_FLOOR(FindRecordsOneMember);
    ON_EACH_WITH_FLOOR(FindRare, 2);
    ON_EACH_WITH_FLOOR(FindNextOnADay);
    ON_EACH_WITH_FLOOR(AddRecord);
    ON_EACH_WITH_FLOOR(ModifyRecord);
    ON_EACH_WITH_FLOOR(RemoveRecord);
    ON_EACH_WITH_FLOOR(RemoveOnMiddlePage);
    ON_EACH_WITH_FLOOR(EditsOnMiddlePage);
    ON_EACH_WITH_FLOOR(MiddlePageAfterAdd);
    ON_EACH_WITH_FLOOR(SetFilterOneItem);
    ON_EACH_WITH_FLOOR(ItemMiddlePage);
    ON_EACH_WITH_FLOOR(SetFilter, 3);
    ON_EACH_WITH_FLOOR(FilterMiddlePage, 3);
    ON_EACH_WITH_FLOOR(CrowdedMiddlePage);
    ON_EACH_WITH_FLOOR(CrowdedModify);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    g_ledger.folder = OpenBenchLedger();
    if (g_ledger.folder.isEmpty())
        return 1;
    g_crowdedLedger.folder = g_ledger.folder + QStringLiteral("-crowded");
    LedgerSize crowded = BenchLedgerSize();
    crowded.crowded = true;
    QString error;
    if (!MakeLedger(g_crowdedLedger.folder, crowded, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    if (!FindOnServer(g_ledger, BenchLedgerSize()) || !FindOnServer(g_crowdedLedger, crowded))
        return 1;

    for (const bool onServer : {false, true}) {
        if (onServer && !g_ledger.server)
            continue;
        // The caches warmed as a second start of the program finds them.
        WorkOn(g_ledger, onServer);
        MainWindowBooks books;
        books.Fill();
        books.Close();
    }
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    PairingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    reporter.PrintRatios();
    WorkOn(g_ledger, false);
    std::printf("\npeak memory of the start-up fill: %.1f MB\n", double(FillPeakKilobytes()) / 1024.0);
    benchmark::Shutdown();
    return 0;
}
