// Demand-savings movements.
#include "CCurrentDlg.h"

#include "common/Amount.h"
#include "common/LedgerDate.h"
#include "common/Messages.h"
#include "controls/CAccountComboBox.h"
#include "controls/CCalcPad.h"
#include "controls/CEntryComboBox.h"
#include "controls/CIconButton.h"
#include "controls/CTintedComboBox.h"
#include "db/DbError.h"
#include "dialogs/CAmountEdit.h"
#include "dialogs/DialogParts.h"
#include "dialogs/FieldLimits.h"
#include "entry/ItemChoice.h"
#include "entry/SavingsRules.h"
#include "lists/ReferenceLists.h"

#include <QDateTimeEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>

CCurrentDlg::CCurrentDlg(CCurrentBook &book, EntryMode mode, QWidget *parent)
    : CEntryDialog(parent, mode, false), m_book(book), m_bModify(mode == EntryMode::Modify)
{
    setWindowTitle(QStringLiteral("活期储蓄"));
    m_account = new CAccountComboBox([&book] {
        QStringList accounts;
        book.CollectAccounts(&accounts);
        return accounts;
    }, this);
    m_account->setObjectName(QStringLiteral("1235"));
    m_date = MakeDatePicker(this, 1100);
    m_currency = MakeChoiceList(this, 1101, g_currencyList);
    m_bank = MakeChoiceList(this, 1102, g_bankList);
    m_amount = new CAmountEdit(this);
    m_amount->setObjectName(QStringLiteral("1103"));
    KeepNumberRule(m_amount, NumberKind::Unsigned, 18);
    m_noteKind = new CEntryComboBox(this);
    m_noteKind->setObjectName(QStringLiteral("1105"));
    m_noteKind->addItems(g_curNoteList);
    m_noteKind->setCurrentIndex(-1);
    m_person = MakeMemberList(this, 1106);
    m_note = MakeNoteField(this, 1107, 150, 50);
    m_calculator = MakeDialogButton(this, 1104, QString(), 185);
    auto *save = MakeDialogButton(this, 1108, QStringLiteral("确定"), 182);
    auto *cancel = MakeDialogButton(this, 1109, QStringLiteral("取消"), 183);

    connect(m_account, &CAccountComboBox::bankChosen, this, [this](const QString &bank) { SelectStoredEntry(m_bank, bank); });
    connect(m_noteKind, &CEntryComboBox::entryChosen, this, &CCurrentDlg::OnNoteChosen);
    connect(m_calculator, &QPushButton::clicked, this, &CCurrentDlg::OpenCalcPad);
    connect(save, &QPushButton::clicked, this, &CCurrentDlg::SaveAndClose);
    connect(cancel, &QPushButton::clicked, this, &CCurrentDlg::reject);

    auto *grid = new QGridLayout;
    AddLabelledField(grid, 0, 0, QStringLiteral("帐    户"), m_account);
    AddLabelledField(grid, 0, 2, QStringLiteral("办理日期"), m_date);
    AddLabelledField(grid, 1, 0, QStringLiteral("货币种类"), m_currency);
    AddLabelledField(grid, 1, 2, QStringLiteral("办理银行"), m_bank);
    AddLabelledField(grid, 2, 0, QStringLiteral("金    额"), m_amount);
    grid->addWidget(m_calculator, 2, 2);
    AddLabelledField(grid, 3, 0, QStringLiteral("注    释"), m_noteKind);
    AddLabelledField(grid, 3, 2, QStringLiteral("经 手 人"), m_person);
    AddLabelledNote(grid, 4, QStringLiteral("备    注"), m_note, 3);
    StackFieldsAndButtons(this, grid, {save, cancel});

    if (m_bModify)
        FillFromSelectedRow();
    CCalcPad::Guard(this, {m_calculator});
}


void CCurrentDlg::OnNoteChosen(int index)
{
    const ItemChoice choice = ParseNoteChoice(m_noteKind->itemText(index), !m_bOut);
    m_bOut = !choice.income;
    m_noteKind->ShowText(choice.name);
}

void CCurrentDlg::FillFromSelectedRow()
{
    const QStringList row = m_book.GetRowTexts(m_book.GetSelected());
    m_account->setEditText(row.value(1));
    ShowStoredDate(m_date, row.value(0));
    // The amount shows its magnitude; its sign is the direction, kept until another note is chosen.
    const QString amount = row.value(4);
    m_bOut = amount.startsWith(QLatin1Char('-'));
    m_amount->setText(SignedMovementText(amount, false));
    SelectStoredEntry(m_currency, row.value(3));
    SelectStoredEntry(m_bank, row.value(2));
    SelectStoredEntry(m_person, row.value(6));
    const QString reason = row.value(5);
    int entry = -1;
    for (int i = 0; i < m_noteKind->count() && entry < 0; ++i) {
        const ItemChoice choice = ParseNoteChoice(m_noteKind->itemText(i), !m_bOut);
        if (choice.name == reason && choice.income == !m_bOut)
            entry = i;
    }
    m_noteKind->ShowEntry(entry, reason);
    m_note->setPlainText(row.value(7));
}

void CCurrentDlg::OpenCalcPad()
{
    CCalcPad::Open(this, [this] { return static_cast<QLineEdit *>(m_amount); });
}

bool CCurrentDlg::SaveAndClose()
{
    CCalcPad::CloseOpen();
    MovementEntry entry{m_account->currentText(), m_currency->currentText(), m_bank->currentText(),
                        m_person->currentText(),  m_noteKind->ShownText(),   m_amount->text()};
    const QString refused = CheckMovement(&entry);
    m_amount->setText(entry.amount);
    if (!refused.isEmpty()) {
        ShowMessage(refused, QStringLiteral("错误"));
        return false;
    }
    const QString dateText = m_date->date().toString(QStringLiteral("yyyy-MM-dd"));
    const QString money = SignedMovementText(entry.amount, m_bOut);
    // Nothing saved: the dialog stays open with what the user typed.
    if (!TrySave([&] {
        return m_bModify ? m_book.Modify(dateText, entry.account, entry.bank, entry.currency, money, entry.note,
                                       entry.person, m_note->toPlainText())
                         : m_book.Add(dateText, entry.account, entry.bank, entry.currency, money, entry.note,
                                    entry.person, m_note->toPlainText());
    }))
        return false;
    SavedOnce();
    CloseSaved();
    return true;
}



