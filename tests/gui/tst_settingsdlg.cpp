// The settings tree and the list editors driven as a user would: the leaves and what they open, the
// editors' lines, fields and kind words, the '#' guard, 取消 keeping the changes in memory only, and
// the asset kinds' two lists.
#include "db/Ledger.h"
#include "lists/CArticleKindDlg.h"
#include "lists/CItemEditDlg.h"
#include "lists/CRestoreDlg.h"
#include "common/LedgerDate.h"
#include "common/Paths.h"
#include "db/LedgerBackups.h"
#include "db/SqlConnection.h"
#include "lists/CSettingsDlg.h"

#include "FileBytes.h"
#include "CommittedView.h"
#include "OpenLedger.h"

#include <QApplication>
#include <QDir>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <random>

namespace {

// The list receives the focus (a click or Tab into it).
void Focus(QWidget *list)
{
    QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(list, &in);
}

} // namespace

class TestSettingsDlg : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_open = std::make_unique<OpenLedger>(); }
    void cleanup() { m_open.reset(); }

    void theTreeAndItsEditors()
    {
        CSettingsDlg settings(&m_open->window);
        QCOMPARE(settings.windowTitle(), QStringLiteral("设置"));
        auto *tree = Find<QTreeWidget>(&settings, 1188);
        QStringList shown;
        for (int g = 0; g < tree->topLevelItemCount(); ++g) {
            QTreeWidgetItem *group = tree->topLevelItem(g);
            shown << group->text(0);
            for (int l = 0; l < group->childCount(); ++l)
                shown << QStringLiteral("  ") + group->child(l)->text(0);
            QCOMPARE(group->isExpanded(), g == 0);
        }
        QCOMPARE(shown, QStringList({"系统", "  密码", "  添加家庭成员", "  删除家庭成员", "  恢复备份", "  回收站", "  帐本位置", "收支", "  编辑收支项目", "  周期收支", "  预算", "储蓄",
                                     "  编辑银行机构", "  编辑货币种类", "  编辑活期储蓄注释", "  编辑储蓄利率", "财产",
                                     "  编辑物品种类", "保险", "  编辑保险机构", "  编辑保险种类"}));
        const QList<std::pair<QString, const char *>> opens{
            {"密码", "CPasswordDlg"},         {"添加家庭成员", "CAddMemberDlg"}, {"删除家庭成员", "CDeleteMemberDlg"},
            {"编辑物品种类", "CArticleKindDlg"}, {"编辑储蓄利率", "CItemEditDlg"}, {"帐本位置", "CLedgerPlaceDlg"}};
        for (const auto &[leaf, kind] : opens) {
            std::unique_ptr<QDialog> editor(settings.MakeEditor(leaf));
            QVERIFY2(editor && editor->inherits(kind), qPrintable(leaf));
        }
        std::unique_ptr<QDialog> notes(settings.MakeEditor(QStringLiteral("编辑活期储蓄注释")));
        QCOMPARE(static_cast<CItemEditDlg *>(notes.get())->Mode(), ListMode::CurNotes);
        QVERIFY(!settings.MakeEditor(QStringLiteral("储蓄")));  // a group opens nothing
        tree->setCurrentItem(tree->topLevelItem(1));
        settings.OpenChosen();  // nothing to run: returns at once
    }

    void restoringAKeptCopy()
    {
        CMainDlg &window = m_open->window;
        window.m_memoBook.Add(QStringLiteral("2003-05-01"), QStringLiteral("留着"), QStringLiteral("Li"));
        QString error;
        const QString copy = MakeBackup(*OpenLedgerDatabase(), DataDirectory(), &error);
        const QStringList membersOfCopy = g_memberList;
        const qsizetype itemsOfCopy = g_itemList.size();
        window.m_memoBook.Add(QStringLiteral("2003-05-02"), QStringLiteral("后来的"), QStringLiteral("Li"));
        window.m_moneyBook.Add(LedgerDateTime(QDate(2003, 5, 2)), QStringLiteral("工资"), 100, QStringLiteral("Li"), QString());
        window.PressButton(1000);
        window.PressButton(1018);  // the home page stays shown through the restore
        QCOMPARE(window.Control(1220)->toolTip(), QStringLiteral("100"));
        g_memberList << QStringLiteral("Wang") << QStringLiteral("1");  // a member added since, in memory
        const std::unique_ptr<CSettingsDlg> settings = window.MakeSettings();
        std::unique_ptr<QDialog> editor(settings->MakeEditor(QStringLiteral("恢复备份")));
        auto *restore = qobject_cast<CRestoreDlg *>(editor.get());
        QVERIFY(restore);
        auto *copies = editor->findChild<QListWidget *>(QStringLiteral("copies"));
        QCOMPARE(copies->count(), 1);
        QVERIFY(!restore->Restore());
        QCOMPARE(m_open->messages.Last(), QStringLiteral("请选择要恢复的备份"));
        copies->setCurrentRow(0);
        m_open->messages.answer = false;  // asked, and not wanted
        QVERIFY(!restore->Restore());
        QCOMPARE(window.m_memoBook.GetItemCount(), 2);
        m_open->messages.answer = true;
        QVERIFY(restore->Restore());
        QCOMPARE(window.m_memoBook.GetItemCount(), 1);
        QCOMPARE(window.m_memoBook.GetItemText(0, 1), QStringLiteral("留着"));
        QVERIFY(!window.Control(1219)->isHidden());  // back on the home page
        // The lists are the copy's, read once, not added to those of the ledger replaced.
        QCOMPARE(g_memberList, membersOfCopy);
        QCOMPARE(g_itemList.size(), itemsOfCopy);
        QCOMPARE(window.Control(1220)->toolTip(), QStringLiteral("0"));  // the home page's totals are the copy's
        QCOMPARE(ListBackups(DataDirectory()).size(), 2);  // the ledger before the restore kept too
        QVERIFY(ListBackups(DataDirectory()).contains(copy));
        // Offered again, the copy of the ledger before the restore says it is the way back.
        CRestoreDlg again(&window);
        auto *offered = again.findChild<QListWidget *>(QStringLiteral("copies"));
        QCOMPARE(offered->item(0)->text(), ListBackups(DataDirectory()).first() + QStringLiteral("（恢复前的帐目）"));
        QCOMPARE(offered->item(1)->text(), copy);
    }

    void aRestoreThatCannotPutItsListsInPlaceEndsTheWindowAndTheNextStartFinishesIt()
    {
        // The copy is ready and the database put back, then a list file cannot be (its place taken by
        // a folder): half of each is no ledger to work on, so the failure is told, the window ends,
        // and the next start puts the rest in place.
        CMainDlg &window = m_open->window;
        window.m_memoBook.Add(QStringLiteral("2003-05-01"), QStringLiteral("留着"), QStringLiteral("Li"));
        QString error;
        const QString copy = MakeBackup(*OpenLedgerDatabase(), DataDirectory(), &error);
        QVERIFY(!copy.isEmpty());
        const QByteArray banks = ReadBytes(DataDirectory() + QStringLiteral("/Backup/") + copy + QStringLiteral("/Bank.kwl"));
        window.m_memoBook.Add(QStringLiteral("2003-05-02"), QStringLiteral("后来的"), QStringLiteral("Li"));
        QVERIFY(QFile::remove(DataFilePath(QStringLiteral("Bank.kwl"))));
        QVERIFY(QDir().mkdir(DataFilePath(QStringLiteral("Bank.kwl"))));
        QSignalSpy ended(&window, &QDialog::finished);
        const std::unique_ptr<CSettingsDlg> settings = window.MakeSettings();
        std::unique_ptr<QDialog> editor(settings->MakeEditor(QStringLiteral("恢复备份")));
        auto *restore = qobject_cast<CRestoreDlg *>(editor.get());
        restore->findChild<QListWidget *>(QStringLiteral("copies"))->setCurrentRow(0);
        m_open->messages.answer = true;
        QVERIFY(!restore->Restore());
        QVERIFY(m_open->messages.Last().contains(QStringLiteral("Bank.kwl")));
        QVERIFY(m_open->messages.Last().contains(QStringLiteral("重新启动")));
        QCOMPARE(ended.count(), 1);
        QVERIFY(MakeBackup(*OpenLedgerDatabase(), DataDirectory(), &error).isEmpty());  // no copy of half a ledger

        QVERIFY(QDir().rmdir(DataFilePath(QStringLiteral("Bank.kwl"))));
        QVERIFY2(SettleBackups(DataDirectory(), &error), qPrintable(error));
        QCOMPARE(ReadBytes(DataFilePath(QStringLiteral("Bank.kwl"))), banks);
        QCOMPARE(CommittedView(DatabasePath()).Number(QStringLiteral("SELECT count(*) FROM Memo")), qint64(1));
    }

    void aLongListShowsTheListThroughEveryEdit()
    {
        // The editor touches only the lines an edit changed; whatever the edits, it shows the list.
        g_bankList.clear();
        for (int i = 0; i < 300; ++i)
            g_bankList << QStringLiteral("银行%1").arg(i);
        CItemEditDlg editor(ListMode::Banks);
        auto *lines = Find<QListWidget>(&editor, 1203);
        auto *content = Find<QLineEdit>(&editor, 1204);
        const auto shown = [lines] {
            QStringList texts;
            for (int i = 0; i < lines->count(); ++i)
                texts << lines->item(i)->text();
            return texts;
        };
        QCOMPARE(shown(), g_bankList);
        std::mt19937 random(7);
        for (int step = 0; step < 300; ++step) {
            const int row = int(random() % quint32(g_bankList.size()));
            lines->setCurrentRow(row);
            switch (random() % 5) {
            case 0:
                content->setText(QStringLiteral("新%1").arg(step));
                editor.Add();
                break;
            case 1: editor.Delete(); break;
            case 2: editor.MoveUp(); break;
            case 3: editor.MoveDown(); break;
            default:
                content->setText(QStringLiteral("改%1").arg(step));
                editor.Modify();
                break;
            }
            QCOMPARE(shown(), g_bankList);
        }
        lines->setCurrentRow(5);
        const QString fifth = g_bankList.at(5);
        editor.MoveUp();
        QCOMPARE(lines->currentRow(), 4);  // the moved line stays chosen
        QCOMPARE(lines->currentItem()->text(), fifth);
        QVERIFY(m_open->messages.messages.isEmpty());
    }

    void bankEditorWithoutKindWords()
    {
        g_bankList = QStringList({"中国银行", "招商银行"});
        CItemEditDlg editor(ListMode::Banks);
        editor.show();
        QCOMPARE(editor.windowTitle(), QStringLiteral("收支项目"));
        QVERIFY(!Find<QRadioButton>(&editor, 1212)->isVisible());
        auto *lines = Find<QListWidget>(&editor, 1203);
        QCOMPARE(lines->count(), 2);
        QCOMPARE(lines->currentRow(), -1);  // nothing chosen when it opens
        lines->setCurrentRow(1);
        auto *content = Find<QLineEdit>(&editor, 1204);
        QCOMPARE(content->text(), QStringLiteral("招商银行"));
        // A '#' goes, one per message.
        QTest::keyClicks(content, QStringLiteral("##"));
        QCOMPARE(content->text(), QStringLiteral("招商银行"));
        QCOMPARE(m_open->messages.messages.size(), 2);
        QCOMPARE(m_open->messages.Last(), kReservedCharMessage);
        editor.MoveUp();
        QCOMPARE(g_bankList, QStringList({"招商银行", "中国银行"}));
        QCOMPARE(lines->currentRow(), 0);
        editor.Delete();
        QCOMPARE(g_bankList, QStringList({"中国银行"}));
        QCOMPARE(lines->currentRow(), -1);
    }

    void itemsKeepTheirKindAndCancelKeepsTheChangesInMemory()
    {
        const QByteArray before = ReadBytes(m_open->install.DataFile("Item.kwl"));
        {
            CItemEditDlg editor(ListMode::Items);
            editor.show();
            auto *content = Find<QLineEdit>(&editor, 1204);
            content->setText(QStringLiteral("理财"));
            editor.Add();
            QCOMPARE(m_open->messages.Last(), QStringLiteral("请注明收入支出"));
            Find<QRadioButton>(&editor, 1212)->click();
            editor.Add();
            QCOMPARE(g_itemList.last(), QStringLiteral("收入    理财"));
            editor.Add();
            QCOMPARE(m_open->messages.Last(), QStringLiteral("添加的项目已存在"));
            // Choosing a line shows its kind and name; an unchanged 修改 is refused.
            auto *lines = Find<QListWidget>(&editor, 1203);
            const int food = g_itemList.indexOf(QStringLiteral("支出    餐饮"));
            lines->setCurrentRow(food);
            QVERIFY(Find<QRadioButton>(&editor, 1213)->isChecked());
            QCOMPARE(content->text(), QStringLiteral("餐饮"));
            editor.Modify();
            QCOMPARE(m_open->messages.Last(), QStringLiteral("修改后的项目已存在"));
            content->setText(QStringLiteral("饮食"));
            editor.Modify();
            QCOMPARE(g_itemList.at(food), QStringLiteral("支出    饮食"));
            QCOMPARE(lines->currentRow(), food);
            editor.reject();  // 取消
        }
        QVERIFY(g_itemList.contains(QStringLiteral("收入    理财")));   // for the rest of the run
        QCOMPARE(ReadBytes(m_open->install.DataFile("Item.kwl")), before);  // but not in the file
    }

    void rateEditorHasItsFixedLines()
    {
        CItemEditDlg editor(ListMode::Rates);
        editor.show();
        auto *lines = Find<QListWidget>(&editor, 1203);
        QCOMPARE(lines->count(), 16);
        for (int id : {1205, 1207, 1208, 1209})
            QVERIFY(!Find<QPushButton>(&editor, id)->isEnabled());
        QVERIFY(!Find<QLineEdit>(&editor, 1204)->isVisible());
        auto *rate = Find<QLineEdit>(&editor, 1214);
        QVERIFY(rate->isVisible());
        lines->setCurrentRow(2);
        QCOMPARE(rate->text(), QString::number(g_rateTable[2]));
        rate->clear();
        QTest::keyClicks(rate, QStringLiteral("2.2555"));
        editor.Modify();
        QCOMPARE(lines->item(2)->text(), QStringLiteral("定期一年        2.255"));
        editor.Save();
        QCOMPARE(ReadBytes(m_open->install.DataFile("Rate.kwl")).split('#').value(2), QByteArray("2.255"));
    }

    void assetKindsByTheListInFocus()
    {
        g_articleKindList = QStringList({"车 轿车", "车 摩托", "车库 车位"});
        CArticleKindDlg kinds;
        kinds.show();
        auto *majors = Find<QListWidget>(&kinds, 1213);
        auto *minors = Find<QListWidget>(&kinds, 1214);
        QCOMPARE(majors->currentItem()->text(), QStringLiteral("车"));
        QCOMPARE(minors->count(), 2);
        QCOMPARE(Find<QLineEdit>(&kinds, 1215)->text(), QStringLiteral("车"));
        Focus(minors);
        QVERIFY(!kinds.IsMajorMode());
        QVERIFY(!Find<QLineEdit>(&kinds, 1215)->isEnabled());
        minors->setCurrentRow(1);
        Find<QLineEdit>(&kinds, 1216)->setText(QStringLiteral("电动车"));
        kinds.Modify();
        QCOMPARE(g_articleKindList, QStringList({"车 轿车", "车 电动车", "车库 车位"}));
        Focus(majors);
        QVERIFY(kinds.IsMajorMode());
        kinds.Delete();  // the major kind 车, not 车库
        QCOMPARE(g_articleKindList, QStringList({"车库 车位"}));
        QCOMPARE(majors->currentItem()->text(), QStringLiteral("车库"));
        kinds.Add();
        QCOMPARE(majors->currentItem()->text(), QStringLiteral("新物品种类"));
        Find<QLineEdit>(&kinds, 1215)->setText(QStringLiteral("车库"));
        kinds.Modify();
        QCOMPARE(m_open->messages.Last(), QStringLiteral("添加的物品种类已存在"));
        kinds.Save();
        QVERIFY(ReadBytes(m_open->install.DataFile("Article.kwl")).startsWith("\xb3\xb5\xbf\xe2"));  // 车库 in GBK
    }

    void reservedCharTypedIntoAFullField()
    {
        // Fifteen Chinese characters fill the bank field's 30 bytes; a '#' typed amid them is cut by the
        // length limit and refused by the guard at once: one message, no '#' left.
        CItemEditDlg editor(ListMode::Banks);
        editor.show();
        auto *content = Find<QLineEdit>(&editor, 1204);
        content->setText(QStringLiteral("中国农业发展银行江苏省分行营业"));
        content->setCursorPosition(7);
        const qsizetype before = m_open->messages.messages.size();
        QTest::keyClicks(content, QStringLiteral("#"));
        QCOMPARE(m_open->messages.messages.size(), before + 1);
        QVERIFY(!content->text().contains(QLatin1Char('#')));
    }

    void majorKindEmptiedByItsLastNameLeavesTheListsInStep()
    {
        g_articleKindList = QStringList({"车 轿车", "家电 电视", "车库 车位", "书 小说"});
        CArticleKindDlg kinds;
        kinds.show();
        auto *majors = Find<QListWidget>(&kinds, 1213);
        auto *minors = Find<QListWidget>(&kinds, 1214);
        auto *majorField = Find<QLineEdit>(&kinds, 1215);
        majors->setCurrentRow(1);
        Focus(minors);
        minors->setCurrentRow(0);
        kinds.Delete();  // 电视, the last name of 家电
        QCOMPARE(g_articleKindList, QStringList({"车 轿车", "车库 车位", "书 小说"}));
        QStringList shown;
        for (int row = 0; row < majors->count(); ++row)
            shown << majors->item(row)->text();
        QCOMPARE(shown, QStringList({"车", "车库", "书"}));

        // Renaming a kind keeps it chosen, and the fields show it.
        Focus(majors);
        majors->setCurrentRow(1);
        QCOMPARE(majorField->text(), QStringLiteral("车库"));
        majorField->setText(QStringLiteral("车棚"));
        kinds.Modify();
        QCOMPARE(g_articleKindList, QStringList({"车 轿车", "车棚 车位", "书 小说"}));
        QCOMPARE(majors->currentItem()->text(), QStringLiteral("车棚"));
        QCOMPARE(majorField->text(), QStringLiteral("车棚"));
        QCOMPARE(minors->item(0)->text(), QStringLiteral("车位"));
    }

private:
    std::unique_ptr<OpenLedger> m_open;
};

QTEST_MAIN(TestSettingsDlg)
#include "tst_settingsdlg.moc"
