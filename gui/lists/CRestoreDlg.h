// 恢复备份: the kept copies of the ledger, newest first, and the room they take; 恢复 puts the chosen
// one back after keeping the ledger as it is as a copy, and tells whoever shows the ledger to read it
// again.
#pragma once

#include <QDialog>

class QListWidget;

class CRestoreDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CRestoreDlg(QWidget *parent = nullptr);

    // 恢复: asks first; true when the chosen copy was put back. When it was ready but could not be put
    // in place whole, the program ends after saying so: the next start finishes it.
    bool Restore();

    // The line under the list: how many copies, the room they take and the most they may.
    static QString SpaceText(const QString &dataDir);

signals:
    // The ledger and its lists are the copy's now: everything shown must be read again.
    void ledgerReplaced();
    // The restore could not be finished: no whole ledger is left to work on until the next start.
    void ledgerUnusable();

private:
    QListWidget *m_copies;
};
