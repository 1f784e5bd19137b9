// 通讯录: one contact of the address book, fifteen texts of which only the name is required; added, or
// the selected one changed (modify mode when opened to modify).
#pragma once

#include "dialogs/CEntryDialog.h"
#include "db/CAddressBook.h"

#include <QList>

class CAddressDlg : public CEntryDialog
{
    Q_OBJECT
public:
    explicit CAddressDlg(CAddressBook &book, EntryMode mode = EntryMode::Add, QWidget *parent = nullptr);

    bool IsModifyMode() const { return m_bModify; }
    // "确定": true when the entry was saved and the dialog closed.
    bool SaveAndClose();

    // The fifteen texts in the book's order (name first).
    QStringList FieldTexts() const;

private:
    CAddressBook &m_book;
    bool m_bModify = false;
    QList<QWidget *> m_fields;  // one-line fields and the two multi-line notes, in the book's order
};
