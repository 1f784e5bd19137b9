// Column binding of the table Money.
#include "CMoneyRecord.h"

CMoneyRecord::CMoneyRecord() : CRecordSet(QStringLiteral("Money")) {}

void CMoneyRecord::DoFieldExchange(FieldExchange &fx)
{
    fx.Long("ID", m_ID);
    fx.DateTime("Date", m_Date);
    fx.Text("Item", m_Item);
    fx.Double("Money", m_Money);
    fx.Text("Member", m_Member);
    fx.Text("Explain", m_Explain);
}
