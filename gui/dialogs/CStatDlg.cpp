// The statistics dialog.
#include "CStatDlg.h"

#include "db/CMoneyBook.h"
#include "charts/CStatPanel.h"
#include "common/LedgerDate.h"
#include "common/Messages.h"
#include "common/Paths.h"
#include "controls/CIconButton.h"
#include "controls/CTintedComboBox.h"
#include "db/DbError.h"
#include "db/Ledger.h"
#include "db/SqlConnection.h"
#include "dialogs/DialogParts.h"
#include "stats/MoneyFigures.h"

#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

CStatDlg::CStatDlg(CMoneyBook &book, QWidget *parent) : QDialog(parent), m_book(book)
{
    setWindowTitle(QStringLiteral("统计图表"));
    m_db = OpenLedgerDatabase();
    m_figures = std::make_unique<CMoneyFigures>(*m_db);
    m_panel = new CStatPanel(this);
    m_panel->setObjectName(QStringLiteral("1179"));
    m_panel->setFixedSize(486, 330);
    m_start = MakeDatePicker(this, 1180);
    m_end = MakeDatePicker(this, 1181);
    QStringList kinds;
    for (int kind = 0; kind < kStatKindCount; ++kind)
        kinds << StatKindName(StatKind(kind));
    m_kinds = MakeChoiceList(this, 1182, kinds);
    m_previous = MakeDialogButton(this, 1183, QString(), 191);
    m_next = MakeDialogButton(this, 1184, QString(), 196);
    for (CIconButton *button : {m_previous, m_next})
        button->setFixedSize(36, 30);
    m_previous->setToolTip(QStringLiteral("上一年"));
    m_next->setToolTip(QStringLiteral("下一年"));
    auto *close = MakeDialogButton(this, 1185, QStringLiteral("关闭"), 189);
    close->setMinimumSize(80, 36);

    connect(m_kinds, &QComboBox::activated, this, &CStatDlg::ChooseKind);
    connect(m_start, &QDateTimeEdit::dateChanged, this, &CStatDlg::StartDayChosen);
    connect(m_end, &QDateTimeEdit::dateChanged, this, &CStatDlg::EndDayChosen);
    connect(m_previous, &QPushButton::clicked, this, &CStatDlg::StepBack);
    connect(m_next, &QPushButton::clicked, this, &CStatDlg::StepOn);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto *controls = new QHBoxLayout;
    controls->addWidget(new QLabel(QStringLiteral("从"), this));
    controls->addWidget(m_start);
    controls->addWidget(new QLabel(QStringLiteral("到"), this));
    controls->addWidget(m_end);
    controls->addWidget(m_kinds, 1);
    controls->addWidget(m_previous);
    controls->addWidget(m_next);
    controls->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 6, 6);
    layout->addWidget(m_panel);
    layout->addLayout(controls);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_kinds->setCurrentIndex(0);
    ChooseKind(0);
}

CStatDlg::~CStatDlg() = default;

void CStatDlg::Guarded(const std::function<void()> &step)
{
    try {
        step();
    } catch (const DbError &error) {
        ShowMessage(error.Message(), QStringLiteral("错误"), MessageIcon::Error);
    }
}

void CStatDlg::ChooseKind(int index)
{
    if (index < 0 || index >= kStatKindCount)
        return;
    m_panel->Clear();
    Guarded([&] {
        m_navigator.Choose(StatKind(index), m_book.GetFirstDate(), m_book.GetLastDate(), LedgerNow());
        const bool range = m_navigator.IsRangeKind();
        m_start->setEnabled(range);
        m_end->setEnabled(range);
        if (range)
            ShowRange();
        Redraw();
    });
}

void CStatDlg::ShowRange()
{
    // The pickers show the range and keep within it; setting them is not a choice of the user's.
    const QSignalBlocker blockStart(m_start), blockEnd(m_end);
    for (QDateTimeEdit *picker : {m_start, m_end})
        picker->setDateRange(m_navigator.FirstDay(), m_navigator.LastDay());
    m_start->setDate(m_navigator.Start().date());
    m_end->setDate(m_navigator.End().date());
}

void CStatDlg::StartDayChosen(const QDate &day)
{
    if (!m_navigator.IsRangeKind())
        return;
    m_navigator.SetStartDay(day);
    Guarded([&] { Redraw(); });
}

void CStatDlg::EndDayChosen(const QDate &day)
{
    if (!m_navigator.IsRangeKind())
        return;
    m_navigator.SetEndDay(day);
    Guarded([&] { Redraw(); });
}

void CStatDlg::StepBack()
{
    m_navigator.StepBack();
    Guarded([&] { Redraw(); });
}

void CStatDlg::StepOn()
{
    m_navigator.StepOn();
    Guarded([&] { Redraw(); });
}

void CStatDlg::Redraw()
{
    const bool months = m_navigator.IsMonthKind();
    m_previous->setToolTip(months ? QStringLiteral("上个月") : QStringLiteral("上一年"));
    m_next->setToolTip(months ? QStringLiteral("下个月") : QStringLiteral("下一年"));
    m_previous->setEnabled(m_navigator.CanGoBack());
    m_next->setEnabled(m_navigator.CanGoOn());
    m_panel->Draw(m_navigator.Kind(), m_navigator.Chart(*m_figures, m_panel->GetHoldings()));
}
