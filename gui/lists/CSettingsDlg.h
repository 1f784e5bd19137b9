// 设置: the tree of everything the household may configure; 修改 or a double click on a leaf opens its
// editor, and the tree stays open after it.
#pragma once

#include <QDialog>

class CMoneyBook;
class QTreeWidget;

class CSettingsDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CSettingsDlg(QWidget *parent = nullptr);
    // The income and expense book the recurring records come due into (周期收支's 检查到期).
    void SetMoneyBook(CMoneyBook *book) { m_moneyBook = book; }

    // Opens the editor of the chosen leaf; a group opens nothing.
    void OpenChosen();
    // The editor of a leaf, made (not run) for its text; null for a group or an unknown text.
    QDialog *MakeEditor(const QString &leaf);

signals:
    // Passed on from 恢复备份 (see CRestoreDlg).
    void ledgerReplaced();
    void ledgerUnusable();
    // Records were put back from the recycle bin: the books shown must be read again.
    void recordsRestored();
    // Passed on from 帐本位置: another ledger is used now.
    void ledgerPlaceChanged();

private:
    QTreeWidget *m_tree;
    CMoneyBook *m_moneyBook = nullptr;
};
