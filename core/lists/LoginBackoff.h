// Wrong passwords slow down: after five wrong tries in a row the login waits before it looks at the
// next one, 1, 2, 4 … seconds, at most 30; a right one starts the count again. Kept for the run.
#pragma once

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

    // The run's own: the login of the start and of every later one share it.
    static LoginBackoff &OfTheRun();

private:
    Clock m_clock;
    int m_failures = 0;
    qint64 m_notBefore = 0;
};
