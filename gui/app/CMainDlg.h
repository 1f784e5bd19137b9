// The main window: owns the eight books for the whole run, lays out its controls by number, and shows
// one panel at a time below its row of nine buttons, or the home page. Each panel holds the handlers
// of its own buttons (gui/panels); the window those of the buttons that switch panels and of its own.
#pragma once

#include "app/CalculatorLauncher.h"
#include "app/CHomePage.h"
#include "app/ServerWatch.h"
#include "db/CAddressBook.h"
#include "db/CArticleBook.h"
#include "db/CCreditBook.h"
#include "db/CCurrentBook.h"
#include "db/CDepositBook.h"
#include "db/CInsureBook.h"
#include "db/CMemoBook.h"
#include "db/CMoneyBook.h"
#include "panels/Actions.h"

#include <QDialog>
#include <QHash>
#include <QString>
#include <functional>
#include <memory>

class CBookView;
class CIconButton;
class CLedgerPanel;
class CSettingsDlg;
class QLabel;

class CMainDlg : public QDialog
{
    Q_OBJECT
public:
    struct Options
    {
        bool showSplash = true;  // off where nobody looks at the screen (tests)
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

    // The buttons by their control numbers, and the home page's summary lines. A database failure of
    // the action is told and ends the action; the window goes on.
    void PressButton(int id);

    // The panel whose list has the number (1004 income and expense … 1117 insurance), or null.
    CLedgerPanel *Panel(int listId) const;
    // The find window open, of the panel shown (a panel left closes its own), or null.
    QDialog *FindWindow() const;

    // 设置, wired to the window: a restored copy is read again, a restore left half-done ends the window.
    std::unique_ptr<CSettingsDlg> MakeSettings();
    // After the ledger was restored from a copy: every book and list read again, the home page shown.
    void ReloadLedger();
    // 撤销 (Ctrl+Z, and 撤销… of every list's menu): says what the last change of the run did and,
    // when the household agrees, takes it back; every book is read again.
    void TakeBackLastChange();
    // After records changed under the books: each read again, the panel shown stays.
    void ReadBooksAgain();
    // After 帐本位置 chose another ledger: the lists and the books read from it, the server watched.
    void ChangeLedgerPlace();
    // Another copy sharing the server ledger committed changes to the tables (lower-case names): the
    // lists, the books and the home page read again, once no dialog of this window is open.
    void ShowOthersChanges(const QSet<QString> &tables);
    ServerWatch &Watch() { return m_watch; }

    // The welcome line as built, and whether the home page's clock goes.
    QString WelcomeText() const { return m_strWelcome; }
    bool IsClockRunning() const { return m_home->IsClockRunning(); }

    // 计算: the desktop's calculator, started once; "not found" names the programs looked for.
    void LaunchCalculator();
    CalculatorLauncher &Calculator() { return m_calculator; }

    // The recurring records come due up to the day, offered to write (nothing when none is due).
    void OfferDueRecords(const QDate &today);

    // Opens the import of a file handed to the program (zarvel --import FILE), over the income and
    // expense list, the window brought to the front.
    void OpenImportOf(const QString &file);

    // The start-up login; a cancelled one closes the books and ends the window before it shows.
    void RunLogin();
    bool IsEnded() const { return m_bEnded; }
    // Ends the window without asking: the finds, the calculator and the books are closed. The copy
    // of the ledger as it is left is made by the application once the window is gone.
    void End();

public slots:
    void reject() override;  // Escape or the dialog's own cancel never end the window: only the close question does

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void CreateControls();
    CIconButton *MakeButton(int id, const QString &caption, int icon, const QRect &geometry, bool enabled = true);
    QLabel *MakeLabel(int id, const QRect &geometry, const QColor &color);
    void MakeLists();
    void BuildPanels();
    void RegisterActions();
    void InitLedger();
    void FillBooks();
    void ShowSplash(const QString &path, int milliseconds);
    void SetIcons();

    bool Hidden(int id) const;
    void ShowControls(std::initializer_list<int> ids);
    void HideControls(std::initializer_list<int> ids);
    void Press(int buttonId);
    void SwitchPanel(int buttonId);
    void ShowPanel(int listId);
    void HidePanel(int listId);
    void HideSavingsGroup();
    void HideMemoGroup();
    void CloseFindWindows();  // every panel's
    void CloseBooks();
    std::vector<CBook *> Books();  // the eight, in the order they are filled
    // The title names the server ledger in use, and says when its connection is lost.
    void ShowLedgerInTitle(const QString &why = QString());
    void FollowServer();

    Options m_options;
    ServerWatch m_watch;
    QSet<QString> m_othersChanged;  // waiting for the dialog open to close
    CalculatorLauncher m_calculator;
    QHash<int, QWidget *> m_controls;
    QHash<int, std::function<void()>> m_actions;  // the window's own buttons
    struct PanelSwitch
    {
        int shownWith;  // a control shown only with the panel: nothing to do while it shows
        std::function<void()> hideAndShow;
    };
    QHash<int, PanelSwitch> m_switches;  // the panel buttons
    std::vector<std::unique_ptr<CLedgerPanel>> m_panels;
    std::unique_ptr<CHomePage> m_home;
    QString m_strWelcome;
    bool m_closing = false;
    bool m_bEnded = false;
};
