// Every book of the main window, opened as the window opens them, and what the household sees of
// them; a policy as the tests lay one, and what has been paid on it.
#pragma once

#include "db/CAddressBook.h"
#include "db/CArticleBook.h"
#include "db/CCreditBook.h"
#include "db/CCurrentBook.h"
#include "db/CDepositBook.h"
#include "db/CInsureBook.h"
#include "db/CInsureNoteBook.h"
#include "db/CInsureNoteRecord.h"
#include "db/CMemoBook.h"
#include "db/CMoneyBook.h"
#include "db/FilterParser.h"

#include <QStringList>
#include <vector>

inline double PayedMoney(const QString &policy)
{
    CInsureNoteRecord note;
    note.m_strFilter = QStringLiteral("Name=") + QuoteFilterText(policy);
    note.Open();
    return note.IsEOF() ? -1 : note.m_PayedMoney;
}

inline void AddPolicy(CInsureNoteBook &notes, const QString &name)
{
    notes.AddPolicy(name, QStringLiteral("人寿保险"), QStringLiteral("中国人寿保险"), QStringLiteral("300"),
                    QStringLiteral("100000"), QStringLiteral("0"), 20, QStringLiteral("2003-01-01"), QString(),
                    QStringLiteral("Li"), QStringLiteral("Wang"), QStringLiteral("Li"), QString());
}

// Every book of the main window, opened as the main window opens them.
struct Ledger
{
    CMoneyBook money;
    CMemoBook memos;
    CAddressBook addresses;
    CArticleBook articles;
    CCreditBook credits;
    CCurrentBook current;
    CDepositBook deposits;
    CInsureBook insurance;

    void Open()
    {
        money.ShowPage(1, QStringLiteral("Date"));
        money.ComputeTotal();
        memos.Fill(QStringLiteral("Date"));
        addresses.Fill(QStringLiteral("Name"));
        articles.Fill(QStringLiteral("Name"));
        articles.ComputeTotals();
        credits.Fill(QStringLiteral("Date"));
        credits.ComputeTotals();
        current.Fill(QStringLiteral("Date"));
        current.ComputeTotals();
        deposits.Fill(QStringLiteral("BDate"));
        deposits.ComputeTotals();
        insurance.Fill(QStringLiteral("Date"));
        insurance.ComputeTotals();
    }

    std::vector<const CBook *> Books() const
    {
        return {&money, &memos, &addresses, &articles, &credits, &current, &deposits, &insurance};
    }

    void Close()
    {
        for (CBook *book : std::initializer_list<CBook *>{&money, &memos, &addresses, &articles, &credits, &current, &deposits, &insurance})
            book->Close();
    }

    // What the user sees: every row of every book with its record, the page and the totals.
    QStringList Visible() const
    {
        QStringList seen;
        for (const CBook *book : Books()) {
            seen << QStringLiteral("rows %1").arg(book->GetItemCount());
            for (int row = 0; row < book->GetItemCount(); ++row)
                seen << QString::number(book->GetItemData(row)) + QLatin1Char(':') + book->GetRowTexts(row).join(QLatin1Char('|'));
        }
        seen << QStringLiteral("page %1 of %2").arg(money.GetCurrentPage()).arg(money.GetPageCount());
        for (double total : {money.GetTotal(), articles.GetTotalCost(), articles.GetTotalValue(), credits.GetTotal(),
                             current.GetTotal(), deposits.GetDepositTotal(), deposits.GetDueTotal(), insurance.GetTotal()})
            seen << QString::number(total, 'f', 2);
        return seen;
    }
};

// A fresh main window's view of the ledger as it is stored.
inline QStringList FreshlyOpened()
{
    Ledger fresh;
    fresh.Open();
    return fresh.Visible();
}
