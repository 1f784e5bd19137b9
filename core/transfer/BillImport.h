// Reading income and expense from a bill export or a spreadsheet: where its table begins, which
// column holds what (guessed from the header, changeable), and what each row becomes — a record, a
// row skipped with its reason (neutral transfers, closed or refunded trades), or a row refused with
// its reason (a date or amount that cannot be read, too few columns).
#pragma once

#include <functional>

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

// The known layouts: the two big payment apps' bills, this program's own export, and the QIF and OFX
// files of other ledgers and banks (read into a table of their own titles).
enum class BillPreset { Plain, WeChat, Alipay, Zarvel, Qif, Ofx };
QString BillPresetName(BillPreset preset);

// Which column holds what (-1: none). The amount is signed by the direction column where there is
// one (收入/支出), else by its own sign; this program's export has its income and expense columns.
struct BillColumns
{
    int date = -1, item = -1, amount = -1, direction = -1, member = -1, status = -1;
    // The amount split in two columns: this program's export (收入/支出), a bank's (存入/支出, 贷方/借方).
    int income = -1, expense = -1;
    QList<int> note;  // joined into the note (counterpart, goods, remarks)
    // What a bill tells beside: who the trade was with (rules remember it), what was bought, its
    // remarks (a fee may be written there), the order numbers that tie a refund to its purchase, and
    // the older web export's refunded and fee amounts.
    int counterparty = -1, goods = -1, remarks = -1, order = -1, merchantOrder = -1, refunded = -1, fee = -1;
};

// How a bill writes its days where the year does not come first: month first ("12/29/2025", a
// card statement's "12/29") or day first ("29/12/2025"). A day without a year takes the year of the
// statement's period (its title block), so that a period from December into January dates each side.
enum class DateOrder { MonthFirst, DayFirst };
struct BillDates
{
    DateOrder order = DateOrder::MonthFirst;
    QDate periodStart, periodEnd;  // from the title block; invalid when it names none
};

struct BillLayout
{
    BillPreset preset = BillPreset::Plain;
    int headerRow = -1;  // the row of column titles; the records follow it
    BillColumns columns;
    BillDates dates;
    // A credit card's statement lists spending as positive amounts and repayments as negative ones.
    bool spendingPositive = false;
};

// A layout's columns, day order and sign as one line of text, to be kept and read back (the header
// row and the statement's period are the bill's own); false for a text that is not one.
QString BillLayoutText(const BillLayout &layout);
bool ReadBillLayoutText(const QString &text, BillLayout *layout);

// The day order the rows' dates show (a first number past 12 is a day, a second one past 12 too), and
// the statement's period from the dates of its title block (or the one year it names).
BillDates GuessBillDates(const QList<QStringList> &records, int headerRow, int dateColumn);

// Finds the header row among the first rows (the title block of a bill is skipped) and guesses the
// columns from its titles; headerRow -1 when no row looks like one.
BillLayout GuessBillLayout(const QList<QStringList> &records);
// The columns guessed from the titles of the given row, taken as the header whatever it holds.
BillLayout GuessColumnsAt(const QList<QStringList> &records, int headerRow);

struct BillRow
{
    enum class Kind { Record, Skipped, Refused };
    Kind kind = Kind::Record;
    QString reason;  // why skipped or refused
    QDateTime date;
    bool dayOnly = false;  // the file gives the day without a time of day (taken as midnight)
    QString item;
    double amount = 0;
    QString member;
    QString note;
    QString counterparty;
    // A refund's row: what it gives back is settled against its purchase (SettleRefunds).
    bool refund = false;
    // A purchase whose own status already counts what was given back (已全额退款, 已退款(￥5.00)).
    bool refundCounted = false;
    // What the row paid or took before its own status counted anything given back (signed).
    double paid = 0;
    QString order, merchantOrder;
};

// What one row of the table becomes under the layout. A refund's row is read as skipped, its amount
// what it gives back, until SettleRefunds finds its purchase.
BillRow ReadBillRow(const QStringList &row, const BillLayout &layout);
// Takes each refund off the purchase it refunds, wherever it stands in the bill (bills list the
// newest first): the purchase of the same merchant order, else of the same order number, else the
// nearest purchase from the same counterparty that is at least as large. A refund whose purchase is
// not in the bill is written as an income; one whose purchase already counts it is skipped. The row
// numbers told are counted from firstRecord.
void SettleRefunds(std::vector<BillRow> &rows, qsizetype firstRecord);
// Skips a record that repeats an earlier one's trade number (an OFX FITID), day and amount: a bank
// that sends a transaction twice. Rows numbered as for SettleRefunds.
void SkipRepeatedTrades(std::vector<BillRow> &rows, qsizetype firstRecord);

// "¥1,200.00", "-12.5", "１２.５" (full-width digits), "12.50元", "RMB 1,200.00", "(12.50)" as a
// number; false when it is not one. A statement's "CR" (credit, money in) or "DR" (debit, money out)
// after the amount signs it whatever the layout: *marked is then +1 or -1, else 0.
bool ReadBillAmount(const QString &text, double *amount, int *marked = nullptr);
// "2023-05-01 12:30:00", "2023/5/1 12:30", "2023-05-01", "2023年5月1日", "20230501" as a date and
// time; with the year after the day as the dates say ("5/1/2023", "1/5/2023", "5/1/23"), or without a
// year ("5/1") in the statement's period. *dayOnly, when given, tells whether the text gives the day alone.
QDateTime ReadBillDate(const QString &text, bool *dayOnly = nullptr, const BillDates &dates = BillDates());

class SqlConnection;
struct MoneyEntry;

// Told as a long step of an import goes (done of total); false asks the step to stop, which it does
// by throwing ImportCancelled (what it was building is then to be thrown away).
using ImportProgress = std::function<bool(qsizetype done, qsizetype total)>;
struct ImportCancelled
{
};
// Tells progress every so many steps (and at the last), throwing ImportCancelled when asked to stop.
void TellImportProgress(const ImportProgress &progress, qsizetype done, qsizetype total);

// For each entry, whether the ledger holds a record of the same time and amount (to the cent) under
// the same item or with the same note (a record imported before and filed since under another item):
// such rows are reported and left out unless the user keeps them. An entry marked in wholeDay (its
// file gave the day alone, as this program's export does) matches such a record at any time of its day.
// Each record held matches one entry at most, whichever form of date the entries give: the entries that
// give a time of day take the records at their time first; the entries of a day alone then take the
// records of their day left, the first in their order.
std::vector<bool> MatchExistingRecords(SqlConnection &db, const std::vector<MoneyEntry> &entries,
                                       const std::vector<bool> &wholeDay = {}, const ImportProgress &progress = {});
