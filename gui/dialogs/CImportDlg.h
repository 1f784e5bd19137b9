// 导入收支记录: a bill of a payment app or a spreadsheet read into the income and expense book. The
// file is read and its layout guessed; the columns, the header line, the items and members the
// ledger does not know can all be changed, and the preview shows what each row becomes. The records
// are written in one go, with a progress bar and a cancel that leaves nothing written.
#pragma once

#include "dialogs/ImportReading.h"
#include "transfer/MoneyImport.h"

#include <QDialog>
#include <QList>
#include <QMap>
#include <memory>

class CMoneyBook;
class ImportMappingModel;
class ImportPreviewModel;
class ImportRuleModel;
class QAbstractItemModel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
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

    // Starts reading the file; what it becomes is shown when it is read. False (and told) when it
    // cannot be opened; a file that turns out not to be a table is told when found out.
    bool OpenFile(const QString &path, const QString &sheet = QString());
    void ChooseFile();
    // Whether a file is being read (or read again after a change); WaitForReading answers events
    // until it is done.
    bool Reading() const;
    void WaitForReading();
    // The file whose rows are shown.
    QString ShownFile() const;
    // Writes the records to be imported. True when they were written.
    bool Import();

    const CMoneyImport *Plan() const { return m_plan.get(); }
    QComboBox *FieldBox(Field field) const { return m_fieldBoxes.value(field); }
    QListWidget *NoteColumns() const { return m_noteColumns; }
    QSpinBox *HeaderLine() const { return m_headerLine; }
    QComboBox *DateOrderBox() const { return m_dateOrder; }
    QComboBox *SheetBox() const { return m_sheetBox; }
    QCheckBox *SpendingPositive() const { return m_spendingPositive; }
    ImportMappingModel *StrangeItems() const { return m_itemsModel; }
    ImportMappingModel *StrangeMembers() const { return m_membersModel; }
    ImportRuleModel *Rules() const { return m_rulesModel; }
    QTableView *RulesTable() const { return m_rules; }
    QTableView *Preview() const { return m_preview; }
    ImportPreviewModel *PreviewModel() const { return m_model; }
    QCheckBox *KeepDuplicates() const { return m_keepDuplicates; }
    QLabel *Summary() const { return m_summary; }
    QProgressBar *ReadingBar() const { return m_readingBar; }

    void reject() override;

private:
    void HeaderLineChosen(int line);
    void ColumnsChosen();
    // The plan's layout shown in the column lists and the note list.
    void ShowLayout();
    void ShowStrangers();
    // A table whose chosen columns take an entry from a drop-down list.
    QTableView *MakeChoiceTable(QAbstractItemModel *model, const QList<int> &chosenColumns, const QList<int> &widths);
    // A mapping or rule changed: the tables shown again, the rows matched again.
    void MappingChanged();
    // After a change of layout or mapping: duplicates found again, the preview and the counts shown.
    void Rematch();
    void ShowPreview();
    void ShowSummary();
    // Runs the work on a copy of the plan (or on a new one) away from this thread, the controls that
    // would change the plan held meanwhile; the plan it leaves is shown when it ends.
    enum class ReadingKind { File, Layout, Match };
    void StartReading(ReadingKind kind, std::unique_ptr<CMoneyImport> plan, ImportReading::Work work);
    void ReadingProgressed(const QString &step, qint64 done, qint64 total);
    void ReadingEnded();
    std::unique_ptr<CMoneyImport> CopyOfPlan() const;
    // Stops a reading that a change of layout or mapping makes out of date; false while a file is read.
    bool MakeWayForReading();

    CMoneyBook &m_book;
    std::shared_ptr<SqlConnection> m_db;
    std::unique_ptr<CMoneyImport> m_plan;
    QLineEdit *m_path = nullptr;
    QLabel *m_format = nullptr;
    QSpinBox *m_headerLine = nullptr;
    QComboBox *m_dateOrder = nullptr;
    QComboBox *m_sheetBox = nullptr;  // a workbook's sheets, shown when it has more than one
    QCheckBox *m_spendingPositive = nullptr;  // a card's statement: its amounts are spending
    QString m_filePath, m_readingFile;  // the file shown, and the one being read
    QMap<Field, QComboBox *> m_fieldBoxes;
    QListWidget *m_noteColumns = nullptr;
    ImportMappingModel *m_itemsModel = nullptr;
    ImportMappingModel *m_membersModel = nullptr;
    ImportRuleModel *m_rulesModel = nullptr;
    QTableView *m_rules = nullptr;
    QTableView *m_preview = nullptr;
    ImportPreviewModel *m_model = nullptr;
    QCheckBox *m_keepDuplicates = nullptr;
    QCheckBox *m_onlyLeftOut = nullptr;
    QLabel *m_summary = nullptr;
    QList<QWidget *> m_held;            // everything that changes the plan, held while it is read
    ImportReading *m_reading = nullptr;
    QLabel *m_readingStep = nullptr;
    QProgressBar *m_readingBar = nullptr;
    ReadingKind m_readingKind = ReadingKind::File;
    QString m_readingPath;      // the file being read, shown once it is
    bool m_showing = false;  // the lists are being filled: their changes are not the user's
};
