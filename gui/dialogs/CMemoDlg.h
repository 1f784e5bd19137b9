// 备忘录: a dated memo by a household member; added, or the selected one changed (modify mode when
// opened to modify).
#pragma once

#include "dialogs/CEntryDialog.h"

class CTintedComboBox;
class QDateTimeEdit;
class QPlainTextEdit;

class CMemoDlg : public CEntryDialog
{
    Q_OBJECT
public:
    explicit CMemoDlg(CMainDlg *owner, EntryMode mode = EntryMode::Add);

    bool IsModifyMode() const { return m_bModify; }
    // "确定": true when the memo was saved and the dialog closed.
    bool SaveAndClose();

private:
    bool m_bModify = false;
    QDateTimeEdit *m_date;
    CTintedComboBox *m_member;
    QPlainTextEdit *m_matter;
};
