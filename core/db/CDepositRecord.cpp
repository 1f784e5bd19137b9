// Column binding of the table Deposit.
#include "CDepositRecord.h"

CDepositRecord::CDepositRecord() : CRecordSet(QStringLiteral("Deposit")) {}

void CDepositRecord::DoFieldExchange(FieldExchange &fx)
{
    fx.Long("ID", m_ID);
    fx.DateTime("BDate", m_BDate);
    fx.Text("Account", m_Account);
    fx.Text("MKind", m_MKind);
    fx.Text("DKind", m_DKind);
    fx.Double("BMoney", m_BMoney);
    fx.Double("EMoney", m_EMoney);
    fx.DateTime("EDate", m_EDate);
    fx.Text("Bank", m_Bank);
    fx.Text("Member", m_Member);
    fx.Text("Explain", m_Explain);
}
