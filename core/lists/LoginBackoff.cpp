// The wait after wrong passwords.
#include "LoginBackoff.h"

#include <QElapsedTimer>
#include <algorithm>

LoginBackoff::LoginBackoff(Clock clock) : m_clock(std::move(clock))
{
    if (!m_clock) {
        m_clock = [] {
            static QElapsedTimer steady = [] {
                QElapsedTimer started;
                started.start();
                return started;
            }();
            return steady.elapsed();
        };
    }
}

int LoginBackoff::SecondsToWait() const
{
    const qint64 left = m_notBefore - m_clock();
    return left > 0 ? int((left + 999) / 1000) : 0;
}

void LoginBackoff::Failed()
{
    ++m_failures;
    if (m_failures < kFreeTries)
        return;
    const int doublings = std::min(m_failures - kFreeTries, 5);  // 2^5 passes the longest wait
    const int seconds = std::min(1 << doublings, kLongestWaitSeconds);
    m_notBefore = m_clock() + qint64(seconds) * 1000;
}

void LoginBackoff::Succeeded()
{
    m_failures = 0;
    m_notBefore = 0;
}

QString LoginBackoff::Try(const std::function<QString()> &check, const std::function<bool(const QString &)> &countsAsWrong)
{
    const QString tooMany = QStringLiteral("错误次数过多，请 %1 秒后再试。");
    if (const int wait = SecondsToWait(); wait > 0)
        return tooMany.arg(wait);
    const QString error = check();
    if (error.isEmpty()) {
        Succeeded();
        return error;
    }
    if (!countsAsWrong(error))
        return error;
    Failed();
    const int wait = SecondsToWait();
    return wait > 0 ? error.trimmed() + QLatin1Char('\n') + tooMany.arg(wait) : error;
}

LoginBackoff &LoginBackoff::OfTheRun()
{
    static LoginBackoff run;
    return run;
}
