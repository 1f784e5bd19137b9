// The account field of the savings dialogs: free text (no '#', which the ledger's list files reserve),
// and a drop-down of the accounts already used, each "account ## bank". Choosing one puts the account
// in the field and tells its bank.
#pragma once

#include "controls/CTintedComboBox.h"

#include <functional>

class CAccountComboBox : public CTintedComboBox
{
    Q_OBJECT
public:
    using Accounts = std::function<QStringList()>;
    CAccountComboBox(Accounts accounts, QWidget *parent = nullptr);

signals:
    void bankChosen(const QString &bank);  // the bank part of a chosen "account ## bank"

private:
    void OnChosen(int index);
    Accounts m_accounts;
};
