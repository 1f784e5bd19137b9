// The policy book: the policies with what has been paid on each. It opens its record set for each
// operation and closes it again.
#pragma once

#include "db/CBook.h"
#include "db/CInsureNoteRecord.h"

#include <optional>

class CInsureNoteBook : public CBook
{
public:
    CInsureNoteBook();

    // A new policy; no row is added. endText empty: no end of cover.
    void AddPolicy(const QString &name, const QString &kind, const QString &organ, const QString &payText,
                   const QString &getText, const QString &payedText, int years, const QString &startText,
                   const QString &endText, const QString &payPeople, const QString &benefitPeople,
                   const QString &insuredPeople, const QString &explain);
    // Changes the policy with the name; its name and PayedMoney stay. False: no policy has the name.
    bool EditPolicy(const QString &name, const QString &kind, const QString &organ, const QString &payText,
                    const QString &getText, int years, const QString &startText, const QString &endText,
                    const QString &payPeople, const QString &benefitPeople, const QString &insuredPeople,
                    const QString &explain);
    bool IsNameFree(const QString &name);

    // A policy as its dialog shows it: amounts as TrimAmount writes them, dates "yyyy-MM-dd" (the end
    // date empty for a lifelong policy). Read by its name as a bound value; nothing when there is none.
    struct Policy
    {
        QString name, kind, organ, pay, get, payed, start, end, payPeople, benefitPeople, insuredPeople, explain;
        int years = 0;
    };
    std::optional<Policy> ReadPolicy(const QString &name);
    void CollectNames(QStringList *names);
    void Fill(const QString &sort);
    bool Remove();

protected:
    CRecordSet &RecordSet() override { return m_set; }
    QStringList RecordTexts() override;

private:
    void Write(const QString &kind, const QString &organ, const QString &payText, const QString &getText, int years,
               const QString &startText, const QString &endText, const QString &payPeople,
               const QString &benefitPeople, const QString &insuredPeople, const QString &explain);
    CInsureNoteRecord m_set;
};
