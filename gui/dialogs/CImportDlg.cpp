// The import of income and expense from a bill or a spreadsheet.
#include "CImportDlg.h"

#include "db/CMoneyBook.h"
#include "common/Messages.h"
#include "common/Paths.h"
#include "controls/CIconButton.h"
#include "db/DbError.h"
#include "db/Ledger.h"
#include "db/SqlConnection.h"
#include "dialogs/DialogParts.h"
#include "dialogs/ImportMappingModel.h"
#include "dialogs/ImportPreviewModel.h"
#include "dialogs/ImportRuleModel.h"
#include "lists/ReferenceLists.h"
#include "transfer/ImportMappings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QProgressDialog>
#include <QSettings>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QThreadPool>
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

// The rows matched with the ledger's records: a failure there leaves the rows read, and is told over them.
void MatchRows(CMoneyImport &plan, const ImportReading::Ledger &ledger, const ImportReading::TellStep &step,
               const ImportProgress &progress)
{
    step(QStringLiteral("正在查找已有的记录……"));
    try {
        plan.MatchExisting(ledger(), progress);
    } catch (const DbError &error) {
        throw ImportToldAfter{error.Message()};
    }
}

// Runs a step on the ledger; the failure's text, or nothing. The caller tells it once the window
// shows what stands (a message over a stale list or a progress bar could not be read).
QString DbFailureOf(const std::function<void()> &step)
{
    try {
        step();
        return QString();
    } catch (const DbError &error) {
        return error.Message();
    }
}

// A plan nothing shows any more, let go of on a thread of the pool: a large bill's rows take a
// tenth of a second to free.
void LetGoAway(std::unique_ptr<CMoneyImport> plan)
{
    if (!plan)
        return;
    std::shared_ptr<CMoneyImport> gone(std::move(plan));
    QThreadPool::globalInstance()->start([gone]() mutable { gone.reset(); });
}

} // namespace

CImportDlg::CImportDlg(CMoneyBook &book, QWidget *parent) : QDialog(parent), m_book(book)
{
    setWindowTitle(kCaption);
    m_db = OpenLedgerDatabase();

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
    // The order of day and month where the year does not come first ("12/29", "29/12/2025").
    m_dateOrder = new QComboBox(this);
    m_dateOrder->addItems({QStringLiteral("月在日前（12/29）"), QStringLiteral("日在月前（29/12）")});
    connect(m_dateOrder, &QComboBox::activated, this, &CImportDlg::ColumnsChosen);
    m_sheetBox = new QComboBox(this);
    m_sheetBox->hide();
    connect(m_sheetBox, &QComboBox::activated, this, [this] {
        if (m_plan && !m_showing && !Reading() && m_sheetBox->currentText() != m_plan->SheetRead())
            OpenFile(m_filePath, m_sheetBox->currentText());
    });
    m_spendingPositive = new QCheckBox(QStringLiteral("金额为正表示支出（信用卡账单）"), this);
    connect(m_spendingPositive, &QCheckBox::clicked, this, &CImportDlg::ColumnsChosen);
    formatRow->addWidget(m_format, 1);
    formatRow->addWidget(m_spendingPositive);
    formatRow->addWidget(m_sheetBox);
    formatRow->addWidget(new QLabel(QStringLiteral("日期顺序"), this));
    formatRow->addWidget(m_dateOrder);
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
    m_rulesModel = new ImportRuleModel(this);
    auto *mappings = new QWidget(this);
    auto *itemsBox = new QGroupBox(QStringLiteral("列表中没有的收支项目"), mappings);
    (new QVBoxLayout(itemsBox))->addWidget(MakeChoiceTable(m_itemsModel, {m_itemsModel->MappedColumn()}, {110, 50, 50}));
    auto *membersBox = new QGroupBox(QStringLiteral("列表中没有的家庭成员"), mappings);
    (new QVBoxLayout(membersBox))->addWidget(MakeChoiceTable(m_membersModel, {m_membersModel->MappedColumn()}, {110, 50}));
    // The counterparties ruled: chosen in the preview (a row's item or member), kept for the next bill.
    auto *rulesBox = new QGroupBox(QStringLiteral("按交易对方的规则（在预览中双击项目或成员即可添加）"), mappings);
    m_rules = MakeChoiceTable(m_rulesModel, {ImportRuleModel::kItem, ImportRuleModel::kMember}, {120, 45, 45, 90});
    m_rules->setSelectionMode(QAbstractItemView::SingleSelection);
    m_rules->setSelectionBehavior(QAbstractItemView::SelectRows);
    auto *dropRule = new QPushButton(QStringLiteral("删除规则"), rulesBox);
    connect(dropRule, &QPushButton::clicked, this, [this] {
        const QModelIndexList chosen = m_rules->selectionModel()->selectedRows();
        if (chosen.isEmpty())
            return;
        m_rulesModel->DropRule(chosen.first().row());
    });
    connect(m_rulesModel, &ImportRuleModel::rulesChanged, this, &CImportDlg::MappingChanged);
    auto *rulesLayout = new QVBoxLayout(rulesBox);
    rulesLayout->addWidget(m_rules, 1);
    rulesLayout->addWidget(dropRule, 0, Qt::AlignRight);
    auto *strangers = new QHBoxLayout(mappings);
    strangers->setContentsMargins(0, 0, 0, 0);
    strangers->addWidget(itemsBox, 3);
    strangers->addWidget(membersBox, 2);
    strangers->addWidget(rulesBox, 4);

    m_model = new ImportPreviewModel(this);
    m_preview = new QTableView(this);
    m_preview->setModel(m_model);
    m_preview->verticalHeader()->hide();
    m_preview->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    m_preview->setWordWrap(false);
    m_preview->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    m_preview->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_preview->horizontalHeader()->setStretchLastSection(true);
    for (int column : {ImportPreviewModel::kItemColumn, ImportPreviewModel::kMemberColumn})
        m_preview->setItemDelegateForColumn(column, new MappingChoiceDelegate(m_preview));
    connect(m_model, &ImportPreviewModel::leftOutChanged, this, &CImportDlg::ShowSummary);
    connect(m_model, &ImportPreviewModel::mappingChanged, this, &CImportDlg::MappingChanged);
    for (const auto &[column, width] : std::initializer_list<std::pair<int, int>>{{0, 60}, {1, 140}, {2, 90}, {3, 80}, {4, 80}, {5, 70}, {6, 190}})
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

    m_reading = new ImportReading(this);
    connect(m_reading, &ImportReading::progressed, this, &CImportDlg::ReadingProgressed);
    connect(m_reading, &ImportReading::finished, this, &CImportDlg::ReadingEnded);
    m_readingStep = new QLabel(this);
    m_readingBar = new QProgressBar(this);
    auto *readingRow = new QHBoxLayout;
    readingRow->addWidget(m_readingStep);
    readingRow->addWidget(m_readingBar, 1);
    m_readingStep->hide();
    m_readingBar->hide();
    m_held = {choose, m_sheetBox, m_headerLine, m_dateOrder, m_spendingPositive, columns, mappings, m_preview, m_keepDuplicates, m_onlyLeftOut, import};

    // The mapping tables and the preview share the height, as the household drags it.
    auto *previewPart = new QWidget(this);
    auto *previewLayout = new QVBoxLayout(previewPart);
    previewLayout->setContentsMargins(0, 0, 0, 0);
    previewLayout->addLayout(previewRow);
    previewLayout->addWidget(m_preview, 1);
    auto *split = new QSplitter(Qt::Vertical, this);
    split->setChildrenCollapsible(false);
    split->addWidget(mappings);
    split->addWidget(previewPart);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 3);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fileRow);
    layout->addLayout(formatRow);
    layout->addWidget(columns);
    layout->addWidget(split, 1);
    layout->addLayout(readingRow);
    layout->addWidget(m_summary);
    layout->addLayout(buttons);
    resize(1000, 780);
    ShowPreview();
}

CImportDlg::~CImportDlg()
{
    // A bill of a hundred thousand rows takes a tenth of a second to let go of: the lists forget it,
    // and it goes on a thread of the pool, so that the window answers as the dialog closes.
    m_model->Show(nullptr, false, false);
    m_itemsModel->Show(nullptr);
    m_membersModel->Show(nullptr);
    m_rulesModel->Show(nullptr);
    LetGoAway(std::move(m_plan));
}


void CImportDlg::ChooseFile()
{
    // The folder of the last bill chosen: a household's bills are downloaded to one place.
    static QString lastFolder = QDir::homePath();
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("选择要导入的账单或表格"), lastFolder,
                                                      QStringLiteral("账单、表格或对账单 (*.csv *.txt *.xlsx *.qif *.ofx *.qfx);;所有文件 (*)"));
    if (path.isEmpty())
        return;
    lastFolder = QFileInfo(path).absolutePath();
    OpenFile(path);
}

bool CImportDlg::OpenFile(const QString &path, const QString &sheet)
{
    if (Reading())
        return false;
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
    file.close();
    auto fresh = std::make_unique<CMoneyImport>(g_itemList, ::MemberNames());
    RecallImportMappings(*fresh);
    // The file shown until now stays while this one is read, and when it cannot be.
    m_readingPath = shown;
    m_readingFile = path;
    StartReading(ReadingKind::File, std::move(fresh), [path, shown, sheet](CMoneyImport &plan, const ImportReading::Ledger &ledger, const ImportReading::TellStep &step,
                                                const ImportProgress &progress) {
        step(QStringLiteral("正在读取文件……"));
        QFile bill(path);
        if (!bill.open(QIODevice::ReadOnly))
            throw ImportRefused{QStringLiteral("无法读取文件 %1：%2").arg(shown, bill.errorString())};
        // Read in pieces, so that the bar moves and a cancel is heard on a slow disk.
        const qint64 size = bill.size();
        QByteArray bytes;
        bytes.reserve(qsizetype(size));
        constexpr qint64 kPiece = 4 * 1024 * 1024;
        while (!bill.atEnd()) {
            const QByteArray piece = bill.read(kPiece);
            if (piece.isEmpty() && bill.error() != QFileDevice::NoError)
                break;
            bytes += piece;
            if (progress && !progress(bytes.size(), std::max<qint64>(size, bytes.size())))
                throw ImportCancelled();
        }
        if (bill.error() != QFileDevice::NoError || bytes.size() != size)
            throw ImportRefused{QStringLiteral("无法读取文件 %1：%2").arg(shown, bill.errorString())};
        step(QStringLiteral("正在读取各行……"));
        if (!plan.Load(bytes, progress, sheet, path))
            throw ImportRefused{plan.LoadFailure(shown)};
        if (plan.Layout().headerRow < 0)
            plan.SetLayout(GuessColumnsAt(plan.Records(), 0), progress);  // offered as the header, to be changed
        MatchRows(plan, ledger, step, progress);
    });
    return true;
}

QString CImportDlg::ShownFile() const
{
    return m_path->text();
}

bool CImportDlg::Reading() const
{
    return m_reading->Running();
}

void CImportDlg::WaitForReading()
{
    while (Reading())  // a match may start again as one ends
        m_reading->Wait();
}

std::unique_ptr<CMoneyImport> CImportDlg::CopyOfPlan() const
{
    return std::make_unique<CMoneyImport>(*m_plan);
}

void CImportDlg::StartReading(ReadingKind kind, std::unique_ptr<CMoneyImport> plan, ImportReading::Work work)
{
    m_readingKind = kind;
    for (QWidget *held : std::as_const(m_held))
        held->setEnabled(false);
    m_readingStep->show();
    m_readingBar->setRange(0, 0);  // busy until the first step tells how far it is
    m_readingBar->show();
    m_reading->Start(std::move(plan), m_db->Path(), std::move(work));
    if (!m_plan)
        ShowPreview();  // says the file is being read
}

void CImportDlg::ReadingProgressed(const QString &step, qint64 done, qint64 total)
{
    m_readingStep->setText(step);
    // A step that counts shows how far it is; one that does not, that it is busy.
    constexpr qint64 kScale = 1000;
    m_readingBar->setRange(0, total > 0 ? int(kScale) : 0);
    if (total > 0)
        m_readingBar->setValue(int(done * kScale / total));
}

void CImportDlg::ReadingEnded()
{
    m_readingStep->hide();
    m_readingBar->hide();
    for (QWidget *held : std::as_const(m_held))
        held->setEnabled(true);
    std::unique_ptr<CMoneyImport> read = m_reading->TakePlan();
    const QString failure = m_reading->Failure();
    if (read && m_readingKind == ReadingKind::Match && m_plan) {
        m_plan->TakeDuplicatesOf(*read);  // the plan shown keeps its mappings
    } else if (read) {
        std::swap(m_plan, read);
        if (m_readingKind == ReadingKind::File) {
            m_path->setText(m_readingPath);
            m_filePath = m_readingFile;
        }
        ShowStrangers();
        ShowLayout();
    }
    ShowPreview();
    // Let go of once every list shows the plan kept (the one read, or the one shown until now).
    LetGoAway(std::move(read));
    if (!failure.isEmpty()) {
        ShowMessage(failure, kCaption, MessageIcon::Error);
        if (!m_plan)
            reject();  // the file chosen could not be read, and nothing else is there to import
    }
}

void CImportDlg::reject()
{
    if (Reading()) {
        m_reading->Cancel();
        m_reading->Wait();
    }
    QDialog::reject();
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
    m_dateOrder->setCurrentIndex(layout.dates.order == DateOrder::DayFirst ? 1 : 0);
    m_spendingPositive->setChecked(layout.spendingPositive);
    m_sheetBox->clear();
    m_sheetBox->addItems(m_plan->Sheets());
    m_sheetBox->setCurrentText(m_plan->SheetRead());
    m_sheetBox->setVisible(m_plan->Sheets().size() > 1);
    m_format->setText(QStringLiteral("编码：%1　　格式：%2").arg(m_plan->Encoding(), BillPresetName(layout.preset)));
    m_showing = false;
}

bool CImportDlg::MakeWayForReading()
{
    if (!Reading())
        return true;
    if (m_readingKind == ReadingKind::File)
        return false;  // the layout shown is the file's before: a change to it waits
    // A change of layout or mapping makes the rows read or matched so far out of date.
    m_reading->Cancel();
    WaitForReading();
    return true;
}

void CImportDlg::HeaderLineChosen(int line)
{
    if (m_showing || !m_plan || !MakeWayForReading())
        return;
    const BillLayout layout = GuessColumnsAt(m_plan->Records(), line - 1);
    StartReading(ReadingKind::Layout, CopyOfPlan(), [layout](CMoneyImport &plan, const ImportReading::Ledger &ledger, const ImportReading::TellStep &step,
                                        const ImportProgress &progress) {
        step(QStringLiteral("正在读取各行……"));
        plan.SetLayout(layout, progress);
        MatchRows(plan, ledger, step, progress);
    });
}

void CImportDlg::ColumnsChosen()
{
    if (m_showing || !m_plan || !MakeWayForReading())
        return;
    BillLayout layout = m_plan->Layout();
    for (auto field = m_fieldBoxes.cbegin(); field != m_fieldBoxes.cend(); ++field)
        ColumnOf(layout.columns, field.key()) = field.value()->currentIndex() - 1;
    if (layout.columns.date != m_plan->Layout().columns.date) {
        // Another column of dates: its own order of day and month, as its values show.
        layout.dates = GuessBillDates(m_plan->Records(), layout.headerRow, layout.columns.date);
    } else {
        layout.dates.order = m_dateOrder->currentIndex() == 1 ? DateOrder::DayFirst : DateOrder::MonthFirst;
    }
    layout.spendingPositive = m_spendingPositive->isChecked();
    layout.columns.note.clear();
    for (int column = 0; column < m_noteColumns->count(); ++column) {
        if (m_noteColumns->item(column)->checkState() == Qt::Checked)
            layout.columns.note << column;
    }
    StartReading(ReadingKind::Layout, CopyOfPlan(), [layout](CMoneyImport &plan, const ImportReading::Ledger &ledger, const ImportReading::TellStep &step,
                                        const ImportProgress &progress) {
        step(QStringLiteral("正在读取各行……"));
        plan.SetLayout(layout, progress);
        MatchRows(plan, ledger, step, progress);
    });
}

QTableView *CImportDlg::MakeChoiceTable(QAbstractItemModel *model, const QList<int> &chosenColumns, const QList<int> &widths)
{
    auto *table = new QTableView(this);
    table->setModel(model);
    for (int column : chosenColumns)
        table->setItemDelegateForColumn(column, new MappingChoiceDelegate(table));
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    table->setEditTriggers(QAbstractItemView::AllEditTriggers);  // one click opens the list of entries
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->horizontalHeader()->setStretchLastSection(true);
    // A bill's seven or eight trade types in view at once; the splitter gives more.
    table->setMinimumHeight(4 * (fontMetrics().height() + 8));
    for (int column = 0; column < widths.size(); ++column)
        table->setColumnWidth(column, widths.at(column));
    if (auto *mapping = qobject_cast<ImportMappingModel *>(model))
        connect(mapping, &ImportMappingModel::mappingChanged, this, &CImportDlg::MappingChanged);
    return table;
}

void CImportDlg::MappingChanged()
{
    // The strangers' and rules' rows and counts follow each other's changes (a counterparty ruled is
    // no longer its trade type's), and the item is part of what makes a row a record held already.
    if (!m_plan)
        return;
    Rematch();
    // Shown anew once the drop-down list that made the choice has closed: a list reset under it
    // would take its editor away mid-choice.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_plan)
                return;
            ShowStrangers();
            m_model->Show(m_plan.get(), m_keepDuplicates->isChecked(), m_onlyLeftOut->isChecked());
        },
        Qt::QueuedConnection);
}

void CImportDlg::ShowStrangers()
{
    m_itemsModel->Show(m_plan.get());
    m_membersModel->Show(m_plan.get());
    m_rulesModel->Show(m_plan.get());
}

void CImportDlg::Rematch()
{
    // A mapping changed: the item is part of what makes a row a record held already.
    if (!m_plan)
        return;
    if (Reading() && m_readingKind != ReadingKind::Match)
        return;  // what is being read will be matched
    if (!MakeWayForReading())
        return;
    StartReading(ReadingKind::Match, CopyOfPlan(), [](CMoneyImport &plan, const ImportReading::Ledger &ledger, const ImportReading::TellStep &step,
                                  const ImportProgress &progress) {
        MatchRows(plan, ledger, step, progress);
    });
}

void CImportDlg::ShowPreview()
{
    m_model->Show(m_plan.get(), m_keepDuplicates->isChecked(), m_onlyLeftOut->isChecked());
    ShowSummary();
}

void CImportDlg::ShowSummary()
{
    if (!m_plan) {
        m_summary->setText(Reading() ? QStringLiteral("正在读取文件，请稍候。") : QStringLiteral("请选择要导入的账单或表格文件。"));
        return;
    }
    if (m_plan->RowCount() == 0) {
        m_summary->setText(QStringLiteral("表头之下没有任何行：请检查文件，或指定表头所在的行。"));
        return;
    }
    const CMoneyImport::Counts counts = m_plan->Count();
    const qsizetype written = counts.records + (m_keepDuplicates->isChecked() ? counts.duplicates : 0);
    QString summary = QStringLiteral("将导入 %1 条记录；与已有记录相同 %2 条；跳过 %3 行；无法读取 %4 行")
                          .arg(written)
                          .arg(counts.duplicates)
                          .arg(counts.skipped)
                          .arg(counts.refused);
    if (counts.leftOut > 0)
        summary += QStringLiteral("；手动排除 %1 条").arg(counts.leftOut);
    summary += QStringLiteral("。");
    const qsizetype notesTold = m_plan->NotesTold(m_keepDuplicates->isChecked());
    if (notesTold > 0)
        summary += QStringLiteral("其中 %1 条的备注含无法识别的字符或已截断，见“结果”列。").arg(notesTold);
    m_summary->setText(summary);
}

bool CImportDlg::Import()
{
    WaitForReading();  // the button is held meanwhile; a call from elsewhere waits for what it imports
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
    const QString failure = DbFailureOf([&] {
        written = m_book.AddMany(entries, [&progress](qsizetype done) {
            progress.setValue(int(done));
            return !progress.wasCanceled();
        });
    });
    // The bar goes before anything is told: a message under it could not be read or answered.
    progress.close();
    if (!failure.isEmpty()) {
        ShowMessage(failure, QStringLiteral("数据库错误"), MessageIcon::Error);
        return false;
    }
    if (!written) {
        ShowMessage(QStringLiteral("导入已取消，没有写入任何记录。"), kCaption);
        return false;
    }
    // Remembered for the next bill, so that its rows map (and match the records written now) alike.
    KeepImportMappings(*m_plan);
    ShowMessage(QStringLiteral("已导入 %1 条收支记录。").arg(entries.size()), kCaption);
    accept();
    return true;
}
