// The main window: owns the eight books for the whole run, shows one panel at a time below its row
// of nine buttons, keeps the status lines and the income/expense page selector, and the home page.
#pragma once

#include "app/CalculatorLauncher.h"
#include "app/CLedgerPanel.h"
#include "db/CAddressBook.h"
#include "db/CArticleBook.h"
#include "db/CCreditBook.h"
#include "db/CCurrentBook.h"
#include "db/CDepositBook.h"
#include "db/CInsureBook.h"
#include "db/CMemoBook.h"
#include "db/CMoneyBook.h"

#include <QDialog>
#include <QHash>
#include <QPixmap>
#include <QString>
#include <functional>

class CBookView;
class CIconButton;
class CLinkLabel;
class CTintedComboBox;
class QLabel;

class CMainDlg : public QDialog
{
    Q_OBJECT
public:
    struct Options
    {
        bool showSplash = true;  // off where nobody looks at the screen (tests)
    };

    // The buttons that act, by the control numbers the layout gives them.
    enum Action : int {
        // The panels: the row along the top, the savings and memo groups' own.
        ShowHome = 1018, ShowMoney = 1000, ShowSavings = 1009, ShowArticles = 1007, ShowInsurance = 1019, ShowMemos = 1012,
        ShowDeposits = 1065, ShowCurrent = 1066, ShowMemoList = 1072, ShowAddresses = 1073, ShowCredit = 1074,
        // Income and expense.
        AddMoney = 1001, DeleteMoney = 1002, ModifyMoney = 1003, FilterMoney = 1005, FindMoney = 1038,
        PreviousPage = 1010, NextPage = 1011,
        // Assets.
        AddArticle = 1042, ModifyArticle = 1043, DeleteArticle = 1044, FindArticle = 1046,
        // Fixed-term and demand savings.
        AddDeposit = 1060, DeleteDeposit = 1061, TransferDeposit = 1062, ContinueDeposit = 1063, FindDeposit = 1064,
        AddCurrent = 1067, DeleteCurrent = 1068, ModifyCurrent = 1069, FindCurrent = 1070, CurrentBalances = 1071,
        // Memos, addresses, lending.
        AddMemo = 1013, DeleteMemo = 1014, ModifyMemo = 1015, FindMemo = 1016,
        AddAddress = 1021, DeleteAddress = 1022, ModifyAddress = 1023, FindAddress = 1024,
        AddCredit = 1025, DeleteCredit = 1026, ModifyCredit = 1027, FindCredit = 1028,
        // Insurance.
        AddPolicy = 1050, AddInsure = 1051, DeleteInsure = 1053, ModifyInsure = 1054, FindInsure = 1055, PolicyList = 1056,
        // The window's own.
        Statistics = 1017, Settings = 1020, DesktopCalculator = 1029, About = 1228, ContactLink = 1229,
    };

    explicit CMainDlg(QWidget *parent = nullptr);
    CMainDlg(const Options &options, QWidget *parent = nullptr);
    ~CMainDlg() override;

    // The control with the given number (a list, a button, a label), as the window lays them out.
    QWidget *Control(int id) const { return m_controls.value(id); }

    QString m_strMember;
    bool m_bLoginOK = false;

    CMoneyBook m_moneyBook;
    CArticleBook m_articleBook;
    CDepositBook m_depositBook;
    CCurrentBook m_currentBook;
    CMemoBook m_memoBook;
    CAddressBook m_addressBook;
    CCreditBook m_creditBook;
    CInsureBook m_insureBook;

    void ShowMoneyPanel();
    void ShowArticlePanel();
    void ShowDepositPanel();
    void ShowCurrentPanel();
    void ShowMemoPanel();
    void ShowAddressPanel();
    void ShowCreditPanel();
    void ShowInsurePanel();
    void ShowHomePage();
    void HideMoneyPanel();
    void HideArticlePanel();
    void HideDepositPanel();
    void HideCurrentPanel();
    void HideMemoPanel();
    void HideAddressPanel();
    void HideCreditPanel();
    void HideInsurePanel();
    void HideHomePage();
    void HideSavingsPanel();
    void HideMemoGroup();

    void RefreshMoneyPanel();
    // 导入收支记录… of the income and expense list: a file chosen, then the import dialog on it.
    void OpenImport();
    void RefreshArticlePanel();
    void RefreshDepositPanel();
    void RefreshCurrentPanel();
    void RefreshCreditPanel();
    void RefreshInsurePanel();
    // After a find step on a list: its panel's row buttons follow the book's selected row.
    void FollowSelection(int listId);
    // After a change across the cash and deposit books was rolled back: both lists and totals read
    // again from the ledger, and their panels refreshed.
    void ReloadSavingsAndMoney();
    // The same for the insurance activities, after a change with a policy was rolled back.
    void ReloadInsurance();
    // After the ledger was restored from a copy: every book and list read again, the home page shown.
    void ReloadLedger();

    // The welcome line for a member (empty: no login) on a day.
    static QString BuildWelcome(const QString &member, const QDate &today);

    // The home page's summary texts and the welcome line, as built.
    QString WelcomeText() const { return m_strWelcome; }
    bool IsClockRunning() const { return m_clockTimer != 0; }

    // The panel buttons and summary lines, by their control numbers. A database failure of the action
    // is told and ends the action; the window goes on.
    void PressButton(int id);

    // 计算: the desktop's calculator, started once; "not found" names the programs looked for.
    void LaunchCalculator();
    CalculatorLauncher &Calculator() { return m_calculator; }

    // The start-up login; a cancelled one closes the books and ends the window before it shows.
    void RunLogin();
    bool IsEnded() const { return m_bEnded; }
    // The find window open, of the panel shown (a panel left closes its own), or null.
    QDialog *FindWindow();
    // Ends the window without asking: the finds, the calculator and the books are closed. The copy
    // of the ledger as it is left is made by the application once the window is gone.
    void End();

public slots:
    void reject() override;  // Escape or the dialog's own cancel never end the window: only the close question does

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    void CreateControls();
    CIconButton *MakeButton(int id, const QString &caption, int icon, const QRect &geometry, bool enabled = true);
    QLabel *MakeLabel(int id, const QRect &geometry, const QColor &color);
    CBookView *MakeList(int id, CBook &book, const QStringList &titles, const QList<int> &widths, const QRect &geometry);
    void InitLedger();
    void FillBooks();
    void SetupListColumns();
    void ShowWelcome();
    void SetupLinks();
    void ShowBackground();
    void SetIcons();
    void ShowSplash(const QString &path, int milliseconds);

    bool Hidden(int id) const;
    void ShowControls(std::initializer_list<int> ids);
    void HideControls(std::initializer_list<int> ids);
    QList<CLedgerPanel *> Panels();
    void CloseFindWindows();  // every panel's
    void CloseBooks();
    void ApplyFixedTermRule();

    void OnPageChosen(int index);
    void Press(int buttonId);
    void SwitchPanel(int buttonId);
    // The handlers of the panels' buttons and of the window's own, each under its button's name.
    void RegisterActions();

    // Runs a user action; a database failure ends it with a message, and the window goes on.
    void Guarded(const std::function<void()> &action);
    void BuildPanels();
    void OnRowChosen(CLedgerPanel &panel);
    void OnRowDoubleClicked(CLedgerPanel &panel);
    CLedgerPanel *PanelOfList(const CBookView *list);
    QLabel *Label(int id) const;

    Options m_options;
    CalculatorLauncher m_calculator;
    QHash<int, QWidget *> m_controls;
    QHash<int, std::function<void()>> m_actions;  // the window's own buttons
    CLedgerPanel m_moneyPanel;
    CLedgerPanel m_articlePanel;
    CLedgerPanel m_depositPanel;
    CLedgerPanel m_currentPanel;
    CLedgerPanel m_insurePanel;
    CLedgerPanel m_memoPanel;
    CLedgerPanel m_addressPanel;
    CLedgerPanel m_creditPanel;
    QString m_strWelcome;
    QPixmap m_background;
    int m_clockTimer = 0;
    bool m_closing = false;
    bool m_bEnded = false;
};
