// Fixed-term deposits and instalments.
#include "CDepositDlg.h"

#include "common/Amount.h"
#include "common/LedgerDate.h"
#include "common/Messages.h"
#include "controls/CAccountComboBox.h"
#include "controls/CCalcPad.h"
#include "controls/CIconButton.h"
#include "controls/CTintedComboBox.h"
#include "db/DbError.h"
#include "dialogs/CAmountEdit.h"
#include "dialogs/DialogParts.h"
#include "dialogs/FieldLimits.h"
#include "entry/DepositRules.h"
#include "lists/ReferenceLists.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalBlocker>

namespace {

const QString kInstalmentNotice = QStringLiteral("请在存入金额中填入本次存入的金额");

CAmountEdit *MakeNumberField(QWidget *parent, int id, int maxLength)
{
    auto *field = new CAmountEdit(parent);
    field->setObjectName(QString::number(id));
    KeepNumberRule(field, NumberKind::Unsigned, maxLength);
    return field;
}

} // namespace

CDepositDlg::CDepositDlg(CDepositBook &book, EntryMode mode, QWidget *parent)
    : CEntryDialog(parent, mode, true), m_book(book), m_bContinue(mode == EntryMode::Modify)
{
    setWindowTitle(QStringLiteral("定期储蓄"));
    m_account = new CAccountComboBox([&book] {
        QStringList accounts;
        book.CollectAccounts(&accounts);
        return accounts;
    }, this);
    m_account->setObjectName(QStringLiteral("1067"));
    m_date = MakeDatePicker(this, 1068);
    m_currency = MakeChoiceList(this, 1069, g_currencyList);
    m_bank = MakeChoiceList(this, 1070, g_bankList);
    m_person = MakeMemberList(this, 1072);
    m_kind = MakeChoiceList(this, 1075, DepositKinds());
    m_term = MakeChoiceList(this, 1076, DepositTerms(0));
    m_rate = MakeNumberField(this, 1077, 9);
    m_amount = MakeNumberField(this, 1073, 18);
    m_due = MakeNumberField(this, 1078, 18);
    m_tax = new QCheckBox(QStringLiteral("扣除利息税"), this);
    m_tax->setObjectName(QStringLiteral("1079"));
    m_tax->setChecked(true);
    m_note = MakeNoteField(this, 1080, 150, 50);
    m_calculator = MakeDialogButton(this, 1074, QString(), 185);
    auto *save = MakeDialogButton(this, 1081, QStringLiteral("确定"), 182);
    auto *cancel = MakeDialogButton(this, 1082, QStringLiteral("取消"), 183);

    connect(m_account, &CAccountComboBox::bankChosen, this, [this](const QString &bank) { SelectStoredEntry(m_bank, bank); });
    // A new kind, however chosen (click, keys, wheel), refills the terms; choosing the kind shown again
    // does the same, so 零存整取 gives its notice each time it is chosen.
    connect(m_kind, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int kind) {
        m_bKindJustChanged = true;
        OnKindChosen(kind);
    });
    connect(m_kind, QOverload<int>::of(&QComboBox::activated), this, [this](int kind) {
        if (!m_bKindJustChanged)
            OnKindChosen(kind);
        m_bKindJustChanged = false;
    });
    connect(m_term, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] {
        LookUpRate();
        ComputeMaturity();
    });
    connect(m_rate, &QLineEdit::textChanged, this, &CDepositDlg::ComputeMaturity);
    connect(m_amount, &QLineEdit::textChanged, this, [this] {
        if (m_rate->isEnabled())
            ComputeMaturity();
    });
    connect(m_tax, &QCheckBox::clicked, this, &CDepositDlg::ComputeMaturity);
    connect(m_calculator, &QPushButton::clicked, this, &CDepositDlg::OpenCalcPad);
    connect(save, &QPushButton::clicked, this, &CDepositDlg::SaveAndClose);
    connect(cancel, &QPushButton::clicked, this, &CDepositDlg::reject);

    auto *grid = new QGridLayout;
    AddLabelledField(grid, 0, 0, QStringLiteral("帐    户"), m_account);
    AddLabelledField(grid, 0, 2, QStringLiteral("办理日期"), m_date);
    AddLabelledField(grid, 1, 0, QStringLiteral("货币种类"), m_currency);
    AddLabelledField(grid, 1, 2, QStringLiteral("办理银行"), m_bank);
    AddLabelledField(grid, 2, 0, QStringLiteral("经 手 人"), m_person);
    AddLabelledField(grid, 2, 2, QStringLiteral("存款类型"), m_kind);
    AddLabelledField(grid, 3, 0, QStringLiteral("存款时间"), m_term);
    AddLabelledField(grid, 3, 2, QStringLiteral("年利率(%)"), m_rate);
    AddLabelledField(grid, 4, 0, QStringLiteral("存入金额"), m_amount);
    grid->addWidget(m_calculator, 4, 2);
    AddLabelledField(grid, 5, 0, QStringLiteral("到期金额"), m_due);
    grid->addWidget(m_tax, 5, 3);
    AddLabelledNote(grid, 6, QStringLiteral("备    注"), m_note, 3);
    StackFieldsAndButtons(this, grid, {save, cancel});

    LookUpRate();
    if (m_bContinue)
        FillFromSelectedRow();
    CCalcPad::Guard(this, {m_calculator});
}


void CDepositDlg::FillTerms(int kindPosition)
{
    const QSignalBlocker quiet(m_term);
    m_term->clear();
    m_term->addItems(DepositTerms(kindPosition));
    m_term->setCurrentIndex(0);  // 一年 for 零存整取, 三个月 for the others
}

void CDepositDlg::OnKindChosen(int kindPosition)
{
    FillTerms(kindPosition);
    if (kindPosition == kInstalmentKind)
        ShowMessage(kInstalmentNotice, QStringLiteral("零存整取"));
    LookUpRate();
    ComputeMaturity();
}

void CDepositDlg::LookUpRate()
{
    const auto found = LookupDepositRate(m_kind->currentIndex(), m_term->currentIndex(), g_rateTable);
    if (!found)
        return;  // a pair outside the table keeps the rate shown
    m_dYears = found->years;
    const QSignalBlocker quiet(m_rate);
    m_rate->setText(RateText(found->rate));
}

QString CDepositDlg::MaturityNow() const
{
    if (m_amount->text().isEmpty() || m_rate->text().isEmpty())
        return QString();
    return MaturityText(m_kind->currentIndex(), AtoF(m_amount->text()), AtoF(m_rate->text()), m_dYears,
                        InterestTaxRate(g_rateTable), m_tax->isChecked());
}

void CDepositDlg::ComputeMaturity()
{
    if (m_bContinue)
        return;  // an instalment shows the plan's own amount due
    m_due->setText(MaturityNow());
}

void CDepositDlg::FillFromSelectedRow()
{
    ShowMessage(kInstalmentNotice, QStringLiteral("零存整取"));
    const QStringList row = m_book.GetRowTexts(m_book.GetSelected());
    m_account->setEditText(row.value(1));
    m_account->setEnabled(false);
    ShowStoredDate(m_date, row.value(0));
    SelectStoredEntry(m_currency, row.value(2));
    m_currency->setEnabled(false);
    SelectStoredEntry(m_bank, row.value(7));
    m_bank->setEnabled(false);
    SelectStoredEntry(m_person, row.value(8));
    m_note->setPlainText(row.value(9));
    {
        const QSignalBlocker quiet(m_kind);
        m_kind->setCurrentIndex(kInstalmentKind);
    }
    m_kind->setEnabled(false);
    // The plan's own term, from its dates, and the rate of that term; shown, not saved.
    FillTerms(kInstalmentKind);
    {
        const QSignalBlocker quiet(m_term);
        m_term->setCurrentIndex(InstalmentTermPosition(ParseDateText(row.value(0)).date(), ParseDateText(row.value(6)).date()));
    }
    m_term->setEnabled(false);
    LookUpRate();
    m_rate->setEnabled(false);
    m_due->setText(row.value(5));
    m_due->setEnabled(false);
    m_tax->setEnabled(false);
}

void CDepositDlg::OpenCalcPad()
{
    CCalcPad::Open(this, [this] { return static_cast<QLineEdit *>(m_amount); });
}

bool CDepositDlg::SaveAndClose()
{
    CCalcPad::CloseOpen();
    DepositEntry entry{m_account->currentText(), m_kind->currentText(), m_currency->currentText(), m_bank->currentText(),
                       m_person->currentText(),  m_term->currentText(), m_amount->text(),       m_rate->text()};
    entry.instalment = m_bContinue;
    const QString refused = CheckDeposit(&entry);
    m_amount->setText(entry.amount);
    if (!refused.isEmpty()) {
        ShowMessage(refused, QStringLiteral("错误"));
        return false;
    }
    const QString beginText = m_date->date().toString(QStringLiteral("yyyy-MM-dd"));
    // Nothing saved: the dialog stays open with what the user typed.
    if (!TrySave([&] {
        if (m_bContinue) {
            return m_book.AddInstalment(beginText, entry.amount, entry.person, m_note->toPlainText());
        } else {
            const QDate due = DueDate(m_date->date(), entry.term);
            return m_book.Add(beginText, entry.account, entry.currency, entry.kind, entry.amount, MaturityNow(),
                            due.toString(QStringLiteral("yyyy-MM-dd")), entry.bank, entry.person, m_note->toPlainText());
        }
    }))
        return false;
    CloseSaved();
    return true;
}



