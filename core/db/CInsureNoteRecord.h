// Record set of the table InsureNote. Insurance policies: one record per policy, Name unique.
#pragma once

#include "common/LedgerDate.h"
#include "db/RecordSet.h"

class CInsureNoteRecord : public CRecordSet
{
public:
    CInsureNoteRecord();

    qint32 m_ID = 0;
    QString m_Name;
    QString m_InsureKind;
    QString m_InsureOrgen;
    double m_PayMoney = 0.0;
    double m_GetMoney = 0.0;
    qint16 m_Year = 0;
    QDateTime m_StartDate = ZeroDate();
    QDateTime m_EndDate = ZeroDate();
    QString m_PayPeople;
    QString m_BenefitPeople;
    QString m_BeInsuredPeople;
    double m_PayedMoney = 0.0;
    QString m_Explain;

protected:
    void DoFieldExchange(FieldExchange &fx) override;
};
