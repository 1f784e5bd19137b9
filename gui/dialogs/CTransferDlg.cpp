// Deposit to cash.
#include "CTransferDlg.h"

#include "db/CDepositBook.h"
#include "db/CMoneyBook.h"
#include "common/Amount.h"
#include "common/LedgerDate.h"
#include "common/Messages.h"
#include "common/Paths.h"
#include "controls/CIconButton.h"
#include "controls/CTintedComboBox.h"
#include "db/DbError.h"
#include "db/Ledger.h"
#include "db/SqlConnection.h"
#include "dialogs/CAmountEdit.h"
#include "dialogs/DialogParts.h"
#include "dialogs/FieldLimits.h"
#include "entry/SavingsRules.h"
#include "lists/ReferenceLists.h"

#include <QDateTimeEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>

CTransferDlg::CTransferDlg(CDepositBook &deposits, CMoneyBook &money, QWidget *parent)
    : QDialog(parent), m_deposits(deposits), m_money(money)
{
    setWindowTitle(QStringLiteral("转入现金"));
    const QStringList row = deposits.GetRowTexts(deposits.GetSelected());
    m_amountDue = AtoF(row.value(5));
    m_date = MakeDatePicker(this, 1083);
    m_person = MakeMemberList(this, 1084);
    SelectStoredEntry(m_person, row.value(8));
    m_amount = new CAmountEdit(this);
    m_amount->setObjectName(QStringLiteral("1088"));
    KeepNumberRule(m_amount, NumberKind::Unsigned, 18);
    m_amount->setText(row.value(5));
    m_note = MakeNoteField(this, 1085, 75, 50);
    auto *save = MakeDialogButton(this, 1086, QStringLiteral("确定"), 182);
    auto *cancel = MakeDialogButton(this, 1087, QStringLiteral("取消"), 183);
    connect(save, &QPushButton::clicked, this, &CTransferDlg::SaveAndClose);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("转入日期"), this), 0, 0);
    grid->addWidget(m_date, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("经 手 人"), this), 1, 0);
    grid->addWidget(m_person, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("转入金额"), this), 2, 0);
    grid->addWidget(m_amount, 2, 1);
    AddLabelledNote(grid, 3, QStringLiteral("备    注"), m_note);
    StackFieldsAndButtons(this, grid, {save, cancel});
}

bool CTransferDlg::SaveAndClose()
{
    QString amount = m_amount->text();
    const QString refused = CheckTransfer(m_person->currentText(), &amount, m_amountDue);
    if (!refused.isEmpty()) {
        ShowMessage(refused, QStringLiteral("错误"));
        return false;
    }
    m_amount->setText(amount);
    CMoneyBook &money = m_money;
    CDepositBook &deposits = m_deposits;
    // Both panels follow once the change is committed, or rolled back and read again.
    const CBook::ChangeBatch moneyBatch(money);
    const CBook::ChangeBatch depositBatch(deposits);
    bool done = false;
    try {
        // The money in and the deposit out are one change: neither is kept without the other.
        SqlTransaction transaction(*OpenLedgerDatabase());
        done = money.Add(LedgerDateTime(m_date->date(), m_date->time()), QStringLiteral("资金互转"), AtoF(amount),
                         m_person->currentText(), m_note->toPlainText())
               && deposits.GetSelected() >= 0;
        if (done) {
            // Remove's result tells whether records remain; whether this one went, its row tells.
            const int rowsBefore = deposits.GetItemCount();
            deposits.Remove();
            done = deposits.GetItemCount() < rowsBefore;
        }
        if (done)
            transaction.Commit();
    } catch (const DbError &error) {
        done = false;
        ShowMessage(error.Message(), QStringLiteral("错误"), MessageIcon::Error);
    }
    if (!done) {
        // Rolled back: both lists are read again from what the ledger holds.
        try {
            money.Reload();
            deposits.Reload();
        } catch (const DbError &error) {
            ShowMessage(error.Message(), QStringLiteral("数据库错误"), MessageIcon::Error);
        }
        return false;
    }
    QDialog::accept();
    return true;
}
