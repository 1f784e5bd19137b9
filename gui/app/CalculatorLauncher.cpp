// The calculator for the 计算 button.
#include "CalculatorLauncher.h"

#include <QStandardPaths>

CalculatorLauncher::CalculatorLauncher(QObject *parent) : QObject(parent), m_candidates(UsualCalculators())
{
    // The calculator's messages go where the ledger's go, not into pipes the ledger would have to
    // drain (kept in memory, or filling while the ledger is busy and stopping the calculator); it
    // reads nothing from the ledger.
    m_process.setProcessChannelMode(QProcess::ForwardedChannels);
    m_process.setStandardInputFile(QProcess::nullDevice());
}

CalculatorLauncher::~CalculatorLauncher()
{
    Close();
}

QStringList CalculatorLauncher::UsualCalculators()
{
#ifdef Q_OS_WIN
    return {QStringLiteral("calc.exe")};
#else
    return {QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"), QStringLiteral("mate-calc"),
            QStringLiteral("galculator"), QStringLiteral("qalculate-gtk"), QStringLiteral("xcalc")};
#endif
}

bool CalculatorLauncher::Launch(QStringList *missing)
{
    if (IsRunning())
        return true;  // the one started before stays where the user put it
    m_failed.clear();
    for (const QString &candidate : std::as_const(m_candidates)) {
        const QString program = QStandardPaths::findExecutable(candidate);
        if (program.isEmpty())
            continue;
        // The program itself, no shell and no arguments: nothing of the ledger reaches a command line.
        m_process.setProgram(program);
        m_process.setArguments({});
        m_process.start();
        if (m_process.waitForStarted(3000))
            return true;
        m_failed << program;  // installed, but it would not start
    }
    if (missing)
        *missing = m_candidates;
    return false;
}

void CalculatorLauncher::Close()
{
    if (!IsRunning())
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(2000)) {
        m_process.kill();
        m_process.waitForFinished(1000);
    }
}
