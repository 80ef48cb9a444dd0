-- The four suite tables the payment receipt screens read and write, for
-- PostgreSQL. Run it in the suite's database, e.g.
--   psql -d suite -f postgresql_schema.sql
--
-- Order numbers are bigint: exact 64-bit, as on every other path. Amounts are
-- numeric(19,4), SQL Server's MONEY range, exact in both directions. Dates are
-- date: the screens compare them with 'YYYY/MM/DD' literals, which
-- PostgreSQL reads year first under every DateStyle. An order not yet paid
-- has 入金額 0, not Null, so that "請求額" <> "入金額" lists it.

CREATE TABLE "SHOP" (
    "SHOP_ID"   varchar(20)  NOT NULL PRIMARY KEY,
    "SHOP_NAME" varchar(100)
);

-- Several rows per method are allowed: the screens take MAX("OK") and
-- AVG("ORD") per method.
CREATE TABLE "PAYMENT" (
    "METHOD" varchar(50) NOT NULL,
    "OK"     smallint    NOT NULL DEFAULT 0,
    "ORD"    integer     NOT NULL DEFAULT 0
);

-- One row; NYUKIN_NOMANAGE holds the TAB-joined exempt methods.
CREATE TABLE "CONTROL" (
    "NYUKIN_NOMANAGE" varchar(1000)
);

CREATE TABLE "CHUMON" (
    "ID"           bigint        NOT NULL PRIMARY KEY,
    "会社名"       varchar(100),
    "氏名"         varchar(100),
    "電話番号"     varchar(20),
    "受注日"       date,
    "請求額"       numeric(19,4) DEFAULT 0,
    "入金日"       date,
    "入金額"       numeric(19,4) DEFAULT 0,
    "支払方法"     varchar(50),
    "TEL1"         varchar(20),
    "出荷日"       date,
    "ショップID"   varchar(20),
    "入金確認送信" smallint      NOT NULL DEFAULT 0
);

-- The search narrows by ship date whenever a date box is filled.
CREATE INDEX "IX_CHUMON_出荷日" ON "CHUMON" ("出荷日");

-- The unpaid-orders search as a partial index that covers it: it holds only
-- the orders the search's own WHERE keeps, keyed by ship date, with every
-- other column the search lists, so the server answers it with an
-- index-only scan whose cost follows the listed orders, not all orders ever
-- taken. A registration that pays an order in full takes it out.
CREATE INDEX "IX_CHUMON_未入金" ON "CHUMON" ("出荷日")
    INCLUDE ("ID", "会社名", "氏名", "電話番号", "受注日", "請求額", "入金日", "入金額", "支払方法", "TEL1",
             "ショップID", "入金確認送信")
    WHERE "請求額" <> "入金額" AND "入金確認送信" = 0;

-- Payer names the operators taught by giving a line to an order by hand:
-- the normalised name, and the customer it stands for.
CREATE TABLE "NYUKIN_MEIGI" (
    "振込依頼人名" varchar(100) NOT NULL PRIMARY KEY,
    "電話番号"     varchar(20),
    "氏名"         varchar(100),
    "更新日"       date
);

-- 入金履歴: one row per order each 登録 changed, written in the registration's
-- own transaction. Rows of one registration share "登録番号"; a take-back
-- (取消) is a registration of its own whose "取消対象" names the one it
-- reverses. The time is text, "YYYY/MM/DD HH:MM:SS", so that its text order
-- is time order on every database. "入力元" is 手入力, 一括入金日, the
-- statement's file name or 取消; "入力行" the statement's line and status.
CREATE TABLE "NYUKIN_RIREKI" (
    "登録番号"       bigint        NOT NULL,
    "ID"             bigint        NOT NULL,
    "登録日時"       varchar(19)   NOT NULL,
    "担当者"         varchar(100),
    "前入金日"       date,
    "前入金額"       numeric(19,4),
    "前入金確認送信" smallint,
    "後入金日"       date,
    "後入金額"       numeric(19,4),
    "後入金確認送信" smallint,
    "入力元"         varchar(260),
    "入力行"         varchar(100),
    "取消対象"       bigint,
    PRIMARY KEY ("登録番号", "ID")
);

-- 入金履歴's search by order No.
CREATE INDEX "IX_NYUKIN_RIREKI_ID" ON "NYUKIN_RIREKI" ("ID");
