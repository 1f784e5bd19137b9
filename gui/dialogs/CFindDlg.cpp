// The search over the lists other than income/expense and assets.
#include "CFindDlg.h"

namespace {

struct FindMode
{
    CFindDlg::Mode mode;
    QString caption;
    QStringList columns;  // in the list's column order: the position is the column searched
};

const std::vector<FindMode> &FindModes()
{
    using Mode = CFindDlg::Mode;
    static const std::vector<FindMode> modes{
        {Mode::Deposit, QStringLiteral("定期储蓄查找"),
         {"办理日期", "帐户", "货币种类", "存单类型", "存入金额", "到期金额", "到期日期", "办理银行", "经手人", "备注"}},
        {Mode::Current, QStringLiteral("活期储蓄查找"),
         {"办理日期", "帐户", "办理银行", "货币种类", "存入金额", "注释", "经手人", "备注"}},
        {Mode::Memo, QStringLiteral("备忘录查找"), {"记录日期", "备忘内容", "记录人"}},
        {Mode::Address, QStringLiteral("通讯录查找"),
         {"姓名", "工作", "公司", "公司电话", "家庭电话", "传真", "电子邮件", "手机", "公司地址", "家庭地址", "城市", "省份",
          "邮政编码", "备注1", "备注2"}},
        {Mode::Credit, QStringLiteral("备债权债务查找"), {"日期", "借贷活动", "借出", "借入", "关系人", "经手人", "备注"}},
        {Mode::Insure, QStringLiteral("保险记录查找"), {"日期", "保单名称", "保险活动", "收入", "支出", "经手人", "备注"}},
    };
    return modes;
}

const FindMode &ModeEntry(CFindDlg::Mode mode)
{
    return FindModes().at(size_t(mode));
}

} // namespace

CFindDlg::CFindDlg(CBook &book, Mode mode, QWidget *parent)
    : CColumnFindWindow(book, ModeEntry(mode).caption, ModeEntry(mode).columns, {1090, 1091, 1093, 1092, 1094}, parent),
      m_mode(mode)
{
}
