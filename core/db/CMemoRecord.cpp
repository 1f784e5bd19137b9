// Column binding of the table Memo.
#include "CMemoRecord.h"

CMemoRecord::CMemoRecord() : CRecordSet(QStringLiteral("Memo")) {}

void CMemoRecord::DoFieldExchange(FieldExchange &fx)
{
    fx.Long("ID", m_ID);
    fx.DateTime("Date", m_Date);
    fx.Text("Matter", m_Matter);
    fx.Text("Member", m_Member);
}
