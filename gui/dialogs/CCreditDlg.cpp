// Money lent and borrowed.
#include "CCreditDlg.h"

#include "common/Messages.h"
#include "controls/CCalcPad.h"
#include "controls/CIconButton.h"
#include "controls/CTintedComboBox.h"
#include "db/BookValues.h"
#include "db/DbError.h"
#include "dialogs/CAmountEdit.h"
#include "dialogs/DialogParts.h"
#include "dialogs/FieldLimits.h"
#include "entry/CreditRules.h"
#include "lists/ReferenceLists.h"

#include <QDateTimeEdit>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

CCreditDlg::CCreditDlg(CCreditBook &book, EntryMode mode, QWidget *parent)
    : CEntryDialog(parent, mode, false), m_book(book), m_bModify(mode == EntryMode::Modify)
{
    setWindowTitle(QStringLiteral("债权债务"));
    m_date = MakeDatePicker(this, 1137);
    m_activity = MakeChoiceList(this, 1138, CreditActivities());
    m_activity->setCurrentIndex(-1);
    m_amount = new CAmountEdit(this);
    m_amount->setObjectName(QStringLiteral("1139"));
    KeepNumberRule(m_amount, NumberKind::Signed, 18);
    auto *calculator = MakeDialogButton(this, 1140, QString(), 185);
    m_people = MakeTextField(this, 1141, 50);
    m_person = MakeMemberList(this, 1144);
    m_note = MakeNoteField(this, 1143, 500);
    auto *save = MakeDialogButton(this, 1145, QStringLiteral("确定"), 182);
    auto *cancel = MakeDialogButton(this, 1146, QStringLiteral("取消"), 183);
    connect(calculator, &QPushButton::clicked, this, &CCreditDlg::OpenCalcPad);
    connect(save, &QPushButton::clicked, this, &CCreditDlg::SaveAndClose);
    connect(cancel, &QPushButton::clicked, this, &CCreditDlg::reject);

    auto *grid = new QGridLayout;
    AddLabelledField(grid, 0, 0, QStringLiteral("日    期"), m_date);
    AddLabelledField(grid, 1, 0, QStringLiteral("借贷活动"), m_activity);
    AddLabelledField(grid, 2, 0, QStringLiteral("金    额"), m_amount);
    grid->addWidget(calculator, 2, 2);
    AddLabelledField(grid, 3, 0, QStringLiteral("相 关 人"), m_people);
    AddLabelledField(grid, 4, 0, QStringLiteral("经 手 人"), m_person);
    AddLabelledNote(grid, 5, QStringLiteral("备    注"), m_note, 2);
    StackFieldsAndButtons(this, grid, {save, cancel});

    if (m_bModify)
        FillFromSelectedRow();
    CCalcPad::Guard(this, {calculator});
}

void CCreditDlg::FillFromSelectedRow()
{
    const QStringList row = m_book.GetRowTexts(m_book.GetSelected());
    ShowStoredDate(m_date, row.value(0));
    SelectStoredEntry(m_activity, row.value(1));
    m_amount->setText(AmountOfSignedColumns(row, 2));
    m_people->setText(row.value(4));
    SelectStoredEntry(m_person, row.value(5));
    m_note->setPlainText(row.value(6));
}

void CCreditDlg::OpenCalcPad()
{
    CCalcPad::Open(this, [this] { return static_cast<QLineEdit *>(m_amount); });
}

bool CCreditDlg::SaveAndClose()
{
    CCalcPad::CloseOpen();
    CreditEntry entry{m_activity->currentText(), m_person->currentText(), m_amount->text()};
    const QString refused = CheckCreditEntry(&entry);
    m_amount->setText(entry.amount);
    if (!refused.isEmpty()) {
        ShowMessage(refused, QStringLiteral("错误"));
        return false;
    }
    const QString dateText = m_date->date().toString(QStringLiteral("yyyy-MM-dd"));
    const QString money = SignedCreditText(entry.amount, entry.activity);
    // Nothing saved: the dialog stays open with what the user typed.
    if (!TrySave([&] {
        return m_bModify ? m_book.Modify(dateText, entry.activity, money, m_people->text(), entry.person, m_note->toPlainText())
                         : m_book.Add(dateText, entry.activity, money, m_people->text(), entry.person, m_note->toPlainText());
    }))
        return false;
    SavedOnce();
    CloseSaved();
    return true;
}
