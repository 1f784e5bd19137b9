// A policy: its kind, insurer, dates or 终生, premium, sum insured, what is paid so far, years of
// payment, holder, beneficiary, insured person and description. Added (with its opening activity,
// in one transaction), or shown and changed (modify mode when opened to modify, for the
// policy of the name handed over).
#pragma once

#include "dialogs/CEntryDialog.h"
#include "db/CInsureBook.h"

class CAmountEdit;
class CIconButton;
class CTintedComboBox;
class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

class CInsureNoteDlg : public CEntryDialog
{
    Q_OBJECT
public:
    explicit CInsureNoteDlg(CInsureBook &activities, EntryMode mode = EntryMode::Add, const QString &policyName = QString(),
                            QWidget *parent = nullptr);

    bool IsModifyMode() const { return m_bModify; }
    // "确定": true when the policy was saved and the dialog closed.
    bool SaveAndClose();
    // The pad for field 1 (premium), 2 (sum insured) or 3 (paid so far).
    void OpenCalcPad(int field);

private:
    CInsureBook &m_book;
    void FillFromPolicy(const QString &name);
    QLineEdit *PadField() const;

    bool m_bModify = false;
    quint64 m_shownVersion = 0;  // of the policy as the dialog read it (a shared ledger's check)
    int m_nPadField = 1;
    QLineEdit *m_name;
    CTintedComboBox *m_kind;
    CTintedComboBox *m_organ;
    QDateTimeEdit *m_start;
    QDateTimeEdit *m_end;
    QCheckBox *m_lifelong;
    CAmountEdit *m_premium;
    CAmountEdit *m_sum;
    CAmountEdit *m_paid;
    CIconButton *m_paidPad;
    QSpinBox *m_years;
    QComboBox *m_holder;
    QComboBox *m_beneficiary;
    QComboBox *m_insured;
    QPlainTextEdit *m_note;
};
