// The main window: start-up, panels, status lines, paging, home page and exit.
#include "CMainDlg.h"

#include "app/CLedgerPanel.h"
#include "app/Style.h"
#include "common/Amount.h"
#include "common/Gbk.h"
#include "common/LedgerDate.h"
#include "common/Messages.h"
#include "common/Paths.h"
#include "controls/CIconButton.h"
#include "controls/CLinkLabel.h"
#include "controls/CPageSelector.h"
#include "controls/CScrollBanner.h"
#include "db/DbError.h"
#include "db/SqlConnection.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CAddressDlg.h"
#include "dialogs/CArticleDlg.h"
#include "dialogs/CArticleFindDlg.h"
#include "dialogs/CCreditDlg.h"
#include "dialogs/CCurrentBalanceDlg.h"
#include "dialogs/CCurrentDlg.h"
#include "dialogs/CDepositDlg.h"
#include "dialogs/CFilterDlg.h"
#include "dialogs/CFindDlg.h"
#include "dialogs/CMemoDlg.h"
#include "dialogs/CMoneyFindDlg.h"
#include "dialogs/CInsureDlg.h"
#include "dialogs/CInsureNoteDlg.h"
#include "dialogs/CPolicyListDlg.h"
#include "dialogs/CImportDlg.h"
#include "dialogs/CStatDlg.h"
#include "dialogs/CTransferDlg.h"
#include "dialogs/CMoneyDlg.h"
#include "lists/CAddMemberDlg.h"
#include "app/CBookView.h"
#include "lists/CLoginDlg.h"
#include "lists/CSettingsDlg.h"
#include "lists/ReferenceLists.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QSet>
#include <QSplashScreen>
#include <QThread>
#include <QTimerEvent>


namespace {

// Client area of the window (400 x 273 dialog units of the 9-point template font).
constexpr int kWidth = 600;
constexpr int kHeight = 410;
constexpr int kListTop = 80;
constexpr int kListHeight = kHeight - 98;
constexpr int kRowY = 60;
constexpr int kRowHeight = 20;
constexpr int kStatusY = 394;
constexpr int kLineHeight = 16;  // one line of the 9-point font, descenders included

const QString kDate = QStringLiteral("Date");

// The home page's controls.
const std::initializer_list<int> kHomeControls = {1219, 1220, 1221, 1222, 1223, 1224, 1225, 1226, 1227, 1228, 1229, 1231, 1232};

} // namespace

CMainDlg::CMainDlg(QWidget *parent) : CMainDlg(Options(), parent) {}

CMainDlg::CMainDlg(const Options &options, QWidget *parent) : QDialog(parent), m_options(options)
{
    setWindowTitle(QStringLiteral("Zarvel V1.07"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(kWidth, kHeight);
    setWindowIcon(QIcon::fromTheme(QStringLiteral("wallet-open")));
    // The window menu's 关于 Zarvel, on a right click where the desktop gives the window no menu of its own.
    auto *about = new QAction(QStringLiteral("关于 Zarvel"), this);
    connect(about, &QAction::triggered, this, [this] { PressButton(1228); });
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    CreateControls();
    InitLedger();
}

CMainDlg::~CMainDlg()
{
    // The find windows watch the books, which are members: they go first.
    CloseFindWindows();
    if (m_clockTimer)
        killTimer(m_clockTimer);
    // The views listen to the books, which are members: the views go first.
    qDeleteAll(findChildren<CBookView *>());
}

// ---------------------------------------------------------------------------------------------
// Controls

CIconButton *CMainDlg::MakeButton(int id, const QString &caption, int icon, const QRect &geometry, bool enabled)
{
    auto *button = new CIconButton(caption, this);
    button->setObjectName(QString::number(id));
    button->setGeometry(geometry);
    button->setEnabled(enabled);
    button->setProperty("iconNumber", icon);
    button->setFocusPolicy(Qt::TabFocus);
    m_controls.insert(id, button);
    connect(button, &QPushButton::clicked, this, [this, id] { PressButton(id); });
    return button;
}

QLabel *CMainDlg::MakeLabel(int id, const QRect &geometry, const QColor &color)
{
    auto *label = new QLabel(this);
    label->setObjectName(QString::number(id));
    label->setGeometry(geometry);
    SetTextColor(label, color);
    m_controls.insert(id, label);
    return label;
}

CBookView *CMainDlg::MakeList(int id, CBook &book, const QStringList &titles, const QList<int> &widths,
                              const QRect &geometry)
{
    auto *view = new CBookView(book, titles, widths, this);
    view->setObjectName(QString::number(id));
    view->setGeometry(geometry);
    m_controls.insert(id, view);
    connect(view, &CBookView::rowChosen, this, [this, view] { Guarded([this, view] { OnRowChosen(*PanelOfList(view)); }); });
    connect(view, &CBookView::rowDoubleClicked, this,
            [this, view] { Guarded([this, view] { OnRowDoubleClicked(*PanelOfList(view)); }); });
    return view;
}

void CMainDlg::CreateControls()
{
    // The nine buttons along the top: 42 x 21 dialog units, the first at (3, 3), one every 44.
    const QList<std::tuple<int, QString, int>> top = {
        {1018, QStringLiteral("主题"), 165}, {1000, QStringLiteral("收支"), 164}, {1009, QStringLiteral("储蓄"), 161},
        {1007, QStringLiteral("财产"), 160}, {1019, QStringLiteral("保险"), 163}, {1012, QStringLiteral("备忘"), 162},
        {1017, QStringLiteral("统计"), 159}, {1020, QStringLiteral("设置"), 158}, {1029, QStringLiteral("计算"), 157}};
    for (int i = 0; i < top.size(); ++i) {
        const auto &[id, caption, icon] = top.at(i);
        MakeButton(id, caption, icon, QRect(4 + 66 * i, 4, 63, 36));
    }
    auto *separator = new QFrame(this);
    separator->setObjectName(QStringLiteral("1233"));
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setGeometry(0, 45, kWidth, 2);

    auto row = [](int x, int width) { return QRect(x, kRowY, width, kRowHeight); };
    const QRect fullList(0, kListTop, kWidth, kListHeight);

    // Income and expense.
    MakeButton(1001, QStringLiteral("添加"), 166, row(0, 65));
    MakeButton(1002, QStringLiteral("删除"), 167, row(70, 65), false);
    MakeButton(1003, QStringLiteral("修改"), 168, row(140, 65), false);
    MakeButton(1005, QStringLiteral("过滤"), 170, row(210, 65));
    MakeButton(1038, QStringLiteral("查找"), 169, row(280, 65));
    auto *pages = new CPageSelector(this);
    pages->setObjectName(QStringLiteral("1097"));
    pages->setGeometry(498, kRowY, 50, kRowHeight);
    m_controls.insert(1097, pages);
    connect(pages, QOverload<int>::of(&QComboBox::activated), this,
            [this](int index) { Guarded([this, index] { OnPageChosen(index); }); });
    MakeButton(1010, QString(), 197, QRect(553, kRowY, 20, kRowHeight), false);
    MakeButton(1011, QString(), 196, QRect(578, kRowY, 20, kRowHeight), false);
    MakeLabel(1094, QRect(0, 62, 0, kLineHeight), LedgerColors::kStatusText);
    MakeLabel(1041, QRect(3, kStatusY, 0, kLineHeight), LedgerColors::kStatusText);

    // Assets.
    MakeButton(1042, QStringLiteral("添加新的物品"), 166, QRect(475, 100, 110, 25));
    MakeButton(1044, QStringLiteral("删除此类物品"), 167, QRect(475, 140, 110, 25), false);
    MakeButton(1043, QStringLiteral("同类物品变动"), 168, QRect(475, 180, 110, 25), false);
    MakeButton(1046, QStringLiteral("物品查找"), 169, QRect(475, 220, 110, 25));
    MakeLabel(1045, QRect(3, kStatusY, 0, kLineHeight), LedgerColors::kStatusText);

    // Savings: the two switch buttons and both sub-panels.
    MakeButton(1065, QStringLiteral("定期储蓄"), 171, QRect(0, 100, 86, 35));
    MakeButton(1066, QStringLiteral("活期储蓄"), 172, QRect(0, 150, 86, 35));
    MakeButton(1060, QStringLiteral("新记录"), 166, row(86, 86));
    MakeButton(1061, QStringLiteral("销户"), 167, row(172, 86), false);
    MakeButton(1063, QStringLiteral("续存零整"), 176, row(258, 86), false);
    MakeButton(1062, QStringLiteral("转入现金"), 174, row(344, 86), false);
    MakeButton(1064, QStringLiteral("查找"), 169, row(430, 86));
    MakeLabel(1047, QRect(85, kStatusY, 0, kLineHeight), LedgerColors::kStatusText);
    MakeButton(1067, QStringLiteral("新记录"), 166, row(86, 86));
    MakeButton(1068, QStringLiteral("删除"), 167, row(172, 86), false);
    MakeButton(1069, QStringLiteral("修改"), 168, row(258, 86), false);
    MakeButton(1070, QStringLiteral("查找"), 169, row(344, 86));
    MakeButton(1071, QStringLiteral("查看余额"), 177, row(430, 86));
    MakeLabel(1048, QRect(85, kStatusY, 0, kLineHeight), LedgerColors::kStatusText);

    // Insurance.
    MakeButton(1050, QStringLiteral("添加新保单"), 178, row(0, 98));
    MakeButton(1051, QStringLiteral("添加新记录"), 166, row(98, 98));
    MakeButton(1053, QStringLiteral("删除记录"), 167, row(196, 98), false);
    MakeButton(1054, QStringLiteral("修改记录"), 168, row(294, 98), false);
    MakeButton(1055, QStringLiteral("查找记录"), 169, row(392, 98));
    MakeButton(1056, QStringLiteral("查看保单"), 177, row(490, 98));
    MakeLabel(1052, QRect(3, kStatusY, 0, kLineHeight), LedgerColors::kStatusText);

    // Memo group: memos, address book, lent and borrowed, with their three switch buttons. The
    // switch buttons stand in the 80 pixels right of the lists.
    MakeButton(1072, QStringLiteral("备忘"), 181, QRect(kWidth - 78, 100, 76, 35));
    MakeButton(1073, QStringLiteral("通讯"), 180, QRect(kWidth - 78, 150, 76, 35));
    MakeButton(1074, QStringLiteral("借贷"), 179, QRect(kWidth - 78, 200, 76, 35));
    const int groupIds[3][4] = {{1013, 1014, 1015, 1016}, {1021, 1022, 1023, 1024}, {1025, 1026, 1027, 1028}};
    for (const auto &ids : groupIds) {
        MakeButton(ids[0], QStringLiteral("添加"), 166, row(0, 70));
        MakeButton(ids[1], QStringLiteral("删除"), 167, row(70, 70));
        MakeButton(ids[2], QStringLiteral("修改"), 168, row(140, 70));
        MakeButton(ids[3], QStringLiteral("查找"), 169, row(210, 70));
    }
    MakeLabel(1049, QRect(3, kStatusY, 0, kLineHeight), LedgerColors::kStatusText);

    // Home page.
    auto *heading = MakeLabel(1219, QRect(440, 90, 150, kLineHeight), LedgerColors::kHeadingText);
    heading->setText(QStringLiteral("帐目一览    金额(单位 元)"));
    heading->adjustSize();
    for (int id = 1220; id <= 1225; ++id) {
        auto *line = new CLinkLabel(QString(), this);
        line->setObjectName(QString::number(id));
        m_controls.insert(id, line);
        connect(line, &CLinkLabel::clicked, this, [this, id] { PressButton(id); });
    }
    MakeLabel(1226, QRect(440, 230, 0, kLineHeight), LedgerColors::kStatusText);
    MakeLabel(1227, QRect(475, 388, 125, kLineHeight), LedgerColors::kHeadingText);
    for (const auto &[id, text, y] : {std::tuple{1228, QStringLiteral("关    于"), 350},
                                      std::tuple{1229, QStringLiteral("联系作者"), 370}}) {
        auto *link = new CLinkLabel(text, this);
        link->setObjectName(QString::number(id));
        link->setGeometry(545, y, 60, kLineHeight);
        link->AutoSize();
        m_controls.insert(id, link);
        connect(link, &CLinkLabel::clicked, this, [this, id] { PressButton(id); });
    }
    auto *banner = new CScrollBanner(this);
    banner->setObjectName(QStringLiteral("1231"));
    banner->setGeometry(10, 55, 580, 20);
    banner->SetBackColor(TextSegment::Color(0, 0, 255));
    m_controls.insert(1231, banner);
    MakeLabel(1232, QRect(10, 90, 0, 0), Qt::black);
}

void CMainDlg::SetupListColumns()
{
    auto list = [this](int id, CBook &book, const QStringList &titles, const QList<int> &widths, const QRect &geometry) {
        return MakeList(id, book, titles, widths, geometry);
    };
    const QRect full(0, kListTop, kWidth, kListHeight);
    const QRect savings(86, kListTop, kWidth - 86, kListHeight);
    const QRect group(0, kListTop, kWidth - 80, kListHeight);
    list(1004, m_moneyBook, {"日期", "收支项目", "收入", "支出", "家庭成员", "备注"}, {80, 95, 90, 90, 70, 152}, full)
        ->AddMenuAction(QStringLiteral("导入收支记录…"), [this] { OpenImport(); });
    list(1006, m_articleBook, {"物品名称", "物品数量", "成本", "估值", "备注"}, {80, 70, 80, 80, 121},
         QRect(0, kListTop, 454, kListHeight))
        ->Model()
        ->SetLeftAlignedColumn(4);
    list(1008, m_depositBook, {"办理日期", "帐户", "货币种类", "存单类型", "存入金额", "到期金额", "到期日期", "办理银行", "经手人", "备注"},
         {80, 130, 60, 60, 80, 80, 80, 100, 80, 170}, savings);
    list(1098, m_currentBook, {"办理日期", "帐户", "办理银行", "货币种类", "金额", "注释", "经手人", "备注"},
         {95, 135, 100, 70, 90, 80, 80, 170}, savings);
    list(1114, m_memoBook, {"记录日期", "备忘内容", "记录人"}, {80, 335, 80}, group);
    list(1115, m_addressBook, {"姓名", "工作", "公司", "公司电话", "家庭电话", "传真", "电子邮件", "手机", "公司地址",
                               "家庭地址", "城市", "省份", "邮政编码", "备注1", "备注2"},
         {100, 120, 200, 100, 100, 100, 150, 100, 250, 250, 80, 80, 80, 250, 250}, group);
    list(1116, m_creditBook, {"日期", "借贷活动", "借出", "借入", "关系人", "经手人", "备注"}, {80, 60, 90, 90, 87, 87, 200}, group);
    list(1117, m_insureBook, {"日期", "保单名称", "保险活动", "收入", "支出", "经手人", "备注"}, {80, 125, 100, 90, 90, 92, 200}, full);
}

QLabel *CMainDlg::Label(int id) const
{
    return qobject_cast<QLabel *>(Control(id));
}

void CMainDlg::BuildPanels()
{
    // The controls are laid out by number above; from here on each panel holds its own.
    auto controls = [this](std::initializer_list<int> ids) {
        QList<QWidget *> widgets;
        for (int id : ids)
            widgets.append(Control(id));
        return widgets;
    };
    auto list = [this](int id) { return qobject_cast<CBookView *>(Control(id)); };
    m_moneyPanel = CLedgerPanel(list(1004), controls({1002, 1003}), controls({1001, 1005, 1038, 1094, 1097, 1010, 1011}));
    m_moneyPanel.SetModifyButton(Control(1003));
    m_moneyPanel.SetStatusLine(Label(1041), 3, [this] {
        return QStringLiteral("您的现金总额:") + FormatAmount(m_moneyBook.GetTotal()) + QStringLiteral("元  ");
    });
    m_articlePanel = CLedgerPanel(list(1006), controls({1044, 1043}), controls({1042, 1046}));
    m_articlePanel.SetModifyButton(Control(1043));
    m_articlePanel.SetStatusLine(Label(1045), 3, [this] {
        return QStringLiteral("您的物品总成本:") + FormatAmount(m_articleBook.GetTotalCost()) + QStringLiteral("元  ")
               + QStringLiteral("物品总价值:") + FormatAmount(m_articleBook.GetTotalValue()) + QStringLiteral("元");
    });
    m_depositPanel = CLedgerPanel(list(1008), controls({1061, 1063, 1062}), controls({1060, 1064}));
    m_depositPanel.SetStatusLine(Label(1047), 85, [this] {
        return QStringLiteral("您的人民币定期存款总额:") + FormatAmount(m_depositBook.GetDepositTotal())
               + QStringLiteral("元  ") + QStringLiteral("到期后的总金额:") + FormatAmount(m_depositBook.GetDueTotal())
               + QStringLiteral("元");
    });
    m_currentPanel = CLedgerPanel(list(1098), controls({1068, 1069}), controls({1067, 1070, 1071}));
    m_currentPanel.SetModifyButton(Control(1069));
    m_currentPanel.SetStatusLine(Label(1048), 85, [this] {
        return QStringLiteral("您的人民币活期存款总额:") + FormatAmount(m_currentBook.GetTotal()) + QStringLiteral("元");
    });
    m_insurePanel = CLedgerPanel(list(1117), controls({1053, 1054}), controls({1050, 1051, 1055, 1056}));
    m_insurePanel.SetModifyButton(Control(1054));
    m_insurePanel.SetStatusLine(Label(1052), 3, [this] {
        return QStringLiteral("您的保险金共交纳:") + FormatAmount(m_insureBook.GetTotal()) + QStringLiteral("元  ");
    });
    m_memoPanel = CLedgerPanel(list(1114), controls({1014, 1015}), controls({1013, 1016}));
    m_memoPanel.SetModifyButton(Control(1015));
    m_addressPanel = CLedgerPanel(list(1115), controls({1022, 1023}), controls({1021, 1024}));
    m_addressPanel.SetModifyButton(Control(1023));
    m_creditPanel = CLedgerPanel(list(1116), controls({1026, 1027}), controls({1025, 1028}));
    m_creditPanel.SetModifyButton(Control(1027));
    m_creditPanel.SetStatusLine(Label(1049), 3, [this] {
        return QStringLiteral("您的债权债务总额:") + FormatAmount(m_creditBook.GetTotal()) + QStringLiteral("元");
    });
}

CLedgerPanel *CMainDlg::PanelOfList(const CBookView *list)
{
    for (CLedgerPanel *panel : Panels()) {
        if (panel->List() == list)
            return panel;
    }
    return nullptr;
}

void CMainDlg::Guarded(const std::function<void()> &action)
{
    try {
        action();
    } catch (const DbError &error) {
        ShowMessage(error.Message(), QStringLiteral("数据库错误"), MessageIcon::Error);
    }
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
    // A database error while the books open is reported once; the window then opens with what it has.
    bool reported = false;
    auto guarded = [&](auto work) {
        try {
            work();
        } catch (const DbError &error) {
            if (!reported)
                ShowMessage(error.Message(), QStringLiteral("数据库错误"), MessageIcon::Error);
            reported = true;
        }
    };
    guarded([&] {
        m_moneyBook.ShowPage(1, kDate);
        m_moneyBook.ComputeTotal();
    });
    guarded([&] {
        m_articleBook.Fill(QStringLiteral("Name"));
        m_articleBook.ComputeTotals();
    });
    guarded([&] {
        m_depositBook.Fill(QStringLiteral("BDate"));
        m_depositBook.ComputeTotals();
    });
    guarded([&] {
        m_currentBook.Fill(kDate);
        m_currentBook.ComputeTotals();
    });
    guarded([&] { m_memoBook.Fill(kDate); });
    guarded([&] { m_addressBook.Fill(QStringLiteral("Name")); });
    guarded([&] {
        m_creditBook.Fill(kDate);
        m_creditBook.ComputeTotals();
    });
    guarded([&] {
        m_insureBook.Fill(kDate);
        m_insureBook.ComputeTotals();
    });
}

void CMainDlg::InitLedger()
{
    if (m_options.showSplash)
        ShowSplash(PictureFilePath(QStringLiteral("Morvane.bmp")), 1000);
    LoadAllListFiles();
    SetupListColumns();
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
    ShowControls({1000, 1007, 1009, 1012, 1017, 1018, 1019, 1020, 1029});
    ShowWelcome();
    SetupLinks();
    ShowHomePage();
    SetIcons();
    ShowBackground();
}

QString CMainDlg::BuildWelcome(const QString &member, const QDate &today)
{
    static const char *const weekdays[] = {"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
    QString line = member;
    if (!member.isEmpty())
        line += QStringLiteral("，");
    line += QStringLiteral("您好 ！");
    line += QStringLiteral("今天是 %1 年 %2 月 %3 日 ")
                .arg(today.year())
                .arg(today.month(), 2, 10, QLatin1Char('0'))
                .arg(today.day(), 2, 10, QLatin1Char('0'));
    if (today.isValid())
        line += QString::fromUtf8(weekdays[today.dayOfWeek() % 7]);
    line += QStringLiteral("。");
    line += QStringLiteral("欢迎您使用 Zarvel 软件。");
    return line;
}

void CMainDlg::RunLogin()
{
    if (!g_memberList.isEmpty()) {
        CLoginDlg login(this);
        login.exec();
        if (!m_bLoginOK) {
            CloseBooks();
            m_bEnded = true;
        }
        return;
    }
    // No member yet: one may be added; start-up goes on whatever the user did, without a login.
    CAddMemberDlg add(this);
    add.exec();
}

void CMainDlg::ShowWelcome()
{
    m_strWelcome = BuildWelcome(m_strMember, QDate::currentDate());
    auto *banner = static_cast<CScrollBanner *>(Control(1231));
    banner->RemoveAllSegments();
    banner->AddSegment(m_strWelcome, TextSegment::Color(80, 240, 150), -1);
}

void CMainDlg::SetupLinks()
{
    for (int id : {1220, 1221, 1222, 1223, 1224, 1225, 1228, 1229})
        static_cast<CLinkLabel *>(Control(id))->SetLinkColors(QColor(0, 0, 255), QColor(0, 0, 255), QColor(0, 0, 200));
    static_cast<CLinkLabel *>(Control(1229))->SetLinkTarget(QStringLiteral("mailto:zarvel@users.noreply.example.org"));
}

void CMainDlg::ShowBackground()
{
    auto *picture = static_cast<QLabel *>(Control(1232));
    m_background = QPixmap(PictureFilePath(QStringLiteral("Backmap.bmp")));
    picture->setPixmap(m_background);  // a missing picture leaves the control empty, without a word
    picture->setGeometry(10, 90, m_background.width(), m_background.height());
    if (!Hidden(1219))
        picture->show();
}

// ---------------------------------------------------------------------------------------------
// Panel switching

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

QList<CLedgerPanel *> CMainDlg::Panels()
{
    return {&m_moneyPanel, &m_articlePanel, &m_depositPanel, &m_currentPanel, &m_insurePanel,
            &m_memoPanel, &m_addressPanel, &m_creditPanel};
}

void CMainDlg::CloseFindWindows()
{
    for (CLedgerPanel *panel : Panels())
        panel->CloseFindWindow();
}

QDialog *CMainDlg::FindWindow()
{
    for (CLedgerPanel *panel : Panels()) {
        if (panel->FindWindow())
            return panel->FindWindow();
    }
    return nullptr;
}

void CMainDlg::SwitchPanel(int id)
{
    // Each panel button: a control shown only with its panel (nothing to do while it shows), the
    // panels it hides, in order, and the panel it shows.
    struct PanelSwitch
    {
        int shownWith;
        std::function<void()> hideAndShow;
    };
    const QHash<int, PanelSwitch> switches = {
        {ShowHome, {1219, [this] { HideMoneyPanel(); HideSavingsPanel(); HideInsurePanel(); HideArticlePanel(); HideMemoGroup(); ShowHomePage(); }}},
        {ShowMoney, {1004, [this] { HideArticlePanel(); HideSavingsPanel(); HideMemoGroup(); HideInsurePanel(); HideHomePage(); ShowMoneyPanel(); }}},
        {ShowSavings, {1065, [this] { HideMoneyPanel(); HideArticlePanel(); HideMemoGroup(); HideInsurePanel(); HideHomePage(); ShowDepositPanel(); }}},
        {ShowArticles, {1006, [this] { HideMoneyPanel(); HideSavingsPanel(); HideMemoGroup(); HideInsurePanel(); HideHomePage(); ShowArticlePanel(); }}},
        {ShowInsurance, {1117, [this] { HideMoneyPanel(); HideSavingsPanel(); HideArticlePanel(); HideMemoGroup(); HideHomePage(); ShowInsurePanel(); }}},
        {ShowMemos, {1072, [this] { HideMoneyPanel(); HideArticlePanel(); HideSavingsPanel(); HideInsurePanel(); HideHomePage(); ShowMemoPanel(); }}},
        {ShowDeposits, {1008, [this] { HideCurrentPanel(); HideHomePage(); ShowDepositPanel(); }}},
        {ShowCurrent, {1098, [this] { HideDepositPanel(); HideHomePage(); ShowCurrentPanel(); }}},
        {ShowMemoList, {1114, [this] { HideAddressPanel(); HideCreditPanel(); ShowMemoPanel(); }}},
        {ShowAddresses, {1115, [this] { HideMemoPanel(); HideCreditPanel(); ShowAddressPanel(); }}},
        {ShowCredit, {1116, [this] { HideMemoPanel(); HideAddressPanel(); HideHomePage(); ShowCreditPanel(); }}},
    };
    const auto found = switches.constFind(id);
    if (found == switches.constEnd() || !Hidden(found->shownWith))
        return;
    found->hideAndShow();
}

void CMainDlg::ShowMoneyPanel()
{
    m_moneyPanel.Show();
    RefreshMoneyPanel();
}

void CMainDlg::ShowArticlePanel()
{
    m_articlePanel.Show();
    RefreshArticlePanel();
}

void CMainDlg::ShowDepositPanel()
{
    m_depositPanel.Show();
    ShowControls({1065, 1066});
    RefreshDepositPanel();
}

void CMainDlg::ShowCurrentPanel()
{
    m_currentPanel.Show();
    if (Hidden(1065))
        ShowControls({1065, 1066});
    RefreshCurrentPanel();
}

void CMainDlg::ShowMemoPanel()
{
    m_memoPanel.Show();
    m_memoPanel.Refresh();
    ShowControls({1072, 1073, 1074});
}

void CMainDlg::ShowAddressPanel()
{
    m_addressPanel.Show();
    m_addressPanel.Refresh();
}

void CMainDlg::ShowCreditPanel()
{
    m_creditPanel.Show();
    if (Hidden(1072))
        ShowControls({1072, 1073, 1074});
    RefreshCreditPanel();
}

void CMainDlg::ShowInsurePanel()
{
    m_insurePanel.Show();
    RefreshInsurePanel();
}

void CMainDlg::HideMoneyPanel()
{
    m_moneyPanel.Hide();
}

void CMainDlg::HideArticlePanel()
{
    m_articlePanel.Hide();
}

void CMainDlg::HideDepositPanel()
{
    m_depositPanel.Hide();
}

void CMainDlg::HideCurrentPanel()
{
    m_currentPanel.Hide();
}

void CMainDlg::HideMemoPanel()
{
    m_memoPanel.Hide();
}

void CMainDlg::HideAddressPanel()
{
    m_addressPanel.Hide();
}

void CMainDlg::HideCreditPanel()
{
    m_creditPanel.Hide();
}

void CMainDlg::HideInsurePanel()
{
    m_insurePanel.Hide();
}

void CMainDlg::HideSavingsPanel()
{
    if (Hidden(1065))
        return;
    HideDepositPanel();
    HideCurrentPanel();
    HideControls({1065, 1066});
}

void CMainDlg::HideMemoGroup()
{
    if (Hidden(1072))
        return;
    HideMemoPanel();
    HideAddressPanel();
    HideCreditPanel();
    HideControls({1072, 1073, 1074});
}

// ---------------------------------------------------------------------------------------------
// Status lines and paging

void CMainDlg::RefreshMoneyPanel()
{
    m_moneyPanel.Refresh();

    const int pageCount = m_moneyBook.GetPageCount();
    const int current = m_moneyBook.GetCurrentPage();
    const QString pageText = QStringLiteral("共 %1 页  当前页 : ").arg(pageCount);
    QLabel *pageLabel = Label(1094);
    pageLabel->setVisible(m_moneyPanel.IsShown());
    const int width = TextLineWidth(pageLabel, pageText);
    pageLabel->setGeometry(498 - width, 62, width, kLineHeight);
    pageLabel->setText(pageText);

    qobject_cast<CPageSelector *>(Control(1097))->SetPages(pageCount, current);
    Control(1010)->setEnabled(pageCount > 0 && current > 1);
    Control(1011)->setEnabled(pageCount > 0 && current < pageCount);
}

void CMainDlg::RefreshArticlePanel()
{
    m_articlePanel.Refresh();
}

void CMainDlg::ApplyFixedTermRule()
{
    const int row = m_depositBook.GetSelected();
    Control(1063)->setEnabled(m_depositBook.GetItemText(row, 3) == QStringLiteral("零存整取"));
    Control(1062)->setEnabled(m_depositBook.GetItemText(row, 2) == kHomeCurrency);
}

void CMainDlg::RefreshDepositPanel()
{
    m_depositPanel.Refresh();
    ApplyFixedTermRule();
}

void CMainDlg::ReloadSavingsAndMoney()
{
    Guarded([this] {
        const int page = std::max(1, m_moneyBook.GetCurrentPage());
        m_moneyBook.Close();
        m_moneyBook.ShowPage(page, kDate);
        m_moneyBook.ComputeTotal();
        m_depositBook.Close();
        m_depositBook.Fill(QStringLiteral("BDate"));
        m_depositBook.ComputeTotals();
    });
    RefreshMoneyPanel();
    RefreshDepositPanel();
}

void CMainDlg::ReloadLedger()
{
    CloseFindWindows();
    CloseBooks();
    Guarded([this] { m_moneyBook.SetFilter(QString()); });  // the whole restored list, unfiltered
    FillBooks();
    if (Hidden(1219))
        SwitchPanel(1018);
    else
        ShowHomePage();  // already shown: its totals written again from the ledger restored
}

void CMainDlg::OpenImport()
{
    Guarded([this] {
        CImportDlg dialog(this);
        dialog.ChooseFile();
        if (dialog.Plan())
            dialog.exec();
    });
}

void CMainDlg::ReloadInsurance()
{
    Guarded([this] {
        m_insureBook.Close();
        m_insureBook.Fill(kDate);
        m_insureBook.ComputeTotals();
    });
    RefreshInsurePanel();
}

void CMainDlg::RefreshCurrentPanel()
{
    m_currentPanel.Refresh();
}

void CMainDlg::RefreshCreditPanel()
{
    m_creditPanel.Refresh();
}

void CMainDlg::RefreshInsurePanel()
{
    m_insurePanel.Refresh();
}

void CMainDlg::OnPageChosen(int index)
{
    m_moneyBook.ShowPage(index + 1, kDate);
    RefreshMoneyPanel();
}

// ---------------------------------------------------------------------------------------------
// Rows and buttons

void CMainDlg::OnRowChosen(CLedgerPanel &panel)
{
    panel.EnableRowButtons(true);
    if (&panel == &m_depositPanel)
        ApplyFixedTermRule();
}

void CMainDlg::OnRowDoubleClicked(CLedgerPanel &panel)
{
    QWidget *modify = panel.ModifyButton();
    if (!modify)
        return;  // the fixed-term list has no double-click action
    if (modify->isEnabled())
        panel.Press(modify->objectName().toInt());
    if (&panel == &m_moneyPanel)
        RefreshMoneyPanel();
}

void CMainDlg::PressButton(int id)
{
    Guarded([this, id] { Press(id); });
}

void CMainDlg::Press(int id)
{
    // The buttons that show a panel, and the home page's summary lines, which show the panel of their line.
    static const QSet<int> panelButtons = {ShowHome, ShowMoney, ShowSavings, ShowArticles, ShowInsurance, ShowMemos,
                                           ShowDeposits, ShowCurrent, ShowMemoList, ShowAddresses, ShowCredit};
    static const QHash<int, int> summaryLines = {{1220, ShowMoney}, {1221, ShowDeposits}, {1222, ShowCurrent},
                                                 {1223, ShowArticles}, {1224, ShowInsurance}, {1225, ShowCredit}};
    if (panelButtons.contains(id)) {
        SwitchPanel(id);
        return;
    }
    if (summaryLines.contains(id)) {
        auto *line = static_cast<CLinkLabel *>(Control(id));
        line->ClearHover();
        line->repaint();
        SwitchPanel(summaryLines.value(id));
        return;
    }
    // A panel's own button, or one of the window's.
    for (CLedgerPanel *panel : Panels()) {
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

void CMainDlg::FollowSelection(int listId)
{
    if (CLedgerPanel *panel = PanelOfList(qobject_cast<CBookView *>(Control(listId))))
        panel->EnableRowButtons(panel->Book().GetSelected() >= 0);
}

namespace {

// Runs an entry dialog: adding, or, given the book whose chosen record it changes, modifying that
// record (nothing when no row is chosen).
template <class Dialog>
void RunEntryDialog(CMainDlg *window, const CBook *chosenIn = nullptr)
{
    if (chosenIn && chosenIn->GetSelected() < 0)
        return;
    Dialog dialog(window, chosenIn ? EntryMode::Modify : EntryMode::Add);
    dialog.exec();
}

} // namespace

void CMainDlg::RegisterActions()
{
    // Income and expense.
    m_moneyPanel.OnButton(AddMoney, [this] { RunEntryDialog<CMoneyDlg>(this); });
    m_moneyPanel.OnButton(DeleteMoney, [this] {
        m_moneyBook.Remove();
        RefreshMoneyPanel();
    });
    m_moneyPanel.OnButton(ModifyMoney, [this] { RunEntryDialog<CMoneyDlg>(this, &m_moneyBook); });
    m_moneyPanel.OnButton(FilterMoney, [this] {
        CFilterDlg dialog(this);
        dialog.exec();
        RefreshMoneyPanel();
    });
    m_moneyPanel.OnButton(FindMoney, [this] {
        m_moneyPanel.OpenFindWindow([this] { return new CMoneyFindDlg(this); });
    });
    m_moneyPanel.OnButton(PreviousPage, [this] {
        m_moneyBook.ShowPage(m_moneyBook.GetCurrentPage() - 1, kDate);
        RefreshMoneyPanel();
    });
    m_moneyPanel.OnButton(NextPage, [this] {
        m_moneyBook.ShowPage(m_moneyBook.GetCurrentPage() + 1, kDate);
        RefreshMoneyPanel();
    });
    // Assets.
    m_articlePanel.OnButton(AddArticle, [this] { RunEntryDialog<CArticleDlg>(this); });
    m_articlePanel.OnButton(DeleteArticle, [this] {
        m_articleBook.Remove();
        RefreshArticlePanel();
    });
    m_articlePanel.OnButton(ModifyArticle, [this] { RunEntryDialog<CArticleDlg>(this, &m_articleBook); });
    m_articlePanel.OnButton(FindArticle, [this] {
        m_articlePanel.OpenFindWindow([this] { return new CArticleFindDlg(this); });
    });
    // Fixed-term savings.
    m_depositPanel.OnButton(AddDeposit, [this] { RunEntryDialog<CDepositDlg>(this); });
    m_depositPanel.OnButton(DeleteDeposit, [this] {
        m_depositBook.Remove();
        RefreshDepositPanel();
    });
    m_depositPanel.OnButton(ContinueDeposit, [this] { RunEntryDialog<CDepositDlg>(this, &m_depositBook); });
    m_depositPanel.OnButton(TransferDeposit, [this] {
        if (m_depositBook.GetSelected() < 0)
            return;
        CTransferDlg dialog(this);
        dialog.exec();
    });
    m_depositPanel.OnButton(FindDeposit, [this] {
        m_depositPanel.OpenFindWindow([this] { return new CFindDlg(this); });
    });
    // Demand savings.
    m_currentPanel.OnButton(AddCurrent, [this] { RunEntryDialog<CCurrentDlg>(this); });
    m_currentPanel.OnButton(DeleteCurrent, [this] {
        m_currentBook.Remove();
        RefreshCurrentPanel();
    });
    m_currentPanel.OnButton(ModifyCurrent, [this] { RunEntryDialog<CCurrentDlg>(this, &m_currentBook); });
    m_currentPanel.OnButton(FindCurrent, [this] {
        m_currentPanel.OpenFindWindow([this] { return new CFindDlg(this); });
    });
    m_currentPanel.OnButton(CurrentBalances, [this] {
        CCurrentBalanceDlg dialog(this);
        dialog.exec();
    });
    // Memos, addresses, lending.
    m_memoPanel.OnButton(AddMemo, [this] { RunEntryDialog<CMemoDlg>(this); });
    m_memoPanel.OnButton(DeleteMemo, [this] {
        if (!m_memoBook.Remove())
            m_memoPanel.EnableRowButtons(false);
    });
    m_memoPanel.OnButton(ModifyMemo, [this] { RunEntryDialog<CMemoDlg>(this, &m_memoBook); });
    m_memoPanel.OnButton(FindMemo, [this] {
        m_memoPanel.OpenFindWindow([this] { return new CFindDlg(this); });
    });
    m_addressPanel.OnButton(AddAddress, [this] { RunEntryDialog<CAddressDlg>(this); });
    m_addressPanel.OnButton(DeleteAddress, [this] {
        if (!m_addressBook.Remove())
            m_addressPanel.EnableRowButtons(false);
    });
    m_addressPanel.OnButton(ModifyAddress, [this] { RunEntryDialog<CAddressDlg>(this, &m_addressBook); });
    m_addressPanel.OnButton(FindAddress, [this] {
        m_addressPanel.OpenFindWindow([this] { return new CFindDlg(this); });
    });
    m_creditPanel.OnButton(AddCredit, [this] { RunEntryDialog<CCreditDlg>(this); });
    m_creditPanel.OnButton(DeleteCredit, [this] {
        if (!m_creditBook.Remove())
            m_creditPanel.EnableRowButtons(false);
        RefreshCreditPanel();
    });
    m_creditPanel.OnButton(ModifyCredit, [this] { RunEntryDialog<CCreditDlg>(this, &m_creditBook); });
    m_creditPanel.OnButton(FindCredit, [this] {
        m_creditPanel.OpenFindWindow([this] { return new CFindDlg(this); });
    });
    // Insurance.
    m_insurePanel.OnButton(AddPolicy, [this] { RunEntryDialog<CInsureNoteDlg>(this); });
    m_insurePanel.OnButton(AddInsure, [this] { RunEntryDialog<CInsureDlg>(this); });
    m_insurePanel.OnButton(DeleteInsure, [this] {
        if (!m_insureBook.Remove())
            m_insurePanel.EnableRowButtons(false);
        RefreshInsurePanel();
    });
    m_insurePanel.OnButton(ModifyInsure, [this] { RunEntryDialog<CInsureDlg>(this, &m_insureBook); });
    m_insurePanel.OnButton(FindInsure, [this] {
        m_insurePanel.OpenFindWindow([this] { return new CFindDlg(this); });
    });
    m_insurePanel.OnButton(PolicyList, [this] {
        CPolicyListDlg dialog(this);
        dialog.exec();
    });
    // The three that leave the panel as it is, and the home page's links.
    m_actions.insert(Statistics, [this] {
        CStatDlg dialog(this);
        dialog.exec();
    });
    m_actions.insert(Settings, [this] {
        CSettingsDlg dialog(this);
        dialog.exec();
    });
    m_actions.insert(DesktopCalculator, [this] {
        LaunchCalculator();
    });
    m_actions.insert(About, [this] {
        CAboutDlg about(this);
        about.exec();
    });
    m_actions.insert(ContactLink, [this] {
        CLinkLabel::OpenLinkTarget(static_cast<CLinkLabel *>(Control(1229))->GetLinkTarget());
    });
}

// ---------------------------------------------------------------------------------------------
// Home page

void CMainDlg::ShowHomePage()
{
    auto *heading = Control(1219);
    heading->move(440, 90);
    heading->show();
    const double money = m_moneyBook.GetTotal();
    const double deposit = m_depositBook.GetDepositTotal();
    const double current = m_currentBook.GetTotal();
    const double article = m_articleBook.GetTotalValue();
    const double insure = m_insureBook.GetTotal();
    const double credit = m_creditBook.GetTotal();
    double total = credit;
    total += insure;
    total += article;
    total += current;
    total += deposit;
    total += money;
    const QList<std::tuple<int, QString, double>> lines = {
        {1220, QStringLiteral("收    支    "), money},   {1221, QStringLiteral("定期储蓄    "), deposit},
        {1222, QStringLiteral("活期储蓄    "), current}, {1223, QStringLiteral("财    产    "), article},
        {1224, QStringLiteral("保    险    "), insure},  {1225, QStringLiteral("债权债务    "), credit},
        {1226, QStringLiteral("总    计    "), total}};
    for (int i = 0; i < lines.size(); ++i) {
        const auto &[id, caption, value] = lines.at(i);
        auto *label = static_cast<QLabel *>(Control(id));
        const QString text = caption + FormatLg(value);
        label->setText(text);
        // Six digits are what the page has always shown; the exact amount, to the cent, where one looks.
        label->setToolTip(FormatAmount(value));
        label->setGeometry(440, 110 + 20 * i, TextLineWidth(label, text), kLineHeight);
        label->show();
    }
    auto *clock = static_cast<QLabel *>(Control(1227));
    clock->setText(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd  HH:mm:ss")));
    clock->show();
    if (!m_clockTimer)
        m_clockTimer = startTimer(1000);
    ShowControls({1228, 1229, 1231});
    static_cast<CScrollBanner *>(Control(1231))->SetScrollSpeed(1000);
    if (!m_background.isNull())
        Control(1232)->show();
}

void CMainDlg::HideHomePage()
{
    if (Hidden(1219))
        return;
    HideControls(kHomeControls);
    static_cast<CScrollBanner *>(Control(1231))->SetScrollSpeed(0);  // it moves only while it is seen
    if (m_clockTimer) {
        killTimer(m_clockTimer);
        m_clockTimer = 0;
    }
}

void CMainDlg::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_clockTimer) {
        QDialog::timerEvent(event);
        return;
    }
    static_cast<QLabel *>(Control(1227))
        ->setText(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd  HH:mm:ss")));
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

void CMainDlg::CloseBooks()
{
    for (CBook *book : std::initializer_list<CBook *>{&m_moneyBook, &m_articleBook, &m_depositBook, &m_currentBook,
                                                      &m_memoBook, &m_addressBook, &m_creditBook, &m_insureBook})
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
    if (m_clockTimer) {
        killTimer(m_clockTimer);
        m_clockTimer = 0;
    }
    m_closing = true;
    done(QDialog::Accepted);
}
