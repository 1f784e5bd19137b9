// The import of income and expense from a bill or a spreadsheet.
#include "CImportDlg.h"

#include "app/CMainDlg.h"
#include "common/Messages.h"
#include "common/Paths.h"
#include "controls/CIconButton.h"
#include "db/DbError.h"
#include "db/SqlConnection.h"
#include "dialogs/DialogParts.h"
#include "dialogs/ImportMappingModel.h"
#include "dialogs/ImportPreviewModel.h"
#include "lists/ReferenceLists.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>
#include <new>

namespace {

const QString kCaption = QStringLiteral("导入收支记录");
constexpr qint64 kLargestFile = 256 * 1024 * 1024;  // far beyond any household's bill

struct FieldName
{
    CImportDlg::Field field;
    const char *label;
};
const FieldName kFields[] = {{CImportDlg::Field::Date, "日期"},        {CImportDlg::Field::Item, "收支项目"},
                             {CImportDlg::Field::Amount, "金额"},      {CImportDlg::Field::Direction, "收/支"},
                             {CImportDlg::Field::Income, "收入"},      {CImportDlg::Field::Expense, "支出"},
                             {CImportDlg::Field::Member, "家庭成员"},  {CImportDlg::Field::Status, "交易状态"}};

int &ColumnOf(BillColumns &columns, CImportDlg::Field field)
{
    switch (field) {
    case CImportDlg::Field::Date: return columns.date;
    case CImportDlg::Field::Item: return columns.item;
    case CImportDlg::Field::Amount: return columns.amount;
    case CImportDlg::Field::Direction: return columns.direction;
    case CImportDlg::Field::Income: return columns.income;
    case CImportDlg::Field::Expense: return columns.expense;
    case CImportDlg::Field::Member: return columns.member;
    case CImportDlg::Field::Status: break;
    }
    return columns.status;
}

} // namespace

CImportDlg::CImportDlg(CMainDlg *owner) : QDialog(owner), m_pOwner(owner)
{
    setWindowTitle(kCaption);
    m_db = SqlConnection::Open(DatabasePath());

    m_path = new QLineEdit(this);
    m_path->setReadOnly(true);
    auto *choose = new QPushButton(QStringLiteral("选择文件…"), this);
    connect(choose, &QPushButton::clicked, this, &CImportDlg::ChooseFile);
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("文件："), this));
    fileRow->addWidget(m_path, 1);
    fileRow->addWidget(choose);

    m_format = new QLabel(this);
    m_headerLine = new QSpinBox(this);
    m_headerLine->setRange(1, 1);
    connect(m_headerLine, &QSpinBox::valueChanged, this, &CImportDlg::HeaderLineChosen);
    auto *formatRow = new QHBoxLayout;
    formatRow->addWidget(m_format, 1);
    formatRow->addWidget(new QLabel(QStringLiteral("表头在第"), this));
    formatRow->addWidget(m_headerLine);
    formatRow->addWidget(new QLabel(QStringLiteral("行"), this));

    auto *columns = new QGroupBox(QStringLiteral("各列的含义"), this);
    auto *grid = new QGridLayout(columns);
    int at = 0;
    for (const FieldName &name : kFields) {
        auto *box = new QComboBox(columns);
        box->setMinimumWidth(130);
        m_fieldBoxes.insert(name.field, box);
        connect(box, &QComboBox::activated, this, &CImportDlg::ColumnsChosen);
        grid->addWidget(new QLabel(QString::fromUtf8(name.label), columns), at / 4, (at % 4) * 2);
        grid->addWidget(box, at / 4, (at % 4) * 2 + 1);
        ++at;
    }
    m_noteColumns = new QListWidget(columns);
    m_noteColumns->setFlow(QListView::LeftToRight);
    m_noteColumns->setWrapping(true);
    m_noteColumns->setFixedHeight(52);
    connect(m_noteColumns, &QListWidget::itemChanged, this, &CImportDlg::ColumnsChosen);
    grid->addWidget(new QLabel(QStringLiteral("备注取自"), columns), 2, 0);
    grid->addWidget(m_noteColumns, 2, 1, 1, 7);

    m_itemsModel = new ImportMappingModel(ImportMappingModel::Kind::Items, this);
    m_membersModel = new ImportMappingModel(ImportMappingModel::Kind::Members, this);
    auto *itemsBox = new QGroupBox(QStringLiteral("列表中没有的收支项目"), this);
    (new QVBoxLayout(itemsBox))->addWidget(MakeStrangerTable(m_itemsModel));
    auto *membersBox = new QGroupBox(QStringLiteral("列表中没有的家庭成员"), this);
    (new QVBoxLayout(membersBox))->addWidget(MakeStrangerTable(m_membersModel));
    auto *strangers = new QHBoxLayout;
    strangers->addWidget(itemsBox, 3);
    strangers->addWidget(membersBox, 2);

    m_model = new ImportPreviewModel(this);
    m_preview = new QTableView(this);
    m_preview->setModel(m_model);
    m_preview->verticalHeader()->hide();
    m_preview->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    m_preview->setWordWrap(false);
    m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_preview->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_preview->horizontalHeader()->setStretchLastSection(true);
    for (const auto &[column, width] : std::initializer_list<std::pair<int, int>>{{0, 50}, {1, 140}, {2, 90}, {3, 80}, {4, 80}, {5, 70}, {6, 190}})
        m_preview->setColumnWidth(column, width);
    m_onlyLeftOut = new QCheckBox(QStringLiteral("只看不导入的行"), this);
    connect(m_onlyLeftOut, &QCheckBox::toggled, this, &CImportDlg::ShowPreview);
    auto *previewRow = new QHBoxLayout;
    previewRow->addWidget(new QLabel(QStringLiteral("预览："), this));
    previewRow->addStretch(1);
    previewRow->addWidget(m_onlyLeftOut);

    m_summary = new QLabel(this);
    m_keepDuplicates = new QCheckBox(QStringLiteral("仍然导入与已有记录相同的行"), this);
    connect(m_keepDuplicates, &QCheckBox::toggled, this, &CImportDlg::ShowPreview);
    auto *import = MakeDialogButton(this, 1, QStringLiteral("导入"), 182);
    auto *cancel = MakeDialogButton(this, 2, QStringLiteral("取消"), 183);
    connect(import, &QPushButton::clicked, this, &CImportDlg::Import);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_keepDuplicates);
    buttons->addStretch(1);
    buttons->addWidget(import);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fileRow);
    layout->addLayout(formatRow);
    layout->addWidget(columns);
    layout->addLayout(strangers);
    layout->addLayout(previewRow);
    layout->addWidget(m_preview, 1);
    layout->addWidget(m_summary);
    layout->addLayout(buttons);
    resize(900, 680);
    ShowPreview();
}

CImportDlg::~CImportDlg() = default;

bool CImportDlg::Guarded(const std::function<void()> &step)
{
    try {
        step();
        return true;
    } catch (const DbError &error) {
        ShowMessage(error.Message(), QStringLiteral("数据库错误"), MessageIcon::Error);
        return false;
    }
}

void CImportDlg::ChooseFile()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("选择要导入的账单或表格"), QDir::homePath(),
                                                      QStringLiteral("CSV 表格 (*.csv *.txt);;所有文件 (*)"));
    if (!path.isEmpty())
        OpenFile(path);
}

bool CImportDlg::OpenFile(const QString &path)
{
    QFile file(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowMessage(QStringLiteral("无法读取文件 %1：%2").arg(shown, file.errorString()), kCaption, MessageIcon::Error);
        return false;
    }
    if (file.size() > kLargestFile) {
        ShowMessage(QStringLiteral("文件 %1 太大，不像是账单或表格。").arg(shown), kCaption);
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.size() != file.size()) {
        ShowMessage(QStringLiteral("无法读取文件 %1：%2").arg(shown, file.errorString()), kCaption, MessageIcon::Error);
        return false;
    }
    auto plan = std::make_unique<CMoneyImport>(g_itemList, ::MemberNames());
    try {
        if (!plan->Load(bytes)) {
            ShowMessage(QStringLiteral("文件 %1 不是文本表格，无法导入。").arg(shown), kCaption);
            return false;
        }
        // No header found: the first line is offered as one, to be changed by hand.
        if (plan->Layout().headerRow < 0)
            plan->SetLayout(GuessColumnsAt(plan->Records(), 0));
    } catch (const std::bad_alloc &) {
        ShowMessage(QStringLiteral("文件 %1 太大，内存不足，无法读取。").arg(shown), kCaption, MessageIcon::Error);
        return false;
    }
    m_plan = std::move(plan);
    m_path->setText(shown);
    ShowLayout();
    ShowStrangers();
    Rematch();
    return true;
}

void CImportDlg::ShowLayout()
{
    m_showing = true;
    const BillLayout &layout = m_plan->Layout();
    const QStringList header = m_plan->Records().value(layout.headerRow);
    QStringList titles{QStringLiteral("（无）")};
    for (int column = 0; column < header.size(); ++column)
        titles << QStringLiteral("第%1列 %2").arg(column + 1).arg(header.at(column).trimmed());
    BillColumns columns = layout.columns;
    for (auto field = m_fieldBoxes.cbegin(); field != m_fieldBoxes.cend(); ++field) {
        QComboBox *box = field.value();
        box->clear();
        box->addItems(titles);
        box->setCurrentIndex(ColumnOf(columns, field.key()) + 1);
    }
    m_noteColumns->clear();
    for (int column = 0; column < header.size(); ++column) {
        auto *item = new QListWidgetItem(titles.at(column + 1), m_noteColumns);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        item->setCheckState(columns.note.contains(column) ? Qt::Checked : Qt::Unchecked);
    }
    m_headerLine->setRange(1, int(std::max<qsizetype>(1, m_plan->Records().size())));
    m_headerLine->setValue(layout.headerRow + 1);
    m_format->setText(QStringLiteral("编码：%1　　格式：%2").arg(m_plan->Encoding(), BillPresetName(layout.preset)));
    m_showing = false;
}

void CImportDlg::HeaderLineChosen(int line)
{
    if (m_showing || !m_plan)
        return;
    m_plan->SetLayout(GuessColumnsAt(m_plan->Records(), line - 1));
    ShowLayout();
    ShowStrangers();
    Rematch();
}

void CImportDlg::ColumnsChosen()
{
    if (m_showing || !m_plan)
        return;
    BillLayout layout = m_plan->Layout();
    for (auto field = m_fieldBoxes.cbegin(); field != m_fieldBoxes.cend(); ++field)
        ColumnOf(layout.columns, field.key()) = field.value()->currentIndex() - 1;
    layout.columns.note.clear();
    for (int column = 0; column < m_noteColumns->count(); ++column) {
        if (m_noteColumns->item(column)->checkState() == Qt::Checked)
            layout.columns.note << column;
    }
    m_plan->SetLayout(layout);
    ShowStrangers();
    Rematch();
}

QTableView *CImportDlg::MakeStrangerTable(ImportMappingModel *model)
{
    auto *table = new QTableView(this);
    table->setModel(model);
    table->setItemDelegateForColumn(model->MappedColumn(), new MappingChoiceDelegate(table));
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    table->setEditTriggers(QAbstractItemView::AllEditTriggers);  // one click opens the list of entries
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setFixedHeight(112);  // about four rows: the preview below takes the rest
    for (int column = 0; column < model->MappedColumn(); ++column)
        table->setColumnWidth(column, column == 0 ? 110 : 50);
    connect(model, &ImportMappingModel::mappingChanged, this, &CImportDlg::Rematch);
    return table;
}

void CImportDlg::ShowStrangers()
{
    m_itemsModel->Show(m_plan.get());
    m_membersModel->Show(m_plan.get());
}

void CImportDlg::Rematch()
{
    // The preview lists the plan's rows before a failure is told: while the message is up the window
    // draws, and the rows it listed may be those of a layout or a file gone.
    QString failure;
    try {
        m_plan->MatchExisting(*m_db);
    } catch (const DbError &error) {
        failure = error.Message();
    }
    ShowPreview();
    if (!failure.isEmpty())
        ShowMessage(failure, QStringLiteral("数据库错误"), MessageIcon::Error);
}

void CImportDlg::ShowPreview()
{
    m_model->Show(m_plan.get(), m_keepDuplicates->isChecked(), m_onlyLeftOut->isChecked());
    if (!m_plan) {
        m_summary->setText(QStringLiteral("请选择要导入的账单或表格文件。"));
        return;
    }
    const CMoneyImport::Counts counts = m_plan->Count();
    const qsizetype written = counts.records + (m_keepDuplicates->isChecked() ? counts.duplicates : 0);
    m_summary->setText(QStringLiteral("将导入 %1 条记录；与已有记录相同 %2 条；跳过 %3 行；无法读取 %4 行。")
                           .arg(written)
                           .arg(counts.duplicates)
                           .arg(counts.skipped)
                           .arg(counts.refused));
}

bool CImportDlg::Import()
{
    if (!m_plan) {
        ShowMessage(QStringLiteral("请选择要导入的账单或表格文件。"), kCaption);
        return false;
    }
    const QString problem = m_plan->Problem();
    if (!problem.isEmpty()) {
        ShowMessage(problem, kCaption);
        return false;
    }
    const std::vector<MoneyEntry> entries = m_plan->EntriesToWrite(m_keepDuplicates->isChecked());
    if (entries.empty()) {
        ShowMessage(QStringLiteral("没有可导入的记录。"), kCaption);
        return false;
    }
    const CMoneyImport::Counts counts = m_plan->Count();
    if (counts.refused > 0
        && !AskYesNo(QStringLiteral("有 %1 行无法读取，不会导入。\n是否导入其余 %2 条记录？").arg(counts.refused).arg(entries.size()),
                     kCaption))
        return false;

    QProgressDialog progress(QStringLiteral("正在导入收支记录……"), QStringLiteral("取消"), 0, int(entries.size()), this);
    progress.setWindowTitle(kCaption);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoReset(false);
    bool written = false;
    const bool stored = Guarded([&] {
        written = m_pOwner->m_moneyBook.AddMany(entries, [&progress](qsizetype done) {
            progress.setValue(int(done));
            return !progress.wasCanceled();
        });
    });
    progress.close();
    m_pOwner->RefreshMoneyPanel();
    if (!stored)
        return false;
    if (!written) {
        ShowMessage(QStringLiteral("导入已取消，没有写入任何记录。"), kCaption);
        return false;
    }
    ShowMessage(QStringLiteral("已导入 %1 条收支记录。").arg(entries.size()), kCaption);
    accept();
    return true;
}
