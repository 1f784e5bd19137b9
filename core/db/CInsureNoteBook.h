// The policy book: the policies with what has been paid on each. It opens its record set for each
// operation and closes it again, except while it lists the policies (Fill): then the set stays on the
// list, whose texts are read as its rows are shown, as in the other books.
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
    // shownVersion is the Policy's version as its dialog read it: on a shared ledger a policy another
    // computer changed since (its PayedMoney too) is refused, RecordChangedElsewhere thrown and nothing
    // written; 0 checks nothing but still locks it, so that no PayedMoney written meanwhile is lost.
    bool EditPolicy(const QString &name, const QString &kind, const QString &organ, const QString &payText,
                    const QString &getText, int years, const QString &startText, const QString &endText,
                    const QString &payPeople, const QString &benefitPeople, const QString &insuredPeople,
                    const QString &explain, quint64 shownVersion = 0);
    bool IsNameFree(const QString &name);

    // A policy as its dialog shows it: amounts as TrimAmount writes them, dates "yyyy-MM-dd" (the end
    // date empty for a lifelong policy). Read by its name as a bound value; nothing when there is none.
    struct Policy
    {
        QString name, kind, organ, pay, get, payed, start, end, payPeople, benefitPeople, insuredPeople, explain;
        int years = 0;
        quint64 version = 0;  // on a shared ledger, of the record as read (RecordVersion)
    };
    std::optional<Policy> ReadPolicy(const QString &name);
    void CollectNames(QStringList *names);
    // Lists every policy in the order of the column: the first rows at once, the others when shown.
    void Fill(const QString &sort);
    // Deletes the selected policy of the list.
    bool Remove();
    // A list closed keeps the texts it shows.
    void Close() override;

    QList<ColumnKind> ColumnKinds() const override;

protected:
    CRecordSet &RecordSet() override { return m_set; }
    QStringList RecordTexts() override;

private:
    void Write(const QString &kind, const QString &organ, const QString &payText, const QString &getText, int years,
               const QString &startText, const QString &endText, const QString &payPeople,
               const QString &benefitPeople, const QString &insuredPeople, const QString &explain);
    // Before an operation that opens the set on other terms: the list's texts are read while the set
    // still serves them, and the list leaves the set.
    void LeaveList();

    CInsureNoteRecord m_set;
    bool m_listing = false;  // the set is open on the list
};
