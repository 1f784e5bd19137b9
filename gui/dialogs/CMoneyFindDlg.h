// 查找选项: the modeless search over the income/expense records by date, item, amount and member, each
// of which can be ignored. One exists at a time (its panel's); it goes when cancelled or when the
// income/expense panel is left.
#pragma once

#include "dialogs/CFindWindow.h"

class CEntryComboBox;
class CMoneyBook;
class QCheckBox;
class QDateTimeEdit;

class CMoneyFindDlg : public CFindWindow
{
    Q_OBJECT
public:
    explicit CMoneyFindDlg(CMoneyBook &book, QWidget *parent = nullptr);
    ~CMoneyFindDlg() override;

    void OpenCalcPad();

public slots:
    void reject() override;

protected:
    // "必须选择一项" when every criterion is ignored; else the matches, the first selected.
    bool StartFind(bool *more) override;
    void BeforeStep() override;

private:
    // A 忽略 box and the controls of its criterion, disabled while it is checked.
    QCheckBox *MakeIgnoreBox(int id, const QString &caption, QList<QWidget *> controls);

    CMoneyBook &m_moneyBook;

    QCheckBox *m_ignoreDate, *m_ignoreItem, *m_ignoreAmount, *m_ignoreMember;
    QDateTimeEdit *m_date;
    CEntryComboBox *m_item;
    QLineEdit *m_amount;
    CTintedComboBox *m_member;
};
