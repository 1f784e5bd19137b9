// Policies.
#include "CInsureNoteDlg.h"

#include "common/Amount.h"
#include "common/LedgerDate.h"
#include "common/Messages.h"
#include "common/Paths.h"
#include "controls/CCalcPad.h"
#include "controls/CIconButton.h"
#include "controls/CTintedComboBox.h"
#include "db/CInsureNoteBook.h"
#include "db/DbError.h"
#include "db/Ledger.h"
#include "db/SqlConnection.h"
#include "dialogs/CAmountEdit.h"
#include "dialogs/DialogParts.h"
#include "dialogs/FieldLimits.h"
#include "entry/InsureRules.h"
#include "lists/ReferenceLists.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>

namespace {

CAmountEdit *MakeAmountField(QWidget *parent, int id)
{
    auto *field = new CAmountEdit(parent);
    field->setObjectName(QString::number(id));
    KeepNumberRule(field, NumberKind::Unsigned, 18);
    return field;
}

// A person: a member chosen from the list, or any name typed (at most 50 bytes).
QComboBox *MakePersonBox(QWidget *parent, int id)
{
    auto *box = new CTintedComboBox(parent);
    box->setObjectName(QString::number(id));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setCompleter(nullptr);
    box->addItems(MemberNames());
    box->setCurrentIndex(-1);
    LimitGbkBytes(box->lineEdit(), 50);
    return box;
}

} // namespace

CInsureNoteDlg::CInsureNoteDlg(CInsureBook &activities, EntryMode mode, const QString &policyName, QWidget *parent)
    : CEntryDialog(parent, mode, false), m_book(activities), m_bModify(mode == EntryMode::Modify)
{
    setWindowTitle(QStringLiteral("保单记录"));
    m_name = MakeTextField(this, 1156, 50);
    m_kind = MakeChoiceList(this, 1157, g_insKindList);
    m_kind->setCurrentIndex(-1);
    m_organ = MakeChoiceList(this, 1175, g_insOrganList);
    m_organ->setCurrentIndex(-1);
    m_start = MakeDatePicker(this, 1158);
    m_end = MakeDatePicker(this, 1159);
    m_lifelong = new QCheckBox(QStringLiteral("终生"), this);
    m_lifelong->setObjectName(QStringLiteral("1162"));
    m_premium = MakeAmountField(this, 1164);
    m_sum = MakeAmountField(this, 1165);
    m_paid = MakeAmountField(this, 1166);
    m_years = new QSpinBox(this);
    m_years->setObjectName(QStringLiteral("1167"));
    m_years->setRange(0, 100);
    m_holder = MakePersonBox(this, 1160);
    m_beneficiary = MakePersonBox(this, 1161);
    m_insured = MakePersonBox(this, 1163);
    m_note = MakeNoteField(this, 1172, 500);
    QList<CIconButton *> pads;
    for (int field = 1; field <= 3; ++field) {
        CIconButton *pad = MakeDialogButton(this, 1168 + field, QString(), 185);
        connect(pad, &QPushButton::clicked, this, [this, field] { OpenCalcPad(field); });
        pads.append(pad);
    }
    m_paidPad = pads.at(2);
    auto *save = MakeDialogButton(this, 1173, QStringLiteral("确定"), 182);
    auto *cancel = MakeDialogButton(this, 1174, QStringLiteral("取消"), 183);
    connect(m_lifelong, &QCheckBox::clicked, this, [this](bool lifelong) {
        CCalcPad::CloseOpen();
        m_end->setEnabled(!lifelong);
    });
    connect(save, &QPushButton::clicked, this, &CInsureNoteDlg::SaveAndClose);
    connect(cancel, &QPushButton::clicked, this, &CInsureNoteDlg::reject);

    auto *grid = new QGridLayout;
    AddLabelledField(grid, 0, 0, QStringLiteral("保单名称"), m_name);
    AddLabelledField(grid, 0, 3, QStringLiteral("保险种类"), m_kind);
    AddLabelledField(grid, 1, 0, QStringLiteral("保险机构"), m_organ);
    AddLabelledField(grid, 1, 3, QStringLiteral("交费年限"), m_years);
    AddLabelledField(grid, 2, 0, QStringLiteral("生效日期"), m_start);
    AddLabelledField(grid, 2, 3, QStringLiteral("终止日期"), m_end);
    grid->addWidget(m_lifelong, 2, 5);
    AddLabelledField(grid, 3, 0, QStringLiteral("投保金额"), m_premium);
    grid->addWidget(pads.at(0), 3, 2);
    AddLabelledField(grid, 3, 3, QStringLiteral("保险金额"), m_sum);
    grid->addWidget(pads.at(1), 3, 5);
    AddLabelledField(grid, 4, 0, QStringLiteral("已交金额"), m_paid);
    grid->addWidget(pads.at(2), 4, 2);
    AddLabelledField(grid, 4, 3, QStringLiteral("投 保 人"), m_holder);
    AddLabelledField(grid, 5, 0, QStringLiteral("受 益 人"), m_beneficiary);
    AddLabelledField(grid, 5, 3, QStringLiteral("被保险人"), m_insured);
    AddLabelledNote(grid, 6, QStringLiteral("简要说明"), m_note, 5);
    StackFieldsAndButtons(this, grid, {save, cancel});

    if (m_bModify)
        FillFromPolicy(policyName);
    CCalcPad::Guard(this, {pads.at(0), pads.at(1), pads.at(2)});
}

void CInsureNoteDlg::FillFromPolicy(const QString &name)
{
    const std::optional<CInsureNoteBook::Policy> policy = CInsureNoteBook().ReadPolicy(name);
    m_name->setText(name);
    m_name->setEnabled(false);
    m_paid->setEnabled(false);
    m_paidPad->setEnabled(false);
    if (!policy)
        return;  // gone meanwhile: the save says so
    m_shownVersion = policy->version;
    SelectStoredEntry(m_kind, policy->kind);
    SelectStoredEntry(m_organ, policy->organ);
    m_premium->setText(policy->pay);
    m_sum->setText(policy->get);
    m_paid->setText(policy->payed);
    m_years->setValue(std::clamp(policy->years, 0, 100));
    m_start->setDate(QDate::fromString(policy->start, QStringLiteral("yyyy-MM-dd")));
    m_lifelong->setChecked(policy->end.isEmpty());
    m_end->setEnabled(!policy->end.isEmpty());
    if (!policy->end.isEmpty())
        m_end->setDate(QDate::fromString(policy->end, QStringLiteral("yyyy-MM-dd")));
    m_holder->setEditText(policy->payPeople);
    m_beneficiary->setEditText(policy->benefitPeople);
    m_insured->setEditText(policy->insuredPeople);
    m_note->setPlainText(policy->explain);
}

QLineEdit *CInsureNoteDlg::PadField() const
{
    return m_nPadField == 1 ? m_premium : m_nPadField == 2 ? m_sum : m_paid;
}

void CInsureNoteDlg::OpenCalcPad(int field)
{
    m_nPadField = field;
    CCalcPad::Reopen(this, [this] { return PadField(); });
}

bool CInsureNoteDlg::SaveAndClose()
{
    CCalcPad::CloseOpen();
    PolicyEntry entry{m_name->text(), m_premium->text(), m_sum->text(), m_paid->text(), m_years->value()};
    bool taken = false;
    try {
        taken = !m_bModify && !entry.name.isEmpty() && !CInsureNoteBook().IsNameFree(entry.name);
    } catch (const DbError &error) {
        ShowMessage(error.Message(), QStringLiteral("错误"), MessageIcon::Error);
        return false;
    }
    const QString refused = CheckPolicy(&entry, !m_bModify, taken);
    m_premium->setText(entry.premium);
    m_sum->setText(entry.sumInsured);
    m_paid->setText(entry.paid);
    if (!refused.isEmpty()) {
        ShowMessage(refused, QStringLiteral("错误"));
        return false;
    }
    const QString start = m_start->date().toString(QStringLiteral("yyyy-MM-dd"));
    const QString end = m_lifelong->isChecked() ? QString() : m_end->date().toString(QStringLiteral("yyyy-MM-dd"));
    CInsureBook &activities = m_book;
    // The insurance panel follows once the change is committed, or rolled back and read again.
    const CBook::ChangeBatch batch(activities);
    bool saved = false;
    try {
        CInsureNoteBook policies;
        if (m_bModify) {
            saved = policies.EditPolicy(entry.name, m_kind->currentText(), m_organ->currentText(), entry.premium,
                                        entry.sumInsured, entry.years, start, end, m_holder->currentText(),
                                        m_beneficiary->currentText(), m_insured->currentText(), m_note->toPlainText(),
                                        m_shownVersion);
            if (!saved)
                ShowMessage(QStringLiteral("保单“%1”已不在帐目数据库中，没有保存任何改动。").arg(entry.name),
                            QStringLiteral("错误"));
        } else {
            // The policy and its opening activity are one change: neither is kept without the other.
            SqlTransaction transaction(*OpenLedgerDatabase());
            policies.AddPolicy(entry.name, m_kind->currentText(), m_organ->currentText(), entry.premium,
                               entry.sumInsured, QStringLiteral("0"), entry.years, start, end, m_holder->currentText(),
                               m_beneficiary->currentText(), m_insured->currentText(), m_note->toPlainText());
            const QString paid = AtoF(entry.paid) == 0.0 ? QStringLiteral("0") : QLatin1Char('-') + entry.paid;
            saved = activities.Add(LedgerNow().date().toString(QStringLiteral("yyyy-MM-dd")), entry.name,
                                   QStringLiteral("保单开户"), paid, m_holder->currentText(), QStringLiteral("该项自动填写"));
            if (saved)
                transaction.Commit();
        }
    } catch (const RecordChangedElsewhere &changedElsewhere) {
        // Another computer changed the policy: what was typed stays in the dialog, the sum paid shows
        // what the policy now holds, and a second 确定 saves over it knowingly.
        saved = false;
        ShowMessage(changedElsewhere.Message(), RecordChangedElsewhere::Caption(), MessageIcon::Warning);
        TellDbFailure([this, &entry] {
            if (const std::optional<CInsureNoteBook::Policy> now = CInsureNoteBook().ReadPolicy(entry.name)) {
                m_shownVersion = now->version;
                m_paid->setText(now->payed);
            }
        });
    } catch (const DbError &error) {
        saved = false;
        ShowMessage(error.Message(), QStringLiteral("错误"), MessageIcon::Error);
    }
    if (!saved) {
        // What a rolled-back change may have left in the list is read again.
        TellDbFailure([&activities] { activities.Reload(); });
        return false;
    }
    CloseSaved();
    return true;
}
