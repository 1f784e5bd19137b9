// Address records.
#include "CAddressBook.h"

CAddressBook::CAddressBook() : CBook(kFieldCount) {}

QStringList CAddressBook::RecordTexts()
{
    return {m_set.m_Name, m_set.m_Work, m_set.m_Company, m_set.m_CompanyTel, m_set.m_HomeTel,
            m_set.m_Fax, m_set.m_Email, m_set.m_Mobile, m_set.m_CompanyAddress, m_set.m_HomeAddress,
            m_set.m_City, m_set.m_Province, m_set.m_Postalcode, m_set.m_Note1, m_set.m_Note2};
}

void CAddressBook::Fill(const QString &sort)
{
    FillRows(sort);
}

void CAddressBook::Write(const QStringList &fields)
{
    QString *targets[kFieldCount] = {&m_set.m_Name, &m_set.m_Work, &m_set.m_Company, &m_set.m_CompanyTel,
                                     &m_set.m_HomeTel, &m_set.m_Fax, &m_set.m_Email, &m_set.m_Mobile,
                                     &m_set.m_CompanyAddress, &m_set.m_HomeAddress, &m_set.m_City,
                                     &m_set.m_Province, &m_set.m_Postalcode, &m_set.m_Note1, &m_set.m_Note2};
    for (int i = 0; i < kFieldCount; ++i)
        *targets[i] = fields.value(i);
}

bool CAddressBook::Add(const QStringList &fields)
{
    ChangeBatch batch(*this);
    if (TellIfClosed())
        return false;
    const qint64 id = CommitAdd([&] { Write(fields); });
    AppendRow(id, fields.mid(0, kFieldCount));
    return true;
}

bool CAddressBook::Modify(const QStringList &fields)
{
    ChangeBatch batch(*this);
    if (!CommitModify([&] { Write(fields); }))
        return false;
    SetRowTexts(GetSelected(), fields.mid(0, kFieldCount));
    return true;
}

bool CAddressBook::Remove()
{
    ChangeBatch batch(*this);
    return CommitRemove();
}
