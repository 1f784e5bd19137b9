// Record set of the table Current. Demand savings: one record per movement on an account.
#pragma once

#include "common/LedgerDate.h"
#include "db/RecordSet.h"

class CCurrentRecord : public CRecordSet
{
public:
    CCurrentRecord();

    qint32 m_ID = 0;
    QDateTime m_Date = ZeroDate();
    QString m_Account;
    QString m_Bank;
    QString m_MKind;
    double m_Money = 0.0;
    QString m_Reason;
    QString m_Member;
    QString m_Explain;

protected:
    void DoFieldExchange(FieldExchange &fx) override;
};
