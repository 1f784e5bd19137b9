// 过滤选项: the income/expense list narrowed to the records since the chosen day's year, month or day,
// or all of them again.
#pragma once

#include <QDialog>

class CMoneyBook;
class QButtonGroup;
class QDateTimeEdit;

class CFilterDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CFilterDlg(CMoneyBook &book, QWidget *parent = nullptr);

    // 确定: "请选择过滤选项" without a choice; else the list is filtered and the dialog closes.
    bool Apply();

private:
    CMoneyBook &m_book;
    QDateTimeEdit *m_date;
    QButtonGroup *m_choice;
};
