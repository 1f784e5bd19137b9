// Restoring a kept copy of the ledger.
#include "CRestoreDlg.h"

#include "app/CMainDlg.h"
#include "common/Messages.h"
#include "common/Paths.h"
#include "controls/CIconButton.h"
#include "db/DbError.h"
#include "db/Ledger.h"
#include "db/LedgerBackups.h"
#include "db/SqlConnection.h"
#include "dialogs/DialogParts.h"
#include "lists/MemberRules.h"
#include "lists/ReferenceLists.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QStorageInfo>
#include <QVBoxLayout>

namespace {

QString Megabytes(qint64 bytes)
{
    return QString::number(double(bytes) / (1024.0 * 1024.0), 'f', bytes < 10 * 1024 * 1024 ? 1 : 0) + QStringLiteral(" MB");
}

} // namespace

CRestoreDlg::CRestoreDlg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("恢复备份"));
    m_copies = new QListWidget(this);
    m_copies->setObjectName(QStringLiteral("copies"));
    m_copies->setMinimumSize(260, 220);
    for (const QString &name : ListBackups(DataDirectory())) {
        const bool wayBack = IsCopyBeforeRestore(DataDirectory(), name);
        auto *item = new QListWidgetItem(wayBack ? name + QStringLiteral("（恢复前的帐目）") : name, m_copies);
        item->setData(Qt::UserRole, name);
        item->setToolTip(Megabytes(BackupSize(DataDirectory(), name)));
    }
    auto *space = new QLabel(SpaceText(DataDirectory()), this);
    space->setObjectName(QStringLiteral("space"));
    space->setWordWrap(true);
    auto *restore = MakeDialogButton(this, 1, QStringLiteral("恢复"), 182);
    auto *cancel = MakeDialogButton(this, 2, QStringLiteral("取消"), 183);
    connect(restore, &QPushButton::clicked, this, &CRestoreDlg::Restore);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *layout = new QVBoxLayout;
    layout->addWidget(m_copies);
    layout->addWidget(space);
    StackFieldsAndButtons(this, layout, {restore, cancel});
}

QString CRestoreDlg::SpaceText(const QString &dataDir)
{
    const BackupSpace space = MeasureBackups(dataDir);
    return QStringLiteral("每次退出时帐目有改动就备份一次。保留最近 %1 份，合计不超过帐目大小的 %2 倍（至少可用 %3），"
                          "超出时先删最早的。\n现有 %4 份，共 %5，上限 %6；磁盘可用 %7。")
        .arg(kKeptBackups)
        .arg(kKeptSizeTimesLedger)
        .arg(Megabytes(kKeptSizeFloor))
        .arg(space.copies)
        .arg(Megabytes(space.bytes), Megabytes(space.limit), Megabytes(QStorageInfo(dataDir).bytesAvailable()));
}

bool CRestoreDlg::Restore()
{
    const QListWidgetItem *chosen = m_copies->currentItem();
    if (!chosen) {
        ShowMessage(QStringLiteral("请选择要恢复的备份"), QStringLiteral("错误"));
        return false;
    }
    const QString name = chosen->data(Qt::UserRole).toString();
    if (!AskYesNo(QStringLiteral("用 %1 的备份替换现在的帐目和列表吗？\n现在的帐目会先另存为一份备份。").arg(name),
                  QStringLiteral("恢复备份")))
        return false;
    QString error;
    RestoreResult result = RestoreResult::Untouched;
    // A large ledger takes a few seconds: it is read and checked aside, and the present one kept first.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        result = RestoreBackup(*OpenLedgerDatabase(), DataDirectory(), name, &error);
    } catch (const DbError &failure) {
        error = failure.Message();
    }
    QApplication::restoreOverrideCursor();
    switch (result) {
    case RestoreResult::Untouched:
        ShowMessage(error, QStringLiteral("恢复备份"), MessageIcon::Error);
        return false;
    case RestoreResult::Pending:
        // Half of each is no ledger to work on: the window ends, and the next start finishes the restore.
        ShowMessage(error, QStringLiteral("恢复备份"), MessageIcon::Error);
        reject();
        emit ledgerUnusable();
        return false;
    case RestoreResult::Restored:
        break;
    }
    // The lists read afresh, in place of those of the ledger replaced (loading adds to what is there).
    ClearReferenceLists();
    LoadAllListFiles();
    const QString membersTold = SecureMemberPasswords(KeptCopiesOfFile(DataDirectory(), QStringLiteral("Member.kwl")));  // a copy kept by an earlier version: passwords as typed
    emit ledgerReplaced();
    ShowMessage(QStringLiteral("已恢复 %1 的备份。").arg(name), QStringLiteral("恢复备份"));
    if (!membersTold.isEmpty())
        ShowMessage(membersTold, QStringLiteral("家庭成员"), MessageIcon::Warning);
    accept();
    return true;
}
