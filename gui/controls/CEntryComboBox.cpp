// The entry list that shows bare names.
#include "CEntryComboBox.h"

#include <QSignalBlocker>
#include <QStyleOptionComboBox>
#include <QStylePainter>

CEntryComboBox::CEntryComboBox(QWidget *parent) : CTintedComboBox(parent)
{
    connect(this, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &CEntryComboBox::OnChoice);
    connect(this, QOverload<int>::of(&QComboBox::activated), this, &CEntryComboBox::OnChoice);
}

void CEntryComboBox::OnChoice(int index)
{
    // The text shown for the former choice never outlives it.
    m_hasShown = false;
    m_shown.clear();
    update();
    if (index >= 0)
        emit entryChosen(index);
}

void CEntryComboBox::ShowText(const QString &text)
{
    m_shown = text;
    m_hasShown = true;
    update();
}

QString CEntryComboBox::ShownText() const
{
    return m_hasShown ? m_shown : currentText();
}

void CEntryComboBox::ShowEntry(int index, const QString &text)
{
    {
        const QSignalBlocker quiet(this);
        setCurrentIndex(index);
    }
    ShowText(text);
}

void CEntryComboBox::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    if (m_hasShown) {
        option.currentText = m_shown;
        option.currentIcon = QIcon();
    }
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}
