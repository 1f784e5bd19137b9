// The buttons that act, by the control numbers the window's layout gives them. A panel registers the
// handlers of its own; the window those of the panel buttons and of its own.
#pragma once

namespace Action {

enum Id : int {
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
    RecurringLine = 1233,  // the home page's line of the recurring records
};

} // namespace Action
