// The home page: summary, clock, banner and links.
#include "CHomePage.h"

#include "common/Amount.h"
#include "common/LedgerDate.h"
#include "common/Paths.h"
#include "controls/CLinkLabel.h"
#include "controls/CScrollBanner.h"
#include "db/DbError.h"
#include "db/Ledger.h"
#include "panels/CLedgerPanel.h"
#include "recurring/CRecurringBook.h"

#include <QDateTime>
#include <QLabel>
#include <QTimer>
#include <tuple>

namespace {

// The home page's controls.
const std::initializer_list<int> kHomeControls = {1219, 1220, 1221, 1222, 1223, 1224, 1225, 1226, 1227, 1228, 1229, 1231, 1232, 1233};

QString Now()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd  HH:mm:ss"));
}

} // namespace

CHomePage::CHomePage(const Books &books, QWidget *window, const Controls &controls)
    : m_books(books), m_controls(controls), m_clock(new QTimer(window))
{
    m_clock->setInterval(1000);
    QObject::connect(m_clock, &QTimer::timeout, window, [this] { ShowTime(); });
    for (CBook *book : Listened())
        book->AddListener(this);
}

CHomePage::~CHomePage()
{
    delete m_clock;  // its tick would reach a page that is gone
    for (CBook *book : Listened())
        book->RemoveListener(this);
}

std::vector<CBook *> CHomePage::Listened() const
{
    return {&m_books.money, &m_books.deposits, &m_books.current, &m_books.articles, &m_books.insurance, &m_books.credit};
}

QString CHomePage::BuildWelcome(const QString &member, const QDate &today)
{
    static const char *const weekdays[] = {"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
    QString line = member;
    if (!member.isEmpty())
        line += QStringLiteral("，");
    line += QStringLiteral("您好 ！");
    line += QStringLiteral("今天是 %1 年 %2 月 %3 日 ")
                .arg(today.year())
                .arg(today.month(), 2, 10, QLatin1Char('0'))
                .arg(today.day(), 2, 10, QLatin1Char('0'));
    if (today.isValid())
        line += QString::fromUtf8(weekdays[today.dayOfWeek() % 7]);
    line += QStringLiteral("。");
    line += QStringLiteral("欢迎您使用 Zarvel 软件。");
    return line;
}

QString CHomePage::SetWelcome(const QString &member)
{
    const QString welcome = BuildWelcome(member, QDate::currentDate());
    auto *banner = static_cast<CScrollBanner *>(Control(1231));
    banner->RemoveAllSegments();
    banner->AddSegment(welcome, TextSegment::Color(80, 240, 150), -1);
    return welcome;
}

void CHomePage::SetUp()
{
    for (int id : {1220, 1221, 1222, 1223, 1224, 1225, 1228, 1229})
        static_cast<CLinkLabel *>(Control(id))->SetLinkColors(QColor(0, 0, 255), QColor(0, 0, 255), QColor(0, 0, 200));
    static_cast<CLinkLabel *>(Control(1229))->SetLinkTarget(QStringLiteral("mailto:zarvel@users.noreply.example.org"));
    auto *picture = static_cast<QLabel *>(Control(1232));
    m_background = QPixmap(PictureFilePath(QStringLiteral("Backmap.bmp")));
    picture->setPixmap(m_background);  // a missing picture leaves the control empty, without a word
    picture->setGeometry(10, 90, m_background.width(), m_background.height());
    if (IsShown() && !m_background.isNull())
        picture->show();
}

bool CHomePage::IsShown() const
{
    return !Control(1219)->isHidden();
}

void CHomePage::Show()
{
    auto *heading = Control(1219);
    heading->move(440, 90);
    heading->show();
    WriteTotals();
    WriteRecurring();
    ShowTime();
    Control(1227)->show();
    if (!m_clock->isActive())
        m_clock->start();
    for (int id : {1228, 1229, 1231})
        Control(id)->show();
    static_cast<CScrollBanner *>(Control(1231))->SetScrollSpeed(1000);
    if (!m_background.isNull())
        Control(1232)->show();
}

void CHomePage::Hide()
{
    if (!IsShown())
        return;
    for (int id : kHomeControls)
        Control(id)->hide();
    static_cast<CScrollBanner *>(Control(1231))->SetScrollSpeed(0);  // it moves only while it is seen
    m_clock->stop();
}

bool CHomePage::IsClockRunning() const
{
    return m_clock->isActive();
}

void CHomePage::BookChanged()
{
    Refresh();
}

void CHomePage::Refresh()
{
    if (!IsShown())
        return;
    WriteTotals();
    WriteRecurring();
}

QString CHomePage::RecurringLineText(const QDate &today)
{
    const auto db = OpenLedgerDatabase();
    if (!CRecurringBook::IsLaid(*db))
        return QString();
    const CRecurringBook recurring(db);
    if (recurring.Templates().isEmpty())
        return QString();
    const QString caption = QStringLiteral("周期收支    ");
    const RecurringOutlook outlook = recurring.Outlook(today, kRecurringDays);
    if (outlook.due > 0)
        return caption + QStringLiteral("待确认 %1 条").arg(outlook.due);
    if (outlook.next)
        return caption + QStringLiteral("下次 %1 %2").arg(outlook.next->due.toString(QStringLiteral("MM-dd")), outlook.next->entry.item);
    return caption + QStringLiteral("%1 天内无到期").arg(kRecurringDays);
}

void CHomePage::WriteRecurring()
{
    auto *line = static_cast<QLabel *>(Control(1233));
    QString text;
    try {
        text = RecurringLineText(LedgerNow().date());
    } catch (const DbError &) {
        // The line is a hint: a ledger that cannot be read is told by the books' own reading.
    }
    if (text.isEmpty()) {
        line->hide();
        return;
    }
    line->setText(text);
    line->setGeometry(440, 260, TextLineWidth(line, text), kLineHeight);
    line->show();
}

void CHomePage::WriteTotals()
{
    const double money = m_books.money.GetTotal();
    const double deposit = m_books.deposits.GetDepositTotal();
    const double current = m_books.current.GetTotal();
    const double article = m_books.articles.GetTotalValue();
    const double insure = m_books.insurance.GetTotal();
    const double credit = m_books.credit.GetTotal();
    double total = credit;
    total += insure;
    total += article;
    total += current;
    total += deposit;
    total += money;
    const QList<std::tuple<int, QString, double>> lines = {
        {1220, QStringLiteral("收    支    "), money},   {1221, QStringLiteral("定期储蓄    "), deposit},
        {1222, QStringLiteral("活期储蓄    "), current}, {1223, QStringLiteral("财    产    "), article},
        {1224, QStringLiteral("保    险    "), insure},  {1225, QStringLiteral("债权债务    "), credit},
        {1226, QStringLiteral("总    计    "), total}};
    for (int i = 0; i < lines.size(); ++i) {
        const auto &[id, caption, value] = lines.at(i);
        auto *label = static_cast<QLabel *>(Control(id));
        const QString text = caption + FormatLg(value);
        label->setText(text);
        // Six digits are what the page has always shown; the exact amount, to the cent, where one looks.
        label->setToolTip(FormatAmount(value));
        label->setGeometry(440, 110 + 20 * i, TextLineWidth(label, text), kLineHeight);
        label->show();
    }
}

void CHomePage::ShowTime()
{
    static_cast<QLabel *>(Control(1227))->setText(Now());
}
