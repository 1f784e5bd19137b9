// The settings tree.
#include "CSettingsDlg.h"

#include "controls/CIconButton.h"
#include "dialogs/DialogParts.h"
#include "lists/CAddMemberDlg.h"
#include "lists/CBudgetDlg.h"
#include "lists/CArticleKindDlg.h"
#include "lists/CDeleteMemberDlg.h"
#include "lists/CItemEditDlg.h"
#include "lists/CLedgerPlaceDlg.h"
#include "lists/CPasswordDlg.h"
#include "lists/CRecurringDlg.h"
#include "lists/CRecycleDlg.h"
#include "lists/CRestoreDlg.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <memory>

CSettingsDlg::CSettingsDlg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("设置"));
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("1188"));
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(true);
    m_tree->setMinimumSize(220, 280);
    const QList<QPair<QString, QStringList>> groups{
        {QStringLiteral("系统"),
         {QStringLiteral("密码"), QStringLiteral("添加家庭成员"), QStringLiteral("删除家庭成员"), QStringLiteral("恢复备份"),
          QStringLiteral("回收站"), QStringLiteral("帐本位置")}},
        {QStringLiteral("收支"), {QStringLiteral("编辑收支项目"), QStringLiteral("周期收支"), QStringLiteral("预算")}},
        {QStringLiteral("储蓄"),
         {QStringLiteral("编辑银行机构"), QStringLiteral("编辑货币种类"), QStringLiteral("编辑活期储蓄注释"), QStringLiteral("编辑储蓄利率")}},
        {QStringLiteral("财产"), {QStringLiteral("编辑物品种类")}},
        {QStringLiteral("保险"), {QStringLiteral("编辑保险机构"), QStringLiteral("编辑保险种类")}},
    };
    for (const auto &[group, leaves] : groups) {
        auto *item = new QTreeWidgetItem(m_tree, {group});
        for (const QString &leaf : leaves)
            new QTreeWidgetItem(item, {leaf});
        item->setExpanded(group == QStringLiteral("系统"));
    }
    auto *modify = MakeDialogButton(this, 1190, QStringLiteral("修改"), 168);
    auto *close = MakeDialogButton(this, 1189, QStringLiteral("关闭"), 189);
    connect(modify, &QPushButton::clicked, this, &CSettingsDlg::OpenChosen);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) {
        if (item->childCount() == 0)  // a double click on a group opens or folds it
            OpenChosen();
    });
    auto *layout = new QVBoxLayout;
    layout->addWidget(m_tree);
    StackFieldsAndButtons(this, layout, {modify, close});
}

QDialog *CSettingsDlg::MakeEditor(const QString &leaf)
{
    static const QHash<QString, ListMode> lists{
        {QStringLiteral("编辑收支项目"), ListMode::Items},     {QStringLiteral("编辑银行机构"), ListMode::Banks},
        {QStringLiteral("编辑货币种类"), ListMode::Currencies}, {QStringLiteral("编辑保险机构"), ListMode::InsOrgans},
        {QStringLiteral("编辑保险种类"), ListMode::InsKinds},   {QStringLiteral("编辑活期储蓄注释"), ListMode::CurNotes},
        {QStringLiteral("编辑储蓄利率"), ListMode::Rates}};
    if (lists.contains(leaf))
        return new CItemEditDlg(lists.value(leaf), this);
    if (leaf == QStringLiteral("密码"))
        return new CPasswordDlg(this);
    if (leaf == QStringLiteral("添加家庭成员"))
        return new CAddMemberDlg(this);
    if (leaf == QStringLiteral("删除家庭成员"))
        return new CDeleteMemberDlg(this);
    if (leaf == QStringLiteral("预算"))
        return new CBudgetDlg(this);
    if (leaf == QStringLiteral("周期收支"))
        return new CRecurringDlg(m_moneyBook, this);
    if (leaf == QStringLiteral("回收站")) {
        auto *recycled = new CRecycleDlg(this);
        connect(recycled, &CRecycleDlg::recordsRestored, this, &CSettingsDlg::recordsRestored);
        return recycled;
    }
    if (leaf == QStringLiteral("帐本位置")) {
        auto *place = new CLedgerPlaceDlg(this);
        connect(place, &CLedgerPlaceDlg::ledgerPlaceChanged, this, &CSettingsDlg::ledgerPlaceChanged);
        return place;
    }
    if (leaf == QStringLiteral("编辑物品种类"))
        return new CArticleKindDlg(this);
    if (leaf == QStringLiteral("恢复备份")) {
        auto *restore = new CRestoreDlg(this);
        connect(restore, &CRestoreDlg::ledgerReplaced, this, &CSettingsDlg::ledgerReplaced);
        connect(restore, &CRestoreDlg::ledgerUnusable, this, &CSettingsDlg::ledgerUnusable);
        return restore;
    }
    return nullptr;
}

void CSettingsDlg::OpenChosen()
{
    const QTreeWidgetItem *chosen = m_tree->currentItem();
    if (!chosen || chosen->childCount() > 0)
        return;
    std::unique_ptr<QDialog> editor(MakeEditor(chosen->text(0)));
    if (editor)
        editor->exec();
}
