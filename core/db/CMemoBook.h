// The memo book: dated memos, listed in date order.
#pragma once

#include "db/CBook.h"
#include "db/CMemoRecord.h"

class CMemoBook : public CBook
{
public:
    CMemoBook();
    void Fill(const QString &sort);
    bool Add(const QString &dateText, const QString &matter, const QString &member);
    bool Modify(const QString &dateText, const QString &matter, const QString &member);
    bool Remove();

    QList<ColumnKind> ColumnKinds() const override;

protected:
    CRecordSet &RecordSet() override { return m_set; }
    QStringList RecordTexts() override;

private:
    void Write(const QString &dateText, const QString &matter, const QString &member);
    CMemoRecord m_set;
};
