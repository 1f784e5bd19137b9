// One record panel of the main window: its list, the buttons that act on the selected row, the other
// controls shown with it, its status line with the text it shows, and its find window.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <functional>

class CBook;
class CBookView;
class CFindWindow;
class QLabel;
class QWidget;

class CLedgerPanel
{
public:
    CLedgerPanel() = default;
    CLedgerPanel(CBookView *list, QList<QWidget *> rowButtons, QList<QWidget *> others);

    CBookView *List() const { return m_list; }
    CBook &Book() const;
    // The button a double click on a row presses (none: the click does nothing more).
    QWidget *ModifyButton() const { return m_modifyButton; }
    void SetModifyButton(QWidget *button) { m_modifyButton = button; }
    // The status line at its left edge x, and what it says (made afresh at each refresh).
    void SetStatusLine(QLabel *label, int x, std::function<QString()> text);

    // The handler of one of the panel's buttons, by the button's control number.
    void OnButton(int id, std::function<void()> handler) { m_handlers.insert(id, std::move(handler)); }
    // Runs the handler of the button; false when the button is not the panel's.
    bool Press(int id) const;

    bool IsShown() const;
    void Show();
    // Hidden with its find window closed.
    void Hide();

    // The panel's find window: one at a time (asked again, the open one stays where it is; make is
    // called only when none is open), closed when the panel is left.
    void OpenFindWindow(const std::function<CFindWindow *()> &make);
    void CloseFindWindow();
    CFindWindow *FindWindow() const { return m_find; }
    // The status line, and the row buttons enabled while a row is selected.
    void Refresh();
    void EnableRowButtons(bool enabled);

private:
    void SetVisible(bool visible);

    CBookView *m_list = nullptr;
    QList<QWidget *> m_rowButtons;
    QList<QWidget *> m_others;
    QWidget *m_modifyButton = nullptr;
    QLabel *m_status = nullptr;
    int m_statusX = 0;
    std::function<QString()> m_statusText;
    CFindWindow *m_find = nullptr;
    QHash<int, std::function<void()>> m_handlers;
};

// The width of a line of text: 6 pixels per GBK byte, as the window is laid out, or the text's own
// width where the font needs more, so that nothing is cut off.
int TextLineWidth(const QWidget *label, const QString &text);

// Writes a status line: one line of text at its left edge x, never narrower than its text.
void WriteStatusLine(QLabel *label, int x, const QString &text);
