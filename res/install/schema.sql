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

-- Totals the ledger shows at start-up, kept current by the triggers below so that opening a large
-- ledger never sums a whole table. Name: table|column|condition ("count" for the number of records).
CREATE TABLE "Totals" (
    "Name" TEXT PRIMARY KEY,
    "Value" DOUBLE NOT NULL DEFAULT 0
);
INSERT INTO "Totals" ("Name", "Value") VALUES ('Money|count|', 0);
INSERT INTO "Totals" ("Name", "Value") VALUES ('Money|Money|', 0);
INSERT INTO "Totals" ("Name", "Value") VALUES ('Article|count|', 0);
INSERT INTO "Totals" ("Name", "Value") VALUES ('Article|Cost|', 0);
INSERT INTO "Totals" ("Name", "Value") VALUES ('Article|Value|', 0);
INSERT INTO "Totals" ("Name", "Value") VALUES ('Credit|count|', 0);
INSERT INTO "Totals" ("Name", "Value") VALUES ('Credit|Money|', 0);
INSERT INTO "Totals" ("Name", "Value") VALUES ('Current|count|', 0);
INSERT INTO "Totals" ("Name", "Value") VALUES ('Current|Money|MKind=''人民币''', 0);
INSERT INTO "Totals" ("Name", "Value") VALUES ('Deposit|count|', 0);
INSERT INTO "Totals" ("Name", "Value") VALUES ('Deposit|BMoney|MKind=''人民币''', 0);
INSERT INTO "Totals" ("Name", "Value") VALUES ('Deposit|EMoney|MKind=''人民币''', 0);
INSERT INTO "Totals" ("Name", "Value") VALUES ('InsureRecord|count|', 0);
INSERT INTO "Totals" ("Name", "Value") VALUES ('InsureRecord|Money|Money<0', 0);
INSERT INTO "Totals" ("Name", "Value") VALUES ('InsureNote|count|', 0);
INSERT INTO "Totals" ("Name", "Value") VALUES ('Memo|count|', 0);
INSERT INTO "Totals" ("Name", "Value") VALUES ('Address|count|', 0);
CREATE TRIGGER "Money_Totals_Insert" AFTER INSERT ON "Money" BEGIN
    UPDATE "Totals" SET "Value" = "Value" + 1 WHERE "Name" = 'Money|count|';
    UPDATE "Totals" SET "Value" = "Value" + NEW."Money" WHERE "Name" = 'Money|Money|';
END;
CREATE TRIGGER "Money_Totals_Delete" AFTER DELETE ON "Money" BEGIN
    UPDATE "Totals" SET "Value" = "Value" - 1 WHERE "Name" = 'Money|count|';
    UPDATE "Totals" SET "Value" = "Value" - OLD."Money" WHERE "Name" = 'Money|Money|';
END;
CREATE TRIGGER "Money_Totals_Update" AFTER UPDATE OF "Money" ON "Money" BEGIN
    UPDATE "Totals" SET "Value" = "Value" - OLD."Money" WHERE "Name" = 'Money|Money|';
    UPDATE "Totals" SET "Value" = "Value" + NEW."Money" WHERE "Name" = 'Money|Money|';
END;
CREATE TRIGGER "Article_Totals_Insert" AFTER INSERT ON "Article" BEGIN
    UPDATE "Totals" SET "Value" = "Value" + 1 WHERE "Name" = 'Article|count|';
    UPDATE "Totals" SET "Value" = "Value" + NEW."Cost" WHERE "Name" = 'Article|Cost|';
    UPDATE "Totals" SET "Value" = "Value" + NEW."Value" WHERE "Name" = 'Article|Value|';
END;
CREATE TRIGGER "Article_Totals_Delete" AFTER DELETE ON "Article" BEGIN
    UPDATE "Totals" SET "Value" = "Value" - 1 WHERE "Name" = 'Article|count|';
    UPDATE "Totals" SET "Value" = "Value" - OLD."Cost" WHERE "Name" = 'Article|Cost|';
    UPDATE "Totals" SET "Value" = "Value" - OLD."Value" WHERE "Name" = 'Article|Value|';
END;
CREATE TRIGGER "Article_Totals_Update" AFTER UPDATE OF "Cost", "Value" ON "Article" BEGIN
    UPDATE "Totals" SET "Value" = "Value" - OLD."Cost" WHERE "Name" = 'Article|Cost|';
    UPDATE "Totals" SET "Value" = "Value" - OLD."Value" WHERE "Name" = 'Article|Value|';
    UPDATE "Totals" SET "Value" = "Value" + NEW."Cost" WHERE "Name" = 'Article|Cost|';
    UPDATE "Totals" SET "Value" = "Value" + NEW."Value" WHERE "Name" = 'Article|Value|';
END;
CREATE TRIGGER "Credit_Totals_Insert" AFTER INSERT ON "Credit" BEGIN
    UPDATE "Totals" SET "Value" = "Value" + 1 WHERE "Name" = 'Credit|count|';
    UPDATE "Totals" SET "Value" = "Value" + NEW."Money" WHERE "Name" = 'Credit|Money|';
END;
CREATE TRIGGER "Credit_Totals_Delete" AFTER DELETE ON "Credit" BEGIN
    UPDATE "Totals" SET "Value" = "Value" - 1 WHERE "Name" = 'Credit|count|';
    UPDATE "Totals" SET "Value" = "Value" - OLD."Money" WHERE "Name" = 'Credit|Money|';
END;
CREATE TRIGGER "Credit_Totals_Update" AFTER UPDATE OF "Money" ON "Credit" BEGIN
    UPDATE "Totals" SET "Value" = "Value" - OLD."Money" WHERE "Name" = 'Credit|Money|';
    UPDATE "Totals" SET "Value" = "Value" + NEW."Money" WHERE "Name" = 'Credit|Money|';
END;
CREATE TRIGGER "Current_Totals_Insert" AFTER INSERT ON "Current" BEGIN
    UPDATE "Totals" SET "Value" = "Value" + 1 WHERE "Name" = 'Current|count|';
    UPDATE "Totals" SET "Value" = "Value" + NEW."Money" WHERE "Name" = 'Current|Money|MKind=''人民币''' AND NEW.MKind='人民币';
END;
CREATE TRIGGER "Current_Totals_Delete" AFTER DELETE ON "Current" BEGIN
    UPDATE "Totals" SET "Value" = "Value" - 1 WHERE "Name" = 'Current|count|';
    UPDATE "Totals" SET "Value" = "Value" - OLD."Money" WHERE "Name" = 'Current|Money|MKind=''人民币''' AND OLD.MKind='人民币';
END;
CREATE TRIGGER "Current_Totals_Update" AFTER UPDATE OF "MKind", "Money" ON "Current" BEGIN
    UPDATE "Totals" SET "Value" = "Value" - OLD."Money" WHERE "Name" = 'Current|Money|MKind=''人民币''' AND OLD.MKind='人民币';
    UPDATE "Totals" SET "Value" = "Value" + NEW."Money" WHERE "Name" = 'Current|Money|MKind=''人民币''' AND NEW.MKind='人民币';
END;
CREATE TRIGGER "Deposit_Totals_Insert" AFTER INSERT ON "Deposit" BEGIN
    UPDATE "Totals" SET "Value" = "Value" + 1 WHERE "Name" = 'Deposit|count|';
    UPDATE "Totals" SET "Value" = "Value" + NEW."BMoney" WHERE "Name" = 'Deposit|BMoney|MKind=''人民币''' AND NEW.MKind='人民币';
    UPDATE "Totals" SET "Value" = "Value" + NEW."EMoney" WHERE "Name" = 'Deposit|EMoney|MKind=''人民币''' AND NEW.MKind='人民币';
END;
CREATE TRIGGER "Deposit_Totals_Delete" AFTER DELETE ON "Deposit" BEGIN
    UPDATE "Totals" SET "Value" = "Value" - 1 WHERE "Name" = 'Deposit|count|';
    UPDATE "Totals" SET "Value" = "Value" - OLD."BMoney" WHERE "Name" = 'Deposit|BMoney|MKind=''人民币''' AND OLD.MKind='人民币';
    UPDATE "Totals" SET "Value" = "Value" - OLD."EMoney" WHERE "Name" = 'Deposit|EMoney|MKind=''人民币''' AND OLD.MKind='人民币';
END;
CREATE TRIGGER "Deposit_Totals_Update" AFTER UPDATE OF "BMoney", "EMoney", "MKind" ON "Deposit" BEGIN
    UPDATE "Totals" SET "Value" = "Value" - OLD."BMoney" WHERE "Name" = 'Deposit|BMoney|MKind=''人民币''' AND OLD.MKind='人民币';
    UPDATE "Totals" SET "Value" = "Value" - OLD."EMoney" WHERE "Name" = 'Deposit|EMoney|MKind=''人民币''' AND OLD.MKind='人民币';
    UPDATE "Totals" SET "Value" = "Value" + NEW."BMoney" WHERE "Name" = 'Deposit|BMoney|MKind=''人民币''' AND NEW.MKind='人民币';
    UPDATE "Totals" SET "Value" = "Value" + NEW."EMoney" WHERE "Name" = 'Deposit|EMoney|MKind=''人民币''' AND NEW.MKind='人民币';
END;
CREATE TRIGGER "InsureRecord_Totals_Insert" AFTER INSERT ON "InsureRecord" BEGIN
    UPDATE "Totals" SET "Value" = "Value" + 1 WHERE "Name" = 'InsureRecord|count|';
    UPDATE "Totals" SET "Value" = "Value" + NEW."Money" WHERE "Name" = 'InsureRecord|Money|Money<0' AND NEW.Money<0;
END;
CREATE TRIGGER "InsureRecord_Totals_Delete" AFTER DELETE ON "InsureRecord" BEGIN
    UPDATE "Totals" SET "Value" = "Value" - 1 WHERE "Name" = 'InsureRecord|count|';
    UPDATE "Totals" SET "Value" = "Value" - OLD."Money" WHERE "Name" = 'InsureRecord|Money|Money<0' AND OLD.Money<0;
END;
CREATE TRIGGER "InsureRecord_Totals_Update" AFTER UPDATE OF "Money" ON "InsureRecord" BEGIN
    UPDATE "Totals" SET "Value" = "Value" - OLD."Money" WHERE "Name" = 'InsureRecord|Money|Money<0' AND OLD.Money<0;
    UPDATE "Totals" SET "Value" = "Value" + NEW."Money" WHERE "Name" = 'InsureRecord|Money|Money<0' AND NEW.Money<0;
END;
CREATE TRIGGER "InsureNote_Totals_Insert" AFTER INSERT ON "InsureNote" BEGIN
    UPDATE "Totals" SET "Value" = "Value" + 1 WHERE "Name" = 'InsureNote|count|';
END;
CREATE TRIGGER "InsureNote_Totals_Delete" AFTER DELETE ON "InsureNote" BEGIN
    UPDATE "Totals" SET "Value" = "Value" - 1 WHERE "Name" = 'InsureNote|count|';
END;
CREATE TRIGGER "Memo_Totals_Insert" AFTER INSERT ON "Memo" BEGIN
    UPDATE "Totals" SET "Value" = "Value" + 1 WHERE "Name" = 'Memo|count|';
END;
CREATE TRIGGER "Memo_Totals_Delete" AFTER DELETE ON "Memo" BEGIN
    UPDATE "Totals" SET "Value" = "Value" - 1 WHERE "Name" = 'Memo|count|';
END;
CREATE TRIGGER "Address_Totals_Insert" AFTER INSERT ON "Address" BEGIN
    UPDATE "Totals" SET "Value" = "Value" + 1 WHERE "Name" = 'Address|count|';
END;
CREATE TRIGGER "Address_Totals_Delete" AFTER DELETE ON "Address" BEGIN
    UPDATE "Totals" SET "Value" = "Value" - 1 WHERE "Name" = 'Address|count|';
END;
