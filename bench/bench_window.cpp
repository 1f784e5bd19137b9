// The main window on a large ledger, offscreen: what the user waits for after a click, painted. The
// page selector is measured beside a selector of one page, its floor: it must cost the same at any
// number of pages.
#include "BenchSupport.h"
#include "BenchWindow.h"
#include "LedgerGenerator.h"

#include "app/CMainDlg.h"
#include "app/CLedgerApp.h"
#include "controls/CPageSelector.h"
#include "db/CCurrentBook.h"
#include "db/CInsureBook.h"
#include "db/CMemoBook.h"
#include "db/CMoneyBook.h"
#include "dialogs/CCurrentBalanceDlg.h"
#include "dialogs/CPolicyListDlg.h"
#include "lists/CItemEditDlg.h"
#include "lists/ListEditing.h"
#include "lists/ReferenceLists.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeWidget>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

void Settle(QWidget *window)
{
    window->repaint();
    QCoreApplication::processEvents();
}

// Opening the selector's list and closing it again, at the given number of pages.
void OpenPageSelector(benchmark::State &state)
{
    const int pages = int(state.range(0));
    CPageSelector selector;
    selector.resize(50, 20);
    selector.SetPages(pages, std::max(1, pages / 2));
    selector.show();
    for (auto _ : state) {
        selector.showPopup();
        selector.view()->window()->repaint();
        selector.hidePopup();
    }
}

// The selector listed again for a count that changed (as after a delete).
void RefillPageSelector(benchmark::State &state)
{
    const int pages = int(state.range(0));
    CPageSelector selector;
    selector.show();
    int count = pages;
    for (auto _ : state) {
        count = count == pages ? std::max(1, pages - 1) : pages;
        selector.SetPages(count, std::max(1, count / 2));
        selector.repaint();
    }
}

// The income/expense panel of a window on the ledger, on its middle page.
struct MoneyWindow
{
    CMainDlg window{QuietWindow()};
    int middle = 1;
    MoneyWindow()
    {
        window.show();
        window.PressButton(1000);
        middle = std::max(1, window.m_moneyBook.GetPageCount() / 2);
        ChoosePage(middle);
    }
    void ChoosePage(int page)
    {
        auto *selector = qobject_cast<CPageSelector *>(window.Control(1097));
        selector->setCurrentIndex(page - 1);
        emit selector->activated(page - 1);
        Settle(&window);
    }
};

// A page chosen in the selector, listed and painted.
void WindowMiddlePage(benchmark::State &state)
{
    MoneyWindow money;
    for (auto _ : state) {
        state.PauseTiming();
        money.ChoosePage(1);
        state.ResumeTiming();
        money.ChoosePage(money.middle);
    }
}

// 删除 on the middle page: the record, the page kept full, the status line and selector, painted.
void WindowDeleteOnMiddlePage(benchmark::State &state)
{
    MoneyWindow money;
    for (auto _ : state) {
        money.window.m_moneyBook.SetSelected(50);
        money.window.PressButton(1002);
        Settle(&money.window);
    }
}

// A ledger with 100,000 records in each book but income and expense, beside the bench ledger.
QString g_othersLedger;

// Works in the other ledger while it lives.
struct InOthersLedger
{
    QString previous = QDir::currentPath();
    InOthersLedger()
    {
        QDir::setCurrent(g_othersLedger);
        ClearReferenceLists();
        LoadAllListFiles();  // the currencies 查看余额 offers
    }
    ~InOthersLedger() { QDir::setCurrent(previous); }
};

// 查看余额 on 100,000 demand-savings records: the dialog made, a currency chosen, its balances listed
// and painted.
void OpenBalances(benchmark::State &state)
{
    InOthersLedger others;
    CCurrentBook book;
    book.Fill(QStringLiteral("Date"));
    for (auto _ : state) {
        CCurrentBalanceDlg dialog(book);
        dialog.show();
        auto *currency = dialog.findChild<QComboBox *>(QStringLiteral("1111"));
        currency->setCurrentIndex(currency->findText(QStringLiteral("人民币")));
        Settle(&dialog);
        if (dialog.findChild<QTreeWidget *>(QStringLiteral("1110"))->topLevelItemCount() == 0)
            state.SkipWithError("no balances listed");
    }
}

void OpenBalances_Floor(benchmark::State &state)
{
    InOthersLedger others;
    RawLedger raw(g_othersLedger);
    for (auto _ : state)
        // The accounts in list order with their amounts: one ordered pass (a GROUP BY sorts by account
        // and still needs the order of first appearance).
        raw.Run("SELECT Account, MKind, CAST(round(Money * 100) AS INTEGER) FROM Current ORDER BY Date, ID");
}

// 查看保单 on 100,000 policies: the dialog made, its first rows listed and painted.
void OpenPolicyList(benchmark::State &state)
{
    InOthersLedger others;
    CInsureBook activities;
    activities.Fill(QStringLiteral("Date"));
    for (auto _ : state) {
        CPolicyListDlg dialog(activities);
        dialog.show();
        Settle(&dialog);
    }
}

void OpenPolicyList_Floor(benchmark::State &state)
{
    InOthersLedger others;
    RawLedger raw(g_othersLedger);
    for (auto _ : state) {
        raw.Run("SELECT count(*) FROM InsureNote");
        raw.Run("SELECT ID, Name, PayedMoney FROM InsureNote ORDER BY Name, ID LIMIT 30");
    }
}

// 查找 in 100,000 memos by their 记录人: the first match selected (the floor reads the first matching
// memo in list order).
void FindMemoByMember(benchmark::State &state)
{
    InOthersLedger others;
    CMemoBook book;
    book.Fill(QStringLiteral("Date"));
    const QString member = book.GetItemText(40, 2);
    for (auto _ : state) {
        state.PauseTiming();
        book.Close();
        book.Fill(QStringLiteral("Date"));  // no text read yet, as after opening the panel
        state.ResumeTiming();
        book.FindText(2, member);
    }
}

void FindMemoByMember_Floor(benchmark::State &state)
{
    InOthersLedger others;
    RawLedger raw(g_othersLedger);
    CMemoBook book;
    book.Fill(QStringLiteral("Date"));
    const QString member = book.GetItemText(40, 2);
    for (auto _ : state)
        raw.Run("SELECT * FROM Memo WHERE Member = ? ORDER BY Date, ID LIMIT 1", QVariantList{member});
}

// An add, a move and a delete in a list editor over 5,000 banks, shown; the floor is the same edits
// on the list alone.
void ListEditorEdits(benchmark::State &state)
{
    g_bankList.clear();
    for (int i = 0; i < 5000; ++i)
        g_bankList << QStringLiteral("银行%1").arg(i);
    CItemEditDlg editor(ListMode::Banks);
    editor.show();
    auto *lines = editor.findChild<QListWidget *>(QStringLiteral("1203"));
    auto *content = editor.findChild<QLineEdit *>(QStringLiteral("1204"));
    int step = 0;
    for (auto _ : state) {
        content->setText(QStringLiteral("新银行%1").arg(step++));
        editor.Add();
        lines->setCurrentRow(2500);
        editor.MoveUp();
        lines->setCurrentRow(lines->count() - 1);
        editor.Delete();
        Settle(&editor);
    }
}

void ListEditorEdits_Floor(benchmark::State &state)
{
    g_bankList.clear();
    for (int i = 0; i < 5000; ++i)
        g_bankList << QStringLiteral("银行%1").arg(i);
    int step = 0;
    for (auto _ : state) {
        AddListEntry(ListMode::Banks, QStringLiteral("新银行%1").arg(step++), 0);
        MoveListEntry(ListMode::Banks, 2500, true);
        DeleteListEntry(ListMode::Banks, int(g_bankList.size()) - 1);
    }
}

} // namespace

BENCHMARK(OpenPageSelector)->Arg(1)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(RefillPageSelector)->Arg(1)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(WindowMiddlePage)->Unit(benchmark::kMillisecond);
BENCHMARK(WindowDeleteOnMiddlePage)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenBalances)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenBalances_Floor)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenPolicyList)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenPolicyList_Floor)->Unit(benchmark::kMillisecond);
BENCHMARK(FindMemoByMember)->Unit(benchmark::kMillisecond);
BENCHMARK(FindMemoByMember_Floor)->Unit(benchmark::kMillisecond);
BENCHMARK(ListEditorEdits)->Unit(benchmark::kMillisecond);
BENCHMARK(ListEditorEdits_Floor)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return RunWindowBenchmarks(argc, argv, [](const QString &ledger) {
        g_othersLedger = ledger + QStringLiteral("-others");
        LedgerSize size;
        size.moneyRecords = 1000;
        size.otherRecords = 100000;
        QString error;
        if (!MakeLedger(g_othersLedger, size, &error)) {
            std::fprintf(stderr, "cannot make the ledger of other books: %s\n", qPrintable(error));
            return false;
        }
        return true;
    });
}
