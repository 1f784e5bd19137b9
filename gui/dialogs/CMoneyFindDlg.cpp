// The income/expense search.
#include "CMoneyFindDlg.h"

#include "db/CMoneyBook.h"
#include "common/Messages.h"
#include "controls/CCalcPad.h"
#include "controls/CEntryComboBox.h"
#include "controls/CIconButton.h"
#include "dialogs/CAmountEdit.h"
#include "dialogs/DialogParts.h"
#include "dialogs/FieldLimits.h"
#include "entry/ItemChoice.h"
#include "lists/ReferenceLists.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QGridLayout>

CMoneyFindDlg::CMoneyFindDlg(CMoneyBook &book, QWidget *parent)
    : CFindWindow(book, QStringLiteral("查找选项"), parent), m_moneyBook(book)
{
    m_date = MakeDatePicker(this, 1029);
    m_item = new CEntryComboBox(this);
    m_item->setObjectName(QStringLiteral("1031"));
    m_item->addItems(g_itemList);
    m_item->setCurrentIndex(-1);
    m_item->setMinimumWidth(160);
    // A chosen entry is searched by its bare name, as the records store it.
    connect(m_item, &CEntryComboBox::entryChosen, this,
            [this](int index) { m_item->ShowText(ParseItemChoice(m_item->itemText(index)).name); });
    m_amount = new CAmountEdit(this);
    m_amount->setObjectName(QStringLiteral("1033"));
    KeepNumberRule(m_amount, NumberKind::Any, 18);
    auto *calculator = MakeDialogButton(this, 1039, QString(), 185);
    connect(calculator, &QPushButton::clicked, this, &CMoneyFindDlg::OpenCalcPad);
    m_member = MakeMemberList(this, 1035);
    m_member->setCurrentIndex(-1);

    m_ignoreDate = MakeIgnoreBox(1028, QStringLiteral("忽略日期"), {m_date});
    m_ignoreItem = MakeIgnoreBox(1030, QStringLiteral("忽略收支项目"), {m_item});
    m_ignoreAmount = MakeIgnoreBox(1032, QStringLiteral("忽略金额"), {m_amount, calculator});
    m_ignoreMember = MakeIgnoreBox(1034, QStringLiteral("忽略家庭成员"), {m_member});

    auto *grid = new QGridLayout;
    grid->addWidget(m_ignoreDate, 0, 0);
    grid->addWidget(m_date, 0, 1);
    grid->addWidget(m_ignoreItem, 1, 0);
    grid->addWidget(m_item, 1, 1);
    grid->addWidget(m_ignoreAmount, 2, 0);
    grid->addWidget(m_amount, 2, 1);
    grid->addWidget(calculator, 2, 2);
    grid->addWidget(m_ignoreMember, 3, 0);
    grid->addWidget(m_member, 3, 1);
    StackFieldsAndButtons(this, grid, MakeButtons(1036, 1040, 1037));
    CCalcPad::Guard(this, {calculator});
}

CMoneyFindDlg::~CMoneyFindDlg()
{
    if (g_pCalcPad && g_pCalcPad->parent() == this)
        CCalcPad::CloseOpen();
}

QCheckBox *CMoneyFindDlg::MakeIgnoreBox(int id, const QString &caption, QList<QWidget *> controls)
{
    auto *box = new QCheckBox(caption, this);
    box->setObjectName(QString::number(id));
    connect(box, &QCheckBox::toggled, this, [controls](bool ignored) {
        CCalcPad::CloseOpen();
        for (QWidget *control : controls)
            control->setEnabled(!ignored);
    });
    return box;
}

void CMoneyFindDlg::OpenCalcPad()
{
    CCalcPad::Open(this, [this] { return m_amount; });
}

bool CMoneyFindDlg::StartFind(bool *more)
{
    if (m_ignoreDate->isChecked() && m_ignoreItem->isChecked() && m_ignoreAmount->isChecked()
        && m_ignoreMember->isChecked()) {
        ShowMessage(QStringLiteral("必须选择一项"), QStringLiteral("错误"));
        return false;
    }
    CMoneyBook &book = m_moneyBook;
    if (book.FindRecords(m_date->date().toString(QStringLiteral("yyyy-MM-dd")), !m_ignoreDate->isChecked(),
                         m_item->ShownText(), !m_ignoreItem->isChecked(), m_amount->text(),
                         !m_ignoreAmount->isChecked(), m_member->currentText(), !m_ignoreMember->isChecked()))
        *more = book.FindNext();
    return true;
}

void CMoneyFindDlg::BeforeStep()
{
    CCalcPad::CloseOpen();
}

void CMoneyFindDlg::reject()
{
    CCalcPad::CloseOpen();
    CFindWindow::reject();
}
