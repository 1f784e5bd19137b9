// Restoring a kept copy of the ledger.
#include "CRestoreDlg.h"

#include "app/CMainDlg.h"
#include "common/Messages.h"
#include "common/Paths.h"
#include "controls/CIconButton.h"
#include "db/DbError.h"
#include "db/LedgerBackups.h"
#include "db/SqlConnection.h"
#include "dialogs/DialogParts.h"
#include "lists/ReferenceLists.h"

#include <QListWidget>
#include <QVBoxLayout>

CRestoreDlg::CRestoreDlg(CMainDlg *owner, QWidget *parent) : QDialog(parent), m_pOwner(owner)
{
    setWindowTitle(QStringLiteral("恢复备份"));
    m_copies = new QListWidget(this);
    m_copies->setObjectName(QStringLiteral("copies"));
    m_copies->setMinimumSize(260, 220);
    m_copies->addItems(ListBackups(DataDirectory()));
    auto *restore = MakeDialogButton(this, 1, QStringLiteral("恢复"), 182);
    auto *cancel = MakeDialogButton(this, 2, QStringLiteral("取消"), 183);
    connect(restore, &QPushButton::clicked, this, &CRestoreDlg::Restore);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *layout = new QVBoxLayout;
    layout->addWidget(m_copies);
    StackFieldsAndButtons(this, layout, {restore, cancel});
}

bool CRestoreDlg::Restore()
{
    const QListWidgetItem *chosen = m_copies->currentItem();
    if (!chosen) {
        ShowMessage(QStringLiteral("请选择要恢复的备份"), QStringLiteral("错误"));
        return false;
    }
    if (!AskYesNo(QStringLiteral("用 %1 的备份替换现在的帐目和列表吗？\n现在的帐目会先另存为一份备份。").arg(chosen->text()),
                  QStringLiteral("恢复备份")))
        return false;
    QString error;
    bool restored = false, databaseRestored = false;
    try {
        restored = RestoreBackup(*SqlConnection::Open(DatabasePath()), DataDirectory(), chosen->text(), &error,
                                 &databaseRestored);
    } catch (const DbError &failure) {
        error = failure.Message();
    }
    // The window reads the ledger again once its database was put back, whatever failed after it.
    if (databaseRestored) {
        LoadAllListFiles();
        m_pOwner->ReloadLedger();
    }
    if (!restored) {
        ShowMessage(error, QStringLiteral("恢复备份"), MessageIcon::Error);
        return false;
    }
    ShowMessage(QStringLiteral("已恢复 %1 的备份。").arg(chosen->text()), QStringLiteral("恢复备份"));
    accept();
    return true;
}
