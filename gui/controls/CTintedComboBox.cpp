// Tinted drop-down list; the edit or selection field keeps the default colours.
#include "CTintedComboBox.h"

#include <QAbstractItemView>

CTintedComboBox::CTintedComboBox(QWidget *parent) : QComboBox(parent)
{
    QPalette palette = view()->palette();
    palette.setColor(QPalette::Base, QColor(230, 250, 255));
    view()->setPalette(palette);
}

void CTintedComboBox::showPopup()
{
    emit aboutToShowPopup();
    QComboBox::showPopup();
}
