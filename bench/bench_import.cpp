// Importing a 100,000-row bill into the large ledger: reading the file (UTF-8 and GBK), finding the
// rows the ledger holds already, writing the records, and the whole of it through the dialog from
// the file chosen to the panel refreshed. The look-ups and the writes stand beside the plain SQL of
// the same work (a prepared statement per row, one transaction), their floors. Every iteration's
// records are taken out again, unmeasured, so the ledger stays as generated.
#include "BenchSupport.h"
#include "BenchWindow.h"
#include "LedgerGenerator.h"

#include "app/CLedgerApp.h"
#include "common/Gbk.h"
#include "common/LedgerDate.h"
#include "db/ChangeJournal.h"
#include "db/KeptFigures.h"
#include "db/Ledger.h"
#include "db/SqlConnection.h"
#include "dialogs/CImportDlg.h"
#include "lists/ReferenceLists.h"
#include "transfer/Csv.h"
#include "transfer/MoneyImport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <QFile>
#include <QHash>
#include <QRandomGenerator>
#include <functional>
#include <memory>
#include <sqlite3.h>
#include <zip.h>

namespace {

constexpr int kBillRows = 100000;
QString g_weChatBill, g_alipayBill, g_workbookBill, g_millionWorkbook;
constexpr int kMillionRows = 1000000;

// A year of a household's payment-app bill: mostly spending in a handful of kinds, some income,
// a few neutral transfers and refunds.
QList<QStringList> BillRows(bool weChat, int count = kBillRows)
{
    QRandomGenerator random(18);
    const QStringList spending{QStringLiteral("商户消费"), QStringLiteral("扫二维码付款"), QStringLiteral("亲属卡交易"),
                               QStringLiteral("群收款"), QStringLiteral("转账")};
    const QStringList counterparts{QStringLiteral("楼下面馆"), QStringLiteral("菜市场"), QStringLiteral("超市"),
                                   QStringLiteral("加油站"), QStringLiteral("老王"), QStringLiteral("网店")};
    QList<QStringList> rows;
    rows.reserve(count + 1);
    rows << (weChat ? QStringList{"交易时间", "交易类型", "交易对方", "商品", "收/支", "金额(元)", "支付方式", "当前状态", "交易单号", "商户单号", "备注"}
                    : QStringList{"交易时间", "交易分类", "交易对方", "对方账号", "商品说明", "收/支", "金额", "收/付款方式", "交易状态", "交易订单号", "商家订单号", "备注"});
    const QDateTime start(QDate(2023, 1, 1), QTime(0, 0));
    for (int i = 0; i < count; ++i) {
        const QString when = DbDateText(start.addSecs(qint64(i) * 315 + random.bounded(300)));
        const int kind = random.bounded(100);
        const QString direction = kind < 85 ? QStringLiteral("支出") : kind < 95 ? QStringLiteral("收入")
                                                                                  : weChat ? QStringLiteral("/") : QStringLiteral("不计收支");
        const QString status = kind >= 98 ? QStringLiteral("已全额退款") : QStringLiteral("支付成功");
        const QString amount = QString::number(1 + random.bounded(50000) / 100.0, 'f', 2);
        const QString item = spending.at(random.bounded(spending.size()));
        const QString other = counterparts.at(random.bounded(counterparts.size()));
        const QString order = QString::number(4200000000000LL + i);
        if (weChat)
            rows << QStringList{when, item, other, QStringLiteral("/"), direction, QStringLiteral("¥") + amount,
                                QStringLiteral("零钱"), status, order, QString(), QStringLiteral("/")};
        else
            rows << QStringList{when, item, other, QString(), QStringLiteral("商品"), direction, amount,
                                QStringLiteral("余额宝"), status, order, QString(), QString()};
    }
    return rows;
}

QString WriteBill(const QString &name, bool weChat)
{
    const QString path = QDir::temp().filePath(name);
    QList<QStringList> rows{{QStringLiteral("账单明细")}, {QStringLiteral("共%1笔记录").arg(kBillRows)}, {QStringLiteral("--------------")}};
    rows += BillRows(weChat);
    QByteArray bytes;
    WriteCsv(rows, weChat ? CsvEncoding::Utf8WithBom : CsvEncoding::Gbk, &bytes);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

// The same bill as the payment app's workbook: the texts shared, the times as date serials in a
// date style, the amounts as numbers, the order numbers as texts.
QString WriteWorkbookBill(const QString &name, int count = kBillRows)
{
    const QList<QStringList> rows = BillRows(true, count);
    QStringList shared;
    QHash<QString, int> sharedAt;
    auto text = [&](const QString &value) {
        auto at = sharedAt.constFind(value);
        if (at == sharedAt.constEnd()) {
            at = sharedAt.insert(value, int(shared.size()));
            shared << value;
        }
        return QByteArray("<c t=\"s\"><v>") + QByteArray::number(*at) + "</v></c>";
    };
    QByteArray sheet = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet xmlns=\"http://schemas.openxmlformats.org/"
                       "spreadsheetml/2006/main\"><sheetData>";
    // Numbered rows, as spreadsheet programs and the app write them.
    sheet += "<row r=\"1\">" + text(QStringLiteral("微信支付账单明细")) + "</row>";
    sheet += "<row r=\"2\">" + text(QStringLiteral("----------------------微信支付账单明细列表--------------------")) + "</row>";
    const QDate epoch(1899, 12, 30);
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QStringList &row = rows.at(r);
        sheet += "<row r=\"" + QByteArray::number(r + 3) + "\">";
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (r > 0 && c == 0) {
                const QDateTime when = QDateTime::fromString(row.at(c), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
                const double serial = double(epoch.daysTo(when.date())) + when.time().msecsSinceStartOfDay() / 86400000.0;
                sheet += "<c s=\"1\"><v>" + QByteArray::number(serial, 'f', 10) + "</v></c>";
            } else if (r > 0 && c == 5) {
                sheet += "<c><v>" + row.at(c).mid(1).toUtf8() + "</v></c>";  // ¥ left to the style
            } else {
                sheet += text(row.at(c));
            }
        }
        sheet += "</row>";
    }
    sheet += "</sheetData></worksheet>";
    QByteArray strings = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";
    for (const QString &value : std::as_const(shared))
        strings += "<si><t>" + value.toHtmlEscaped().toUtf8() + "</t></si>";
    strings += "</sst>";
    const QList<std::pair<const char *, QByteArray>> parts{
        {"xl/workbook.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                            "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>"
                            "<sheet name=\"账单\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                                       "<Relationship Id=\"rId1\" Type=\"worksheet\" Target=\"worksheets/sheet1.xml\"/></Relationships>"},
        {"xl/styles.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                          "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"22\"/></cellXfs></styleSheet>"},
        {"xl/sharedStrings.xml", strings},
        {"xl/worksheets/sheet1.xml", sheet}};
    const QString path = QDir::temp().filePath(name);
    int error = 0;
    zip_t *zip = zip_open(path.toUtf8().constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip)
        return QString();
    for (const auto &[part, bytes] : parts)
        zip_file_add(zip, part, zip_source_buffer(zip, bytes.constData(), zip_uint64_t(bytes.size()), 0), ZIP_FL_ENC_UTF_8);
    return zip_close(zip) == 0 ? path : QString();
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

std::unique_ptr<CMoneyImport> ReadPlan(const QString &path)
{
    auto plan = std::make_unique<CMoneyImport>(g_itemList, MemberNames());
    plan->Load(ReadFile(path));
    return plan;
}

// Takes the records written since the count was taken out again.
class Restorer
{
public:
    Restorer() : m_last(m_raw.Integer("SELECT MAX(ID) FROM Money")) {}
    void operator()()
    {
        m_raw.Run("BEGIN");
        m_raw.Run("DELETE FROM Money WHERE ID > ?", QVariantList{m_last});
        m_raw.Run("COMMIT");
    }

private:
    RawLedger m_raw{QDir::currentPath()};
    qint64 m_last;
};

void ReadWorkbook(benchmark::State &state)
{
    for (auto _ : state) {
        const auto plan = ReadPlan(g_workbookBill);
        benchmark::DoNotOptimize(plan->RowCount());
    }
    state.counters["rows"] = double(ReadPlan(g_workbookBill)->RowCount());
}

// A sheet of a million rows, read and its rows taken (the dialog's reading, without a window).
void ReadWorkbook_Million(benchmark::State &state)
{
    qsizetype rows = 0;
    for (auto _ : state) {
        const auto plan = ReadPlan(g_millionWorkbook);
        rows = plan->RowCount();
    }
    state.counters["rows"] = double(rows);
}

void ReadBill(benchmark::State &state, bool weChat)
{
    const QString path = weChat ? g_weChatBill : g_alipayBill;
    for (auto _ : state) {
        const auto plan = ReadPlan(path);
        benchmark::DoNotOptimize(plan->RowCount());
    }
}

void MatchExisting(benchmark::State &state)
{
    const auto plan = ReadPlan(g_weChatBill);
    auto db = OpenLedgerDatabase(QStringLiteral("Data/Kinward.db"));
    for (auto _ : state)
        plan->MatchExisting(*db);
}

void MatchExisting_Floor(benchmark::State &state)
{
    const std::vector<MoneyEntry> entries = ReadPlan(g_weChatBill)->EntriesToWrite(true);
    sqlite3 *db = nullptr;
    sqlite3_open(QByteArray("Data/Kinward.db").constData(), &db);
    const QByteArray sql = ("SELECT count(*) FROM Money WHERE Date = ? AND Item = ? AND " + CentsSql(QStringLiteral("Money")) + " = ?").toUtf8();
    sqlite3_stmt *select = nullptr;
    sqlite3_prepare_v2(db, sql.constData(), -1, &select, nullptr);
    for (auto _ : state) {
        for (const MoneyEntry &entry : entries) {
            const QByteArray date = DbDateText(entry.date).toUtf8(), item = entry.item.toUtf8();
            sqlite3_reset(select);
            sqlite3_bind_text(select, 1, date.constData(), int(date.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(select, 2, item.constData(), int(item.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int64(select, 3, ToCents(entry.amount));
            benchmark::DoNotOptimize(sqlite3_step(select));
        }
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
}

void WriteRecords(benchmark::State &state)
{
    const std::vector<MoneyEntry> entries = ReadPlan(g_weChatBill)->EntriesToWrite(true);
    Restorer restore;
    CMoneyBook book;
    book.ShowPage(1, QStringLiteral("Date"));
    for (auto _ : state) {
        book.AddMany(entries, [](qsizetype) { return true; });
        state.PauseTiming();
        restore();
        state.ResumeTiming();
    }
    state.counters["records"] = double(entries.size());
}

void WriteRecords_Floor(benchmark::State &state)
{
    const std::vector<MoneyEntry> entries = ReadPlan(g_weChatBill)->EntriesToWrite(true);
    Restorer restore;
    sqlite3 *db = nullptr;
    sqlite3_open(QByteArray("Data/Kinward.db").constData(), &db);
    sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO Money (Date, Item, Money, Member, Explain) VALUES (?,?,?,?,?)", -1, &insert, nullptr);
    for (auto _ : state) {
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        for (const MoneyEntry &entry : entries) {
            const QByteArray date = DbDateText(entry.date).toUtf8(), item = entry.item.toUtf8(),
                             member = entry.member.toUtf8(), note = entry.explain.toUtf8();
            sqlite3_reset(insert);
            sqlite3_bind_text(insert, 1, date.constData(), int(date.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 2, item.constData(), int(item.size()), SQLITE_TRANSIENT);
            sqlite3_bind_double(insert, 3, entry.amount);
            sqlite3_bind_text(insert, 4, member.constData(), int(member.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 5, note.constData(), int(note.size()), SQLITE_TRANSIENT);
            sqlite3_step(insert);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        state.PauseTiming();
        restore();
        state.ResumeTiming();
    }
    sqlite3_finalize(insert);
    sqlite3_close(db);
}

// An import taken back (Ctrl+Z): its records deleted again from the change kept beside it, each checked
// to be as the import left it, the list read again; its floor, the same records deleted by plain SQL.
// Each round writes the bill unmeasured, then measures takeBack.
void TakeBackEachImport(benchmark::State &state, const std::function<void(CMoneyBook &, Restorer &)> &takeBack)
{
    const std::vector<MoneyEntry> entries = ReadPlan(g_weChatBill)->EntriesToWrite(true);
    Restorer restore;
    CMoneyBook book;
    book.ShowPage(1, QStringLiteral("Date"));
    for (auto _ : state) {
        state.PauseTiming();
        book.AddMany(entries, [](qsizetype) { return true; });
        state.ResumeTiming();
        takeBack(book, restore);
    }
    state.counters["records"] = double(entries.size());
}

void TakeBackImport(benchmark::State &state)
{
    TakeBackEachImport(state, [&state](CMoneyBook &book, Restorer &) {
        if (LedgerJournal().TakeBackLast() != ChangeJournal::TakeBack::Done)
            state.SkipWithError("the import was not taken back");
        book.Reload();
    });
}

void TakeBackImport_Floor(benchmark::State &state)
{
    TakeBackEachImport(state, [](CMoneyBook &, Restorer &restore) { restore(); });
}

// The longest the window's thread goes without answering while a call runs: a timer that should tick
// every 5 ms notes the widest gap between ticks.
class StallWatch
{
public:
    StallWatch()
    {
        m_ticks.setInterval(5);
        QObject::connect(&m_ticks, &QTimer::timeout, [this] {
            m_longest = std::max(m_longest, m_sinceTick.restart());
        });
    }
    void Start()
    {
        m_longest = 0;
        m_sinceTick.start();
        m_ticks.start();
    }
    qint64 Stop()
    {
        m_longest = std::max(m_longest, m_sinceTick.elapsed());
        m_ticks.stop();
        return m_longest;
    }

private:
    QTimer m_ticks;
    QElapsedTimer m_sinceTick;
    qint64 m_longest = 0;
};

// What the household waits for: the file read and previewed, then 导入 pressed until the panel shows
// the records (progress bar included).
void DialogImport(benchmark::State &state, const QString *bill)
{
    SilentMessages silent;
    Restorer restore;
    CMainDlg window{QuietWindow()};
    window.show();
    window.PressButton(1000);
    StallWatch watch;
    qint64 stall = 0;
    for (auto _ : state) {
        watch.Start();
        {
            CImportDlg dialog(window.m_moneyBook, &window);
            dialog.OpenFile(*bill);
            dialog.show();
            dialog.WaitForReading();
            // The household presses 导入 once the preview is there: events are answered in between.
            QCoreApplication::processEvents();
            dialog.Import();
        }
        stall = std::max(stall, watch.Stop());
        state.PauseTiming();
        restore();
        state.ResumeTiming();
    }
    state.counters["stall_ms"] = double(stall);
}

// A bill chosen until its preview is whole; counters: the time until the dialog can show (its bar
// up), and the longest the window went without answering meanwhile.
void DialogOpenFile(benchmark::State &state, const QString *bill)
{
    SilentMessages silent;
    CMainDlg window{QuietWindow()};
    StallWatch watch;
    qint64 shown = 0, stall = 0;
    for (auto _ : state) {
        CImportDlg dialog(window.m_moneyBook, &window);
        QElapsedTimer clock;
        clock.start();
        watch.Start();
        dialog.OpenFile(*bill);
        dialog.show();
        shown = std::max(shown, clock.elapsed());
        dialog.WaitForReading();
        QCoreApplication::processEvents();  // the preview painted
        stall = std::max(stall, watch.Stop());
    }
    state.counters["shown_ms"] = double(shown);
    state.counters["stall_ms"] = double(stall);
}

} // namespace

int main(int argc, char **argv)
{
    return RunWindowBenchmarks(argc, argv, [](const QString &) {
        LoadAllListFiles();
        g_weChatBill = WriteBill(QStringLiteral("zarvel-bench-wechat.csv"), true);
        g_alipayBill = WriteBill(QStringLiteral("zarvel-bench-alipay.csv"), false);
        g_workbookBill = WriteWorkbookBill(QStringLiteral("zarvel-bench-wechat.xlsx"));
        if (g_weChatBill.isEmpty() || g_alipayBill.isEmpty() || g_workbookBill.isEmpty())
            return false;
        std::printf("bills of %d rows: %s (UTF-8), %s (GBK)\n", kBillRows, qPrintable(g_weChatBill), qPrintable(g_alipayBill));
        benchmark::RegisterBenchmark("ReadBill_WeChatUtf8", ReadBill, true)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("ReadBill_AlipayGbk", ReadBill, false)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("ReadBill_Workbook", ReadWorkbook)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("MatchExisting", MatchExisting)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("MatchExisting_Floor", MatchExisting_Floor)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("WriteRecords", WriteRecords)->Unit(benchmark::kMillisecond)->Iterations(3);
        benchmark::RegisterBenchmark("WriteRecords_Floor", WriteRecords_Floor)->Unit(benchmark::kMillisecond)->Iterations(3);
        benchmark::RegisterBenchmark("TakeBackImport", TakeBackImport)->Unit(benchmark::kMillisecond)->Iterations(3);
        benchmark::RegisterBenchmark("TakeBackImport_Floor", TakeBackImport_Floor)->Unit(benchmark::kMillisecond)->Iterations(3);
        benchmark::RegisterBenchmark("DialogOpenFile", DialogOpenFile, &g_weChatBill)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("DialogOpenFile_Workbook", DialogOpenFile, &g_workbookBill)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("DialogImport_WeChat", DialogImport, &g_weChatBill)->Unit(benchmark::kMillisecond)->Iterations(3);
        benchmark::RegisterBenchmark("DialogImport_Alipay", DialogImport, &g_alipayBill)->Unit(benchmark::kMillisecond)->Iterations(3);
        benchmark::RegisterBenchmark("DialogImport_Workbook", DialogImport, &g_workbookBill)->Unit(benchmark::kMillisecond)->Iterations(3);
        // Written only when asked for by name: a million-row sheet takes a while to make.
        if (qEnvironmentVariableIsSet("ZARVEL_BENCH_MILLION_SHEET")) {
            g_millionWorkbook = WriteWorkbookBill(QStringLiteral("zarvel-bench-million.xlsx"), kMillionRows);
            benchmark::RegisterBenchmark("ReadWorkbook_Million", ReadWorkbook_Million)->Unit(benchmark::kMillisecond)->Iterations(1);
        }
        return true;
    });
}
