-- The four suite tables the payment receipt screens read and write, for an
-- embedded SQLite database.
--
-- Dates are TEXT in "YYYY/MM/DD" form: the screens compare them with
-- 'YYYY/MM/DD' literals and text order is date order in that form.
-- Amounts are NUMERIC; an order not yet paid has 入金額 0, not Null, so that
-- [請求額] <> [入金額] lists it.

CREATE TABLE [SHOP] (
    [SHOP_ID]   TEXT NOT NULL PRIMARY KEY,
    [SHOP_NAME] TEXT
);

-- Several rows per method are allowed: the screens take MAX([OK]) and
-- AVG([ORD]) per method.
CREATE TABLE [PAYMENT] (
    [METHOD] TEXT NOT NULL,
    [OK]     INTEGER NOT NULL DEFAULT 0,
    [ORD]    INTEGER NOT NULL DEFAULT 0
);

-- One row; NYUKIN_NOMANAGE holds the TAB-joined exempt methods.
CREATE TABLE [CONTROL] (
    [NYUKIN_NOMANAGE] TEXT
);

CREATE TABLE [CHUMON] (
    [ID]           INTEGER PRIMARY KEY,
    [会社名]       TEXT,
    [氏名]         TEXT,
    [電話番号]     TEXT,
    [受注日]       TEXT,
    [請求額]       NUMERIC DEFAULT 0,
    [入金日]       TEXT,
    [入金額]       NUMERIC DEFAULT 0,
    [支払方法]     TEXT,
    [TEL1]         TEXT,
    [出荷日]       TEXT,
    [ショップID]   TEXT,
    [入金確認送信] INTEGER NOT NULL DEFAULT 0
);

-- The search narrows by ship date whenever a date box is filled.
CREATE INDEX [IX_CHUMON_出荷日] ON [CHUMON] ([出荷日]);

-- The unpaid-orders search reads only the orders this WHERE keeps, and only
-- these columns: a partial index holding exactly them answers it without
-- touching the table, so its cost follows the listed orders, not all orders
-- ever taken. The WHERE is the search's own condition, word for word, which
-- is what lets SQLite use it; [入金確認送信] is listed so the index covers
-- every column the search names. A registration that pays an order in full
-- takes it out of the index.
CREATE INDEX [IX_CHUMON_未入金] ON [CHUMON] ([出荷日], [会社名], [氏名], [電話番号], [受注日], [請求額],
    [入金日], [入金額], [支払方法], [TEL1], [ショップID], [入金確認送信])
    WHERE [請求額] <> [入金額] AND [入金確認送信] = 0;

-- Payer names the operators taught the statement import: a bank's payer name,
-- normalised, and the customer it stands for (the phone number, or 氏名 for
-- an order without one). Written by 登録 for lines given to an order by hand.
CREATE TABLE [NYUKIN_MEIGI] (
    [振込依頼人名] TEXT NOT NULL PRIMARY KEY,
    [電話番号]     TEXT,
    [氏名]         TEXT,
    [更新日]       TEXT
);

-- 入金履歴: one row per order each 登録 changed, written in the registration's
-- own transaction. Rows of one registration share [登録番号]; a take-back
-- (取消) is a registration of its own whose [取消対象] names the one it
-- reverses. The time is text, "YYYY/MM/DD HH:MM:SS", so that its text order
-- is time order on every database. [入力元] is 手入力, 一括入金日, the
-- statement's file name or 取消; [入力行] the statement's line and status.
CREATE TABLE [NYUKIN_RIREKI] (
    [登録番号]       INTEGER NOT NULL,
    [ID]             INTEGER NOT NULL,
    [登録日時]       TEXT NOT NULL,
    [担当者]         TEXT,
    [前入金日]       TEXT,
    [前入金額]       NUMERIC,
    [前入金確認送信] INTEGER,
    [後入金日]       TEXT,
    [後入金額]       NUMERIC,
    [後入金確認送信] INTEGER,
    [入力元]         TEXT,
    [入力行]         TEXT,
    [取消対象]       INTEGER,
    PRIMARY KEY ([登録番号], [ID])
);

-- 入金履歴's search by order No.
CREATE INDEX [IX_NYUKIN_RIREKI_ID] ON [NYUKIN_RIREKI] ([ID]);
