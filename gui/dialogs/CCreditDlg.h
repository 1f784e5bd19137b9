// 债权债务: money lent (借出) or borrowed (借入, saved negative); added, or the selected one changed
// (modify mode when opened to modify).
#pragma once

#include "dialogs/CEntryDialog.h"
#include "db/CCreditBook.h"

class CAmountEdit;
class CTintedComboBox;
class QDateTimeEdit;
class QLineEdit;
class QPlainTextEdit;

class CCreditDlg : public CEntryDialog
{
    Q_OBJECT
public:
    explicit CCreditDlg(CCreditBook &book, EntryMode mode = EntryMode::Add, QWidget *parent = nullptr);

    bool IsModifyMode() const { return m_bModify; }
    // "确定": true when the entry was saved and the dialog closed.
    bool SaveAndClose();
    void OpenCalcPad();

private:
    CCreditBook &m_book;
    void FillFromSelectedRow();

    bool m_bModify = false;
    QDateTimeEdit *m_date;
    CTintedComboBox *m_activity;
    CAmountEdit *m_amount;
    QLineEdit *m_people;
    CTintedComboBox *m_person;
    QPlainTextEdit *m_note;
};
