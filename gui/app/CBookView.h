// A record list: report style, full-row single selection that always shows, grid lines, the light
// tint. A row becomes the book's selected row only by a click, a right click or a double click; the
// highlight is always that row, so the buttons act on the row the user sees highlighted. The keys
// that would move a highlight scroll the list instead.
#pragma once

#include "app/BookTableModel.h"
#include "transfer/Csv.h"

#include <QTableView>
#include <functional>

class CBookView : public QTableView
{
    Q_OBJECT
public:
    // The name ("收支") is the list's as the household knows it: the name its exports are offered under.
    CBookView(CBook &book, const QString &name, const QStringList &titles, const QList<int> &widths,
              QWidget *parent = nullptr);
    BookTableModel *Model() const { return m_model; }
    CBook &Book() { return m_model->Book(); }
    // Whether the cell shows its text cut off (too wide for its column, or more than one line): such a
    // cell shows the whole text as its tooltip.
    bool IsTextCut(const QModelIndex &index) const;

    // Writes the list as it stands (its filter, every page) with its column titles to the file, whole
    // or not at all. False (and said) when it could not be written.
    bool ExportCsv(const QString &path, CsvEncoding encoding);
    // 导出为 CSV…: asks for the file and the encoding, then exports.
    void ChooseAndExportCsv();
    // The same list as an Excel workbook of one sheet named after the list, its amounts and dates
    // typed as such (see WriteXlsx). False (and said) when it could not be written.
    bool ExportXlsx(const QString &path);
    // 导出为 Excel…: asks for the file, then exports.
    void ChooseAndExportXlsx();
    // A further entry of the list's right-click menu, below the exports.
    void AddMenuAction(const QString &text, const std::function<void()> &action);
    QStringList MenuTexts() const;

signals:
    void rowChosen(int row);        // a click or right click on a row
    void rowDoubleClicked(int row); // a double click on a row

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyboardSearch(const QString &) override {}  // typing never moves to another row
    // Qt's own clicks, drags and keys never change the highlight: only the book's selection does.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event = nullptr) const override;

private:
    void ShowSelected(int row);
    bool ScrollByKey(int key);
    // Asks where to export to, offering the list's name in the home folder, and adds the suffix when
    // the name chosen lacks it (asking before such a name replaces a file). Empty when not to export.
    QString ChooseExportFile(const QString &caption, const QString &suffix, const QString &filters,
                             QString *chosenFilter = nullptr);
    QString m_name;
    BookTableModel *m_model;
    QList<QPair<QString, std::function<void()>>> m_menuActions;
};
