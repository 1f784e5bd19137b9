// 恢复备份: the kept copies of the ledger, newest first; 恢复 puts the chosen one back after keeping
// the ledger as it is as a copy, and the main window reads everything again.
#pragma once

#include <QDialog>

class CMainDlg;
class QListWidget;

class CRestoreDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CRestoreDlg(CMainDlg *owner, QWidget *parent = nullptr);

    // 恢复: asks first; true when the chosen copy was put back.
    bool Restore();

private:
    CMainDlg *m_pOwner;
    QListWidget *m_copies;
};
