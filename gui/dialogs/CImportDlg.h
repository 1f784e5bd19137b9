// 导入收支记录: a bill of a payment app or a spreadsheet read into the income and expense book. The
// file is read and its layout guessed; the columns, the header line, the items and members the
// ledger does not know can all be changed, and the preview shows what each row becomes. The records
// are written in one go, with a progress bar and a cancel that leaves nothing written.
#pragma once

#include "transfer/MoneyImport.h"

#include <QDialog>
#include <QMap>
#include <memory>

class CMoneyBook;
class ImportMappingModel;
class ImportPreviewModel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;
class QTableView;
class SqlConnection;

class CImportDlg : public QDialog
{
    Q_OBJECT
public:
    // The columns a bill's fields can be taken as, in the order the dialog lists them.
    enum class Field { Date, Item, Amount, Direction, Income, Expense, Member, Status };

    explicit CImportDlg(CMoneyBook &book, QWidget *parent = nullptr);
    ~CImportDlg() override;

    // Reads the file and shows what it becomes. False (and told) when it cannot be read.
    bool OpenFile(const QString &path);
    void ChooseFile();
    // Writes the records to be imported. True when they were written.
    bool Import();

    const CMoneyImport *Plan() const { return m_plan.get(); }
    QComboBox *FieldBox(Field field) const { return m_fieldBoxes.value(field); }
    QListWidget *NoteColumns() const { return m_noteColumns; }
    QSpinBox *HeaderLine() const { return m_headerLine; }
    ImportMappingModel *StrangeItems() const { return m_itemsModel; }
    ImportMappingModel *StrangeMembers() const { return m_membersModel; }
    QTableView *Preview() const { return m_preview; }
    ImportPreviewModel *PreviewModel() const { return m_model; }
    QCheckBox *KeepDuplicates() const { return m_keepDuplicates; }
    QLabel *Summary() const { return m_summary; }

private:
    void HeaderLineChosen(int line);
    void ColumnsChosen();
    // The plan's layout shown in the column lists and the note list.
    void ShowLayout();
    void ShowStrangers();
    QTableView *MakeStrangerTable(ImportMappingModel *model);
    // After a change of layout or mapping: duplicates found again, the preview and the counts shown.
    void Rematch();
    void ShowPreview();

    CMoneyBook &m_book;
    std::shared_ptr<SqlConnection> m_db;
    std::unique_ptr<CMoneyImport> m_plan;
    QLineEdit *m_path = nullptr;
    QLabel *m_format = nullptr;
    QSpinBox *m_headerLine = nullptr;
    QMap<Field, QComboBox *> m_fieldBoxes;
    QListWidget *m_noteColumns = nullptr;
    ImportMappingModel *m_itemsModel = nullptr;
    ImportMappingModel *m_membersModel = nullptr;
    QTableView *m_preview = nullptr;
    ImportPreviewModel *m_model = nullptr;
    QCheckBox *m_keepDuplicates = nullptr;
    QCheckBox *m_onlyLeftOut = nullptr;
    QLabel *m_summary = nullptr;
    bool m_showing = false;  // the lists are being filled: their changes are not the user's
};
