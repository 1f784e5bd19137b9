// One movement of a demand savings account: money paid in (进) or taken out (出), added or changed
// (modify mode when opened to modify). The direction follows the chosen note; the amount
// is typed as a magnitude and signed at save.
#pragma once

#include "dialogs/CEntryDialog.h"
#include "db/CCurrentBook.h"

class CAccountComboBox;
class CAmountEdit;
class CEntryComboBox;
class CIconButton;
class CTintedComboBox;
class QDateTimeEdit;
class QPlainTextEdit;

class CCurrentDlg : public CEntryDialog
{
    Q_OBJECT
public:
    explicit CCurrentDlg(CCurrentBook &book, EntryMode mode = EntryMode::Add, QWidget *parent = nullptr);

    bool IsModifyMode() const { return m_bModify; }
    bool IsOut() const { return m_bOut; }
    // "确定": true when the movement was saved and the dialog closed.
    bool SaveAndClose();
    void OpenCalcPad();

private:
    CCurrentBook &m_book;
    void FillFromSelectedRow();
    void OnNoteChosen(int index);

    bool m_bModify = false;
    bool m_bOut = false;
    CAccountComboBox *m_account;
    QDateTimeEdit *m_date;
    CTintedComboBox *m_currency;
    CTintedComboBox *m_bank;
    CAmountEdit *m_amount;
    CEntryComboBox *m_noteKind;
    CTintedComboBox *m_person;
    QPlainTextEdit *m_note;
    CIconButton *m_calculator;
};
