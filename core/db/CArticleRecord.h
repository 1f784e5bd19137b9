// Record set of the table Article. Physical assets.
#pragma once

#include "common/LedgerDate.h"
#include "db/RecordSet.h"

class CArticleRecord : public CRecordSet
{
public:
    CArticleRecord();

    qint32 m_ID = 0;
    QString m_Name;
    qint16 m_Number = 0;
    double m_Cost = 0.0;
    double m_Value = 0.0;
    QString m_Explain;

protected:
    void DoFieldExchange(FieldExchange &fx) override;
};
