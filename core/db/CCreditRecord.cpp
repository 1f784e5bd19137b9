// Column binding of the table Credit.
#include "CCreditRecord.h"

CCreditRecord::CCreditRecord() : CRecordSet(QStringLiteral("Credit")) {}

void CCreditRecord::DoFieldExchange(FieldExchange &fx)
{
    fx.Long("ID", m_ID);
    fx.DateTime("Date", m_Date);
    fx.Text("Active", m_Active);
    fx.Double("Money", m_Money);
    fx.Text("People", m_People);
    fx.Text("Member", m_Member);
    fx.Text("Explain", m_Explain);
}
