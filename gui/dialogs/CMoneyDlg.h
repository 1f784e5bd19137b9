// The income and expense entry dialog: adds a record, or changes the one selected in the main window.
// The pattern every entry dialog follows: told when it is made whether it adds or modifies, the
// fields filled from the selected row's texts, the first failed check shown in "错误", the owner
// refreshed after a save, and adding after the first save.
#pragma once

#include "dialogs/CEntryDialog.h"
#include "db/CMoneyBook.h"

class CAmountEdit;
class CIconButton;
class CEntryComboBox;
class CTintedComboBox;
class QDateTimeEdit;
class QPlainTextEdit;

class CMoneyDlg : public CEntryDialog
{
    Q_OBJECT
public:
    explicit CMoneyDlg(CMoneyBook &book, EntryMode mode = EntryMode::Add, QWidget *parent = nullptr);

    bool IsIncome() const { return m_bIncome; }

    // "保存并继续": true when the record was saved.
    bool SaveAndContinue();
    // "保存并关闭".
    void SaveAndClose();
    void OpenCalcPad();
    void AddMember();

private:
    CMoneyBook &m_book;
    void FillFromSelectedRow();
    void OnItemChosen(int index);
    bool Save();

    QString m_strError;
    bool m_bIncome = true;
    QDateTimeEdit *m_date;
    CEntryComboBox *m_item;
    CAmountEdit *m_amount;
    CTintedComboBox *m_member;
    QPlainTextEdit *m_note;
    CIconButton *m_calculator;
};
