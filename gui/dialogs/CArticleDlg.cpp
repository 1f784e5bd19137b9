// Asset entry.
#include "CArticleDlg.h"

#include "common/Messages.h"
#include "controls/CCalcPad.h"
#include "controls/CIconButton.h"
#include "controls/CTintedComboBox.h"
#include "db/DbError.h"
#include "dialogs/CAmountEdit.h"
#include "dialogs/DialogParts.h"
#include "dialogs/FieldLimits.h"
#include "entry/ArticleRules.h"
#include "lists/ReferenceLists.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalBlocker>

namespace {

CAmountEdit *MakeNumberField(QWidget *parent, int id, NumberKind kind)
{
    auto *field = new CAmountEdit(parent);
    field->setObjectName(QString::number(id));
    KeepNumberRule(field, kind, 18);
    return field;
}

} // namespace

CArticleDlg::CArticleDlg(CArticleBook &book, EntryMode mode, QWidget *parent)
    : CEntryDialog(parent, mode, true), m_book(book), m_bModify(mode == EntryMode::Modify)
{
    setWindowTitle(QStringLiteral("实物资产记录"));
    m_kind = MakeChoiceList(this, 1043, ArticleKinds(g_articleKindList));
    m_kind->setCurrentIndex(-1);
    m_name = MakeChoiceList(this, 1044, ArticleNames(g_articleKindList));
    m_quantity = MakeNumberField(this, 1048, NumberKind::Whole);
    m_cost = MakeNumberField(this, 1045, NumberKind::Unsigned);
    m_value = MakeNumberField(this, 1046, NumberKind::Unsigned);
    m_note = MakeNoteField(this, 1047, 180, 50);
    QList<CIconButton *> pads;
    for (int field = 1; field <= 3; ++field) {
        CIconButton *pad = MakeDialogButton(this, 1048 + field, QString(), 185);
        connect(pad, &QPushButton::clicked, this, [this, field] { OpenCalcPad(field); });
        pads.append(pad);
    }
    auto *saveContinue = MakeDialogButton(this, 1052, QStringLiteral("保存并继续"), 166);
    auto *saveClose = MakeDialogButton(this, 1053, QStringLiteral("保存并关闭"), 182);
    auto *close = MakeDialogButton(this, 1054, QStringLiteral("关闭"), 183);

    // A kind chosen, however (click, keys, wheel), narrows the names to its own.
    connect(m_kind, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int index) {
        if (index < 0)
            return;
        m_name->clear();
        m_name->addItems(ArticleNames(g_articleKindList, m_kind->itemText(index)));
        m_name->setCurrentIndex(m_name->count() > 0 ? 0 : -1);
    });
    connect(saveContinue, &QPushButton::clicked, this, &CArticleDlg::SaveAndContinue);
    connect(saveClose, &QPushButton::clicked, this, &CArticleDlg::SaveAndClose);
    connect(close, &QPushButton::clicked, this, &CArticleDlg::reject);

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("物品种类"), this), 0, 0);
    grid->addWidget(m_kind, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("物品名称"), this), 1, 0);
    grid->addWidget(m_name, 1, 1);
    const QList<std::pair<QString, CAmountEdit *>> numbers{
        {QStringLiteral("数    量"), m_quantity}, {QStringLiteral("成    本"), m_cost}, {QStringLiteral("估    值"), m_value}};
    for (int i = 0; i < numbers.size(); ++i) {
        grid->addWidget(new QLabel(numbers.at(i).first, this), 2 + i, 0);
        grid->addWidget(numbers.at(i).second, 2 + i, 1);
        grid->addWidget(pads.at(i), 2 + i, 2);
    }
    AddLabelledNote(grid, 5, QStringLiteral("备    注"), m_note, 2);
    StackFieldsAndButtons(this, grid, {saveContinue, saveClose, close}, false);

    if (m_bModify)
        FillFromSelectedRow();
    CCalcPad::Guard(this, {pads.at(0), pads.at(1), pads.at(2)});
}

void CArticleDlg::FillFromSelectedRow()
{
    const QStringList row = m_book.GetRowTexts(m_book.GetSelected());
    SelectStoredEntry(m_name, row.value(0));
    m_quantity->setText(row.value(1));
    m_cost->setText(row.value(2));
    m_value->setText(row.value(3));
    m_note->setPlainText(row.value(4));
}

QLineEdit *CArticleDlg::PadField() const
{
    return m_nPadField == 1 ? m_quantity : m_nPadField == 2 ? m_cost : m_value;
}

void CArticleDlg::OpenCalcPad(int field)
{
    m_nPadField = field;
    CCalcPad::Reopen(this, [this] { return PadField(); });
}

bool CArticleDlg::Save()
{
    CCalcPad::CloseOpen();
    ArticleEntry entry{m_name->currentText(), m_quantity->text(), m_cost->text(), m_value->text()};
    const QString refused = CheckArticle(&entry);
    m_cost->setText(entry.cost);
    m_value->setText(entry.value);
    if (!refused.isEmpty()) {
        ShowMessage(refused, QStringLiteral("错误"));
        return false;
    }
    // Nothing saved: the dialog stays open with what the user typed.
    if (!TrySave([&] {
        return IsModifying()
                   ? m_book.Modify(entry.name, entry.quantity, entry.cost, entry.value, m_note->toPlainText())
                   : m_book.Add(entry.name, entry.quantity, entry.cost, entry.value, m_note->toPlainText());
    }))
        return false;
    SavedOnce();  // a further save adds a new asset
    return true;
}

bool CArticleDlg::SaveAndContinue()
{
    return Save();
}

void CArticleDlg::SaveAndClose()
{
    if (Save())
        CloseSaved();
}
