// The arithmetic of the calculator pad: four operations applied left to right, each intermediate
// result shown in the amount field that serves as the pad's display.
#pragma once

#include <QString>

class CalcEngine
{
public:
    enum class State { Typing = 0, AfterOperator = 1, Untouched = 2 };

    // The pad opens on the field's current text.
    explicit CalcEngine(const QString &fieldText);

    // One key: "0"-"9", ".", "<-", "C", "+", "-", "*", "/", "=". fieldText is what the field shows
    // now (the user may have typed there). Returns what the field shows afterwards. A result out of
    // range is reported through the message seam.
    QString Press(const QString &key, const QString &fieldText);

    bool IsFinished() const { return m_finished; }  // "=" was pressed: the pad closes

    // "%.2f", or "%.0f" when it ends in "00", or "%.1f" when it ends in "0".
    static QString FormatResult(double value);

private:
    QString Apply(const QString &fieldText);
    void Clear();

    QString m_entry;
    double m_accumulator = 0.0;
    double m_operand = 0.0;
    bool m_hasFirst = false;  // the accumulator holds a first number (after "C" or a range error: not)
    QChar m_operator;
    State m_state;
    bool m_finished = false;
};
