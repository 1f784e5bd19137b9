// Record set of the table InsureRecord. Insurance activity: one record per activity on a policy.
#pragma once

#include "common/LedgerDate.h"
#include "db/RecordSet.h"

class CInsureRecord : public CRecordSet
{
public:
    CInsureRecord();

    qint32 m_ID = 0;
    QDateTime m_Date = ZeroDate();
    QString m_InsureName;
    QString m_Active;
    double m_Money = 0.0;
    QString m_Member;
    QString m_Explain;

protected:
    void DoFieldExchange(FieldExchange &fx) override;
};
