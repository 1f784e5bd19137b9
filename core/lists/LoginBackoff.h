// Wrong passwords slow down: after five wrong tries in a row the login waits before it looks at the
// next one, 1, 2, 4 … seconds, at most 30; a right one starts the count again. Kept for the run.
#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>

class LoginBackoff
{
public:
    static constexpr int kFreeTries = 5;
    static constexpr int kLongestWaitSeconds = 30;

    // The clock gives milliseconds that only go forward; by default the process's steady clock.
    using Clock = std::function<qint64()>;
    explicit LoginBackoff(Clock clock = {});

    // Whole seconds before the next try is looked at; 0 when it may be now.
    int SecondsToWait() const;
    void Failed();
    void Succeeded();

    // Runs a password check (its error text, empty when it passed) unless the wait is on. Returns what
    // to show: the check's error, with the wait it now brings, or the wait alone ("错误次数过多，请 3 秒后
    // 再试。"); empty when the check passed, which starts the count again. countsAsWrong says which of
    // the check's errors are a wrong guess (a confirmation typed twice differently is not).
    QString Try(const std::function<QString()> &check, const std::function<bool(const QString &)> &countsAsWrong);

    // The run's own: the login, 删除家庭成员 and 修改密码 share it, so moving from one to another
    // starts no fresh five tries.
    static LoginBackoff &OfTheRun();

private:
    Clock m_clock;
    int m_failures = 0;
    qint64 m_notBefore = 0;
};
