// The income/expense filter.
#include "CFilterDlg.h"

#include "db/CMoneyBook.h"
#include "common/Messages.h"
#include "controls/CIconButton.h"
#include "db/DbError.h"
#include "dialogs/DialogParts.h"
#include "entry/MemoRules.h"

#include <QButtonGroup>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

CFilterDlg::CFilterDlg(CMoneyBook &book, QWidget *parent) : QDialog(parent), m_book(book)
{
    setWindowTitle(QStringLiteral("过滤选项"));
    m_date = MakeDatePicker(this, 1020);
    auto *group = new QGroupBox(QStringLiteral("过滤选项"), this);
    auto *choices = new QVBoxLayout(group);
    m_choice = new QButtonGroup(this);
    const QStringList captions{QStringLiteral("   显示所选年份以来"), QStringLiteral("   显示所选月份以来"),
                               QStringLiteral("   显示所选日期以来"), QStringLiteral("      全部显示")};
    for (int position = 0; position < captions.size(); ++position) {
        auto *choice = new QRadioButton(captions.at(position), group);
        choice->setObjectName(QString::number(1023 + position));
        m_choice->addButton(choice, position);
        choices->addWidget(choice);
    }
    auto *apply = MakeDialogButton(this, 1021, QStringLiteral("确定"), 182);
    auto *cancel = MakeDialogButton(this, 1022, QStringLiteral("取消"), 183);
    connect(apply, &QPushButton::clicked, this, &CFilterDlg::Apply);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *grid = new QGridLayout;
    AddLabelledField(grid, 0, 0, QStringLiteral("选择日期"), m_date);
    grid->addWidget(group, 1, 0, 1, 2);
    StackFieldsAndButtons(this, grid, {apply, cancel});
}

bool CFilterDlg::Apply()
{
    const int position = m_choice->checkedId();
    if (position < 0) {
        ShowMessage(QStringLiteral("请选择过滤选项"), QStringLiteral("错误"));
        return false;
    }
    try {
        m_book.SetFilter(FilterCondition(FilterChoice(position), m_date->date()));
    } catch (const DbError &error) {
        ShowMessage(error.Message(), QStringLiteral("错误"), MessageIcon::Error);
        return false;
    }
    accept();
    return true;
}
