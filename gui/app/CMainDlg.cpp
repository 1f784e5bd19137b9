// The main window: start-up, the switching of panels, its own buttons and its exit. Its layout, by
// number, is in CMainDlgLayout.cpp; the panels' buttons are handled in gui/panels.
#include "CMainDlg.h"

#include "app/CBookView.h"
#include "common/LedgerDate.h"
#include "common/Messages.h"
#include "common/Paths.h"
#include "controls/CIconButton.h"
#include "controls/CLinkLabel.h"
#include "db/DbError.h"
#include "db/LedgerBackups.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CFindWindow.h"
#include "dialogs/CDueRecordsDlg.h"
#include "dialogs/CStatDlg.h"
#include "db/ChangeJournal.h"
#include "db/Ledger.h"
#include "db/LedgerPlace.h"
#include "db/PgConnection.h"
#include "db/SqlConnection.h"
#include "recurring/CRecurringBook.h"
#include "lists/CAddMemberDlg.h"
#include "lists/MemberRules.h"
#include "lists/CLoginDlg.h"
#include "lists/CSettingsDlg.h"
#include "lists/ReferenceLists.h"
#include "panels/CAddressPanel.h"
#include "panels/CArticlePanel.h"
#include "panels/CCreditPanel.h"
#include "panels/CCurrentPanel.h"
#include "panels/CDepositPanel.h"
#include "panels/CInsurePanel.h"
#include "panels/CMemoPanel.h"
#include "panels/CMoneyPanel.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QShortcut>
#include <QSplashScreen>
#include <QThread>
#include <QTimer>

using namespace Action;

namespace {

// Client area of the window (400 x 273 dialog units of the 9-point template font).
constexpr int kWidth = 600;
constexpr int kHeight = 410;

// The lists of the panels, by number.
enum List : int { MoneyList = 1004, ArticleList = 1006, DepositList = 1008, CurrentList = 1098, MemoList = 1114,
                  AddressList = 1115, CreditList = 1116, InsureList = 1117 };

} // namespace

CMainDlg::CMainDlg(QWidget *parent) : CMainDlg(Options(), parent) {}

CMainDlg::CMainDlg(const Options &options, QWidget *parent) : QDialog(parent), m_options(options)
{
    ShowLedgerInTitle();
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(kWidth, kHeight);
    setWindowIcon(QIcon::fromTheme(QStringLiteral("wallet-open")));
    // The window menu's 关于 Zarvel, on a right click where the desktop gives the window no menu of its own.
    auto *about = new QAction(QStringLiteral("关于 Zarvel"), this);
    connect(about, &QAction::triggered, this, [this] { PressButton(About); });
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *takeBack = new QShortcut(QKeySequence::Undo, this);
    connect(takeBack, &QShortcut::activated, this, &CMainDlg::TakeBackLastChange);
    CreateControls();
    InitLedger();
    connect(&m_watch, &ServerWatch::othersChanged, this, &CMainDlg::ShowOthersChanges);
    connect(&m_watch, &ServerWatch::connectionLost, this, [this] {
        ShowLedgerInTitle();
        if (const PgSettings *server = ServerLedgerSettings())
            ShowMessage(QStringLiteral("与服务器 %1 的连接已断开。\n\n窗口中已显示的帐目仍可查看；在重新连接之前，任何改动都不会保存。"
                                       "程序会自动重新连接。")
                            .arg(server->Describe()),
                        QStringLiteral("服务器帐本"), MessageIcon::Warning);
    });
    connect(&m_watch, &ServerWatch::stillAway, this, [this](const QString &why) { ShowLedgerInTitle(why); });
    connect(&m_watch, &ServerWatch::connectionBack, this, [this] {
        ShowLedgerInTitle();
        ShowOthersChanges({QStringLiteral("listfiles"), QStringLiteral("money")});
    });
    FollowServer();
}

void CMainDlg::FollowServer()
{
    if (m_bEnded)
        return;
    m_watch.Follow();
    ShowLedgerInTitle();
}

void CMainDlg::ShowLedgerInTitle(const QString &why)
{
    QString title = QStringLiteral("Zarvel V1.07");
    if (const PgSettings *server = ServerLedgerSettings()) {
        title += QStringLiteral(" — 服务器帐本 ") + server->Describe();
        if (m_watch.IsLost())
            title += why.isEmpty() ? QStringLiteral("（连接已断开，正在重新连接……）")
                                   : QStringLiteral("（连接已断开：%1 正在重新连接……）").arg(why);
    } else if (ReadLedgerPlace().onServer) {
        // The household chose the ledger file for this run only: what it writes does not reach the others.
        title += QStringLiteral(" — 本机帐本（本次未连接服务器帐本）");
    }
    setWindowTitle(title);
}

void CMainDlg::ChangeLedgerPlace()
{
    CloseFindWindows();
    ClearReferenceLists();
    LoadAllListFiles();
    ReloadLedger();
    if (m_home->IsShown())
        m_home->Refresh();
    FollowServer();
}

void CMainDlg::ShowOthersChanges(const QSet<QString> &tables)
{
    m_othersChanged.unite(tables);
    // A dialog open on a record must not see its row move under it: read again once it is closed.
    const QWidget *modal = QApplication::activeModalWidget();
    if ((modal && modal != this) || QApplication::activePopupWidget()) {
        constexpr int kLookAgainMs = 300;
        QTimer::singleShot(kLookAgainMs, this, [this] { ShowOthersChanges({}); });
        return;
    }
    const QSet<QString> changed = std::exchange(m_othersChanged, {});
    if (changed.isEmpty() || m_closing)
        return;
    // What the record sets and the list's blocks knew of the tables is of before the change.
    TellDbFailure([] { OpenLedgerDatabase()->NoteChangeOfAll(); });
    if (changed.contains(QStringLiteral("listfiles"))) {
        ClearReferenceLists();
        LoadAllListFiles();
    }
    // A book lists another copy's new records only once its set is opened again; the record each
    // had selected stays selected where it is still listed.
    if (changed.size() > 1 || !changed.contains(QStringLiteral("listfiles"))) {
        std::vector<std::pair<CBook *, qint64>> selected;
        for (CBook *book : Books())
            selected.emplace_back(book, book->GetSelected() >= 0 ? book->GetItemData(book->GetSelected()) : 0);
        CloseBooks();
        ReadBooksAgain();
        for (const auto &[book, id] : selected) {
            for (int row = 0; id != 0 && row < book->GetItemCount(); ++row) {
                if (book->GetItemData(row) == id) {
                    book->SetSelected(row);
                    break;
                }
            }
        }
    }
    TellDbFailure([this] { m_home->Refresh(); });
}

CMainDlg::~CMainDlg()
{
    // The panels and their find windows listen to the books, which are members: they go first, and
    // the views with them.
    m_panels.clear();
    m_home.reset();
    qDeleteAll(findChildren<CBookView *>());
}

void CMainDlg::SetIcons()
{
    for (QWidget *widget : std::as_const(m_controls)) {
        if (auto *button = qobject_cast<CIconButton *>(widget)) {
            button->SetIcons(button->property("iconNumber").toInt(), 32, 32);
            button->SetLedgerColors();
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Panels and the window's own buttons

void CMainDlg::BuildPanels()
{
    const CLedgerPanel::Controls controls = [this](int id) { return Control(id); };
    // In the order the books are filled at start: the first failure is the one told.
    m_panels.push_back(std::make_unique<CMoneyPanel>(m_moneyBook, this, controls));
    m_panels.push_back(std::make_unique<CArticlePanel>(m_articleBook, this, controls));
    m_panels.push_back(std::make_unique<CDepositPanel>(m_depositBook, m_moneyBook, this, controls));
    m_panels.push_back(std::make_unique<CCurrentPanel>(m_currentBook, this, controls));
    m_panels.push_back(std::make_unique<CMemoPanel>(m_memoBook, this, controls));
    m_panels.push_back(std::make_unique<CAddressPanel>(m_addressBook, this, controls));
    m_panels.push_back(std::make_unique<CCreditPanel>(m_creditBook, this, controls));
    m_panels.push_back(std::make_unique<CInsurePanel>(m_insureBook, this, controls));
    for (const auto &panel : m_panels)
        panel->List()->AddMenuAction(QStringLiteral("撤销…"), [this] { TakeBackLastChange(); });
    m_home = std::make_unique<CHomePage>(
        CHomePage::Books{m_moneyBook, m_depositBook, m_currentBook, m_articleBook, m_insureBook, m_creditBook}, this,
        controls);
}

CLedgerPanel *CMainDlg::Panel(int listId) const
{
    for (const auto &panel : m_panels) {
        if (panel->List() == Control(listId))
            return panel.get();
    }
    return nullptr;
}

std::unique_ptr<CSettingsDlg> CMainDlg::MakeSettings()
{
    auto settings = std::make_unique<CSettingsDlg>(this);
    settings->SetMoneyBook(&m_moneyBook);
    connect(settings.get(), &CSettingsDlg::ledgerReplaced, this, &CMainDlg::ReloadLedger);
    connect(settings.get(), &CSettingsDlg::recordsRestored, this, &CMainDlg::ReadBooksAgain);
    connect(settings.get(), &CSettingsDlg::ledgerUnusable, this, &CMainDlg::End);
    connect(settings.get(), &CSettingsDlg::ledgerPlaceChanged, this, &CMainDlg::ChangeLedgerPlace);
    return settings;
}

void CMainDlg::RegisterActions()
{
    // Each panel button: a control shown only with its panel (nothing to do while it shows), and the
    // panels it hides, in order, and what it shows.
    m_switches = {
        {ShowHome, {1219, [this] { HidePanel(MoneyList); HideSavingsGroup(); HidePanel(InsureList); HidePanel(ArticleList); HideMemoGroup(); m_home->Show(); }}},
        {ShowMoney, {MoneyList, [this] { HidePanel(ArticleList); HideSavingsGroup(); HideMemoGroup(); HidePanel(InsureList); m_home->Hide(); ShowPanel(MoneyList); }}},
        {ShowSavings, {ShowDeposits, [this] { HidePanel(MoneyList); HidePanel(ArticleList); HideMemoGroup(); HidePanel(InsureList); m_home->Hide(); ShowPanel(DepositList); ShowControls({ShowDeposits, ShowCurrent}); }}},
        {ShowArticles, {ArticleList, [this] { HidePanel(MoneyList); HideSavingsGroup(); HideMemoGroup(); HidePanel(InsureList); m_home->Hide(); ShowPanel(ArticleList); }}},
        {ShowInsurance, {InsureList, [this] { HidePanel(MoneyList); HideSavingsGroup(); HidePanel(ArticleList); HideMemoGroup(); m_home->Hide(); ShowPanel(InsureList); }}},
        {ShowMemos, {ShowMemoList, [this] { HidePanel(MoneyList); HidePanel(ArticleList); HideSavingsGroup(); HidePanel(InsureList); m_home->Hide(); ShowPanel(MemoList); ShowControls({ShowMemoList, ShowAddresses, ShowCredit}); }}},
        {ShowDeposits, {DepositList, [this] { HidePanel(CurrentList); m_home->Hide(); ShowPanel(DepositList); ShowControls({ShowDeposits, ShowCurrent}); }}},
        {ShowCurrent, {CurrentList, [this] { HidePanel(DepositList); m_home->Hide(); ShowPanel(CurrentList); ShowControls({ShowDeposits, ShowCurrent}); }}},
        {ShowMemoList, {MemoList, [this] { HidePanel(AddressList); HidePanel(CreditList); ShowPanel(MemoList); }}},
        {ShowAddresses, {AddressList, [this] { HidePanel(MemoList); HidePanel(CreditList); ShowPanel(AddressList); }}},
        {ShowCredit, {CreditList, [this] { HidePanel(MemoList); HidePanel(AddressList); m_home->Hide(); ShowPanel(CreditList); ShowControls({ShowMemoList, ShowAddresses, ShowCredit}); }}},
    };
    // The window's own buttons.
    m_actions.insert(Statistics, [this] {
        CStatDlg dialog(m_moneyBook, this);
        dialog.exec();
    });
    m_actions.insert(Settings, [this] {
        MakeSettings()->exec();
        m_home->Refresh();  // recurring records may have changed
    });
    // The recurring line: what waits to be confirmed, else the list of recurring records.
    m_actions.insert(RecurringLine, [this] {
        static_cast<CLinkLabel *>(Control(RecurringLine))->ClearHover();
        const QDate today = LedgerNow().date();
        if (CRecurringBook(OpenLedgerDatabase()).Outlook(today, CHomePage::kRecurringDays).due > 0) {
            OfferDueRecords(today);
        } else {
            const std::unique_ptr<CSettingsDlg> settings = MakeSettings();
            const std::unique_ptr<QDialog> list(settings->MakeEditor(QStringLiteral("周期收支")));
            list->exec();
        }
        m_home->Refresh();
    });
    m_actions.insert(DesktopCalculator, [this] { LaunchCalculator(); });
    m_actions.insert(About, [this] {
        CAboutDlg about(this);
        about.exec();
    });
    m_actions.insert(ContactLink, [this] {
        CLinkLabel::OpenLinkTarget(static_cast<CLinkLabel *>(Control(ContactLink))->GetLinkTarget());
    });
}

void CMainDlg::PressButton(int id)
{
    TellDbFailure([this, id] { Press(id); });
}

void CMainDlg::Press(int id)
{
    // The home page's summary lines show the panel of their line.
    static const QHash<int, int> summaryLines = {{1220, ShowMoney}, {1221, ShowDeposits}, {1222, ShowCurrent},
                                                 {1223, ShowArticles}, {1224, ShowInsurance}, {1225, ShowCredit}};
    if (summaryLines.contains(id)) {
        auto *line = static_cast<CLinkLabel *>(Control(id));
        line->ClearHover();
        line->repaint();
        id = summaryLines.value(id);
    }
    if (m_switches.contains(id)) {
        SwitchPanel(id);
        return;
    }
    // A panel's own button, or one of the window's.
    for (const auto &panel : m_panels) {
        if (panel->Press(id))
            return;
    }
    const auto action = m_actions.constFind(id);
    if (action != m_actions.constEnd())
        action.value()();
}

void CMainDlg::LaunchCalculator()
{
    QStringList missing;
    if (m_calculator.Launch(&missing))
        return;
    if (!m_calculator.FailedToStart().isEmpty())
        ShowMessage(QStringLiteral("计算器程序无法启动：") + m_calculator.FailedToStart().join(QStringLiteral("、")),
                    QStringLiteral("计算器"), MessageIcon::Error);
    else
        ShowMessage(QStringLiteral("没有找到计算器程序。查找过：") + missing.join(QStringLiteral("、")), QStringLiteral("计算器"));
}

// ---------------------------------------------------------------------------------------------
// Start-up

void CMainDlg::ShowSplash(const QString &path, int milliseconds)
{
    if (!QFileInfo::exists(path)) {
        ShowMessage(QStringLiteral("Can't find the bitmap file,Splash failed!"));
        return;
    }
    const QPixmap picture(path);
    if (picture.isNull()) {
        QThread::msleep(milliseconds);
        return;
    }
    QSplashScreen splash(picture);
    splash.show();
    QElapsedTimer shown;
    shown.start();
    while (shown.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
        QThread::msleep(10);
    }
}

void CMainDlg::FillBooks()
{
    // A database error while the books open is told once; the window then opens with what it has.
    bool told = false;
    for (const auto &panel : m_panels) {
        try {
            panel->FillBook();
        } catch (const DbError &error) {
            if (!told)
                ShowMessage(error.Message(), QStringLiteral("数据库错误"), MessageIcon::Error);
            told = true;
        }
    }
}

void CMainDlg::InitLedger()
{
    if (m_options.showSplash)
        ShowSplash(PictureFilePath(QStringLiteral("Morvane.bmp")), 1000);
    LoadAllListFiles();
    if (const QString told = SecureMemberPasswords(KeptCopiesOfFile(DataDirectory(), QStringLiteral("Member.kwl"))); !told.isEmpty())
        ShowMessage(told, QStringLiteral("家庭成员"), MessageIcon::Warning);
    MakeLists();
    BuildPanels();
    RegisterActions();
    FillBooks();
    m_bLoginOK = false;
    for (QWidget *widget : std::as_const(m_controls))
        widget->hide();
    if (g_bNeedPassword != 0) {
        RunLogin();
        if (m_bEnded)
            return;
    }
    ShowControls({ShowHome, ShowMoney, ShowSavings, ShowArticles, ShowInsurance, ShowMemos, Statistics, Settings,
                  DesktopCalculator});
    m_strWelcome = m_home->SetWelcome(m_strMember);
    m_home->SetUp();
    m_home->Show();
    SetIcons();
}

void CMainDlg::RunLogin()
{
    if (!g_memberList.isEmpty()) {
        CLoginDlg login(this);
        m_bLoginOK = login.exec() == QDialog::Accepted;
        if (m_bLoginOK) {
            m_strMember = login.Member();
        } else {
            CloseBooks();
            m_bEnded = true;
        }
        return;
    }
    // No member yet: one may be added; start-up goes on whatever the user did, without a login.
    CAddMemberDlg add(this);
    add.exec();
}

void CMainDlg::ReloadLedger()
{
    CloseFindWindows();
    CloseBooks();
    TellDbFailure([this] { m_moneyBook.SetFilter(QString()); });  // the whole restored list, unfiltered
    FillBooks();
    if (!m_home->IsShown())
        SwitchPanel(ShowHome);
}

void CMainDlg::ReadBooksAgain()
{
    CloseFindWindows();
    for (const auto &panel : m_panels)
        TellDbFailure([&panel] { panel->ReadBookAgain(); });
}

void CMainDlg::TakeBackLastChange()
{
    const QString caption = QStringLiteral("撤销");
    // A shared ledger's last change may have been built on by another computer since: not taken back.
    if (UsesServerLedger()) {
        ShowMessage(QStringLiteral("服务器帐本由几台电脑共用，上面的改动不能撤销。请直接修改或删除有误的记录。"), caption);
        return;
    }
    TellDbFailure([&] {
        ChangeJournal &journal = LedgerJournal();
        if (!journal.CanTakeBack()) {
            ShowMessage(QStringLiteral("本次运行以来没有可以撤销的改动。"), caption);
            return;
        }
        if (!AskYesNo(QStringLiteral("撤销上一次改动吗？\n\n") + journal.LastChangeText(), caption))
            return;
        const ChangeJournal::TakeBack result = journal.TakeBackLast();
        if (result == ChangeJournal::TakeBack::ChangedSince) {
            ShowMessage(QStringLiteral("这次改动涉及的记录之后又被改过，无法撤销，没有改动任何记录。"), caption, MessageIcon::Warning);
            return;
        }
        ReadBooksAgain();
    }, caption);
}

// ---------------------------------------------------------------------------------------------
// Switching panels

bool CMainDlg::Hidden(int id) const
{
    QWidget *widget = Control(id);
    return !widget || widget->isHidden();
}

void CMainDlg::ShowControls(std::initializer_list<int> ids)
{
    for (int id : ids)
        Control(id)->show();
}

void CMainDlg::HideControls(std::initializer_list<int> ids)
{
    for (int id : ids)
        Control(id)->hide();
}

void CMainDlg::CloseFindWindows()
{
    for (const auto &panel : m_panels)
        panel->CloseFindWindow();
}

QDialog *CMainDlg::FindWindow() const
{
    for (const auto &panel : m_panels) {
        if (panel->FindWindow())
            return panel->FindWindow();
    }
    return nullptr;
}

void CMainDlg::ShowPanel(int listId)
{
    Panel(listId)->Show();
}

void CMainDlg::HidePanel(int listId)
{
    Panel(listId)->Hide();
}

void CMainDlg::HideSavingsGroup()
{
    if (Hidden(ShowDeposits))
        return;
    HidePanel(DepositList);
    HidePanel(CurrentList);
    HideControls({ShowDeposits, ShowCurrent});
}

void CMainDlg::HideMemoGroup()
{
    if (Hidden(ShowMemoList))
        return;
    HidePanel(MemoList);
    HidePanel(AddressList);
    HidePanel(CreditList);
    HideControls({ShowMemoList, ShowAddresses, ShowCredit});
}

void CMainDlg::OfferDueRecords(const QDate &today)
{
    if (m_bEnded)
        return;
    TellDbFailure([this, &today] {
        // A ledger that never had a recurring record is not written to at start (it may be read-only).
        const auto db = OpenLedgerDatabase();
        if (!CRecurringBook::IsLaid(*db))
            return;
        CRecurringBook recurring(db);
        CDueRecordsDlg dialog(recurring, m_moneyBook, today, this);
        if (!dialog.NothingDue())
            dialog.exec();
    });
}

void CMainDlg::OpenImportOf(const QString &file)
{
    if (m_bEnded)
        return;
    // A dialog open over the window (an import among them) is finished first: two imports over each
    // other would each write what the other cannot see, and the list is not switched under a dialog.
    if (QWidget *open = QApplication::activeModalWidget(); open && open != this) {
        constexpr int kRetryMs = 250;
        QTimer::singleShot(kRetryMs, this, [this, file] { OpenImportOf(file); });
        return;
    }
    showNormal();
    raise();
    activateWindow();
    PressButton(ShowMoney);
    if (auto *money = dynamic_cast<CMoneyPanel *>(Panel(MoneyList)))
        money->OpenImport(file);
}

void CMainDlg::SwitchPanel(int id)
{
    const auto found = m_switches.constFind(id);
    if (found == m_switches.constEnd() || !Hidden(found->shownWith))
        return;
    found->hideAndShow();
}

// ---------------------------------------------------------------------------------------------
// Keys and exit

void CMainDlg::keyPressEvent(QKeyEvent *event)
{
    // Escape and Return reach the focused control only; neither ends the window or presses a button.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CMainDlg::reject()
{
    if (!m_closing)
        close();
}

std::vector<CBook *> CMainDlg::Books()
{
    return {&m_moneyBook, &m_articleBook, &m_depositBook, &m_currentBook, &m_memoBook, &m_addressBook, &m_creditBook, &m_insureBook};
}

void CMainDlg::CloseBooks()
{
    for (CBook *book : Books())
        book->Close();
}

void CMainDlg::closeEvent(QCloseEvent *event)
{
    if (!AskYesNo(QStringLiteral("确定退出系统吗?"), QStringLiteral("退出"))) {
        event->ignore();
        return;
    }
    event->accept();
    End();
}

void CMainDlg::End()
{
    if (m_closing)
        return;
    CloseFindWindows();
    m_calculator.Close();
    CloseBooks();
    m_home->Hide();
    m_closing = true;
    done(QDialog::Accepted);
}
