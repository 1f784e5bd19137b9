// Column binding of the table InsureRecord.
#include "CInsureRecord.h"

CInsureRecord::CInsureRecord() : CRecordSet(QStringLiteral("InsureRecord")) {}

void CInsureRecord::DoFieldExchange(FieldExchange &fx)
{
    fx.Long("ID", m_ID);
    fx.DateTime("Date", m_Date);
    fx.Text("InsureName", m_InsureName);
    fx.Text("Active", m_Active);
    fx.Double("Money", m_Money);
    fx.Text("Member", m_Member);
    fx.Text("Explain", m_Explain);
}
