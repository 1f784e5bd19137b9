// The editor of a recurring record's template.
#include "CRecurringEditDlg.h"

#include "common/Amount.h"
#include "common/Messages.h"
#include "controls/CCalcPad.h"
#include "controls/CIconButton.h"
#include "controls/CTintedComboBox.h"
#include "dialogs/CAmountEdit.h"
#include "dialogs/DialogParts.h"
#include "entry/AmountRules.h"
#include "entry/ItemChoice.h"
#include "lists/ReferenceLists.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {

const QString kCaption = QStringLiteral("周期收支");

QDateEdit *MakeDay(QWidget *parent, const QDate &day)
{
    auto *edit = new QDateEdit(day.isValid() ? day : QDate::currentDate(), parent);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setCalendarPopup(true);
    edit->setMinimumDate(QDate(1900, 1, 1));
    return edit;
}

} // namespace

CRecurringEditDlg::CRecurringEditDlg(const RecurringTemplate &recurring, QWidget *parent) : QDialog(parent), m_template(recurring)
{
    setWindowTitle(recurring.id == 0 ? QStringLiteral("添加周期收支") : QStringLiteral("修改周期收支"));
    const bool income = recurring.amount > 0;
    m_item = new QComboBox(this);
    m_item->addItems(g_itemList);
    m_item->setCurrentIndex(-1);
    for (int i = 0; i < m_item->count(); ++i) {
        const ItemChoice choice = ParseItemChoice(m_item->itemText(i));
        if (choice.name == recurring.item && choice.income == income)
            m_item->setCurrentIndex(i);
    }
    if (!recurring.item.isEmpty() && m_item->currentIndex() < 0) {
        // An item since taken off the list: the template keeps its own until another is chosen.
        m_item->addItem((income ? QStringLiteral("收入    ") : QStringLiteral("支出    ")) + recurring.item);
        m_item->setCurrentIndex(m_item->count() - 1);
    }
    m_amount = new CAmountEdit(this);
    m_amount->setMaxLength(18);
    if (recurring.amount != 0)
        m_amount->setText(TrimAmount(std::fabs(recurring.amount)));
    auto *calculator = MakeDialogButton(this, 0, QString(), 185);
    connect(calculator, &QPushButton::clicked, this, [this] { CCalcPad::Open(this, [this] { return static_cast<QLineEdit *>(m_amount); }); });
    m_member = MakeMemberList(this, 0);
    if (!recurring.member.isEmpty()) {
        if (m_member->findText(recurring.member) < 0)
            m_member->addItem(recurring.member);
        m_member->setCurrentText(recurring.member);
    } else if (recurring.id != 0 && m_member->count() > 0) {
        // A template kept without a member stays so unless one is chosen.
        m_member->insertItem(0, QString());
        m_member->setCurrentIndex(0);
    }
    m_note = MakeNoteField(this, 0, CMoneyBook::kNoteBytes);
    m_note->setPlainText(recurring.note);

    const RecurringRule &rule = recurring.rule;
    m_every = new QSpinBox(this);
    m_every->setRange(1, kLongestInterval);
    m_every->setValue(std::clamp(rule.every, 1, kLongestInterval));
    m_unit = new QComboBox(this);
    m_unit->addItems({QStringLiteral("天"), QStringLiteral("周"), QStringLiteral("月"), QStringLiteral("年")});
    m_unit->setCurrentIndex(int(rule.unit));
    m_day = new QSpinBox(this);
    m_day->setRange(0, 31);
    m_day->setSpecialValueText(QStringLiteral("同开始日"));
    m_day->setSuffix(QStringLiteral(" 日"));
    m_day->setValue(std::clamp(rule.dayOfMonth, 0, 31));
    m_day->setToolTip(QStringLiteral("月份较短时记在该月最后一天"));
    connect(m_unit, &QComboBox::currentIndexChanged, this, [this](int unit) { m_day->setEnabled(unit == int(RepeatUnit::Months)); });
    m_day->setEnabled(rule.unit == RepeatUnit::Months);
    m_first = MakeDay(this, rule.first);
    m_ends = new QCheckBox(QStringLiteral("结束于"), this);
    m_ends->setChecked(rule.end.isValid());
    m_end = MakeDay(this, rule.end.isValid() ? rule.end : m_first->date().addYears(1));
    m_end->setEnabled(rule.end.isValid());
    connect(m_ends, &QCheckBox::toggled, m_end, &QWidget::setEnabled);
    m_times = new QSpinBox(this);
    m_times->setRange(0, 99999);
    m_times->setSpecialValueText(QStringLiteral("不限"));
    m_times->setSuffix(QStringLiteral(" 次"));
    m_times->setValue(std::max(0, rule.times));

    auto *save = MakeDialogButton(this, 0, QStringLiteral("保存"), 182);
    auto *cancel = MakeDialogButton(this, 0, QStringLiteral("取消"), 183);
    connect(save, &QPushButton::clicked, this, &CRecurringEditDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("收支项目"), this), 0, 0);
    grid->addWidget(m_item, 0, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("金    额"), this), 1, 0);
    grid->addWidget(m_amount, 1, 1, 1, 2);
    grid->addWidget(calculator, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("家庭成员"), this), 2, 0);
    grid->addWidget(m_member, 2, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("每隔"), this), 3, 0);
    grid->addWidget(m_every, 3, 1);
    grid->addWidget(m_unit, 3, 2);
    grid->addWidget(m_day, 3, 3);
    grid->addWidget(new QLabel(QStringLiteral("开始日期"), this), 4, 0);
    grid->addWidget(m_first, 4, 1, 1, 2);
    grid->addWidget(m_ends, 5, 0);
    grid->addWidget(m_end, 5, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("最多"), this), 6, 0);
    grid->addWidget(m_times, 6, 1, 1, 2);
    AddLabelledNote(grid, 7, QStringLiteral("备    注"), m_note, 3);
    StackFieldsAndButtons(this, grid, {save, cancel});
    CCalcPad::Guard(this, {calculator});
}

RecurringTemplate CRecurringEditDlg::Template() const
{
    RecurringTemplate recurring = m_template;
    const ItemChoice choice = ParseItemChoice(m_item->currentText());
    recurring.item = m_item->currentIndex() >= 0 ? choice.name : QString();
    QString amount = m_amount->text();
    recurring.amount = CheckAmount(&amount).isEmpty() ? (choice.income ? 1 : -1) * std::fabs(amount.toDouble()) : 0;
    recurring.member = m_member->currentIndex() >= 0 && m_member->currentText() != kNoMemberHint ? m_member->currentText() : QString();
    recurring.note = m_note->toPlainText();
    RecurringRule &rule = recurring.rule;
    rule.unit = RepeatUnit(m_unit->currentIndex());
    rule.every = m_every->value();
    rule.dayOfMonth = rule.unit == RepeatUnit::Months ? m_day->value() : 0;
    rule.first = m_first->date();
    rule.end = m_ends->isChecked() ? m_end->date() : QDate();
    rule.times = m_times->value();
    return recurring;
}

QString CRecurringEditDlg::Problem() const
{
    QString amount = m_amount->text();
    const QString amountProblem = CheckAmount(&amount).trimmed();
    if (m_item->currentIndex() < 0)
        return QStringLiteral("请选择收支项目");
    if (!amountProblem.isEmpty())
        return amountProblem;
    return RecurringTemplateProblem(Template());
}

void CRecurringEditDlg::accept()
{
    CCalcPad::CloseOpen();
    const QString problem = Problem();
    if (!problem.isEmpty()) {
        ShowMessage(problem, kCaption);
        return;
    }
    QDialog::accept();
}
