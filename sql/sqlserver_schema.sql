-- The four suite tables the payment receipt screens read and write, for
-- SQL Server. Run it in the suite's database, e.g.
--   sqlcmd -S db01 -d suite -i sqlserver_schema.sql
--
-- Texts are NVARCHAR so Japanese names survive any server code page.
-- Dates are DATETIME: the screens compare them with 'YYYY/MM/DD' literals,
-- which SQL Server reads correctly under every year-first DATEFORMAT.
-- An order not yet paid has 入金額 0, not Null, so that [請求額] <> [入金額]
-- lists it.

CREATE TABLE [dbo].[SHOP] (
    [SHOP_ID]   NVARCHAR(20)  NOT NULL CONSTRAINT [PK_SHOP] PRIMARY KEY,
    [SHOP_NAME] NVARCHAR(100) NULL
);

-- Several rows per method are allowed: the screens take MAX([OK]) and
-- AVG([ORD]) per method.
CREATE TABLE [dbo].[PAYMENT] (
    [METHOD] NVARCHAR(50) NOT NULL,
    [OK]     SMALLINT     NOT NULL CONSTRAINT [DF_PAYMENT_OK] DEFAULT 0,
    [ORD]    INT          NOT NULL CONSTRAINT [DF_PAYMENT_ORD] DEFAULT 0
);

-- One row; NYUKIN_NOMANAGE holds the TAB-joined exempt methods.
CREATE TABLE [dbo].[CONTROL] (
    [NYUKIN_NOMANAGE] NVARCHAR(1000) NULL
);

CREATE TABLE [dbo].[CHUMON] (
    [ID]           INT           NOT NULL CONSTRAINT [PK_CHUMON] PRIMARY KEY,
    [会社名]       NVARCHAR(100) NULL,
    [氏名]         NVARCHAR(100) NULL,
    [電話番号]     NVARCHAR(20)  NULL,
    [受注日]       DATETIME      NULL,
    [請求額]       MONEY         NULL CONSTRAINT [DF_CHUMON_請求額] DEFAULT 0,
    [入金日]       DATETIME      NULL,
    [入金額]       MONEY         NULL CONSTRAINT [DF_CHUMON_入金額] DEFAULT 0,
    [支払方法]     NVARCHAR(50)  NULL,
    [TEL1]         NVARCHAR(20)  NULL,
    [出荷日]       DATETIME      NULL,
    [ショップID]   NVARCHAR(20)  NULL,
    [入金確認送信] SMALLINT      NOT NULL CONSTRAINT [DF_CHUMON_入金確認送信] DEFAULT 0
);

-- The search narrows by ship date whenever a date box is filled; the included
-- columns let it filter the unpaid orders without touching the table.
CREATE INDEX [IX_CHUMON_出荷日] ON [dbo].[CHUMON] ([出荷日])
    INCLUDE ([請求額], [入金額], [入金確認送信]);

-- The unpaid-orders search as a filtered index that covers it. SQL Server's
-- index filter compares columns with constants only, so it keeps the orders
-- whose confirmation mail is not queued, and the search's
-- [請求額] <> [入金額] is answered from the included columns without
-- touching the table.
CREATE INDEX [IX_CHUMON_未入金] ON [dbo].[CHUMON] ([出荷日])
    INCLUDE ([会社名], [氏名], [電話番号], [受注日], [請求額], [入金日], [入金額], [支払方法], [TEL1],
             [ショップID])
    WHERE [入金確認送信] = 0;

-- Payer names the operators taught the statement import: a bank's payer name,
-- normalised, and the customer it stands for (the phone number, or 氏名 for
-- an order without one). Written by 登録 for lines given to an order by hand.
CREATE TABLE [dbo].[NYUKIN_MEIGI] (
    [振込依頼人名] NVARCHAR(100) NOT NULL CONSTRAINT [PK_NYUKIN_MEIGI] PRIMARY KEY,
    [電話番号]     NVARCHAR(20)  NULL,
    [氏名]         NVARCHAR(100) NULL,
    [更新日]       DATETIME      NULL
);

-- 入金履歴: one row per order each 登録 changed, written in the registration's
-- own transaction. Rows of one registration share [登録番号]; a take-back
-- (取消) is a registration of its own whose [取消対象] names the one it
-- reverses. The time is text, "YYYY/MM/DD HH:MM:SS", so that its text order
-- is time order on every database. [入力元] is 手入力, 一括入金日, the
-- statement's file name or 取消; [入力行] the statement's line and status.
CREATE TABLE [dbo].[NYUKIN_RIREKI] (
    [登録番号]       INT           NOT NULL,
    [ID]             INT           NOT NULL,
    [登録日時]       NVARCHAR(19)  NOT NULL,
    [担当者]         NVARCHAR(100) NULL,
    [前入金日]       DATETIME      NULL,
    [前入金額]       MONEY         NULL,
    [前入金確認送信] SMALLINT      NULL,
    [後入金日]       DATETIME      NULL,
    [後入金額]       MONEY         NULL,
    [後入金確認送信] SMALLINT      NULL,
    [入力元]         NVARCHAR(260) NULL,
    [入力行]         NVARCHAR(100) NULL,
    [取消対象]       INT           NULL,
    CONSTRAINT [PK_NYUKIN_RIREKI] PRIMARY KEY ([登録番号], [ID])
);

-- 入金履歴's search by order No.
CREATE INDEX [IX_NYUKIN_RIREKI_ID] ON [dbo].[NYUKIN_RIREKI] ([ID]);
