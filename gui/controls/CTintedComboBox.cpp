// Tinted drop-down list; the edit or selection field keeps the default colours.
#include "CTintedComboBox.h"

#include <QAbstractItemView>

CTintedComboBox::CTintedComboBox(QWidget *parent) : QComboBox(parent)
{
    TintList();
}

void CTintedComboBox::TintList()
{
    // The style paints the list like a menu, on the window colour, or like a list, on the base colour:
    // both are the tint, on the list and on the frame that holds it.
    QWidget *frame = view()->parentWidget();
    for (QWidget *part : {static_cast<QWidget *>(view()), frame}) {
        if (!part)
            continue;
        QPalette palette = part->palette();
        palette.setColor(QPalette::Base, QColor(230, 250, 255));
        palette.setColor(QPalette::Window, QColor(230, 250, 255));
        part->setPalette(palette);
    }
}

void CTintedComboBox::showPopup()
{
    emit aboutToShowPopup();
    QComboBox::showPopup();
}
