// What the ledger's modeless find windows share. Each belongs to the panel that opened it, one at a
// time; it goes when cancelled, closed or left by Escape (telling its panel at once), and the next
// press of its panel's find button opens a new one. 下一项 is enabled exactly while matches wait in the book's find queue, and is
// disabled as soon as a change to the book empties that queue. A failed step is told and the window
// stays open.
#pragma once

#include <QDialog>
#include <QList>
#include <functional>

class CBook;
class CIconButton;
class CTintedComboBox;
class QLineEdit;

class CFindWindow : public QDialog
{
    Q_OBJECT
public:
    ~CFindWindow() override;

    // The 查找 and 下一项 buttons.
    void Find();
    void FindNext();

    bool IsNextEnabled() const;

public slots:
    void reject() override;

signals:
    // The window is going (cancelled, closed or left by Escape): it is deleted soon after.
    void gone();

protected:
    CFindWindow(CBook &book, const QString &caption, QWidget *parent);

    // The 查找, 下一项 and 取消 buttons with their numbers, 下一项 disabled.
    QList<QWidget *> MakeButtons(int findId, int nextId, int cancelId);

    // Collects the matches and selects the first; *more when further matches wait. False when the
    // criteria were refused (and said): nothing else happens then.
    virtual bool StartFind(bool *more) = 0;
    // Before each step (the income/expense search closes its pad). The panel follows the step
    // through its book.
    virtual void BeforeStep() {}

    void closeEvent(QCloseEvent *event) override;

    CBook &m_book;

private:
    // One step: *more says whether matches wait; false when nothing was searched. A database failure is
    // told, and 下一项 goes.
    void RunStep(const std::function<bool(bool *more)> &step);
    void Leave();
    void ShowNext(bool more);

    CIconButton *m_next = nullptr;
    bool m_bLeft = false;
};

// The search by one column of a list: 查找项目 (the column's position is the column searched) and
// 查找内容, the exact text of the cell.
class CColumnFindWindow : public CFindWindow
{
    Q_OBJECT
public:
    struct Ids
    {
        int column, text, find, next, cancel;
    };

protected:
    CColumnFindWindow(CBook &book, const QString &caption, const QStringList &columns, const Ids &ids,
                      QWidget *parent);

    // "请选择查找的项目" without a column; else the book's FindText.
    bool StartFind(bool *more) override;

private:
    CTintedComboBox *m_column;
    QLineEdit *m_text;
};
