// The asset-kind editor.
#include "CArticleKindDlg.h"

#include "common/Messages.h"
#include "controls/CIconButton.h"
#include "dialogs/DialogParts.h"
#include "lists/ListEditing.h"
#include "lists/ReferenceLists.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

CArticleKindDlg::CArticleKindDlg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("物品种类"));
    m_majors = new QListWidget(this);
    m_majors->setObjectName(QStringLiteral("1213"));
    m_minors = new QListWidget(this);
    m_minors->setObjectName(QStringLiteral("1214"));
    for (QListWidget *list : {m_majors, m_minors}) {
        list->setMinimumSize(160, 220);
        list->installEventFilter(this);
    }
    m_major = MakeTextField(this, 1215, 30);
    m_minor = MakeTextField(this, 1216, 30);
    GuardReservedChar(m_major);
    GuardReservedChar(m_minor);

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("物品大类"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("物品细类"), this), 0, 1);
    grid->addWidget(m_majors, 1, 0);
    grid->addWidget(m_minors, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("编辑物品大类"), this), 2, 0);
    grid->addWidget(new QLabel(QStringLiteral("编辑物品细类"), this), 2, 1);
    grid->addWidget(m_major, 3, 0);
    grid->addWidget(m_minor, 3, 1);
    auto *add = MakeDialogButton(this, 1217, QStringLiteral("添加"), 166);
    auto *remove = MakeDialogButton(this, 1218, QStringLiteral("删除"), 167);
    auto *modify = MakeDialogButton(this, 1219, QStringLiteral("修改"), 168);
    auto *save = MakeDialogButton(this, 1220, QStringLiteral("保存"), 182);
    auto *cancel = MakeDialogButton(this, 1221, QStringLiteral("取消"), 183);
    connect(add, &QPushButton::clicked, this, &CArticleKindDlg::Add);
    connect(remove, &QPushButton::clicked, this, &CArticleKindDlg::Delete);
    connect(modify, &QPushButton::clicked, this, &CArticleKindDlg::Modify);
    connect(save, &QPushButton::clicked, this, &CArticleKindDlg::Save);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    StackFieldsAndButtons(this, grid, {add, remove, modify, save, cancel});

    connect(m_majors, &QListWidget::currentRowChanged, this, &CArticleKindDlg::FillMinors);
    connect(m_minors, &QListWidget::currentRowChanged, this, [this] { m_minor->setText(SelectedMinor()); });
    SetMajorMode(true);
    FillMajors(0);
}

bool CArticleKindDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn && (watched == m_majors || watched == m_minors))
        SetMajorMode(watched == m_majors);
    return QDialog::eventFilter(watched, event);
}

void CArticleKindDlg::SetMajorMode(bool major)
{
    m_bMajorMode = major;
    m_major->setEnabled(major);
    m_minor->setEnabled(!major);
}

QString CArticleKindDlg::SelectedMajor() const
{
    return m_majors->currentItem() ? m_majors->currentItem()->text() : QString();
}

QString CArticleKindDlg::SelectedMinor() const
{
    return m_minors->currentItem() ? m_minors->currentItem()->text() : QString();
}

void CArticleKindDlg::FillMajors(int selectedRow)
{
    const QSignalBlocker quiet(m_majors);
    m_majors->clear();
    m_majors->addItems(MajorKinds());
    m_majors->setCurrentRow(std::min(selectedRow, m_majors->count() - 1));
    FillMinors();
}

void CArticleKindDlg::FillMinors()
{
    const QSignalBlocker quiet(m_minors);
    m_minors->clear();
    m_minors->addItems(MinorKinds(SelectedMajor()));
    m_major->setText(SelectedMajor());
    m_minor->clear();
}

void CArticleKindDlg::SelectMinor(const QString &minor)
{
    const QList<QListWidgetItem *> found = m_minors->findItems(minor, Qt::MatchExactly);
    if (!found.isEmpty())
        m_minors->setCurrentItem(found.first());
    m_minor->setText(minor);
}

bool CArticleKindDlg::Passed(const QString &refusal)
{
    if (refusal.isEmpty())
        return true;
    ShowMessage(refusal, QStringLiteral("错误"));
    return false;
}

void CArticleKindDlg::Add()
{
    if (m_bMajorMode) {
        if (!AddMajorKind().isEmpty())
            FillMajors(m_majors->count());  // the new kind, last
        return;
    }
    const QString added = AddMinorKind(SelectedMajor());
    if (!added.isEmpty()) {
        FillMinors();
        SelectMinor(added);
    }
}

void CArticleKindDlg::Delete()
{
    const QString major = SelectedMajor();
    if (major.isNull())
        return;
    if (m_bMajorMode) {
        DeleteMajorKind(major);
        FillMajors(m_majors->currentRow());
        return;
    }
    const QString minor = SelectedMinor();
    if (minor.isNull())
        return;
    DeleteMinorKind(major, minor);
    // A kind whose last name went is no longer in the list: it leaves the major list too, and the
    // kind now at its place is chosen, so that the major list always shows the list's kinds.
    if (MinorKinds(major).isEmpty())
        FillMajors(m_majors->currentRow());
    else
        FillMinors();
}

void CArticleKindDlg::Modify()
{
    const QString major = SelectedMajor();
    if (major.isNull())
        return;
    if (m_bMajorMode) {
        if (Passed(RenameMajorKind(major, m_major->text())))
            FillMajors(m_majors->currentRow());
        return;
    }
    const QString minor = SelectedMinor();
    if (minor.isNull())
        return;
    const QString renamed = m_minor->text();
    if (Passed(RenameMinorKind(major, minor, renamed))) {
        FillMinors();
        SelectMinor(renamed);
    }
}

void CArticleKindDlg::Save()
{
    SaveArticleFile();  // reports its own failure; the kinds stay in memory either way
    accept();
}
