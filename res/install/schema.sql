-- The ledger database: nine tables, created once by the installer.
PRAGMA journal_mode=WAL;

CREATE TABLE "Money" (
    "ID" INTEGER PRIMARY KEY AUTOINCREMENT,
    "Date" DATETIME NOT NULL DEFAULT '1899-12-30 00:00:00',
    "Item" TEXT NOT NULL DEFAULT '',
    "Money" DOUBLE NOT NULL DEFAULT 0,
    "Member" TEXT NOT NULL DEFAULT '',
    "Explain" TEXT NOT NULL DEFAULT ''
);

CREATE TABLE "Deposit" (
    "ID" INTEGER PRIMARY KEY AUTOINCREMENT,
    "BDate" DATETIME NOT NULL DEFAULT '1899-12-30 00:00:00',
    "Account" TEXT NOT NULL DEFAULT '',
    "MKind" TEXT NOT NULL DEFAULT '',
    "DKind" TEXT NOT NULL DEFAULT '',
    "BMoney" DOUBLE NOT NULL DEFAULT 0,
    "EMoney" DOUBLE NOT NULL DEFAULT 0,
    "EDate" DATETIME NOT NULL DEFAULT '1899-12-30 00:00:00',
    "Bank" TEXT NOT NULL DEFAULT '',
    "Member" TEXT NOT NULL DEFAULT '',
    "Explain" TEXT NOT NULL DEFAULT ''
);

CREATE TABLE "Current" (
    "ID" INTEGER PRIMARY KEY AUTOINCREMENT,
    "Date" DATETIME NOT NULL DEFAULT '1899-12-30 00:00:00',
    "Account" TEXT NOT NULL DEFAULT '',
    "Bank" TEXT NOT NULL DEFAULT '',
    "MKind" TEXT NOT NULL DEFAULT '',
    "Money" DOUBLE NOT NULL DEFAULT 0,
    "Reason" TEXT NOT NULL DEFAULT '',
    "Member" TEXT NOT NULL DEFAULT '',
    "Explain" TEXT NOT NULL DEFAULT ''
);

CREATE TABLE "Article" (
    "ID" INTEGER PRIMARY KEY AUTOINCREMENT,
    "Name" TEXT NOT NULL DEFAULT '',
    "Number" SMALLINT NOT NULL DEFAULT 0,
    "Cost" DOUBLE NOT NULL DEFAULT 0,
    "Value" DOUBLE NOT NULL DEFAULT 0,
    "Explain" TEXT NOT NULL DEFAULT ''
);

CREATE TABLE "InsureNote" (
    "ID" INTEGER PRIMARY KEY AUTOINCREMENT,
    "Name" TEXT NOT NULL DEFAULT '',
    "InsureKind" TEXT NOT NULL DEFAULT '',
    "InsureOrgen" TEXT NOT NULL DEFAULT '',
    "PayMoney" DOUBLE NOT NULL DEFAULT 0,
    "GetMoney" DOUBLE NOT NULL DEFAULT 0,
    "Year" SMALLINT NOT NULL DEFAULT 0,
    "StartDate" DATETIME NOT NULL DEFAULT '1899-12-30 00:00:00',
    "EndDate" DATETIME NOT NULL DEFAULT '1899-12-30 00:00:00',
    "PayPeople" TEXT NOT NULL DEFAULT '',
    "BenefitPeople" TEXT NOT NULL DEFAULT '',
    "BeInsuredPeople" TEXT NOT NULL DEFAULT '',
    "PayedMoney" DOUBLE NOT NULL DEFAULT 0,
    "Explain" TEXT NOT NULL DEFAULT ''
);

CREATE TABLE "InsureRecord" (
    "ID" INTEGER PRIMARY KEY AUTOINCREMENT,
    "Date" DATETIME NOT NULL DEFAULT '1899-12-30 00:00:00',
    "InsureName" TEXT NOT NULL DEFAULT '',
    "Active" TEXT NOT NULL DEFAULT '',
    "Money" DOUBLE NOT NULL DEFAULT 0,
    "Member" TEXT NOT NULL DEFAULT '',
    "Explain" TEXT NOT NULL DEFAULT ''
);

CREATE TABLE "Credit" (
    "ID" INTEGER PRIMARY KEY AUTOINCREMENT,
    "Date" DATETIME NOT NULL DEFAULT '1899-12-30 00:00:00',
    "Active" TEXT NOT NULL DEFAULT '',
    "Money" DOUBLE NOT NULL DEFAULT 0,
    "People" TEXT NOT NULL DEFAULT '',
    "Member" TEXT NOT NULL DEFAULT '',
    "Explain" TEXT NOT NULL DEFAULT ''
);

CREATE TABLE "Memo" (
    "ID" INTEGER PRIMARY KEY AUTOINCREMENT,
    "Date" DATETIME NOT NULL DEFAULT '1899-12-30 00:00:00',
    "Matter" TEXT NOT NULL DEFAULT '',
    "Member" TEXT NOT NULL DEFAULT ''
);

CREATE TABLE "Address" (
    "ID" INTEGER PRIMARY KEY AUTOINCREMENT,
    "Name" TEXT NOT NULL DEFAULT '',
    "Work" TEXT NOT NULL DEFAULT '',
    "Company" TEXT NOT NULL DEFAULT '',
    "CompanyTel" TEXT NOT NULL DEFAULT '',
    "HomeTel" TEXT NOT NULL DEFAULT '',
    "Fax" TEXT NOT NULL DEFAULT '',
    "Email" TEXT NOT NULL DEFAULT '',
    "Mobile" TEXT NOT NULL DEFAULT '',
    "CompanyAddress" TEXT NOT NULL DEFAULT '',
    "HomeAddress" TEXT NOT NULL DEFAULT '',
    "Postalcode" TEXT NOT NULL DEFAULT '',
    "City" TEXT NOT NULL DEFAULT '',
    "Province" TEXT NOT NULL DEFAULT '',
    "Note1" TEXT NOT NULL DEFAULT '',
    "Note2" TEXT NOT NULL DEFAULT ''
);

-- Sort and filter columns. Money's index follows the list order (Date, then ID) and carries the columns
-- that searches and the total read, so paging, searching and totalling a large table stay in the index.
CREATE INDEX "Money_Date" ON "Money" ("Date", "ID", "Item", "Money", "Member");
CREATE INDEX "Deposit_BDate" ON "Deposit" ("BDate");
CREATE INDEX "Deposit_MKind" ON "Deposit" ("MKind");
CREATE INDEX "Current_Date" ON "Current" ("Date");
CREATE INDEX "Current_Account" ON "Current" ("Account");
CREATE INDEX "Current_MKind" ON "Current" ("MKind");
CREATE INDEX "Article_Name" ON "Article" ("Name");
CREATE UNIQUE INDEX "InsureNote_Name" ON "InsureNote" ("Name");
CREATE INDEX "InsureRecord_Date" ON "InsureRecord" ("Date");
CREATE INDEX "InsureRecord_InsureName" ON "InsureRecord" ("InsureName");
CREATE INDEX "Credit_Date" ON "Credit" ("Date");
CREATE INDEX "Memo_Date" ON "Memo" ("Date");
CREATE INDEX "Address_Name" ON "Address" ("Name");

-- The counts and totals kept by triggers (table Totals) are laid by the program at the first open.
