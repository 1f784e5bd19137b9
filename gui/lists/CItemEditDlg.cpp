// The reference-list editor.
#include "CItemEditDlg.h"

#include "common/Messages.h"
#include "controls/CIconButton.h"
#include "dialogs/CAmountEdit.h"
#include "dialogs/DialogParts.h"
#include "dialogs/FieldLimits.h"
#include "lists/ReferenceLists.h"

#include <QButtonGroup>
#include <QFontInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QVBoxLayout>

CItemEditDlg::CItemEditDlg(ListMode mode, QWidget *parent) : QDialog(parent), m_nMode(mode)
{
    setWindowTitle(QStringLiteral("收支项目"));
    m_lines = new QListWidget(this);
    m_lines->setObjectName(QStringLiteral("1203"));
    m_lines->setMinimumSize(220, 260);
    // Every line is one line of text: the list lays out thousands of lines without measuring each.
    m_lines->setUniformItemSizes(true);
    m_content = MakeTextField(this, 1204, ContentLimit(mode));
    GuardReservedChar(m_content);
    m_rate = new CAmountEdit(this);
    m_rate->setObjectName(QStringLiteral("1214"));
    KeepNumberRule(m_rate, NumberKind::Unsigned, 9);
    m_kind = new QButtonGroup(this);
    const QStringList words = KindWords(mode);
    for (int i = 0; i < 2; ++i) {
        auto *choice = new QRadioButton(words.at(i), this);
        choice->setObjectName(QString::number(1212 + i));
        choice->setVisible(HasKindWords(mode));
        m_kind->addButton(choice, i);
    }
    struct Button
    {
        int id;
        const char *caption;
        int icon;
        void (CItemEditDlg::*action)();
    };
    const Button buttons[] = {{1205, "添加", 166, &CItemEditDlg::Add},      {1207, "删除", 167, &CItemEditDlg::Delete},
                              {1206, "修改", 168, &CItemEditDlg::Modify},   {1208, "上移", 197, &CItemEditDlg::MoveUp},
                              {1209, "下移", 196, &CItemEditDlg::MoveDown}, {1211, "保存", 182, &CItemEditDlg::Save}};
    auto *column = new QVBoxLayout;
    column->addWidget(new QLabel(QStringLiteral("编辑内容"), this));
    column->addWidget(m_content);
    column->addWidget(m_rate);
    auto *kinds = new QHBoxLayout;
    for (QAbstractButton *choice : m_kind->buttons())
        kinds->addWidget(choice);
    column->addLayout(kinds);
    for (const Button &button : buttons) {
        CIconButton *made = MakeDialogButton(this, button.id, QString::fromUtf8(button.caption), button.icon);
        connect(made, &QPushButton::clicked, this, button.action);
        // The rate table has its sixteen fixed lines: only 修改 and 保存 act on it.
        if (mode == ListMode::Rates && button.id != 1206 && button.id != 1211)
            made->setEnabled(false);
        column->addWidget(made);
    }
    auto *cancel = MakeDialogButton(this, 1210, QStringLiteral("取消"), 183);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    column->addWidget(cancel);
    column->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_lines, 1);
    layout->addLayout(column);

    if (mode == ListMode::Rates) {
        // The rate lines align their values with blanks, as on a fixed-width page.
        QFont fixed(QStringLiteral("Noto Sans Mono CJK SC"));
        fixed.setStyleHint(QFont::Monospace);
        fixed.setPixelSize(QFontInfo(font()).pixelSize());
        m_lines->setFont(fixed);
    }
    m_content->setVisible(mode != ListMode::Rates);
    m_rate->setVisible(mode == ListMode::Rates);
    connect(m_lines, &QListWidget::currentRowChanged, this, &CItemEditDlg::LineChosen);
    Fill(-1);
    // The editor opens with no line chosen: the list, focused first, would choose its first line.
    (mode == ListMode::Rates ? m_rate : m_content)->setFocus();
}

void CItemEditDlg::Fill(int selectedRow)
{
    const QSignalBlocker quiet(m_lines);
    QStringList lines;
    if (m_nMode == ListMode::Rates) {
        for (int slot = 0; slot < kRateCount; ++slot)
            lines << RateLine(slot);
    } else {
        lines = *ListOf(m_nMode);
    }
    // The lines the list kept at either end stay as they are: an add, a change, a move or a delete
    // touches one or two lines of the widget, not every line of a list of thousands.
    const int shown = m_lines->count();
    int first = 0;
    while (first < shown && first < lines.size() && m_lines->item(first)->text() == lines.at(first))
        ++first;
    int lastShown = shown - 1;
    int lastLine = int(lines.size()) - 1;
    while (lastShown >= first && lastLine >= first && m_lines->item(lastShown)->text() == lines.at(lastLine)) {
        --lastShown;
        --lastLine;
    }
    int row = first;
    for (; row <= lastShown && row <= lastLine; ++row)
        m_lines->item(row)->setText(lines.at(row));
    for (int surplus = lastShown; surplus >= row; --surplus)
        delete m_lines->takeItem(surplus);
    for (int missing = row; missing <= lastLine; ++missing)
        m_lines->insertItem(missing, lines.at(missing));
    m_lines->setCurrentRow(selectedRow);
    if (selectedRow < 0)
        m_lines->clearSelection();
}

void CItemEditDlg::LineChosen(int row)
{
    if (row < 0)
        return;
    const ListLine line = SplitLine(m_nMode, m_lines->item(row)->text());
    if (m_nMode == ListMode::Rates) {
        m_rate->setText(line.content);
        return;
    }
    if (HasKindWords(m_nMode))
        m_kind->button(line.kind)->setChecked(true);
    m_content->setText(line.content);
}

int CItemEditDlg::KindChosen() const
{
    return m_kind->checkedId();
}

bool CItemEditDlg::Passed(const QString &refusal)
{
    if (refusal.isEmpty())
        return true;
    ShowMessage(refusal, QStringLiteral("错误"));
    return false;
}

void CItemEditDlg::Add()
{
    if (m_nMode == ListMode::Rates)
        return;
    if (Passed(AddListEntry(m_nMode, m_content->text(), KindChosen())))
        Fill(m_lines->currentRow());
}

void CItemEditDlg::Modify()
{
    const int row = m_lines->currentRow();
    if (row < 0)
        return;
    const QString refusal = m_nMode == ListMode::Rates ? ModifyRate(row, m_rate->text())
                                                        : ModifyListEntry(m_nMode, row, m_content->text(), KindChosen());
    if (Passed(refusal))
        Fill(row);
}

void CItemEditDlg::Delete()
{
    if (m_nMode != ListMode::Rates && DeleteListEntry(m_nMode, m_lines->currentRow()))
        Fill(-1);
}

void CItemEditDlg::Move(bool up)
{
    const int row = m_lines->currentRow();
    if (m_nMode != ListMode::Rates && MoveListEntry(m_nMode, row, up))
        Fill(up ? row - 1 : row + 1);
}

void CItemEditDlg::Save()
{
    // The save reports its own failure; the changes stay in memory either way.
    switch (m_nMode) {
    case ListMode::Items: SaveItemFile(); break;
    case ListMode::Banks: SaveBankFile(); break;
    case ListMode::Currencies: SaveMkindFile(); break;
    case ListMode::InsOrgans: SaveInsorganFile(); break;
    case ListMode::InsKinds: SaveInskindFile(); break;
    case ListMode::CurNotes: SaveCurnoteFile(); break;
    case ListMode::Rates: SaveRateFile(); break;
    }
    accept();
}
