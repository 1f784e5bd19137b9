// The search over the lists other than income/expense and assets.
#include "CFindDlg.h"

#include "app/CMainDlg.h"

namespace {

struct FindMode
{
    CFindDlg::Mode mode;
    int listId;
    QString caption;
    QStringList columns;  // in the list's column order: the position is the column searched
};

const std::vector<FindMode> &FindModes()
{
    using Mode = CFindDlg::Mode;
    static const std::vector<FindMode> modes{
        {Mode::Deposit, 1008, QStringLiteral("定期储蓄查找"),
         {"办理日期", "帐户", "货币种类", "存单类型", "存入金额", "到期金额", "到期日期", "办理银行", "经手人", "备注"}},
        {Mode::Current, 1098, QStringLiteral("活期储蓄查找"),
         {"办理日期", "帐户", "办理银行", "货币种类", "存入金额", "注释", "经手人", "备注"}},
        {Mode::Memo, 1114, QStringLiteral("备忘录查找"), {"记录日期", "备忘内容", "记录人"}},
        {Mode::Address, 1115, QStringLiteral("通讯录查找"),
         {"姓名", "工作", "公司", "公司电话", "家庭电话", "传真", "电子邮件", "手机", "公司地址", "家庭地址", "城市", "省份",
          "邮政编码", "备注1", "备注2"}},
        {Mode::Credit, 1116, QStringLiteral("备债权债务查找"), {"日期", "借贷活动", "借出", "借入", "关系人", "经手人", "备注"}},
        {Mode::Insure, 1117, QStringLiteral("保险记录查找"), {"日期", "保单名称", "保险活动", "收入", "支出", "经手人", "备注"}},
    };
    return modes;
}

const FindMode &ModeEntry(CFindDlg::Mode mode)
{
    return FindModes().at(size_t(mode));
}

// The list shown decides; were several shown, the last of the table would.
CFindDlg::Mode ShownMode(CMainDlg *owner)
{
    CFindDlg::Mode shown = CFindDlg::Mode::Deposit;
    for (const FindMode &entry : FindModes()) {
        const QWidget *list = owner->Control(entry.listId);
        if (list && !list->isHidden())
            shown = entry.mode;
    }
    return shown;
}

CBook &BookOf(CMainDlg *owner, CFindDlg::Mode mode)
{
    switch (mode) {
    case CFindDlg::Mode::Deposit: return owner->m_depositBook;
    case CFindDlg::Mode::Current: return owner->m_currentBook;
    case CFindDlg::Mode::Memo: return owner->m_memoBook;
    case CFindDlg::Mode::Address: return owner->m_addressBook;
    case CFindDlg::Mode::Credit: return owner->m_creditBook;
    case CFindDlg::Mode::Insure: break;
    }
    return owner->m_insureBook;
}

} // namespace

CFindDlg::CFindDlg(CMainDlg *owner) : CFindDlg(owner, ShownMode(owner)) {}

CFindDlg::CFindDlg(CMainDlg *owner, Mode mode)
    : CColumnFindWindow(owner, BookOf(owner, mode), ModeEntry(mode).caption, ModeEntry(mode).columns,
                        {1090, 1091, 1093, 1092, 1094}),
      m_mode(mode)
{
}

void CFindDlg::AfterStep()
{
    switch (m_mode) {
    case Mode::Deposit: m_pOwner->RefreshDepositPanel(); break;
    case Mode::Current: m_pOwner->RefreshCurrentPanel(); break;
    default: m_pOwner->FollowSelection(ModeEntry(m_mode).listId); break;
    }
}
