// Column binding of the table InsureNote.
#include "CInsureNoteRecord.h"

CInsureNoteRecord::CInsureNoteRecord() : CRecordSet(QStringLiteral("InsureNote")) {}

void CInsureNoteRecord::DoFieldExchange(FieldExchange &fx)
{
    fx.Long("ID", m_ID);
    fx.Text("Name", m_Name);
    fx.Text("InsureKind", m_InsureKind);
    fx.Text("InsureOrgen", m_InsureOrgen);
    fx.Double("PayMoney", m_PayMoney);
    fx.Double("GetMoney", m_GetMoney);
    fx.Short("Year", m_Year);
    fx.DateTime("StartDate", m_StartDate);
    fx.DateTime("EndDate", m_EndDate);
    fx.Text("PayPeople", m_PayPeople);
    fx.Text("BenefitPeople", m_BenefitPeople);
    fx.Text("BeInsuredPeople", m_BeInsuredPeople);
    fx.Double("PayedMoney", m_PayedMoney);
    fx.Text("Explain", m_Explain);
}
