// Column binding of the table Current.
#include "CCurrentRecord.h"

CCurrentRecord::CCurrentRecord() : CRecordSet(QStringLiteral("Current")) {}

void CCurrentRecord::DoFieldExchange(FieldExchange &fx)
{
    fx.Long("ID", m_ID);
    fx.DateTime("Date", m_Date);
    fx.Text("Account", m_Account);
    fx.Text("Bank", m_Bank);
    fx.Text("MKind", m_MKind);
    fx.Double("Money", m_Money);
    fx.Text("Reason", m_Reason);
    fx.Text("Member", m_Member);
    fx.Text("Explain", m_Explain);
}
