// Where each control of the main window stands, by number: the nine buttons along the top, each
// panel's buttons, lists and status lines, the savings and memo groups' switch buttons, the home page.
#include "CMainDlg.h"

#include "app/CBookView.h"
#include "app/Style.h"
#include "controls/CIconButton.h"
#include "controls/CLinkLabel.h"
#include "controls/CPageSelector.h"
#include "controls/CScrollBanner.h"
#include "panels/CLedgerPanel.h"

#include <QFrame>
#include <QLabel>

namespace {

// Client area of the window (400 x 273 dialog units of the 9-point template font).
constexpr int kWidth = 600;
constexpr int kHeight = 410;
constexpr int kListTop = 80;
constexpr int kListHeight = kHeight - 98;
constexpr int kRowY = 60;
constexpr int kRowHeight = 20;

} // namespace

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
    // 1220 to 1225 the holdings, 1233 the recurring records.
    for (int id : {1220, 1221, 1222, 1223, 1224, 1225, 1233}) {
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

void CMainDlg::MakeLists()
{
    auto list = [this](int id, CBook &book, const QString &name, const QStringList &titles, const QList<int> &widths,
                       const QRect &geometry) {
        auto *view = new CBookView(book, name, titles, widths, this);
        view->setObjectName(QString::number(id));
        view->setGeometry(geometry);
        m_controls.insert(id, view);
        return view;
    };
    const QRect full(0, kListTop, kWidth, kListHeight);
    const QRect savings(86, kListTop, kWidth - 86, kListHeight);
    const QRect group(0, kListTop, kWidth - 80, kListHeight);
    list(1004, m_moneyBook, "收支", {"日期", "收支项目", "收入", "支出", "家庭成员", "备注"}, {80, 95, 90, 90, 70, 152}, full);
    list(1006, m_articleBook, "财产", {"物品名称", "物品数量", "成本", "估值", "备注"}, {80, 70, 80, 80, 121},
         QRect(0, kListTop, 454, kListHeight))
        ->Model()
        ->SetLeftAlignedColumn(4);
    list(1008, m_depositBook, "定期储蓄",
         {"办理日期", "帐户", "货币种类", "存单类型", "存入金额", "到期金额", "到期日期", "办理银行", "经手人", "备注"},
         {80, 130, 60, 60, 80, 80, 80, 100, 80, 170}, savings);
    list(1098, m_currentBook, "活期储蓄", {"办理日期", "帐户", "办理银行", "货币种类", "金额", "注释", "经手人", "备注"},
         {95, 135, 100, 70, 90, 80, 80, 170}, savings);
    list(1114, m_memoBook, "备忘", {"记录日期", "备忘内容", "记录人"}, {80, 335, 80}, group);
    list(1115, m_addressBook, "通讯录",
         {"姓名", "工作", "公司", "公司电话", "家庭电话", "传真", "电子邮件", "手机", "公司地址", "家庭地址", "城市",
          "省份", "邮政编码", "备注1", "备注2"},
         {100, 120, 200, 100, 100, 100, 150, 100, 250, 250, 80, 80, 80, 250, 250}, group);
    list(1116, m_creditBook, "借贷", {"日期", "借贷活动", "借出", "借入", "关系人", "经手人", "备注"}, {80, 60, 90, 90, 87, 87, 200}, group);
    list(1117, m_insureBook, "保险", {"日期", "保单名称", "保险活动", "收入", "支出", "经手人", "备注"}, {80, 125, 100, 90, 90, 92, 200}, full);
}

