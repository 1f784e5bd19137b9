// Insurance activities.
#include "CInsureDlg.h"

#include "common/LedgerDate.h"
#include "common/Messages.h"
#include "controls/CCalcPad.h"
#include "controls/CIconButton.h"
#include "controls/CTintedComboBox.h"
#include "db/CInsureNoteBook.h"
#include "db/BookValues.h"
#include "db/DbError.h"
#include "dialogs/CAmountEdit.h"
#include "dialogs/DialogParts.h"
#include "dialogs/FieldLimits.h"
#include "entry/InsureRules.h"
#include "lists/ReferenceLists.h"

#include <QDateTimeEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>

namespace {

QStringList PolicyNames()
{
    QStringList names;
    CInsureNoteBook policies;
    policies.CollectNames(&names);
    return names;
}

} // namespace

CInsureDlg::CInsureDlg(CInsureBook &book, EntryMode mode, QWidget *parent)
    : CEntryDialog(parent, mode, false), m_book(book), m_bModify(mode == EntryMode::Modify)
{
    setWindowTitle(QStringLiteral("保险记录"));
    m_date = MakeDatePicker(this, 1147);
    m_policy = MakeChoiceList(this, 1148, PolicyNames());
    m_policy->setCurrentIndex(-1);
    m_activity = MakeChoiceList(this, 1151, InsureActivities());
    m_activity->setCurrentIndex(-1);
    m_amount = new CAmountEdit(this);
    m_amount->setObjectName(QStringLiteral("1149"));
    KeepNumberRule(m_amount, NumberKind::Signed, 18);
    m_person = MakeMemberList(this, 1152);
    m_note = MakeNoteField(this, 1153, 500);
    auto *calculator = MakeDialogButton(this, 1150, QString(), 185);
    auto *save = MakeDialogButton(this, 1154, QStringLiteral("确定"), 182);
    auto *cancel = MakeDialogButton(this, 1155, QStringLiteral("取消"), 183);
    connect(calculator, &QPushButton::clicked, this, &CInsureDlg::OpenCalcPad);
    connect(save, &QPushButton::clicked, this, &CInsureDlg::SaveAndClose);
    connect(cancel, &QPushButton::clicked, this, &CInsureDlg::reject);

    auto *grid = new QGridLayout;
    AddLabelledField(grid, 0, 0, QStringLiteral("日    期"), m_date);
    AddLabelledField(grid, 1, 0, QStringLiteral("保单名称"), m_policy);
    AddLabelledField(grid, 2, 0, QStringLiteral("保险活动"), m_activity);
    AddLabelledField(grid, 3, 0, QStringLiteral("金    额"), m_amount);
    grid->addWidget(calculator, 3, 2);
    AddLabelledField(grid, 4, 0, QStringLiteral("经 手 人"), m_person);
    AddLabelledNote(grid, 5, QStringLiteral("备    注"), m_note, 2);
    StackFieldsAndButtons(this, grid, {save, cancel});

    if (m_bModify)
        FillFromSelectedRow();
    CCalcPad::Guard(this, {calculator});
}

void CInsureDlg::FillFromSelectedRow()
{
    const QStringList row = m_book.GetRowTexts(m_book.GetSelected());
    ShowStoredDate(m_date, row.value(0));
    SelectStoredEntry(m_policy, row.value(1));
    SelectStoredEntry(m_activity, row.value(2));
    m_amount->setText(AmountOfSignedColumns(row, 3));
    SelectStoredEntry(m_person, row.value(5));
    m_note->setPlainText(row.value(6));
}

void CInsureDlg::OpenCalcPad()
{
    CCalcPad::Open(this, [this] { return static_cast<QLineEdit *>(m_amount); });
}

bool CInsureDlg::SaveAndClose()
{
    CCalcPad::CloseOpen();
    InsureEntry entry{m_activity->currentText(), m_policy->currentText(), m_person->currentText(), m_amount->text()};
    const QString refused = CheckInsureActivity(&entry);
    m_amount->setText(entry.amount);
    if (!refused.isEmpty()) {
        ShowMessage(refused, QStringLiteral("错误"));
        return false;
    }
    const QString dateText = m_date->date().toString(QStringLiteral("yyyy-MM-dd"));
    const QString money = SignedInsureText(entry.amount, entry.activity);
    // Nothing saved: the dialog stays open with what the user typed.
    if (!TrySave([&] {
        return m_bModify ? m_book.Modify(dateText, entry.policy, entry.activity, money, entry.person, m_note->toPlainText())
                         : m_book.Add(dateText, entry.policy, entry.activity, money, entry.person, m_note->toPlainText());
    }))
        return false;
    SavedOnce();
    CloseSaved();
    return true;
}
