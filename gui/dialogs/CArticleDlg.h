// An asset: its name (narrowed by kind), quantity, cost, estimated value and note; added, or the
// selected one changed (modify mode when opened to modify). Three calculator pads.
#pragma once

#include "dialogs/CEntryDialog.h"
#include "db/CArticleBook.h"

class CAmountEdit;
class CIconButton;
class CTintedComboBox;
class QLineEdit;
class QPlainTextEdit;

class CArticleDlg : public CEntryDialog
{
    Q_OBJECT
public:
    explicit CArticleDlg(CArticleBook &book, EntryMode mode = EntryMode::Add, QWidget *parent = nullptr);

    bool IsModifyMode() const { return m_bModify; }
    // "保存并继续": true when the asset was saved.
    bool SaveAndContinue();
    // "保存并关闭".
    void SaveAndClose();
    // The pad for field 1 (quantity), 2 (cost) or 3 (value).
    void OpenCalcPad(int field);

private:
    CArticleBook &m_book;
    void FillFromSelectedRow();
    bool Save();
    QLineEdit *PadField() const;

    bool m_bModify = false;
    int m_nPadField = 1;
    CTintedComboBox *m_kind;
    CTintedComboBox *m_name;
    CAmountEdit *m_quantity;
    CAmountEdit *m_cost;
    CAmountEdit *m_value;
    QPlainTextEdit *m_note;
};
