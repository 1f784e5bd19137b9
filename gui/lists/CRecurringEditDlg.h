// A recurring record's template: the record (item, amount, member, note) and its rule (every n days,
// weeks, months on a day, or years; from a first date, until an end date or for a number of times).
#pragma once

#include "recurring/CRecurringBook.h"

#include <QDialog>

class CAmountEdit;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QPlainTextEdit;
class QSpinBox;

class CRecurringEditDlg : public QDialog
{
    Q_OBJECT
public:
    CRecurringEditDlg(const RecurringTemplate &recurring, QWidget *parent = nullptr);

    // The template as the fields say; Problem() is empty when it can be kept.
    RecurringTemplate Template() const;
    QString Problem() const;

    QComboBox *Item() const { return m_item; }
    CAmountEdit *Amount() const { return m_amount; }
    QComboBox *Unit() const { return m_unit; }
    QSpinBox *Every() const { return m_every; }
    QSpinBox *DayOfMonth() const { return m_day; }
    QDateEdit *First() const { return m_first; }
    QCheckBox *Ends() const { return m_ends; }
    QDateEdit *End() const { return m_end; }
    QSpinBox *Times() const { return m_times; }

    void accept() override;  // kept only when the template has no problem (told otherwise)

private:
    RecurringTemplate m_template;
    QComboBox *m_item;
    CAmountEdit *m_amount;
    QComboBox *m_member;
    QPlainTextEdit *m_note;
    QComboBox *m_unit;
    QSpinBox *m_every, *m_day, *m_times;
    QDateEdit *m_first, *m_end;
    QCheckBox *m_ends;
};
