// Column binding of the table Article.
#include "CArticleRecord.h"

CArticleRecord::CArticleRecord() : CRecordSet(QStringLiteral("Article")) {}

void CArticleRecord::DoFieldExchange(FieldExchange &fx)
{
    fx.Long("ID", m_ID);
    fx.Text("Name", m_Name);
    fx.Short("Number", m_Number);
    fx.Double("Cost", m_Cost);
    fx.Double("Value", m_Value);
    fx.Text("Explain", m_Explain);
}
