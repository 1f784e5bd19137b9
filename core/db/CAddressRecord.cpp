// Column binding of the table Address.
#include "CAddressRecord.h"

CAddressRecord::CAddressRecord() : CRecordSet(QStringLiteral("Address")) {}

void CAddressRecord::DoFieldExchange(FieldExchange &fx)
{
    fx.Long("ID", m_ID);
    fx.Text("Name", m_Name);
    fx.Text("Work", m_Work);
    fx.Text("Company", m_Company);
    fx.Text("CompanyTel", m_CompanyTel);
    fx.Text("HomeTel", m_HomeTel);
    fx.Text("Fax", m_Fax);
    fx.Text("Email", m_Email);
    fx.Text("Mobile", m_Mobile);
    fx.Text("CompanyAddress", m_CompanyAddress);
    fx.Text("HomeAddress", m_HomeAddress);
    fx.Text("Postalcode", m_Postalcode);
    fx.Text("City", m_City);
    fx.Text("Province", m_Province);
    fx.Text("Note1", m_Note1);
    fx.Text("Note2", m_Note2);
}
