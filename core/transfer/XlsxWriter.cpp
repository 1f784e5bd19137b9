// Workbooks written with libxlsxwriter beside the target, read back whole, then put in its place.
#include "XlsxWriter.h"

#include "common/WholeFile.h"
#include "transfer/BillImport.h"
#include "transfer/XlsxReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>
#include <xlsxwriter.h>

namespace {

// Why the workbook cannot be written, thrown inside the writer and handed back as its error.
struct Unwritable
{
    QString reason;
};

constexpr int kColumnMargin = 2;
constexpr int kWidestColumn = 60;
constexpr lxw_row_t kMostRecords = LXW_ROW_MAX - 1;  // below the header row
constexpr qlonglong kLargestExactCount = 999999999999999LL;  // a spreadsheet keeps 15 digits

// A workbook not handed to workbook_close (which frees it) is freed unwritten.
struct WorkbookFree
{
    void operator()(lxw_workbook *workbook) const { lxw_workbook_free(workbook); }
};
using Workbook = std::unique_ptr<lxw_workbook, WorkbookFree>;

lxw_format *NewFormat(lxw_workbook *workbook)
{
    lxw_format *format = workbook_add_format(workbook);
    if (!format)
        throw Unwritable{QStringLiteral("内存不足，无法生成工作簿")};
    return format;
}

lxw_format *NumberFormat(lxw_workbook *workbook, const char *code)
{
    lxw_format *format = NewFormat(workbook);
    format_set_num_format(format, code);
    return format;
}

// Writes cells by their column's kind into a sheet, and keeps how wide each column shows.
class SheetCells
{
public:
    SheetCells(lxw_workbook *workbook, lxw_worksheet *sheet, const XlsxSheet &table, int columnCount)
        : m_sheet(sheet), m_table(table), m_widths(size_t(columnCount), 0),
          m_bold(NewFormat(workbook)), m_amount(NumberFormat(workbook, "0.00")),
          m_day(NumberFormat(workbook, "yyyy-mm-dd")), m_dayAndTime(NumberFormat(workbook, "yyyy-mm-dd hh:mm:ss"))
    {
        format_set_bold(m_bold);
    }

    // Writes the header row; true when any title holds something.
    bool WriteTitles()
    {
        for (int column = 0; column < m_table.titles.size(); ++column) {
            if (!m_table.titles.at(column).isEmpty())
                WriteText(0, column, m_table.titles.at(column), m_bold);
        }
        return !m_table.titles.join(QString()).isEmpty();
    }

    // Writes the row's cells; true when any of them holds something.
    bool WriteRow(lxw_row_t row, const QStringList &cells)
    {
        bool filled = false;
        for (int column = 0; column < cells.size(); ++column) {
            const QString &text = cells.at(column);
            if (text.isEmpty())
                continue;
            filled = true;
            if (!WriteTyped(row, column, m_table.kinds.value(column, ColumnKind::Text), text))
                WriteText(row, column, text, nullptr);
        }
        return filled;
    }

    void SetWidths()
    {
        for (size_t column = 0; column < m_widths.size(); ++column) {
            const double width = std::min(m_widths[column] + kColumnMargin, kWidestColumn);
            Check(worksheet_set_column(m_sheet, lxw_col_t(column), lxw_col_t(column), width, nullptr), 0, int(column));
        }
    }

private:
    // Writes the text as its kind reads it; false when the kind cannot read it (it is then text).
    bool WriteTyped(lxw_row_t row, int column, ColumnKind kind, const QString &text)
    {
        switch (kind) {
        case ColumnKind::Text:
            return false;
        case ColumnKind::Amount: {
            double amount = 0;
            if (!ReadBillAmount(text, &amount))
                return false;
            Check(worksheet_write_number(m_sheet, row, lxw_col_t(column), amount, m_amount), row, column);
            Widen(column, int(QString::number(amount, 'f', 2).size()));
            return true;
        }
        case ColumnKind::Date: {
            bool dayOnly = true;
            const QDateTime when = ReadBillDate(text, &dayOnly);
            if (!when.isValid() || when.date().year() < 1900)  // a sheet counts its days from 1900
                return false;
            const QDate day = when.date();
            const QTime time = when.time();
            lxw_datetime stamp{day.year(), day.month(), day.day(), time.hour(), time.minute(), double(time.second())};
            Check(worksheet_write_datetime(m_sheet, row, lxw_col_t(column), &stamp, dayOnly ? m_day : m_dayAndTime), row, column);
            Widen(column, dayOnly ? 10 : 19);
            return true;
        }
        case ColumnKind::Number: {
            bool ok = false;
            const qlonglong count = text.trimmed().toLongLong(&ok);
            if (!ok || std::llabs(count) > kLargestExactCount)
                return false;
            Check(worksheet_write_number(m_sheet, row, lxw_col_t(column), double(count), nullptr), row, column);
            Widen(column, int(QString::number(count).size()));
            return true;
        }
        }
        return false;
    }

    // Always a string cell: a text that looks like a number or a formula stays as it is written.
    void WriteText(lxw_row_t row, int column, const QString &text, lxw_format *format)
    {
        Check(worksheet_write_string(m_sheet, row, lxw_col_t(column), text.toUtf8().constData(), format), row, column);
        Widen(column, XlsxTextWidth(text));
    }

    void Widen(int column, int width) { m_widths[size_t(column)] = std::max(m_widths[size_t(column)], width); }

    void Check(lxw_error result, lxw_row_t row, int column) const
    {
        if (result == LXW_NO_ERROR)
            return;
        const QString title = m_table.titles.value(column, QString::number(column + 1));
        const QString where = row == 0 ? QStringLiteral("列标题“%1”").arg(title)
                                       : QStringLiteral("第 %1 条记录的“%2”").arg(row).arg(title);
        if (result == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED)
            throw Unwritable{where + QStringLiteral("超过 Excel 一个单元格所能容纳的 32767 个字符")};
        throw Unwritable{where + QStringLiteral("无法写入工作表（%1）").arg(QString::fromUtf8(lxw_strerror(result)))};
    }

    lxw_worksheet *m_sheet;
    const XlsxSheet &m_table;
    std::vector<int> m_widths;
    lxw_format *m_bold, *m_amount, *m_day, *m_dayAndTime;
};

// Has libxlsxwriter write the workbook to the file at asidePath. Returns how many rows reading it back
// must find: the sheet's rows through the last that holds anything.
qsizetype WriteWorkbook(const QString &path, const QString &asidePath, const XlsxSheet &table)
{
    int columnCount = int(table.titles.size());
    for (const QStringList &row : table.rows)
        columnCount = std::max(columnCount, int(row.size()));
    if (table.rows.size() > qsizetype(kMostRecords))
        throw Unwritable{QStringLiteral("列表有 %1 条记录，超过 Excel 一张工作表所能容纳的 %2 条；请先过滤，分几次导出。")
                             .arg(table.rows.size())
                             .arg(kMostRecords)};
    if (columnCount > LXW_COL_MAX)
        throw Unwritable{QStringLiteral("列表有 %1 列，超过 Excel 一张工作表所能容纳的 %2 列。").arg(columnCount).arg(LXW_COL_MAX)};

    // Rows go to the file as they are written (a large list is not held twice in memory), through
    // scratch files libxlsxwriter removes as it goes. They are kept off the target's disk: when a
    // write fails there, libxlsxwriter leaves its scratch file open (removed, but holding its room
    // until the program ends), which must not keep a full disk full.
    const QByteArray asideName = QFile::encodeName(asidePath);
    QByteArray scratchFolder = QFile::encodeName(QDir::tempPath());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = scratchFolder.data();
    Workbook workbook(workbook_new_opt(asideName.constData(), &options));
    if (!workbook)
        throw Unwritable{QStringLiteral("内存不足，无法生成工作簿")};
    lxw_worksheet *sheet = workbook_add_worksheet(workbook.get(), XlsxSheetName(table.name).toUtf8().constData());
    if (!sheet)
        throw Unwritable{WriteFailureText(path, QStringLiteral("无法创建临时文件"))};

    SheetCells cells(workbook.get(), sheet, table, columnCount);
    qsizetype filledRows = cells.WriteTitles() ? 1 : 0;
    for (qsizetype row = 0; row < table.rows.size(); ++row) {
        if (cells.WriteRow(lxw_row_t(row + 1), table.rows.at(row)))
            filledRows = row + 2;
    }
    cells.SetWidths();
    worksheet_freeze_panes(sheet, 1, 0);

    const lxw_error closed = workbook_close(workbook.release());
    if (closed != LXW_NO_ERROR)
        throw Unwritable{WriteFailureText(path, QStringLiteral("磁盘已满或无法写入（%1）").arg(QString::fromUtf8(lxw_strerror(closed))))};
    return filledRows;
}

} // namespace

bool WriteXlsx(const QString &path, const XlsxSheet &sheet, QString *error)
{
    try {
        const QFileInfo target(path);
        QTemporaryFile aside(target.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX").arg(target.fileName())));
        if (!aside.open())
            throw Unwritable{WriteFailureText(path, aside.errorString())};
        aside.close();  // the name stays taken until the workbook has been read back
        const qsizetype rows = WriteWorkbook(path, aside.fileName(), sheet);

        // libxlsxwriter does not check every write of its parts: a part cut off by a full disk would
        // still be packed. Read back, such a workbook is refused or comes short of its rows.
        QFile written(aside.fileName());
        if (!written.open(QIODevice::ReadOnly))
            throw Unwritable{WriteFailureText(path, written.errorString())};
        const QByteArray bytes = written.readAll();
        const XlsxTable back = ReadXlsx(bytes);
        if (bytes.size() != written.size() || !back.error.isEmpty() || back.rows.size() != rows)
            throw Unwritable{WriteFailureText(path, QStringLiteral("磁盘已满或无法写入（写出的工作簿不完整）"))};
        return WriteWholeFile(path, bytes, error);
    } catch (const Unwritable &failure) {
        if (error)
            *error = failure.reason;
        return false;
    }
}

QString XlsxSheetName(const QString &name)
{
    QString kept;
    for (const QChar c : name) {
        if (!QStringLiteral("[]:*?/\\").contains(c))
            kept += c;
    }
    // 31 characters as Excel counts them, a character beyond the BMP as two; never half of one.
    if (kept.size() > 31) {
        kept.truncate(31);
        if (kept.back().isHighSurrogate())
            kept.chop(1);
    }
    // A sheet's name may not begin or end with a quote; blanks there serve nothing either.
    static const QRegularExpression ends(QStringLiteral("^[\\s']+|[\\s']+$"));
    kept.remove(ends);
    return kept.isEmpty() ? QStringLiteral("Sheet1") : kept;
}

int XlsxTextWidth(const QString &text)
{
    // East Asian wide and full-width characters: Hangul, CJK, kana, Yi, full-width forms.
    static constexpr std::pair<uint, uint> kWide[] = {
        {0x1100, 0x115F}, {0x2E80, 0x303E}, {0x3041, 0x33FF}, {0x3400, 0x4DBF}, {0x4E00, 0x9FFF},
        {0xA000, 0xA4CF}, {0xAC00, 0xD7A3}, {0xF900, 0xFAFF}, {0xFE30, 0xFE4F}, {0xFF00, 0xFF60},
        {0xFFE0, 0xFFE6}, {0x20000, 0x3FFFD}};
    int widest = 0;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        int width = 0;
        for (const uint c : line.toUcs4()) {
            const bool wide = std::any_of(std::begin(kWide), std::end(kWide),
                                          [c](const auto &range) { return c >= range.first && c <= range.second; });
            width += wide ? 2 : 1;
        }
        widest = std::max(widest, width);
    }
    return widest;
}
