// The edit field of every amount, rate and quantity: only digits, backspace, '+', '-' and '.' get through.
#pragma once

#include <QLineEdit>

class CAmountEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit CAmountEdit(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
