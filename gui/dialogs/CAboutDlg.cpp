// The about box.
#include "CAboutDlg.h"

#include "controls/CIconButton.h"
#include "dialogs/DialogParts.h"

#include <QIcon>
#include <QGridLayout>
#include <QLabel>

CAboutDlg::CAboutDlg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("关于 Zarvel"));
    auto *picture = new QLabel(this);
    picture->setPixmap(QIcon::fromTheme(QStringLiteral("wallet-open")).pixmap(48, 48));
    auto *name = new QLabel(QStringLiteral("Zarvel 家庭理财 V1.07"), this);
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    auto *line2 = new QLabel(QStringLiteral("家庭收支、储蓄、财产、保险、债权债务与备忘的帐本"), this);
    auto *line3 = new QLabel(QStringLiteral("数据保存在本机，只属于您的家庭。"), this);
    auto *ok = MakeDialogButton(this, 1, QStringLiteral("确定"), 182);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto *grid = new QGridLayout;
    grid->addWidget(picture, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(name, 0, 1);
    grid->addWidget(line2, 1, 1);
    grid->addWidget(line3, 2, 1);
    StackFieldsAndButtons(this, grid, {ok});
}
