// 债权债务: money lent (借出) or borrowed (借入, saved negative); added, or the selected one changed
// (modify mode when opened to modify).
#pragma once

#include "dialogs/CEntryDialog.h"

class CAmountEdit;
class CTintedComboBox;
class QDateTimeEdit;
class QLineEdit;
class QPlainTextEdit;

class CCreditDlg : public CEntryDialog
{
    Q_OBJECT
public:
    explicit CCreditDlg(CMainDlg *owner, EntryMode mode = EntryMode::Add);

    bool IsModifyMode() const { return m_bModify; }
    // "确定": true when the entry was saved and the dialog closed.
    bool SaveAndClose();
    void OpenCalcPad();

private:
    void FillFromSelectedRow();

    bool m_bModify = false;
    QDateTimeEdit *m_date;
    CTintedComboBox *m_activity;
    CAmountEdit *m_amount;
    QLineEdit *m_people;
    CTintedComboBox *m_person;
    QPlainTextEdit *m_note;
};
