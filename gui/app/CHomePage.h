// 主题: the home page of the main window. The welcome line scrolling along the top, the summary of
// every holding with the grand total (each line shows its panel when clicked), the clock, the links
// and the background picture. It listens to the books with totals, so the summary it shows is always
// theirs.
#pragma once

#include "db/CArticleBook.h"
#include "db/CCreditBook.h"
#include "db/CCurrentBook.h"
#include "db/CDepositBook.h"
#include "db/CInsureBook.h"
#include "db/CMoneyBook.h"

#include <QPixmap>
#include <QString>
#include <functional>
#include <vector>

class QTimer;
class QWidget;

class CHomePage : public IBookChangeListener
{
public:
    struct Books
    {
        CMoneyBook &money;
        CDepositBook &deposits;
        CCurrentBook &current;
        CArticleBook &articles;
        CInsureBook &insurance;
        CCreditBook &credit;
    };
    using Controls = std::function<QWidget *(int id)>;

    CHomePage(const Books &books, QWidget *window, const Controls &controls);
    ~CHomePage() override;
    CHomePage(const CHomePage &) = delete;
    CHomePage &operator=(const CHomePage &) = delete;

    // The welcome line for a member (empty: no login) on a day.
    static QString BuildWelcome(const QString &member, const QDate &today);
    // Puts the member's welcome line in the banner; the text as built.
    QString SetWelcome(const QString &member);
    // The links' colours and targets, and the background picture (none when its file is missing).
    void SetUp();

    bool IsShown() const;
    // Shown with the totals read from the books and the clock going; hidden, the banner and the clock stop.
    void Show();
    void Hide();
    bool IsClockRunning() const;
    // The figures and the recurring records' line written again, when the page is shown.
    void Refresh();

    // The recurring records' line: how many wait to be confirmed, else the next within 30 days, else
    // that none comes; empty for a ledger without recurring records. Throws DbError.
    static QString RecurringLineText(const QDate &today);
    static constexpr int kRecurringDays = 30;

private:
    void BookChanged() override;

    // The books whose totals the page shows.
    std::vector<CBook *> Listened() const;
    void WriteTotals();
    void WriteRecurring();
    void ShowTime();
    QWidget *Control(int id) const { return m_controls(id); }

    Books m_books;
    Controls m_controls;
    QTimer *m_clock;
    QPixmap m_background;
};
