// Record set of the table Money. Income and expense: one record per income or expense.
#pragma once

#include "common/LedgerDate.h"
#include "db/RecordSet.h"

class CMoneyRecord : public CRecordSet
{
public:
    CMoneyRecord();

    qint32 m_ID = 0;
    QDateTime m_Date = ZeroDate();
    QString m_Item;
    double m_Money = 0.0;
    QString m_Member;
    QString m_Explain;

protected:
    void DoFieldExchange(FieldExchange &fx) override;
};
