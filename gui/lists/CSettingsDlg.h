// 设置: the tree of everything the household may configure; 修改 or a double click on a leaf opens its
// editor, and the tree stays open after it.
#pragma once

#include <QDialog>

class CMainDlg;
class QTreeWidget;

class CSettingsDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CSettingsDlg(QWidget *parent = nullptr);

    // Opens the editor of the chosen leaf; a group opens nothing.
    void OpenChosen();
    // The editor of a leaf, made (not run) for its text; null for a group or an unknown text.
    QDialog *MakeEditor(const QString &leaf);

private:
    CMainDlg *m_pOwner;  // the main window, when it is the parent: restoring a copy reloads it
    QTreeWidget *m_tree;
};
