// Record set of the table Credit. Money lent and borrowed.
#pragma once

#include "common/LedgerDate.h"
#include "db/RecordSet.h"

class CCreditRecord : public CRecordSet
{
public:
    CCreditRecord();

    qint32 m_ID = 0;
    QDateTime m_Date = ZeroDate();
    QString m_Active;
    double m_Money = 0.0;
    QString m_People;
    QString m_Member;
    QString m_Explain;

protected:
    void DoFieldExchange(FieldExchange &fx) override;
};
