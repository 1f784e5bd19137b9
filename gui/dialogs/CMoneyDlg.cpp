// Income and expense entry.
#include "CMoneyDlg.h"

#include "common/Amount.h"
#include "common/LedgerDate.h"
#include "common/Messages.h"
#include "controls/CCalcPad.h"
#include "db/DbError.h"
#include "controls/CEntryComboBox.h"
#include "controls/CIconButton.h"
#include "controls/CTintedComboBox.h"
#include "dialogs/CAmountEdit.h"
#include "dialogs/DialogParts.h"
#include "dialogs/FieldLimits.h"
#include "entry/AmountRules.h"
#include "entry/EntryChoice.h"
#include "entry/ItemChoice.h"
#include "lists/CAddMemberDlg.h"
#include "lists/ReferenceLists.h"

#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>


CMoneyDlg::CMoneyDlg(CMoneyBook &book, EntryMode mode, QWidget *parent) : CEntryDialog(parent, mode, true), m_book(book)
{
    setWindowTitle(QStringLiteral("收支记录"));
    m_date = MakeDatePicker(this, 1005);  // today, with the time of day the dialog opened

    m_item = new CEntryComboBox(this);
    m_item->setObjectName(QStringLiteral("1007"));
    m_item->addItems(g_itemList);
    m_item->setCurrentIndex(-1);
    m_item->setMinimumWidth(160);
    connect(m_item, &CEntryComboBox::entryChosen, this, &CMoneyDlg::OnItemChosen);

    m_amount = new CAmountEdit(this);
    m_amount->setObjectName(QStringLiteral("1006"));
    m_amount->setMaxLength(18);
    connect(m_amount, &QLineEdit::textChanged, this, [this](const QString &text) {
        const QString kept = AmountTextAfterChange(text);
        if (kept != text)
            m_amount->setText(kept);
    });

    m_member = MakeMemberList(this, 1008);

    m_note = MakeNoteField(this, 1009, CMoneyBook::kNoteBytes);

    m_calculator = MakeDialogButton(this, 1013, QString(), 185);
    auto *addMember = MakeDialogButton(this, 1014, QString(), 187);
    auto *saveContinue = MakeDialogButton(this, 1010, QStringLiteral("保存并继续"), 166);
    auto *saveClose = MakeDialogButton(this, 1011, QStringLiteral("保存并关闭"), 182);
    auto *cancel = MakeDialogButton(this, 1012, QStringLiteral("取消"), 183);
    connect(m_calculator, &QPushButton::clicked, this, &CMoneyDlg::OpenCalcPad);
    connect(addMember, &QPushButton::clicked, this, &CMoneyDlg::AddMember);
    connect(saveContinue, &QPushButton::clicked, this, &CMoneyDlg::SaveAndContinue);
    connect(saveClose, &QPushButton::clicked, this, &CMoneyDlg::SaveAndClose);
    connect(cancel, &QPushButton::clicked, this, &CMoneyDlg::reject);

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("时    间"), this), 0, 0);
    grid->addWidget(m_date, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("收支项目"), this), 1, 0);
    grid->addWidget(m_item, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("金    额"), this), 2, 0);
    grid->addWidget(m_amount, 2, 1);
    grid->addWidget(m_calculator, 2, 2);
    grid->addWidget(new QLabel(QStringLiteral("家庭成员"), this), 3, 0);
    grid->addWidget(m_member, 3, 1);
    grid->addWidget(addMember, 3, 2);
    AddLabelledNote(grid, 4, QStringLiteral("备    注"), m_note, 2);
    StackFieldsAndButtons(this, grid, {saveContinue, saveClose, cancel}, false);

    if (IsModifying())
        FillFromSelectedRow();
    CCalcPad::Guard(this, {m_calculator});
}


void CMoneyDlg::FillFromSelectedRow()
{
    const int row = m_book.GetSelected();
    const QDateTime date = ParseDateText(m_book.GetItemText(row, 0));
    if (date.isValid())
        m_date->setDateTime(date);  // the row's date, at midnight
    const QString income = m_book.GetItemText(row, 2);
    m_bIncome = !income.isEmpty();
    // The record's own item and kind; the list opens on the entry that says the same, if one does.
    const QString item = m_book.GetItemText(row, 1);
    int entry = -1;
    for (int i = 0; i < m_item->count() && entry < 0; ++i) {
        const ItemChoice choice = ParseItemChoice(m_item->itemText(i));
        if (choice.name == item && choice.income == m_bIncome)
            entry = i;
    }
    m_item->ShowEntry(entry, item);
    m_amount->setText(m_bIncome ? income : m_book.GetItemText(row, 3));
    const QString member = m_book.GetItemText(row, 4);
    QStringList members;
    for (int i = 0; i < m_member->count(); ++i)
        members.append(m_member->itemText(i));
    int chosen = ChooseEntry(members, member);
    if (chosen < 0) {
        m_member->addItem(member);  // no longer a member: the record keeps its own
        chosen = m_member->count() - 1;
    }
    m_member->setCurrentIndex(chosen);
    m_note->setPlainText(m_book.GetItemText(row, 5));
}

void CMoneyDlg::OnItemChosen(int index)
{
    // The kind and the name shown are always the chosen entry's, whichever way it was chosen.
    const ItemChoice choice = ParseItemChoice(m_item->itemText(index));
    m_bIncome = choice.income;
    m_item->ShowText(choice.name);
}

void CMoneyDlg::OpenCalcPad()
{
    CCalcPad::Open(this, [this] { return static_cast<QLineEdit *>(m_amount); });
}

void CMoneyDlg::AddMember()
{
    CCalcPad::CloseOpen();
    CAddMemberDlg dialog(nullptr);
    dialog.exec();
    FillMemberList(m_member);
}

bool CMoneyDlg::Save()
{
    CCalcPad::CloseOpen();
    QString amount = m_amount->text();
    m_strError = CheckAmount(&amount);
    const QString item = m_item->ShownText();
    if (m_strError.isEmpty() && item.isEmpty())
        m_strError = QStringLiteral(" 收支项目未输入");
    if (m_strError.isEmpty() && m_member->currentText().isEmpty())
        m_strError = QStringLiteral(" 家庭成员未输入");
    if (!m_strError.isEmpty()) {
        ShowMessage(m_strError, QStringLiteral("错误"));
        return false;
    }
    m_amount->setText(amount);
    const double value = AtoF(SignedAmountText(amount, !m_bIncome));
    const QDateTime date = LedgerDateTime(m_date->date(), m_date->time());
    // Nothing saved: the dialog stays open with what the user typed.
    if (!TrySave([&] {
        return IsModifying()
                   ? m_book.Modify(date, item, value, m_member->currentText(), m_note->toPlainText())
                   : m_book.Add(date, item, value, m_member->currentText(), m_note->toPlainText());
    }))
        return false;
    SavedOnce();  // a further save adds a new record
    return true;
}

bool CMoneyDlg::SaveAndContinue()
{
    return Save();
}

void CMoneyDlg::SaveAndClose()
{
    if (Save())
        CloseSaved();
}



