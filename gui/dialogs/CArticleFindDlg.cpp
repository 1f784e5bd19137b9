// Asset search.
#include "CArticleFindDlg.h"

#include "app/CMainDlg.h"
#include "common/Messages.h"
#include "controls/CIconButton.h"
#include "controls/CTintedComboBox.h"
#include "db/DbError.h"
#include "dialogs/DialogParts.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

CArticleFindDlg::CArticleFindDlg(CMainDlg *owner) : QDialog(owner), m_pOwner(owner)
{
    setWindowTitle(QStringLiteral("物品查找"));
    setModal(false);
    m_column = MakeChoiceList(this, 1055, {QStringLiteral("物品名称"), QStringLiteral("物品数量"), QStringLiteral("成本"),
                                           QStringLiteral("估值"), QStringLiteral("备注")});
    m_column->setCurrentIndex(-1);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("1056"));
    auto *find = MakeDialogButton(this, 1058, QStringLiteral("查找"), 169);
    m_next = MakeDialogButton(this, 1057, QStringLiteral("下一项"), 188);
    m_next->setEnabled(false);
    auto *cancel = MakeDialogButton(this, 1059, QStringLiteral("取消"), 183);
    connect(find, &QPushButton::clicked, this, &CArticleFindDlg::Find);
    connect(m_next, &QPushButton::clicked, this, &CArticleFindDlg::FindNext);
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("查找项目"), this), 0, 0);
    grid->addWidget(m_column, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("查找内容"), this), 1, 0);
    grid->addWidget(m_text, 1, 1);
    StackFieldsAndButtons(this, grid, {find, m_next, cancel}, false);
}

CArticleFindDlg::~CArticleFindDlg()
{
    if (g_pArticleFind == this)
        g_pArticleFind = nullptr;
}

void CArticleFindDlg::Find()
{
    if (m_column->currentIndex() < 0) {
        ShowMessage(QStringLiteral("请选择查找的项目"), QStringLiteral("错误"));
        return;
    }
    bool more = false;
    try {
        more = m_pOwner->m_articleBook.FindText(m_column->currentIndex(), m_text->text());
    } catch (const DbError &error) {
        ShowMessage(error.Message(), QStringLiteral("错误"), MessageIcon::Error);
    }
    m_next->setEnabled(more);
    m_pOwner->RefreshArticlePanel();
}

void CArticleFindDlg::FindNext()
{
    bool more = false;
    try {
        more = m_pOwner->m_articleBook.FindNext();
    } catch (const DbError &error) {
        ShowMessage(error.Message(), QStringLiteral("错误"), MessageIcon::Error);
    }
    m_next->setEnabled(more);
    m_pOwner->RefreshArticlePanel();
}

void CArticleFindDlg::reject()
{
    // Escape hides a dialog without closing it: the window goes all the same.
    QDialog::reject();
    if (g_pArticleFind == this)
        g_pArticleFind = nullptr;
    deleteLater();
}

void CArticleFindDlg::closeEvent(QCloseEvent *event)
{
    // Cancelled or closed: the window goes, and the next 物品查找 opens a new one.
    QDialog::closeEvent(event);
    if (g_pArticleFind == this)
        g_pArticleFind = nullptr;
    deleteLater();
}
