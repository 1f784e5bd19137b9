// 回收站 in the settings tree: the records deleted in the last 30 days, the latest first, with when
// they were deleted, their book and what they said; 恢复 puts the chosen ones back (a policy with its
// activities) in one change that 撤销 can take back again.
#pragma once

#include "db/ChangeJournal.h"

#include <QDialog>

class QLabel;
class QTableWidget;

class CRecycleDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CRecycleDlg(QWidget *parent = nullptr);

    QTableWidget *Table() const { return m_table; }
    // 恢复: the chosen rows put back; false (and said why) when nothing was.
    bool RestoreChosen();

signals:
    // Records are back in their books: whoever shows the books reads them again.
    void recordsRestored();

private:
    void Fill();

    QList<RecycledRecord> m_records;
    QTableWidget *m_table;
    QLabel *m_count;
};
