// The address book: one row per contact, listed by name. Every column is text (a phone number or a
// postcode keeps its leading zero), as CBook::ColumnKinds says by default.
#pragma once

#include "db/CAddressRecord.h"
#include "db/CBook.h"

class CAddressBook : public CBook
{
public:
    static constexpr int kFieldCount = 15;

    CAddressBook();
    void Fill(const QString &sort);
    // The fifteen texts in column order: Name, Work, Company, CompanyTel, HomeTel, Fax, Email, Mobile,
    // CompanyAddress, HomeAddress, City, Province, Postalcode, Note1, Note2.
    bool Add(const QStringList &fields);
    bool Modify(const QStringList &fields);
    bool Remove();

protected:
    CRecordSet &RecordSet() override { return m_set; }
    QStringList RecordTexts() override;

private:
    void Write(const QStringList &fields);
    CAddressRecord m_set;
};
