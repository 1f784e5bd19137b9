// 关于 Zarvel: the program's name and version, what it is, and 确定.
#pragma once

#include <QDialog>

class CAboutDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget *parent = nullptr);
};
