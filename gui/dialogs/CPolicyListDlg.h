// 保单一览: every policy with what has been paid on it; a policy shown in its own dialog, or deleted
// together with all its activities (one transaction).
#pragma once

#include "db/CInsureNoteBook.h"

#include <QDialog>

class CBookView;
class CIconButton;
class CInsureBook;

class CPolicyListDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CPolicyListDlg(CInsureBook &activities, QWidget *parent = nullptr);
    ~CPolicyListDlg() override;

    CInsureNoteBook &Policies() { return m_policies; }
    void ShowDetails();
    // "删除保单" on the chosen policy, after the question.
    void DeletePolicy();

private:
    void EnableButtons(bool enabled);

    CInsureBook &m_activities;
    CInsureNoteBook m_policies;
    CBookView *m_list;
    CIconButton *m_details;
    CIconButton *m_delete;
};
