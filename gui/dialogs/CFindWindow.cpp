// The find windows' common behaviour.
#include "CFindWindow.h"

#include "common/Messages.h"
#include "controls/CIconButton.h"
#include "controls/CTintedComboBox.h"
#include "db/CBook.h"
#include "db/DbError.h"
#include "dialogs/DialogParts.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

CFindWindow::CFindWindow(CBook &book, const QString &caption, QWidget *parent)
    : QDialog(parent), m_book(book)
{
    setWindowTitle(caption);
    setModal(false);
    // Matches numbered before a change would select other records: the queue is gone, and so is 下一项.
    m_book.SetFindWatcher([this] { ShowNext(false); });
}

CFindWindow::~CFindWindow()
{
    Leave();
}

QList<QWidget *> CFindWindow::MakeButtons(int findId, int nextId, int cancelId)
{
    auto *find = MakeDialogButton(this, findId, QStringLiteral("查找"), 169);
    m_next = MakeDialogButton(this, nextId, QStringLiteral("下一项"), 188);
    m_next->setEnabled(false);
    auto *cancel = MakeDialogButton(this, cancelId, QStringLiteral("取消"), 183);
    connect(find, &QPushButton::clicked, this, &CFindWindow::Find);
    connect(m_next, &QPushButton::clicked, this, &CFindWindow::FindNext);
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
    return {find, m_next, cancel};
}

bool CFindWindow::IsNextEnabled() const
{
    return m_next && m_next->isEnabled();
}

void CFindWindow::ShowNext(bool more)
{
    if (m_next)
        m_next->setEnabled(more && m_book.FindsWaiting());
}

void CFindWindow::Find()
{
    RunStep([this](bool *more) { return StartFind(more); });
}

void CFindWindow::FindNext()
{
    RunStep([this](bool *more) {
        *more = m_book.FindNext();
        return true;
    });
}

void CFindWindow::RunStep(const std::function<bool(bool *)> &step)
{
    BeforeStep();
    try {
        bool more = false;
        if (!step(&more))
            return;
        ShowNext(more);
    } catch (const DbError &error) {
        ShowNext(false);
        ShowMessage(error.Message(), QStringLiteral("错误"), MessageIcon::Error);
    }
}

void CFindWindow::Leave()
{
    if (m_bLeft)
        return;
    m_bLeft = true;
    m_book.SetFindWatcher({});
    emit gone();
}

void CFindWindow::reject()
{
    // Escape would only hide a dialog: the window goes all the same.
    QDialog::reject();
    Leave();
    deleteLater();
}

void CFindWindow::closeEvent(QCloseEvent *event)
{
    QDialog::closeEvent(event);
    Leave();
    deleteLater();
}

CColumnFindWindow::CColumnFindWindow(CBook &book, const QString &caption, const QStringList &columns,
                                     const Ids &ids, QWidget *parent)
    : CFindWindow(book, caption, parent)
{
    m_column = MakeChoiceList(this, ids.column, columns);
    m_column->setCurrentIndex(-1);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QString::number(ids.text));
    auto *grid = new QGridLayout;
    AddLabelledField(grid, 0, 0, QStringLiteral("查找项目"), m_column);
    AddLabelledField(grid, 1, 0, QStringLiteral("查找内容"), m_text);
    StackFieldsAndButtons(this, grid, MakeButtons(ids.find, ids.next, ids.cancel), false);
}

bool CColumnFindWindow::StartFind(bool *more)
{
    if (m_column->currentIndex() < 0) {
        ShowMessage(QStringLiteral("请选择查找的项目"), QStringLiteral("错误"));
        return false;
    }
    *more = m_book.FindText(m_column->currentIndex(), m_text->text());
    return true;
}
