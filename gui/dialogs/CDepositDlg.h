// The fixed-term deposit dialog: a new deposit, or one more monthly instalment of the selected
// 零存整取 deposit (continue mode, when opened to modify). It looks the rate up from the
// rate table, shows the amount due at maturity as the fields change, and saves the deposit with
// its due date.
#pragma once

#include "dialogs/CEntryDialog.h"
#include "db/CDepositBook.h"

class CAccountComboBox;
class CAmountEdit;
class CIconButton;
class CTintedComboBox;
class QCheckBox;
class QDateTimeEdit;
class QPlainTextEdit;

class CDepositDlg : public CEntryDialog
{
    Q_OBJECT
public:
    explicit CDepositDlg(CDepositBook &book, EntryMode mode = EntryMode::Add, QWidget *parent = nullptr);

    bool IsContinueMode() const { return m_bContinue; }
    // "确定": true when the deposit (or instalment) was saved and the dialog closed.
    bool SaveAndClose();
    void OpenCalcPad();

private:
    CDepositBook &m_book;
    void FillTerms(int kindPosition);
    void OnKindChosen(int kindPosition);
    void LookUpRate();
    void ComputeMaturity();
    void FillFromSelectedRow();
    QString MaturityNow() const;

    bool m_bContinue = false;
    bool m_bKindJustChanged = false;  // the kind's change was handled before the choice was confirmed
    double m_dYears = 0;  // the term in years of the rate shown
    CAccountComboBox *m_account;
    QDateTimeEdit *m_date;
    CTintedComboBox *m_currency;
    CTintedComboBox *m_bank;
    CTintedComboBox *m_person;
    CTintedComboBox *m_kind;
    CTintedComboBox *m_term;
    CAmountEdit *m_rate;
    CAmountEdit *m_amount;
    CAmountEdit *m_due;
    QCheckBox *m_tax;
    QPlainTextEdit *m_note;
    CIconButton *m_calculator;
};
