// Record set of the table Memo. Dated memos.
#pragma once

#include "common/LedgerDate.h"
#include "db/RecordSet.h"

class CMemoRecord : public CRecordSet
{
public:
    CMemoRecord();

    qint32 m_ID = 0;
    QDateTime m_Date = ZeroDate();
    QString m_Matter;
    QString m_Member;

protected:
    void DoFieldExchange(FieldExchange &fx) override;
};
