// Record set of the table Address. The address book.
#pragma once

#include "common/LedgerDate.h"
#include "db/RecordSet.h"

class CAddressRecord : public CRecordSet
{
public:
    CAddressRecord();

    qint32 m_ID = 0;
    QString m_Name;
    QString m_Work;
    QString m_Company;
    QString m_CompanyTel;
    QString m_HomeTel;
    QString m_Fax;
    QString m_Email;
    QString m_Mobile;
    QString m_CompanyAddress;
    QString m_HomeAddress;
    QString m_Postalcode;
    QString m_City;
    QString m_Province;
    QString m_Note1;
    QString m_Note2;

protected:
    void DoFieldExchange(FieldExchange &fx) override;
};
