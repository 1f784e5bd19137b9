// A record list: report style, full-row single selection that always shows, grid lines, the light
// tint. A row becomes the book's selected row only by a click, a right click or a double click.
#pragma once

#include "app/BookTableModel.h"

#include <QTableView>

class CBookView : public QTableView
{
    Q_OBJECT
public:
    CBookView(CBook &book, const QStringList &titles, const QList<int> &widths, QWidget *parent = nullptr);
    BookTableModel *Model() const { return m_model; }
    CBook &Book() { return m_model->Book(); }

signals:
    void rowChosen(int row);        // a click or right click on a row
    void rowDoubleClicked(int row); // a double click on a row

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void ShowSelected(int row);
    BookTableModel *m_model;
};
