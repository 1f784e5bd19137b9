// Starts the desktop's calculator for the 计算 button: the first of the usual calculators found,
// once — while the one it started runs, another press does nothing — and closes it when the
// program ends.
#pragma once

#include <QObject>
#include <QProcess>
#include <QStringList>

class CalculatorLauncher : public QObject
{
    Q_OBJECT
public:
    explicit CalculatorLauncher(QObject *parent = nullptr);
    ~CalculatorLauncher() override;

    // The programs looked for, in order (names on the search path, or paths).
    static QStringList UsualCalculators();
    void SetCandidates(const QStringList &programs) { m_candidates = programs; }

    // Starts the first calculator found, unless the one started before still runs. False with the
    // programs looked for in *missing when none is installed.
    bool Launch(QStringList *missing);
    // The calculators found but not started by the last Launch.
    QStringList FailedToStart() const { return m_failed; }
    bool IsRunning() const { return m_process.state() != QProcess::NotRunning; }
    qint64 ProcessId() const { return m_process.processId(); }
    // Ends the calculator it started, if that still runs.
    void Close();

private:
    QStringList m_candidates;
    QStringList m_failed;
    QProcess m_process;
};
