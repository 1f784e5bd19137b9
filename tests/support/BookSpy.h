// Records what a book asks of its view.
#pragma once

#include "db/CBook.h"

#include <QList>

class BookSpy : public IBookListener
{
public:
    explicit BookSpy(CBook &book) { book.SetListener(this); }
    void RowsReset() override { ++resets; }
    void RowInserted(int) override {}
    void RowRemoved(int) override {}
    void RowChanged(int) override {}
    void SelectionChanged(int row) override { selected.append(row); }

    int resets = 0;
    QList<int> selected;
};
