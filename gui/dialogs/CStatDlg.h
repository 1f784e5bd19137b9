// 统计图表: the seven statistics charts of the ledger, chosen in a list; the range charts over the days
// of the two date pickers, the annual ones stepping year by year, the budget month by month.
#pragma once

#include "stats/StatNavigator.h"

#include <QDialog>
#include <memory>

class CIconButton;
class CMoneyBook;
class CMoneyFigures;
class CStatPanel;
class CTintedComboBox;
class QDateTimeEdit;
class SqlConnection;

class CStatDlg : public QDialog
{
    Q_OBJECT
public:
    // Throws DbError when the ledger cannot be read.
    explicit CStatDlg(CMoneyBook &book, QWidget *parent = nullptr);
    ~CStatDlg() override;

    CStatPanel *Panel() const { return m_panel; }
    const CStatNavigator &Navigator() const { return m_navigator; }

    // The list's choice confirmed: the kind set up anew and drawn.
    void ChooseKind(int index);
    void StartDayChosen(const QDate &day);
    void EndDayChosen(const QDate &day);
    // The stepping buttons: the year or the month before or after.
    void StepBack();
    void StepOn();

private:
    void Redraw();
    void ShowRange();
    // Runs a step; a database failure is told and the chart stays as it was.
    void Guarded(const std::function<void()> &step);

    CMoneyBook &m_book;
    std::shared_ptr<SqlConnection> m_db;
    std::unique_ptr<CMoneyFigures> m_figures;
    CStatNavigator m_navigator;
    CStatPanel *m_panel;
    QDateTimeEdit *m_start;
    QDateTimeEdit *m_end;
    CTintedComboBox *m_kinds;
    CIconButton *m_previous;
    CIconButton *m_next;
};
