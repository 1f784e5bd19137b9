// Importing income and expense through its dialog: a list exported and imported into an empty
// ledger exports the same bytes again; a bill's strangers mapped and its columns changed by hand;
// duplicates reported and left out; a cancel half-way writing nothing.
#include "app/CBookView.h"
#include "common/Paths.h"
#include "db/Ledger.h"
#include "db/SqlConnection.h"
#include "dialogs/CImportDlg.h"
#include "dialogs/ImportMappingModel.h"
#include "dialogs/ImportPreviewModel.h"
#include "dialogs/ImportRuleModel.h"
#include "common/Paths.h"
#include "db/SqlConnection.h"
#include "transfer/Csv.h"

#include "FileBytes.h"
#include "WorkbookParts.h"
#include "OpenLedger.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QProgressDialog>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

namespace {

const QStringList kMembers{QStringLiteral("爸爸"), QString(), QStringLiteral("妈妈"), QString()};

CBookView *MoneyList(OpenLedger &ledger)
{
    return qobject_cast<CBookView *>(ledger.window.Control(1004));
}

QString WeChatBill(int rows)
{
    QString text = QStringLiteral("微信支付账单明细\n微信昵称：[小明]\n起始时间：[2023-05-01 00:00:00] 终止时间：[2023-05-31 23:59:59]\n"
                                  "导出类型：[全部]\n导出时间：[2023-06-01 10:00:00]\n\n共%1笔记录\n收入：1笔 1200.00元\n"
                                  "支出：2笔 22.50元\n----------------------微信支付账单明细列表--------------------\n")
                       .arg(rows);
    text += QStringLiteral("交易时间,交易类型,交易对方,商品,收/支,金额(元),支付方式,当前状态,交易单号,商户单号,备注\n");
    const QString lines[] = {QStringLiteral("2023-05-%1 12:30:00,商户消费,面馆,牛肉面,支出,¥12.50,零钱,支付成功,%2,,/\n"),
                             QStringLiteral("2023-05-%1 09:00:00,转账,老王,\"借款, 归还\",收入,\"¥1,200.00\",/,已收钱,%2,,/\n"),
                             QStringLiteral("2023-05-%1 10:00:00,零钱提现,银行,/,/,¥100.00,零钱,提现已到账,%2,,/\n"),
                             QStringLiteral("2023-05-%1 11:00:00,商户消费,网店,耳机,支出,¥10.00,零钱,已全额退款,%2,,/\n")};
    for (int i = 0; i < rows; ++i)
        text += lines[i % 4].arg(1 + i / 4 % 28, 2, 10, QLatin1Char('0')).arg(i);
    return text;
}

QString WriteFile(QTemporaryDir &folder, const QString &name, const QByteArray &bytes)
{
    const QString path = folder.filePath(name);
    WriteBytes(path, bytes);
    return path;
}

QByteArray Utf8Bom(const QString &text)
{
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

// Opens the file in the dialog and waits until it is read: true when its rows are what it shows.
bool ReadFile(CImportDlg &dialog, const QString &path)
{
    if (!dialog.OpenFile(path))
        return false;
    dialog.WaitForReading();
    return dialog.Plan() && dialog.ShownFile() == QDir::toNativeSeparators(path);
}

} // namespace

class TestImport : public QObject
{
    Q_OBJECT
private slots:
    void exportImportExportIsByteEqual()
    {
        QTemporaryDir folder;
        const QString first = folder.filePath(QStringLiteral("一.csv")), second = folder.filePath(QStringLiteral("二.csv"));
        {
            OpenLedger ledger(kMembers);
            CMoneyBook &book = ledger.window.m_moneyBook;
            const QStringList notes{QString(), QStringLiteral("含,逗号"), QStringLiteral("说\"好\"的"), QStringLiteral("两行\n备注"), QStringLiteral(" 前后空格 ")};
            for (int i = 0; i < 230; ++i)
                book.Add(LedgerDateTime(QDate(2003, 1, 1).addDays(i / 3)), i % 2 ? QStringLiteral("餐饮") : QStringLiteral("工资"),
                         i % 2 ? -(i + 0.5) : i * 100 + 0.25, i % 3 ? QStringLiteral("爸爸") : QStringLiteral("妈妈"), notes.at(i % 5));
            QVERIFY(MoneyList(ledger)->ExportCsv(first, CsvEncoding::Utf8WithBom));
        }
        OpenLedger empty(kMembers);
        CImportDlg dialog(empty.window.m_moneyBook, &empty.window);
        QVERIFY(ReadFile(dialog, first));
        QCOMPARE(dialog.Plan()->Layout().preset, BillPreset::Zarvel);
        QCOMPARE(dialog.StrangeItems()->rowCount(), 0);
        QCOMPARE(dialog.StrangeMembers()->rowCount(), 0);
        QVERIFY(dialog.Summary()->text().startsWith(QStringLiteral("将导入 230 条记录")));
        QVERIFY(dialog.Import());
        QCOMPARE(empty.messages.Last(), QStringLiteral("已导入 230 条收支记录。"));
        QCOMPARE(empty.window.m_moneyBook.GetPageCount(), 3);
        QVERIFY(MoneyList(empty)->ExportCsv(second, CsvEncoding::Utf8WithBom));
        QCOMPARE(ReadBytes(second), ReadBytes(first));
    }

    void billWithStrangersAndSkippedRows()
    {
        OpenLedger ledger(kMembers);
        QTemporaryDir folder;
        CImportDlg dialog(ledger.window.m_moneyBook, &ledger.window);
        QVERIFY(ReadFile(dialog, WriteFile(folder, QStringLiteral("微信.csv"), Utf8Bom(WeChatBill(8)))));
        QCOMPARE(dialog.HeaderLine()->value(), 11);  // below the title block
        QCOMPARE(dialog.FieldBox(CImportDlg::Field::Amount)->currentText(), QStringLiteral("第6列 金额(元)"));
        QVERIFY(dialog.Summary()->text().contains(QStringLiteral("将导入 4 条记录；与已有记录相同 0 条；跳过 4 行")));
        ImportPreviewModel *preview = dialog.PreviewModel();
        QCOMPARE(preview->data(preview->index(2, 7), Qt::DisplayRole).toString(), QStringLiteral("跳过：本人账户间转账"));
        QCOMPARE(preview->data(preview->index(3, 7), Qt::DisplayRole).toString(), QStringLiteral("跳过：已全额退款"));
        QCOMPARE(preview->data(preview->index(1, 6), Qt::DisplayRole).toString(), QStringLiteral("老王 借款, 归还"));

        // 商户消费 (expense) and 转账 (income) are not items of the ledger; the bill names no member.
        ImportMappingModel *items = dialog.StrangeItems();
        QCOMPARE(items->rowCount(), 2);
        QCOMPARE(items->index(0, 0).data().toString(), QStringLiteral("商户消费"));
        QVERIFY(items->Choices(0).contains(QStringLiteral("餐饮")));
        QVERIFY(!items->setData(items->index(0, 3), QStringLiteral("工资")));  // an income item for spending
        QVERIFY(items->setData(items->index(0, 3), QStringLiteral("餐饮")));
        // The income stranger mapped through its drop-down list, as a click opens it.
        QTableView *itemTable = nullptr;
        for (QTableView *view : dialog.findChildren<QTableView *>())
            itemTable = view->model() == items ? view : itemTable;
        QVERIFY(itemTable);
        itemTable->edit(items->index(1, 3));
        auto *choices = itemTable->viewport()->findChild<QComboBox *>();
        QVERIFY(choices);
        QCOMPARE(choices->currentText(), QStringLiteral("其他收入"));  // 转账 is none of the ledger's named incomes
        choices->setCurrentIndex(choices->findText(QStringLiteral("奖金")));
        emit choices->activated(choices->currentIndex());
        QCOMPARE(items->index(1, 3).data().toString(), QStringLiteral("奖金"));
        QCOMPARE(preview->data(preview->index(1, 2), Qt::DisplayRole).toString(), QStringLiteral("奖金"));
        QVERIFY(items->setData(items->index(1, 3), QStringLiteral("工资")));
        ImportMappingModel *members = dialog.StrangeMembers();
        QCOMPARE(members->index(0, 0).data().toString(), QStringLiteral("（空）"));
        QVERIFY(members->setData(members->index(0, 2), QStringLiteral("妈妈")));
        QCOMPARE(preview->data(preview->index(0, 2), Qt::DisplayRole).toString(), QStringLiteral("餐饮"));
        QCOMPARE(preview->data(preview->index(0, 5), Qt::DisplayRole).toString(), QStringLiteral("妈妈"));

        // The goods column taken out of the note by hand.
        QListWidget *note = dialog.NoteColumns();
        note->item(3)->setCheckState(Qt::Unchecked);
        dialog.WaitForReading();
        QCOMPARE(preview->data(preview->index(1, 6), Qt::DisplayRole).toString(), QStringLiteral("老王"));
        QVERIFY(dialog.Import());
        CMoneyBook &book = ledger.window.m_moneyBook;
        QCOMPARE(book.GetItemCount(), 4);
        QCOMPARE(book.GetRowTexts(0), QStringList({"2023-05-01", "工资", "1200", "", "妈妈", "老王"}));  // 09:00
        QCOMPARE(book.GetRowTexts(1), QStringList({"2023-05-01", "餐饮", "", "-12.5", "妈妈", "面馆"}));  // 12:30
        QCOMPARE(book.GetTotalCents(), (120000 - 1250) * 2);
        QCOMPARE(qobject_cast<QLabel *>(ledger.window.Control(1041))->text(), QStringLiteral("您的现金总额:2,375元  "));
    }

    void duplicatesReportedAndKeptOnlyWhenAsked()
    {
        OpenLedger ledger(kMembers);
        QTemporaryDir folder;
        const QString path = WriteFile(folder, QStringLiteral("表.csv"),
                                       Utf8Bom(QStringLiteral("日期,收支项目,金额,家庭成员\n2023-05-01 08:00:00,餐饮,-5,爸爸\n2023-05-02,工资,100,爸爸\n")));
        {
            CImportDlg dialog(ledger.window.m_moneyBook, &ledger.window);
            QVERIFY(ReadFile(dialog, path));
            QVERIFY(dialog.Import());
        }
        CImportDlg again(ledger.window.m_moneyBook, &ledger.window);
        QVERIFY(ReadFile(again, path));
        QVERIFY(again.Summary()->text().startsWith(QStringLiteral("将导入 0 条记录；与已有记录相同 2 条")));
        ImportPreviewModel *preview = again.PreviewModel();
        QCOMPARE(preview->data(preview->index(0, 7), Qt::DisplayRole).toString(), QStringLiteral("已有相同记录，不导入"));
        QVERIFY(!again.Import());
        QCOMPARE(ledger.messages.Last(), QStringLiteral("没有可导入的记录。"));
        again.KeepDuplicates()->setChecked(true);
        QVERIFY(again.Summary()->text().startsWith(QStringLiteral("将导入 2 条记录")));
        QVERIFY(again.Import());
        QCOMPARE(ledger.window.m_moneyBook.GetItemCount(), 4);
    }

    void rowsThatCannotBeReadAreAskedAbout()
    {
        OpenLedger ledger(kMembers);
        QTemporaryDir folder;
        QByteArray gbk = Gbk(QStringLiteral("说明\n日期,收支项目,金额\n2023-05-01,餐饮,-5\n明天,餐饮,-5\n2023-05-02,餐饮,五元\n2023-05-03\n"));
        CImportDlg dialog(ledger.window.m_moneyBook, &ledger.window);
        QVERIFY(ReadFile(dialog, WriteFile(folder, QStringLiteral("gbk.csv"), gbk)));
        QVERIFY(dialog.Summary()->text().contains(QStringLiteral("无法读取 3 行")));
        ImportPreviewModel *preview = dialog.PreviewModel();
        QCOMPARE(preview->data(preview->index(3, 7), Qt::DisplayRole).toString(), QStringLiteral("无法读取：列数不足（1 列，需要 3 列）"));
        QCOMPARE(preview->data(preview->index(3, 6), Qt::DisplayRole).toString(), QStringLiteral("2023-05-03"));
        ledger.messages.answer = false;
        QVERIFY(!dialog.Import());
        QCOMPARE(ledger.messages.Last(), QStringLiteral("有 3 行无法读取，不会导入。\n是否导入其余 1 条记录？"));
        QCOMPARE(ledger.window.m_moneyBook.GetItemCount(), 0);

        // The header line named by hand: the column lists follow it.
        dialog.HeaderLine()->setValue(1);
        dialog.WaitForReading();
        QCOMPARE(dialog.FieldBox(CImportDlg::Field::Date)->currentIndex(), 0);
        dialog.HeaderLine()->setValue(2);
        dialog.WaitForReading();
        QCOMPARE(dialog.FieldBox(CImportDlg::Field::Date)->currentText(), QStringLiteral("第1列 日期"));

        // Files that are no table.
        QVERIFY(!ReadFile(dialog, WriteFile(folder, QStringLiteral("图.csv"), QByteArray("\x89PNG\r\n\x1A\n\0\0", 10))));
        QVERIFY(ledger.messages.Last().contains(QStringLiteral("不是文本表格")));
        QVERIFY(!ReadFile(dialog, folder.filePath(QStringLiteral("没有.csv"))));
        QVERIFY(ledger.messages.Last().startsWith(QStringLiteral("无法读取文件")));
        QCOMPARE(dialog.Plan()->Records().size(), 6);  // the file read before stays
    }

    void cancelHalfWayWritesNothing()
    {
        OpenLedger ledger(kMembers);
        QTemporaryDir folder;
        CImportDlg dialog(ledger.window.m_moneyBook, &ledger.window);
        QVERIFY(ReadFile(dialog, WriteFile(folder, QStringLiteral("大.csv"), Utf8Bom(WeChatBill(8000)))));
        int cancelledAt = -1;
        QTimer watcher;
        connect(&watcher, &QTimer::timeout, this, [&] {
            for (QWidget *window : QApplication::topLevelWidgets()) {
                auto *progress = qobject_cast<QProgressDialog *>(window);
                if (progress && progress->isVisible() && progress->value() >= 1000 && cancelledAt < 0) {
                    cancelledAt = progress->value();
                    progress->cancel();
                }
            }
        });
        watcher.start(0);
        QVERIFY(!dialog.Import());
        QVERIFY(cancelledAt >= 1000 && cancelledAt < 4000);
        QCOMPARE(ledger.messages.Last(), QStringLiteral("导入已取消，没有写入任何记录。"));
        QCOMPARE(ledger.window.m_moneyBook.GetPageCount(), 0);
        QCOMPARE(ledger.window.m_moneyBook.GetTotalCents(), 0);
        // The same plan imported again, uncancelled: every record, once.
        watcher.stop();
        QVERIFY(dialog.Import());
        QCOMPARE(ledger.window.m_moneyBook.GetPageCount(), 40);
    }

    void aQuoteNeverClosedIsToldAndNotImported()
    {
        // A note begun with a quote by hand: the rest of the file is one field of that row, which is
        // refused and shown by its beginning, and the rows before it are what is left to import.
        OpenLedger ledger(kMembers);
        QTemporaryDir folder;
        QString text = QStringLiteral("日期,收支项目,金额,备注\n2023-05-01,餐饮,-4,早饭\n2023-05-02,餐饮,-5,\"午饭\n");
        for (int i = 0; i < 2000; ++i)
            text += QStringLiteral("2023-06-01,餐饮,-%1,晚饭\n").arg(i + 1);
        CImportDlg dialog(ledger.window.m_moneyBook, &ledger.window);
        QVERIFY(ReadFile(dialog, WriteFile(folder, QStringLiteral("改过.csv"), Utf8Bom(text))));
        QVERIFY2(dialog.Summary()->text().startsWith(QStringLiteral("将导入 1 条记录；与已有记录相同 0 条；跳过 0 行；无法读取 1 行")),
                 qPrintable(dialog.Summary()->text()));
        ImportPreviewModel *preview = dialog.PreviewModel();
        QVERIFY(preview->data(preview->index(1, 7), Qt::DisplayRole).toString().contains(QStringLiteral("引号")));
        const QString shown = preview->data(preview->index(1, 6), Qt::DisplayRole).toString();
        QVERIFY(shown.startsWith(QStringLiteral("2023-05-02,餐饮,-5,午饭")));
        QVERIFY(shown.size() <= 301);
        QVERIFY(dialog.Import());
        QCOMPARE(ledger.messages.Texts().at(ledger.messages.messages.size() - 2), QStringLiteral("有 1 行无法读取，不会导入。\n是否导入其余 1 条记录？"));
        QCOMPARE(ledger.window.m_moneyBook.GetItemCount(), 1);
    }

    void ownExportImportedAgainFindsTheRecordsOfEachDay()
    {
        // The export lists days alone: records entered with their time of day are found again by their
        // day, item and amount, not imported a second time.
        OpenLedger ledger(kMembers);
        QTemporaryDir folder;
        CMoneyBook &book = ledger.window.m_moneyBook;
        book.Add(LedgerDateTime(QDate(2023, 5, 2), QTime(12, 30, 1)), QStringLiteral("餐饮"), -12.5, QStringLiteral("爸爸"), QString());
        book.Add(LedgerDateTime(QDate(2023, 5, 3), QTime(9, 0)), QStringLiteral("工资"), 3000, QStringLiteral("妈妈"), QStringLiteral("五月"));
        const QString path = folder.filePath(QStringLiteral("导出.csv"));
        QVERIFY(MoneyList(ledger)->ExportCsv(path, CsvEncoding::Utf8WithBom));
        CImportDlg dialog(ledger.window.m_moneyBook, &ledger.window);
        QVERIFY(ReadFile(dialog, path));
        QVERIFY2(dialog.Summary()->text().startsWith(QStringLiteral("将导入 0 条记录；与已有记录相同 2 条")),
                 qPrintable(dialog.Summary()->text()));
        QVERIFY(!dialog.Import());
        QCOMPARE(book.GetItemCount(), 2);
    }

    void aDatabaseFailureIsToldOverThePreviewOfTheFileShown()
    {
        // While a failure is told, the window draws its preview: the rows it lists are those of the
        // file now shown, not of the file before it or of the layout before.
        OpenLedger ledger(kMembers);
        QTemporaryDir folder;
        CImportDlg dialog(ledger.window.m_moneyBook, &ledger.window);
        QVERIFY(ReadFile(dialog, WriteFile(folder, QStringLiteral("长.csv"), Utf8Bom(WeChatBill(40)))));
        QCOMPARE(dialog.PreviewModel()->rowCount(), 40);

        struct Watch : IMessageSink
        {
            CImportDlg *dialog = nullptr;
            QList<std::pair<int, qsizetype>> seen;  // rows listed, rows of the plan
            void Inform(const QString &, const QString &, MessageIcon) override
            {
                seen.append({dialog->PreviewModel()->rowCount(), dialog->Plan()->RowCount()});
            }
            bool Ask(const QString &, const QString &) override { return false; }
        } watch;
        watch.dialog = &dialog;
        SetMessageSink(&watch);
        OpenLedgerDatabase()->Execute(QStringLiteral("ALTER TABLE Money RENAME TO Gone"));
        QVERIFY(ReadFile(dialog, WriteFile(folder, QStringLiteral("短.csv"),
                                          Utf8Bom(QStringLiteral("日期,收支项目,金额\n2023-05-01,餐饮,-5\n2023-05-02,餐饮,-6\n")))));
        dialog.HeaderLine()->setValue(2);
        dialog.WaitForReading();
        SetMessageSink(&ledger.messages);
        QCOMPARE(watch.seen.size(), 2);
        QCOMPARE(watch.seen.at(0), std::make_pair(2, qsizetype(2)));
        QCOMPARE(watch.seen.at(1), std::make_pair(1, qsizetype(1)));
        QCOMPARE(dialog.PreviewModel()->rowCount(), 1);
    }

    void mappingsRememberedForTheNextBill()
    {
        OpenLedger ledger(kMembers);
        QTemporaryDir folder;
        const QString first = WriteFile(folder, QStringLiteral("五月.csv"), Utf8Bom(WeChatBill(4)));
        {
            CImportDlg dialog(ledger.window.m_moneyBook, &ledger.window);
            QVERIFY(ReadFile(dialog, first));
            QVERIFY(dialog.StrangeItems()->setData(dialog.StrangeItems()->index(0, 3), QStringLiteral("交通")));
            QVERIFY(dialog.StrangeMembers()->setData(dialog.StrangeMembers()->index(0, 2), QStringLiteral("妈妈")));
            QVERIFY(dialog.Import());
        }
        // The same bill again: mapped as before, so its records are found and none is written twice.
        CImportDlg again(ledger.window.m_moneyBook, &ledger.window);
        QVERIFY(ReadFile(again, first));
        QCOMPARE(again.StrangeItems()->index(0, 3).data().toString(), QStringLiteral("交通"));
        QCOMPARE(again.StrangeMembers()->index(0, 2).data().toString(), QStringLiteral("妈妈"));
        QVERIFY(again.Summary()->text().startsWith(QStringLiteral("将导入 0 条记录；与已有记录相同 2 条")));
    }

    void aWriteThatFailsIsToldWithoutTheProgressBar()
    {
        OpenLedger ledger(kMembers);
        QTemporaryDir folder;
        CImportDlg dialog(ledger.window.m_moneyBook, &ledger.window);
        QVERIFY(ReadFile(dialog, WriteFile(folder, QStringLiteral("表.csv"), Utf8Bom(WeChatBill(40)))));
        OpenLedgerDatabase()
            ->Execute(QStringLiteral("CREATE TRIGGER \"Full\" BEFORE INSERT ON \"Money\" BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
        bool barShown = true;
        ledger.messages.onInform = [&] {
            barShown = false;
            for (QWidget *window : QApplication::topLevelWidgets())
                barShown = barShown || (qobject_cast<QProgressDialog *>(window) && window->isVisible());
        };
        QVERIFY(!dialog.Import());
        QVERIFY(ledger.messages.Last().contains(QStringLiteral("disk full")));
        QVERIFY(!barShown);
        QCOMPARE(ledger.window.m_moneyBook.GetPageCount(), 0);
    }

    void notesNotReadOrCutAreToldInThePreview()
    {
        // A bill marked UTF-8 holding a GBK note, and a note of 10 MB: both written, and each row says what
        // becomes of its note, where the household looks (the outcome, the note's tooltip, the summary).
        OpenLedger ledger(kMembers);
        QTemporaryDir folder;
        QByteArray bytes = Utf8Bom(QStringLiteral("日期,收支项目,金额,家庭成员,备注\n2023-05-01,餐饮,-5,爸爸,面馆\n"));
        bytes += QStringLiteral("2023-05-02,餐饮,-6,爸爸,").toUtf8() + QByteArray("\xC3\xE6\xB9\xDD\n");
        bytes += QStringLiteral("2023-05-03,餐饮,-7,爸爸,").toUtf8() + QByteArray(10 * 1024 * 1024, 'x') + '\n';
        CImportDlg dialog(ledger.window.m_moneyBook, &ledger.window);
        QVERIFY(ReadFile(dialog, WriteFile(folder, QStringLiteral("两种编码.csv"), bytes)));
        ImportPreviewModel *preview = dialog.PreviewModel();
        QCOMPARE(preview->data(preview->index(0, 7), Qt::DisplayRole).toString(), QStringLiteral("导入"));
        QCOMPARE(preview->data(preview->index(1, 7), Qt::DisplayRole).toString(), QStringLiteral("导入（备注含无法识别的字符）"));
        QCOMPARE(preview->data(preview->index(2, 7), Qt::DisplayRole).toString(), QStringLiteral("导入（备注过长，已截断为 90 字节）"));
        QVERIFY(preview->data(preview->index(2, 6), Qt::ToolTipRole).toString().startsWith(QStringLiteral("备注过长")));
        QVERIFY(preview->data(preview->index(1, 7), Qt::ForegroundRole).isValid());
        QVERIFY(!preview->data(preview->index(0, 7), Qt::ForegroundRole).isValid());
        QVERIFY2(dialog.Summary()->text().contains(QStringLiteral("其中 2 条的备注含无法识别的字符或已截断")),
                 qPrintable(dialog.Summary()->text()));
        QVERIFY(dialog.Import());
        QCOMPARE(ledger.window.m_moneyBook.GetItemCount(), 3);
    }

    void aBillIsReadAwayFromTheWindowAndCancelledWhole()
    {
        // The dialog shows a bar while the rows are read and matched on another thread; closed meanwhile,
        // nothing is read into it and nothing is written.
        OpenLedger ledger(kMembers);
        QTemporaryDir folder;
        const QString path = WriteFile(folder, QStringLiteral("大.csv"), Utf8Bom(WeChatBill(20000)));
        {
            CImportDlg dialog(ledger.window.m_moneyBook, &ledger.window);
            dialog.show();
            QVERIFY(dialog.OpenFile(path));
            QVERIFY(dialog.Reading());
            QVERIFY(dialog.ReadingBar()->isVisible());
        }  // gone while reading: the reading is stopped first
        CImportDlg dialog(ledger.window.m_moneyBook, &ledger.window);
        dialog.show();
        QVERIFY(dialog.OpenFile(path));
        dialog.reject();
        QVERIFY(!dialog.Reading());
        QVERIFY(!dialog.Plan());
        QVERIFY(!dialog.isVisible());
        QCOMPARE(ledger.window.m_moneyBook.GetPageCount(), 0);
        QCOMPARE(ledger.window.m_moneyBook.GetTotalCents(), 0);
    }

    void aRowLeftOutAndACounterpartyRuledInThePreview()
    {
        OpenLedger ledger(kMembers);
        QTemporaryDir folder;
        const QString path = WriteFile(folder, QStringLiteral("账单.csv"), Utf8Bom(WeChatBill(8)));
        CImportDlg dialog(ledger.window.m_moneyBook, &ledger.window);
        QVERIFY(ReadFile(dialog, path));
        ImportPreviewModel *preview = dialog.PreviewModel();
        // The first noodles left out by its check box.
        QCOMPARE(preview->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QVERIFY(!preview->flags(preview->index(2, 0)).testFlag(Qt::ItemIsUserCheckable));  // a row skipped has none
        QVERIFY(preview->setData(preview->index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
        QCOMPARE(preview->data(preview->index(0, 7), Qt::DisplayRole).toString(), QStringLiteral("不导入（手动排除）"));
        QVERIFY2(dialog.Summary()->text().startsWith(QStringLiteral("将导入 3 条记录；与已有记录相同 0 条；跳过 4 行；无法读取 0 行；手动排除 1 条")),
                 qPrintable(dialog.Summary()->text()));
        // 老王's income chosen as 奖金 through the row's drop-down list: a rule for him, shown in its table.
        QTableView *view = dialog.Preview();
        view->edit(preview->index(1, ImportPreviewModel::kItemColumn));
        auto *choices = view->viewport()->findChild<QComboBox *>();
        QVERIFY(choices);
        QVERIFY(choices->findText(QStringLiteral("餐饮")) < 0);  // incomes only
        choices->setCurrentIndex(choices->findText(QStringLiteral("奖金")));
        emit choices->activated(choices->currentIndex());
        dialog.WaitForReading();
        QCoreApplication::processEvents();
        QCOMPARE(dialog.Rules()->rowCount(), 1);
        QCOMPARE(dialog.Rules()->index(0, ImportRuleModel::kCounterparty).data().toString(), QStringLiteral("老王"));
        QCOMPARE(dialog.Rules()->index(0, ImportRuleModel::kRows).data().toString(), QStringLiteral("2"));
        QCOMPARE(preview->index(5, ImportPreviewModel::kItemColumn).data().toString(), QStringLiteral("奖金"));
        QCOMPARE(dialog.StrangeItems()->rowCount(), 1);  // 转账 is 老王's alone: ruled away
        // Its member set in the rules table; then the rule dropped by its button.
        QVERIFY(dialog.Rules()->setData(dialog.Rules()->index(0, ImportRuleModel::kMember), QStringLiteral("妈妈")));
        dialog.WaitForReading();
        QCoreApplication::processEvents();
        QCOMPARE(preview->index(1, ImportPreviewModel::kMemberColumn).data().toString(), QStringLiteral("妈妈"));
        QVERIFY(dialog.Import());
        CMoneyBook &book = ledger.window.m_moneyBook;
        QCOMPARE(book.GetItemCount(), 3);
        QStringList items;
        for (int row = 0; row < 3; ++row)
            items << book.GetRowTexts(row).at(1) + book.GetRowTexts(row).at(4);
        items.sort();
        QCOMPARE(items, QStringList({"其他支出爸爸", "奖金妈妈", "奖金妈妈"}));  // 商户消费 guessed as the list's 其他支出
    }

    void aMappingChangedWhileRowsAreMatchedIsMatchedToo()
    {
        OpenLedger ledger(kMembers);
        QTemporaryDir folder;
        const QString path = WriteFile(folder, QStringLiteral("表.csv"), Utf8Bom(WeChatBill(400)));
        {
            CImportDlg dialog(ledger.window.m_moneyBook, &ledger.window);
            QVERIFY(ReadFile(dialog, path));
            QVERIFY(dialog.StrangeItems()->setData(dialog.StrangeItems()->index(0, 3), QStringLiteral("交通")));
            QVERIFY(dialog.Import());
        }
        CImportDlg dialog(ledger.window.m_moneyBook, &ledger.window);
        QVERIFY(ReadFile(dialog, path));
        const QString allHeld = dialog.Summary()->text();
        QVERIFY2(allHeld.startsWith(QStringLiteral("将导入 0 条记录")), qPrintable(allHeld));
        // Mapped elsewhere and back before the first match ends: the rows are those held again.
        ImportMappingModel *items = dialog.StrangeItems();
        QVERIFY(items->setData(items->index(0, 3), QStringLiteral("餐饮")));
        QVERIFY(items->setData(items->index(0, 3), QStringLiteral("交通")));
        dialog.WaitForReading();
        QCOMPARE(dialog.Summary()->text(), allHeld);
        // Mapped to another item for good: the records imported before under 交通 are still these rows
        // (same time, amount and note), not to be written again.
        QVERIFY(items->setData(items->index(0, 3), QStringLiteral("餐饮")));
        dialog.WaitForReading();
        QCOMPARE(dialog.Summary()->text(), allHeld);
    }

    void aCardStatementsDaysReadInTheOrderChosen()
    {
        // A card statement whose days could be either way round: taken month first, then changed.
        OpenLedger ledger(kMembers);
        QTemporaryDir folder;
        CImportDlg dialog(ledger.window.m_moneyBook, &ledger.window);
        const QString statement = QStringLiteral("对账单 2026年\n日期,摘要,金额\n02/01,超市,-10\n03/01,餐厅,-20\n");
        QVERIFY(ReadFile(dialog, WriteFile(folder, QStringLiteral("卡.csv"), Utf8Bom(statement))));
        QCOMPARE(dialog.DateOrderBox()->currentIndex(), 0);
        ImportPreviewModel *preview = dialog.PreviewModel();
        QCOMPARE(preview->data(preview->index(0, 1), Qt::DisplayRole).toString(), QStringLiteral("2026-02-01 00:00:00"));
        dialog.DateOrderBox()->setCurrentIndex(1);
        emit dialog.DateOrderBox()->activated(1);
        dialog.WaitForReading();
        QCOMPARE(preview->data(preview->index(0, 1), Qt::DisplayRole).toString(), QStringLiteral("2026-01-02 00:00:00"));
        QCOMPARE(preview->data(preview->index(1, 1), Qt::DisplayRole).toString(), QStringLiteral("2026-01-03 00:00:00"));
    }

    void aWorkbookBillImportsAsItsCsvDoes()
    {
        OpenLedger ledger(kMembers);
        QTemporaryDir folder;
        CImportDlg dialog(ledger.window.m_moneyBook, &ledger.window);
        QVERIFY(ReadFile(dialog, WriteFile(folder, QStringLiteral("微信支付账单.xlsx"), WeChatWorkbook(18))));
        QCOMPARE(dialog.HeaderLine()->value(), 18);
        QVERIFY2(dialog.Summary()->text().startsWith(QStringLiteral("将导入 3 条记录；与已有记录相同 0 条；跳过 1 行")),
                 qPrintable(dialog.Summary()->text()));
        QVERIFY(dialog.StrangeItems()->setData(dialog.StrangeItems()->index(0, 3), QStringLiteral("餐饮")));
        QVERIFY(dialog.Import());
        CMoneyBook &book = ledger.window.m_moneyBook;
        QCOMPARE(book.GetItemCount(), 3);
        QCOMPARE(book.GetRowTexts(0).mid(0, 4), QStringList({"2026-03-01", "餐饮", "", "-12"}));
        QCOMPARE(book.GetTotalCents(), 120000 - 1200 - 3550);

        // Its other sheet chosen: read in its place (it holds no table here, so nothing to import).
        QCOMPARE(dialog.SheetBox()->count(), 2);
        dialog.SheetBox()->setCurrentIndex(1);
        emit dialog.SheetBox()->activated(1);
        dialog.WaitForReading();
        QCOMPARE(dialog.Plan()->SheetRead(), QStringLiteral("其他"));
        QCOMPARE(dialog.Plan()->Records(), QList<QStringList>({{"第二张"}}));

        // A workbook that is no workbook: told, and the bill shown stays.
        QByteArray broken = WeChatWorkbook(17);
        broken.truncate(broken.size() / 3);
        CImportDlg again(ledger.window.m_moneyBook, &ledger.window);
        QVERIFY(!ReadFile(again, WriteFile(folder, QStringLiteral("坏.xlsx"), broken)));
        QVERIFY2(ledger.messages.Last().contains(QStringLiteral("不是可以读取的 Excel 工作簿：压缩包已损坏")), qPrintable(ledger.messages.Last()));
    }

    void onlyTheIncomeListImports()
    {
        OpenLedger ledger;
        QCOMPARE(MoneyList(ledger)->MenuTexts(), QStringList({"导出为 CSV…", "导出为 Excel…", "导入收支记录…", "撤销…"}));
        QCOMPARE(qobject_cast<CBookView *>(ledger.window.Control(1114))->MenuTexts(), QStringList({"导出为 CSV…", "导出为 Excel…", "撤销…"}));
    }
};

QTEST_MAIN(TestImport)
#include "tst_import.moc"
