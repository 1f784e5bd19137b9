// The policy overview.
#include "CPolicyListDlg.h"

#include "app/CBookView.h"
#include "db/CInsureBook.h"
#include "common/Messages.h"
#include "common/Paths.h"
#include "controls/CIconButton.h"
#include "db/DbError.h"
#include "db/Ledger.h"
#include "db/SqlConnection.h"
#include "dialogs/CInsureNoteDlg.h"
#include "dialogs/DialogParts.h"

#include <QVBoxLayout>

CPolicyListDlg::CPolicyListDlg(CInsureBook &activities, QWidget *parent) : QDialog(parent), m_activities(activities)
{
    setWindowTitle(QStringLiteral("保单一览"));
    try {
        m_policies.Fill(QStringLiteral("Name"));
    } catch (const DbError &error) {
        ShowMessage(error.Message(), QStringLiteral("错误"), MessageIcon::Error);
    }
    m_list = new CBookView(m_policies, QStringLiteral("保单一览"), {QStringLiteral("保单名称"), QStringLiteral("已交金额")},
                           {238, 100}, this);
    m_list->setObjectName(QStringLiteral("1175"));
    m_list->setMinimumSize(360, 220);
    m_details = MakeDialogButton(this, 1176, QStringLiteral("查看详情"), 169);
    m_delete = MakeDialogButton(this, 1177, QStringLiteral("删除保单"), 167);
    auto *close = MakeDialogButton(this, 1178, QStringLiteral("关闭"), 189);
    EnableButtons(false);
    connect(m_list, &CBookView::rowChosen, this, [this] { EnableButtons(true); });
    connect(m_list, &CBookView::rowDoubleClicked, this, &CPolicyListDlg::ShowDetails);
    connect(m_details, &QPushButton::clicked, this, &CPolicyListDlg::ShowDetails);
    connect(m_delete, &QPushButton::clicked, this, &CPolicyListDlg::DeletePolicy);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto *fields = new QVBoxLayout;
    fields->addWidget(m_list);
    StackFieldsAndButtons(this, fields, {m_details, m_delete, close});
}

CPolicyListDlg::~CPolicyListDlg()
{
    // The list listens to m_policies: it goes while the book is still there.
    delete m_list;
}

void CPolicyListDlg::EnableButtons(bool enabled)
{
    m_details->setEnabled(enabled);
    m_delete->setEnabled(enabled);
}

void CPolicyListDlg::ShowDetails()
{
    const int row = m_policies.GetSelected();
    if (row < 0)
        return;
    CInsureNoteDlg dialog(m_activities, EntryMode::Modify, m_policies.GetItemText(row, 0), this);
    dialog.exec();
}

void CPolicyListDlg::DeletePolicy()
{
    const int row = m_policies.GetSelected();
    if (row < 0)
        return;
    const QString name = m_policies.GetItemText(row, 0);
    if (!AskYesNo(QStringLiteral("确定要删除保单 ") + name + QStringLiteral(" 的所有记录吗?"), QStringLiteral("删除保单记录")))
        return;
    // The insurance panel follows once the change is committed, or rolled back and read again.
    const CBook::ChangeBatch batch(m_activities);
    bool done = false;
    try {
        // The activities and the policy go together, or neither does.
        SqlTransaction transaction(*OpenLedgerDatabase());
        m_activities.RemoveActivities(name);
        const int before = m_policies.GetItemCount();
        m_policies.Remove();
        // The policy's row goes only when its record did: otherwise its activities stay too.
        done = m_policies.GetItemCount() == before - 1;
        if (done)
            transaction.Commit();
    } catch (const DbError &error) {
        done = false;  // a COMMIT that failed rolled everything back
        ShowMessage(error.Message(), QStringLiteral("错误"), MessageIcon::Error);
    }
    if (!done) {
        // Rolled back: both lists read again from the ledger.
        try {
            m_policies.Fill(QStringLiteral("Name"));
            m_activities.Reload();
        } catch (const DbError &error) {
            ShowMessage(error.Message(), QStringLiteral("数据库错误"), MessageIcon::Error);
        }
        return;
    }
    m_policies.SetSelected(-1);  // nothing chosen, nothing highlighted, until the next click
    EnableButtons(false);
}
