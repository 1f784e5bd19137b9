// The editor of one reference list (income/expense items, banks, currencies, insurers, insurance
// kinds, demand-savings notes) or of the rate table: the list's lines, the content field or the rate
// field, the two kind words where the list has them, and the buttons that change the list in memory.
// 保存 writes the list's file; 取消 leaves the changes in memory for the rest of the run.
#pragma once

#include "lists/ListEditing.h"

#include <QDialog>

class CIconButton;
class QButtonGroup;
class QLineEdit;
class QListWidget;
class QRadioButton;

class CItemEditDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CItemEditDlg(ListMode mode, QWidget *parent = nullptr);

    ListMode Mode() const { return m_nMode; }

    void Add();
    void Delete();
    void Modify();
    void MoveUp() { Move(true); }
    void MoveDown() { Move(false); }
    void Save();

private:
    void Fill(int selectedRow);
    void LineChosen(int row);
    void Move(bool up);
    int KindChosen() const;
    // Tells a refusal; true when there was none.
    bool Passed(const QString &refusal);

    ListMode m_nMode;
    QListWidget *m_lines;
    QLineEdit *m_content;
    QLineEdit *m_rate;
    QButtonGroup *m_kind;
};
