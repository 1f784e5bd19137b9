// 备忘录: a dated memo by a household member; added, or the selected one changed (modify mode when
// opened to modify).
#pragma once

#include "dialogs/CEntryDialog.h"
#include "db/CMemoBook.h"

class CTintedComboBox;
class QDateTimeEdit;
class QPlainTextEdit;

class CMemoDlg : public CEntryDialog
{
    Q_OBJECT
public:
    explicit CMemoDlg(CMemoBook &book, EntryMode mode = EntryMode::Add, QWidget *parent = nullptr);

    bool IsModifyMode() const { return m_bModify; }
    // "确定": true when the memo was saved and the dialog closed.
    bool SaveAndClose();

private:
    CMemoBook &m_book;
    bool m_bModify = false;
    QDateTimeEdit *m_date;
    CTintedComboBox *m_member;
    QPlainTextEdit *m_matter;
};
