// One record panel of the main window: its book and list, the buttons that act on them and their
// handlers, the other controls shown with it, its status line, its dialogs and its find window.
//
// Calls go one way: the window presses a panel's button, the panel runs a dialog made with its book,
// the dialog changes the book. The panel listens to its book, so whatever changed it (a dialog, a
// find window, an import, a reload) the panel refreshes itself; nothing below calls back up.
#pragma once

#include "db/CBook.h"
#include "dialogs/CEntryDialog.h"

#include <QHash>
#include <QList>
#include <QString>
#include <functional>

class CBookView;
class CFindWindow;
class QLabel;
class QWidget;

class CLedgerPanel : public IBookChangeListener
{
public:
    // The window's controls by number, as its layout made them.
    using Controls = std::function<QWidget *(int id)>;

    ~CLedgerPanel() override;
    CLedgerPanel(const CLedgerPanel &) = delete;
    CLedgerPanel &operator=(const CLedgerPanel &) = delete;

    CBookView *List() const { return m_list; }
    CBook &Book() const { return m_book; }

    // Runs the handler of the button; false when the button is not the panel's.
    bool Press(int id) const;

    bool IsShown() const;
    // Shown and refreshed.
    void Show();
    // Hidden with its find window closed.
    void Hide();

    // The panel's find window, or null: one at a time, closed when the panel is left.
    CFindWindow *FindWindow() const { return m_find; }
    void CloseFindWindow();

    // The status line, and the row buttons enabled while a row is selected; a panel adds its own.
    virtual void Refresh();
    // Lists the book's records from the ledger in the panel's order and reads its totals (at start,
    // and after a restore). Throws DbError.
    virtual void FillBook() = 0;
    // Reads the book again after records changed under it (a change taken back, records put back):
    // a panel that shows a part of its book keeps showing that part.
    virtual void ReadBookAgain() { FillBook(); }

protected:
    // The list and the status line by their numbers; the row buttons act on the selected row (enabled
    // while there is one), the others are shown with the panel.
    CLedgerPanel(CBook &book, QWidget *window, const Controls &controls, int listId, QList<int> rowButtons,
                 QList<int> others);

    QWidget *Window() const { return m_window; }
    QWidget *Control(int id) const { return m_controls(id); }

    // The handler of one of the panel's buttons, by the button's number.
    void OnButton(int id, std::function<void()> handler) { m_handlers.insert(id, std::move(handler)); }
    // Add opens the entry dialog adding a record; modify, on the selected row, changing it (nothing
    // when no row is selected).
    template <class Dialog, class EntryBook>
    void OnEntryButtons(EntryBook &book, int addId, int modifyId);
    // The button a double click on a row presses, when it is enabled (none: the click only selects).
    void SetDoubleClickButton(int id) { m_doubleClickButton = id; }
    // The panel's find window opens (the open one stays where it is).
    void OnFindButton(int id, std::function<CFindWindow *()> make);
    // The status line at its left edge x, and what it says (made afresh at each refresh).
    void SetStatusLine(int labelId, int x, std::function<QString()> text);

    void EnableRowButtons(bool enabled);

private:
    // Every change of the book ends in one notice: the panel shows it. A failure to read what it
    // shows is told, and the panel stays as it was.
    void BookChanged() override;

    void SetVisible(bool visible);
    void OpenFindWindow(const std::function<CFindWindow *()> &make);

    CBook &m_book;
    QWidget *m_window;
    Controls m_controls;
    CBookView *m_list;
    QList<QWidget *> m_rowButtons;
    QList<QWidget *> m_others;
    int m_doubleClickButton = 0;
    QLabel *m_status = nullptr;
    int m_statusX = 0;
    std::function<QString()> m_statusText;
    CFindWindow *m_find = nullptr;
    QHash<int, std::function<void()>> m_handlers;
};

template <class Dialog, class EntryBook>
void CLedgerPanel::OnEntryButtons(EntryBook &book, int addId, int modifyId)
{
    OnButton(addId, [this, &book] {
        Dialog dialog(book, EntryMode::Add, m_window);
        dialog.exec();
    });
    OnButton(modifyId, [this, &book] {
        if (book.GetSelected() < 0)
            return;
        Dialog dialog(book, EntryMode::Modify, m_window);
        dialog.exec();
    });
}

// One line of the window's 9-point font, descenders included, and where the status lines stand.
constexpr int kLineHeight = 16;
constexpr int kStatusY = 394;

// The width of a line of text: 6 pixels per GBK byte, as the window is laid out, or the text's own
// width where the font needs more, so that nothing is cut off.
int TextLineWidth(const QWidget *label, const QString &text);

// Writes a status line: one line of text at its left edge x, never narrower than its text.
void WriteStatusLine(QLabel *label, int x, const QString &text);
