// Main window start-up and exit.
#include "CMainDlg.h"

#include "common/Messages.h"
#include "db/CMoneyRecord.h"
#include "db/DbError.h"
#include "lists/ReferenceLists.h"

#include <QCloseEvent>
#include <QKeyEvent>

CMainDlg::CMainDlg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Zarvel V1.07"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    resize(600, 420);
    InitLedger();
}

CMainDlg::~CMainDlg() = default;

void CMainDlg::InitLedger()
{
    LoadAllListFiles();
    try {
        CMoneyRecord money;
        money.m_strSort = QStringLiteral("Date");
        money.Open();
        money.Close();
    } catch (const DbError &error) {
        ShowMessage(error.Message(), QStringLiteral("数据库错误"), MessageIcon::Error);
    }
}

void CMainDlg::closeEvent(QCloseEvent *event)
{
    if (!AskYesNo(QStringLiteral("确定退出系统吗?"), QStringLiteral("退出"))) {
        event->ignore();
        return;
    }
    event->accept();
    QDialog::closeEvent(event);
}

void CMainDlg::keyPressEvent(QKeyEvent *event)
{
    // Escape and Return go to the focused control only; neither ends the main window.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
