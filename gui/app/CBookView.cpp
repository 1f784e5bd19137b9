// Record list behaviour.
#include "CBookView.h"

#include "common/Messages.h"
#include "common/WholeFile.h"
#include "db/DbError.h"
#include "transfer/XlsxWriter.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QToolTip>
#include <new>

CBookView::CBookView(CBook &book, const QString &name, const QStringList &titles, const QList<int> &widths,
                     QWidget *parent)
    : QTableView(parent), m_name(name), m_model(new BookTableModel(book, titles, this))
{
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setShowGrid(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setTabKeyNavigation(false);  // Tab leaves the list rather than walking its cells
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    for (int column = 0; column < widths.size(); ++column)
        setColumnWidth(column, widths.at(column));
    // The selection stays visible when the list loses the focus.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(palette);
    connect(m_model, &BookTableModel::selectionChanged, this, &CBookView::ShowSelected);
    // Rows listed afresh: the highlight follows the book's selection again.
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        const int row = Book().GetSelected();
        if (row >= 0 && row < m_model->rowCount())
            ShowSelected(row);
    });
}

void CBookView::ShowSelected(int row)
{
    if (row < 0 || row >= m_model->rowCount()) {
        selectionModel()->clear();
        return;
    }
    const QModelIndex index = m_model->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

QItemSelectionModel::SelectionFlags CBookView::selectionCommand(const QModelIndex &, const QEvent *) const
{
    return QItemSelectionModel::NoUpdate;
}

bool CBookView::ScrollByKey(int key)
{
    QScrollBar *rows = verticalScrollBar();
    QScrollBar *columns = horizontalScrollBar();
    switch (key) {
    case Qt::Key_Up: rows->triggerAction(QAbstractSlider::SliderSingleStepSub); return true;
    case Qt::Key_Down: rows->triggerAction(QAbstractSlider::SliderSingleStepAdd); return true;
    case Qt::Key_PageUp: rows->triggerAction(QAbstractSlider::SliderPageStepSub); return true;
    case Qt::Key_PageDown: rows->triggerAction(QAbstractSlider::SliderPageStepAdd); return true;
    case Qt::Key_Home: rows->triggerAction(QAbstractSlider::SliderToMinimum); return true;
    case Qt::Key_End: rows->triggerAction(QAbstractSlider::SliderToMaximum); return true;
    case Qt::Key_Left: columns->triggerAction(QAbstractSlider::SliderSingleStepSub); return true;
    case Qt::Key_Right: columns->triggerAction(QAbstractSlider::SliderSingleStepAdd); return true;
    default: return false;
    }
}

void CBookView::keyPressEvent(QKeyEvent *event)
{
    if (ScrollByKey(event->key())) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void CBookView::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid())
        return;  // a click below the last row changes nothing
    QTableView::mousePressEvent(event);
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
        Book().SetSelected(index.row());
        emit rowChosen(index.row());
    }
}

void CBookView::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid())
        return;
    QTableView::mouseDoubleClickEvent(event);
    Book().SetSelected(index.row());
    emit rowChosen(index.row());
    emit rowDoubleClicked(index.row());
}

bool CBookView::IsTextCut(const QModelIndex &index) const
{
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty())
        return false;
    if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
        return true;
    // The item view leaves a focus-frame margin and one pixel on each side of the text.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    return fontMetrics().horizontalAdvance(text) + 2 * margin > visualRect(index).width();
}

bool CBookView::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QTableView::viewportEvent(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const QModelIndex index = indexAt(help->pos());
    if (index.isValid() && IsTextCut(index))
        QToolTip::showText(help->globalPos(), index.data(Qt::DisplayRole).toString(), viewport(), visualRect(index));
    else
        QToolTip::hideText();
    return true;
}

bool CBookView::ExportCsv(const QString &path, CsvEncoding encoding)
{
    QList<QStringList> rows{m_model->Titles()};
    try {
        rows += Book().AllRowTexts();
    } catch (const DbError &error) {
        ShowMessage(error.Message(), QStringLiteral("导出为 CSV"), MessageIcon::Error);
        return false;
    }
    // A text that a spreadsheet opening the file would run (a merchant's name from a bill, a note) is
    // kept from running; amounts, dates and counts are what they say.
    const QList<ColumnKind> kinds = Book().ColumnKinds();
    for (qsizetype row = 1; row < rows.size(); ++row) {
        QStringList &cells = rows[row];
        for (qsizetype column = 0; column < cells.size(); ++column) {
            if (kinds.value(column, ColumnKind::Text) == ColumnKind::Text)
                cells[column] = GuardedCsvText(cells[column]);
        }
    }
    QByteArray bytes;
    if (!WriteCsv(rows, encoding, &bytes)) {
        ShowMessage(QStringLiteral("列表中有 GBK 无法表示的文字，请改用 UTF-8 导出。"), QStringLiteral("导出为 CSV"));
        return false;
    }
    // Written beside the old file and put in its place only when whole.
    QString failure;
    if (!WriteWholeFile(path, bytes, &failure)) {
        ShowMessage(failure, QStringLiteral("导出为 CSV"), MessageIcon::Error);
        return false;
    }
    return true;
}

QString CBookView::ChooseExportFile(const QString &caption, const QString &suffix, const QString &filters,
                                    QString *chosenFilter)
{
    QString path = QFileDialog::getSaveFileName(this, caption, QDir::home().filePath(m_name + suffix), filters, chosenFilter);
    if (path.isEmpty() || path.endsWith(suffix, Qt::CaseInsensitive))
        return path;
    // The dialog asked before replacing the name it was given, not this one.
    path += suffix;
    if (QFileInfo::exists(path)
        && !AskYesNo(QStringLiteral("%1 已存在。\n要替换它吗？").arg(QDir::toNativeSeparators(path)), caption))
        return QString();
    return path;
}

void CBookView::ChooseAndExportCsv()
{
    const QString utf8 = QStringLiteral("CSV，UTF-8 (*.csv)");
    const QString gbk = QStringLiteral("CSV，GBK，供旧版表格程序 (*.csv)");
    QString chosen = utf8;
    const QString path = ChooseExportFile(QStringLiteral("导出为 CSV"), QStringLiteral(".csv"), utf8 + QStringLiteral(";;") + gbk, &chosen);
    if (!path.isEmpty())
        ExportCsv(path, chosen == gbk ? CsvEncoding::Gbk : CsvEncoding::Utf8WithBom);
}

bool CBookView::ExportXlsx(const QString &path)
{
    QString failure;
    try {
        const XlsxSheet sheet{m_name, m_model->Titles(), Book().ColumnKinds(), Book().AllRowTexts()};
        if (WriteXlsx(path, sheet, &failure))
            return true;
    } catch (const DbError &error) {
        failure = error.Message();
    } catch (const std::bad_alloc &) {
        failure = QStringLiteral("内存不足，列表太长，无法导出为 Excel 工作簿。");
    }
    ShowMessage(failure, QStringLiteral("导出为 Excel"), MessageIcon::Error);
    return false;
}

void CBookView::ChooseAndExportXlsx()
{
    const QString path = ChooseExportFile(QStringLiteral("导出为 Excel"), QStringLiteral(".xlsx"), QStringLiteral("Excel 工作簿 (*.xlsx)"));
    if (!path.isEmpty())
        ExportXlsx(path);
}

void CBookView::AddMenuAction(const QString &text, const std::function<void()> &action)
{
    m_menuActions.append({text, action});
}

QStringList CBookView::MenuTexts() const
{
    QStringList texts{QStringLiteral("导出为 CSV…"), QStringLiteral("导出为 Excel…")};
    for (const auto &action : m_menuActions)
        texts << action.first;
    return texts;
}

void CBookView::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    const QStringList texts = MenuTexts();
    menu.addAction(texts.at(0), this, &CBookView::ChooseAndExportCsv);
    menu.addAction(texts.at(1), this, &CBookView::ChooseAndExportXlsx);
    for (const auto &action : m_menuActions)
        menu.addAction(action.first, this, action.second);
    menu.exec(event->globalPos());
}
