// One insurance activity (opening a policy, a premium paid, a benefit received, a surrender) for a
// policy chosen by name; added, or the selected one changed (modify mode when opened to modify).
#pragma once

#include "dialogs/CEntryDialog.h"
#include "db/CInsureBook.h"

class CAmountEdit;
class CTintedComboBox;
class QDateTimeEdit;
class QPlainTextEdit;

class CInsureDlg : public CEntryDialog
{
    Q_OBJECT
public:
    explicit CInsureDlg(CInsureBook &book, EntryMode mode = EntryMode::Add, QWidget *parent = nullptr);

    bool IsModifyMode() const { return m_bModify; }
    // "确定": true when the activity was saved and the dialog closed.
    bool SaveAndClose();
    void OpenCalcPad();

private:
    CInsureBook &m_book;
    void FillFromSelectedRow();

    bool m_bModify = false;
    QDateTimeEdit *m_date;
    CTintedComboBox *m_policy;
    CTintedComboBox *m_activity;
    CAmountEdit *m_amount;
    CTintedComboBox *m_person;
    QPlainTextEdit *m_note;
};
