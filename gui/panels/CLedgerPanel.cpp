// Showing, hiding and refreshing a record panel, and the buttons every panel has.
#include "CLedgerPanel.h"

#include "app/CBookView.h"
#include "common/Gbk.h"
#include "db/DbError.h"
#include "dialogs/CFindWindow.h"

#include <QLabel>

int TextLineWidth(const QWidget *label, const QString &text)
{
    return std::max(6 * GbkLength(text), label->fontMetrics().horizontalAdvance(text) + 1);
}

void WriteStatusLine(QLabel *label, int x, const QString &text)
{
    label->setGeometry(x, kStatusY, TextLineWidth(label, text), kLineHeight);
    label->setText(text);
}

CLedgerPanel::CLedgerPanel(CBook &book, QWidget *window, const Controls &controls, int listId,
                           QList<int> rowButtons, QList<int> others)
    : m_book(book), m_window(window), m_controls(controls), m_list(qobject_cast<CBookView *>(controls(listId)))
{
    for (int id : rowButtons)
        m_rowButtons.append(Control(id));
    for (int id : others)
        m_others.append(Control(id));
    QObject::connect(m_list, &CBookView::rowDoubleClicked, m_list, [this] {
        QWidget *button = m_doubleClickButton ? Control(m_doubleClickButton) : nullptr;
        if (button && button->isEnabled())
            TellDbFailure([this] { Press(m_doubleClickButton); });
    });
    m_book.AddListener(this);
}

CLedgerPanel::~CLedgerPanel()
{
    CloseFindWindow();
    m_book.RemoveListener(this);
}

void CLedgerPanel::SetStatusLine(int labelId, int x, std::function<QString()> text)
{
    m_status = qobject_cast<QLabel *>(Control(labelId));
    m_statusX = x;
    m_statusText = std::move(text);
}

bool CLedgerPanel::IsShown() const
{
    return m_list && !m_list->isHidden();
}

void CLedgerPanel::Show()
{
    SetVisible(true);
    Refresh();
}

void CLedgerPanel::Hide()
{
    CloseFindWindow();
    SetVisible(false);
}

bool CLedgerPanel::Press(int id) const
{
    const auto handler = m_handlers.constFind(id);
    if (handler == m_handlers.constEnd())
        return false;
    handler.value()();
    return true;
}

void CLedgerPanel::OnFindButton(int id, std::function<CFindWindow *()> make)
{
    OnButton(id, [this, make = std::move(make)] { OpenFindWindow(make); });
}

void CLedgerPanel::OpenFindWindow(const std::function<CFindWindow *()> &make)
{
    if (m_find)
        return;  // the open one stays where it is
    CFindWindow *window = make();
    m_find = window;
    // Told at once as it goes (it is deleted a moment later), so the next press opens a new one.
    QObject::connect(window, &CFindWindow::gone, window, [this, window] {
        if (m_find == window)
            m_find = nullptr;
    });
    window->show();
}

void CLedgerPanel::CloseFindWindow()
{
    if (CFindWindow *open = m_find) {
        open->close();
        delete open;
        m_find = nullptr;
    }
}

void CLedgerPanel::SetVisible(bool visible)
{
    m_list->setVisible(visible);
    for (QWidget *widget : m_rowButtons + m_others)
        widget->setVisible(visible);
    if (m_status)
        m_status->setVisible(visible);
}

void CLedgerPanel::BookChanged()
{
    TellDbFailure([this] { Refresh(); });
}

void CLedgerPanel::Refresh()
{
    if (m_status && m_statusText) {
        WriteStatusLine(m_status, m_statusX, m_statusText());
        m_status->setVisible(IsShown());  // a panel refreshed while another is shown stays out of sight
    }
    EnableRowButtons(m_book.GetSelected() >= 0);
}

void CLedgerPanel::EnableRowButtons(bool enabled)
{
    for (QWidget *widget : std::as_const(m_rowButtons))
        widget->setEnabled(enabled);
}
