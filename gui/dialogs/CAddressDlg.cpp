// Address-book entries.
#include "CAddressDlg.h"

#include "common/Messages.h"
#include "controls/CIconButton.h"
#include "db/DbError.h"
#include "dialogs/DialogParts.h"
#include "entry/MemoRules.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

struct AddressField
{
    int id;
    const char *label;
    int bytes;
};

// In the order the book takes them; the last two are the multi-line notes.
const AddressField kFields[CAddressBook::kFieldCount] = {
    {1120, "姓    名", 50},  {1121, "工    作", 50},  {1122, "公    司", 100}, {1123, "公司电话", 50},
    {1124, "家庭电话", 50},  {1125, "传    真", 50},  {1131, "电子邮件", 50},  {1126, "手    机", 50},
    {1127, "公司地址", 200}, {1128, "家庭地址", 200}, {1130, "城    市", 50},  {1129, "省    份", 50},
    {1132, "邮政编码", 50},  {1133, "备  注 1", 500}, {1134, "备  注 2", 500},
};
constexpr int kOneLineFields = CAddressBook::kFieldCount - 2;

QString FieldText(const QWidget *field)
{
    if (auto *line = qobject_cast<const QLineEdit *>(field))
        return line->text();
    return static_cast<const QPlainTextEdit *>(field)->toPlainText();
}

} // namespace

CAddressDlg::CAddressDlg(CAddressBook &book, EntryMode mode, QWidget *parent)
    : CEntryDialog(parent, mode, false), m_book(book), m_bModify(mode == EntryMode::Modify)
{
    setWindowTitle(QStringLiteral("通讯录"));
    auto *grid = new QGridLayout;
    // The one-line fields in two columns, the notes below across the dialog.
    const int rows = (kOneLineFields + 1) / 2;
    for (int i = 0; i < CAddressBook::kFieldCount; ++i) {
        const AddressField &field = kFields[i];
        const QString label = QString::fromUtf8(field.label);
        if (i < kOneLineFields) {
            QLineEdit *line = MakeTextField(this, field.id, field.bytes);
            line->setMinimumWidth(150);
            AddLabelledField(grid, i % rows, (i / rows) * 2, label, line);
            m_fields.append(line);
        } else {
            QPlainTextEdit *note = MakeNoteField(this, field.id, field.bytes, 50);
            const int row = rows + i - kOneLineFields;
            AddLabelledNote(grid, row, label, note, 3);
            m_fields.append(note);
        }
    }
    auto *save = MakeDialogButton(this, 1135, QStringLiteral("确定"), 182);
    auto *cancel = MakeDialogButton(this, 1136, QStringLiteral("取消"), 183);
    connect(save, &QPushButton::clicked, this, &CAddressDlg::SaveAndClose);
    connect(cancel, &QPushButton::clicked, this, &CAddressDlg::reject);
    StackFieldsAndButtons(this, grid, {save, cancel});

    if (m_bModify) {
        const QStringList row = m_book.GetRowTexts(m_book.GetSelected());
        for (int i = 0; i < CAddressBook::kFieldCount; ++i) {
            if (auto *line = qobject_cast<QLineEdit *>(m_fields.at(i)))
                line->setText(row.value(i));
            else
                static_cast<QPlainTextEdit *>(m_fields.at(i))->setPlainText(row.value(i));
        }
    }
}

QStringList CAddressDlg::FieldTexts() const
{
    QStringList texts;
    for (const QWidget *field : m_fields)
        texts.append(FieldText(field));
    return texts;
}

bool CAddressDlg::SaveAndClose()
{
    const QStringList texts = FieldTexts();
    const QString refused = CheckAddressName(texts.value(0));
    if (!refused.isEmpty()) {
        ShowMessage(refused, QStringLiteral("错误"));
        return false;
    }
    // Nothing saved: the dialog stays open with what the user typed.
    if (!TrySave([&] {
        return m_bModify ? m_book.Modify(texts) : m_book.Add(texts);
    }))
        return false;
    SavedOnce();
    CloseSaved();
    return true;
}
