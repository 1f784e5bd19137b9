// 恢复备份: the kept copies of the ledger, newest first, and the room they take; 恢复 puts the chosen
// one back after keeping the ledger as it is as a copy, and the main window reads everything again.
#pragma once

#include <QDialog>

class CMainDlg;
class QListWidget;

class CRestoreDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CRestoreDlg(CMainDlg *owner, QWidget *parent = nullptr);

    // 恢复: asks first; true when the chosen copy was put back. When it was ready but could not be put
    // in place whole, the program ends after saying so: the next start finishes it.
    bool Restore();

    // The line under the list: how many copies, the room they take and the most they may.
    static QString SpaceText(const QString &dataDir);

private:
    CMainDlg *m_pOwner;
    QListWidget *m_copies;
};
