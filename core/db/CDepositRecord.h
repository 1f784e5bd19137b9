// Record set of the table Deposit. Fixed-term savings: one record per deposit.
#pragma once

#include "common/LedgerDate.h"
#include "db/RecordSet.h"

class CDepositRecord : public CRecordSet
{
public:
    CDepositRecord();

    qint32 m_ID = 0;
    QDateTime m_BDate = ZeroDate();
    QString m_Account;
    QString m_MKind;
    QString m_DKind;
    double m_BMoney = 0.0;
    double m_EMoney = 0.0;
    QDateTime m_EDate = ZeroDate();
    QString m_Bank;
    QString m_Member;
    QString m_Explain;

protected:
    void DoFieldExchange(FieldExchange &fx) override;
};
