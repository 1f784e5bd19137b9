// Calculator pad arithmetic.
#include "CalcEngine.h"

#include "common/Amount.h"
#include "common/Messages.h"

#include <cmath>

CalcEngine::CalcEngine(const QString &fieldText)
    : m_entry(fieldText), m_state(fieldText.isEmpty() ? State::Untouched : State::Typing)
{
}

QString CalcEngine::FormatResult(double value)
{
    const QString twoPlaces = FormatDouble("%.2f", value);
    if (twoPlaces.endsWith(QLatin1String("00")))
        return FormatDouble("%.0f", value);
    if (twoPlaces.endsWith(QLatin1Char('0')))
        return FormatDouble("%.1f", value);
    return twoPlaces;
}

void CalcEngine::Clear()
{
    m_accumulator = 0.0;
    m_operand = 0.0;
    m_operator = QChar();
    m_entry.clear();
    m_hasFirst = false;
}

QString CalcEngine::Apply(const QString &fieldText)
{
    m_entry = fieldText;
    if (!m_hasFirst) {
        // The first number is only taken up: the field keeps the number typed. A result of 0 is a
        // first number like any other, so this is a state of its own, not a zero accumulator.
        m_accumulator = AtoF(m_entry);
        m_hasFirst = true;
        m_entry.clear();
        m_state = State::AfterOperator;
        return fieldText;
    }
    m_operand = AtoF(m_entry);
    switch (m_operator.unicode()) {
    case '*': m_accumulator *= m_operand; break;
    case '+': m_accumulator += m_operand; break;
    case '-': m_accumulator -= m_operand; break;
    case '/': m_accumulator /= m_operand; break;
    default: break;
    }
    m_operand = 0.0;
    if (m_accumulator > 999999999999999.0 || m_accumulator < -99999999999999.0 || std::isnan(m_accumulator)) {
        ShowMessage(QStringLiteral("超出计算范围"), QStringLiteral("错误"));
        Clear();
        return QString();
    }
    m_entry.clear();
    m_state = State::AfterOperator;
    return FormatResult(m_accumulator);
}

QString CalcEngine::Press(const QString &key, const QString &fieldText)
{
    if (key.size() == 1 && key.at(0).isDigit()) {
        m_entry += key;
        m_state = State::Typing;
        return m_entry;
    }
    if (key == QLatin1String(".")) {
        if (m_entry.isEmpty())
            return fieldText;
        m_entry += key;
        m_state = State::Typing;
        return m_entry;
    }
    if (key == QLatin1String("<-")) {
        if (m_entry.isEmpty())
            return fieldText;
        m_entry.chop(1);
        return m_entry;
    }
    if (key == QLatin1String("C")) {
        Clear();
        return m_entry;
    }
    if (key == QLatin1String("-") && m_state == State::Untouched) {
        m_entry = key;  // a negative first number begins
        return m_entry;
    }
    if (key == QLatin1String("+") || key == QLatin1String("-") || key == QLatin1String("*") || key == QLatin1String("/")) {
        if (m_state != State::Typing)
            return fieldText;
        const QString shown = Apply(fieldText);
        m_operator = key.at(0);
        return shown;
    }
    if (key == QLatin1String("=")) {
        const QString shown = m_state == State::Typing ? Apply(fieldText) : fieldText;
        m_finished = true;
        return shown;
    }
    return fieldText;
}
