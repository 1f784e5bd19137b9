// The calculator pad: a small keypad that opens below an amount field and uses that field as its
// display. One pad exists in the whole program at a time (g_pCalcPad).
#pragma once

#include "entry/CalcEngine.h"

#include <QWidget>
#include <functional>

class QAbstractButton;
class QDialog;
class QLineEdit;

class CCalcPad : public QWidget
{
    Q_OBJECT
public:
    // The target field, looked up at every read and write (three-field owners switch it).
    using Target = std::function<QLineEdit *()>;

    // Owners with one amount field: opens a pad unless one is open. Returns the pad, or null.
    static CCalcPad *Open(QWidget *owner, const Target &target);
    // Owners with several amount fields: an open pad is closed first.
    static CCalcPad *Reopen(QWidget *owner, const Target &target);
    // Destroys the open pad, if any, and clears the program-wide pointer.
    static void CloseOpen();

    // Makes the owner close the pad when the user clicks it, focuses one of its fields, moves or
    // closes it, or presses any button but its calculator buttons. One line per owner dialog.
    static void Guard(QDialog *owner, std::initializer_list<QAbstractButton *> calculatorButtons);

    void PressKey(const QString &key);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    CCalcPad(QWidget *owner, const Target &target);
    Target m_target;
    CalcEngine m_engine;
};

extern CCalcPad *g_pCalcPad;
