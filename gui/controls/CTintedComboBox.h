// The drop-down list of the whole interface: its list is painted on the ledger's light tint.
#pragma once

#include <QComboBox>

class CTintedComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit CTintedComboBox(QWidget *parent = nullptr);
    void showPopup() override;

protected:
    // Paints the list and its frame on the tint; again after the list view is replaced.
    void TintList();

signals:
    void aboutToShowPopup();  // before the list drops down
};
