// Memos.
#include "CMemoDlg.h"

#include "common/Messages.h"
#include "controls/CIconButton.h"
#include "controls/CTintedComboBox.h"
#include "db/DbError.h"
#include "dialogs/DialogParts.h"
#include "dialogs/FieldLimits.h"
#include "entry/MemoRules.h"
#include "lists/ReferenceLists.h"

#include <QDateTimeEdit>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>

CMemoDlg::CMemoDlg(CMemoBook &book, EntryMode mode, QWidget *parent) : CEntryDialog(parent, mode, false), m_book(book), m_bModify(mode == EntryMode::Modify)
{
    setWindowTitle(QStringLiteral("备忘录"));
    m_date = MakeDatePicker(this, 1115);
    m_member = MakeMemberList(this, 1116);
    m_matter = MakeNoteField(this, 1117, 500, 120);
    auto *save = MakeDialogButton(this, 1118, QStringLiteral("确定"), 182);
    auto *cancel = MakeDialogButton(this, 1119, QStringLiteral("取消"), 183);
    connect(save, &QPushButton::clicked, this, &CMemoDlg::SaveAndClose);
    connect(cancel, &QPushButton::clicked, this, &CMemoDlg::reject);

    auto *grid = new QGridLayout;
    AddLabelledField(grid, 0, 0, QStringLiteral("记录日期"), m_date);
    AddLabelledField(grid, 1, 0, QStringLiteral("记录人"), m_member);
    AddLabelledNote(grid, 2, QStringLiteral("备忘内容"), m_matter);
    StackFieldsAndButtons(this, grid, {save, cancel});

    if (m_bModify) {
        const QStringList row = m_book.GetRowTexts(m_book.GetSelected());
        ShowStoredDate(m_date, row.value(0));
        SelectStoredEntry(m_member, row.value(2));
        m_matter->setPlainText(row.value(1));
    }
}

bool CMemoDlg::SaveAndClose()
{
    const QString refused = CheckMemo(m_member->currentText(), m_matter->toPlainText());
    if (!refused.isEmpty()) {
        ShowMessage(refused, QStringLiteral("错误"));
        return false;
    }
    const QString dateText = m_date->date().toString(QStringLiteral("yyyy-MM-dd"));
    // Nothing saved: the dialog stays open with what the user typed.
    if (!TrySave([&] {
        return m_bModify ? m_book.Modify(dateText, m_matter->toPlainText(), m_member->currentText())
                         : m_book.Add(dateText, m_matter->toPlainText(), m_member->currentText());
    }))
        return false;
    SavedOnce();
    CloseSaved();
    return true;
}
