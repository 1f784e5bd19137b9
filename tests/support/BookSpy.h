// Records what a book asks of its view.
#pragma once

#include "db/CBook.h"

#include <QList>

class BookSpy : public IBookListener
{
public:
    explicit BookSpy(CBook &book) : m_book(book) { book.AddListener(this); }
    ~BookSpy() override { m_book.RemoveListener(this); }
    void RowsReset() override { ++resets; }
    void RowInserted(int) override {}
    void RowRemoved(int) override {}
    void RowChanged(int) override {}
    void SelectionChanged(int row) override { selected.append(row); }
    void BookChanged() override { ++changes; }

    int resets = 0;
    int changes = 0;  // operations that ended with something changed
    QList<int> selected;

private:
    CBook &m_book;
};
