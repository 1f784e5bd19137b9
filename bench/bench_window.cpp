// The main window on a large ledger, offscreen: what the user waits for after a click, painted. The
// page selector is measured beside a selector of one page, its floor: it must cost the same at any
// number of pages.
#include "BenchSupport.h"
#include "BenchWindow.h"
#include "LedgerGenerator.h"

#include "app/CMainDlg.h"
#include "app/CLedgerApp.h"
#include "controls/CPageSelector.h"
#include "db/CMoneyBook.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
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

} // namespace

BENCHMARK(OpenPageSelector)->Arg(1)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(RefillPageSelector)->Arg(1)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(WindowMiddlePage)->Unit(benchmark::kMillisecond);
BENCHMARK(WindowDeleteOnMiddlePage)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return RunWindowBenchmarks(argc, argv, [](const QString &) { return true; });
}
