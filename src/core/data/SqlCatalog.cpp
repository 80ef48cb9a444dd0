#include "core/data/SqlCatalog.h"

#include "core/text/NumberTexts.h"

using namespace Qt::StringLiterals;

// The texts below go to the suite's SQL Server as they are; every space and
// comma is as the suite's other programs send it.

namespace {

// PostgreSQL quotes names with double quotes where the suite writes
// brackets; text literals are left alone.
QString inDialect(QString sql, SqlDialect dialect)
{
    if (dialect != SqlDialect::PostgreSql)
        return sql;
    bool inText = false;
    for (QChar &c : sql) {
        if (c == u'\'')
            inText = !inText;
        else if (!inText && (c == u'[' || c == u']'))
            c = u'"';
    }
    return sql;
}

// The date column takes no empty text: an empty date is Null there.
QString dateValue(const QString &value, SqlDialect dialect)
{
    if (dialect != SqlDialect::PostgreSql)
        return value;
    return u"CAST(NULLIF("_s + value + u", '') AS date)"_s;
}

// " AND " the comparison with a quoted text; nothing for an empty text.
QString andCompared(const QString &comparison, const QString &text)
{
    return text.isEmpty() ? QString() : u" AND "_s + comparison + u" '"_s + SqlCatalog::QuoteSql(text) + u"'"_s;
}

} // namespace

QString SqlCatalog::QuoteSql(const QString &text)
{
    QString quoted = text;
    quoted.replace(u'\'', u"''"_s);
    // A NUL ends the statement for the database, which would cut the literal
    // short; no stored value can hold one either.
    quoted.remove(QChar(u'\0'));
    return quoted;
}

QString SqlCatalog::OrderSearch(const QString &shipDateFrom, const QString &shipDateTo, bool hasShop,
                                const QString &shopId, SqlDialect dialect)
{
    QString sql = u"SELECT [ID], [会社名], [氏名], [電話番号], [受注日], [請求額], "_s
        + u"[入金日],[入金額],[支払方法],[TEL1],[出荷日],[ショップID] FROM [CHUMON] "_s
        + u"WHERE [請求額] <> [入金額]"_s
        + u" AND [入金確認送信] = 0"_s;
    sql += andCompared(u"[出荷日] >="_s, shipDateFrom) + andCompared(u"[出荷日] <="_s, shipDateTo);
    if (hasShop)
        sql += u" AND [ショップID] = '"_s + QuoteSql(shopId) + u"'"_s;
    return inDialect(sql, dialect);
}

QString SqlCatalog::UsableMethods(SqlDialect dialect)
{
    return inDialect(u"SELECT [METHOD] FROM [PAYMENT] WHERE [OK] = 1 GROUP BY [METHOD] ORDER BY [METHOD]"_s, dialect);
}

QString SqlCatalog::PaymentMethodTable(SqlDialect dialect)
{
    return inDialect(u"SELECT [METHOD],MAX([OK]) AS OK_MAX FROM [PAYMENT] GROUP BY [METHOD] ORDER BY AVG([ORD])"_s, dialect);
}

QString SqlCatalog::ExemptMethods(SqlDialect dialect)
{
    return inDialect(u"SELECT [NYUKIN_NOMANAGE] FROM [CONTROL]"_s, dialect);
}

QString SqlCatalog::ShopList(SqlDialect dialect)
{
    return inDialect(u"SELECT [SHOP_ID],[SHOP_NAME] FROM [SHOP]"_s, dialect);
}

QString SqlCatalog::RegisterReceiptEach(bool mail, SqlDialect dialect)
{
    QString sql = u"UPDATE [CHUMON] SET [入金日] = "_s + dateValue(u"?"_s, dialect) + u",[入金額] = ?"_s;
    if (mail)
        sql += u",[入金確認送信] = 1"_s;
    return inDialect(sql + u" WHERE [ID] = ?"_s, dialect);
}

QVariantList SqlCatalog::RegisterReceiptValues(const QString &dateText, qint64 amount, qint64 orderId)
{
    return {QVariant(dateText), qlonglong(amount), qlonglong(orderId)};
}

QString SqlCatalog::ReceiptCheck(const QList<qint64> &orderIds, SqlDialect dialect)
{
    QString sql = u"SELECT [ID],[入金日],[入金額],[入金確認送信] FROM [CHUMON]"_s;
    if (dialect == SqlDialect::SqlServer)
        sql += u" WITH (UPDLOCK, HOLDLOCK)"_s;
    sql += u" WHERE [ID] IN ("_s + NumberTexts(orderIds).join(u',') + u')';
    // Rows are locked in the order read: two registrations of overlapping
    // orders must take them in the same order, or each may wait for the other.
    if (dialect == SqlDialect::PostgreSql)
        sql += u" ORDER BY [ID] FOR UPDATE"_s;
    return inDialect(sql, dialect);
}

QString SqlCatalog::LockTimeout(int milliseconds, SqlDialect dialect)
{
    milliseconds = std::max(milliseconds, 0);
    if (dialect == SqlDialect::PostgreSql) {
        // PostgreSQL reads 0 as "wait without limit"; the shortest wait it
        // knows is the nearest it has to "do not wait".
        return u"SET lock_timeout = %1"_s.arg(std::max(milliseconds, 1));
    }
    return u"SET LOCK_TIMEOUT %1"_s.arg(milliseconds);
}

QString SqlCatalog::SaveExemptMethods(const QString &tabJoinedMethods, SqlDialect dialect)
{
    // No WHERE: the suite keeps one CONTROL row and this is its value.
    return inDialect(u"UPDATE [CONTROL] SET [NYUKIN_NOMANAGE] = '"_s + QuoteSql(tabJoinedMethods) + u"'"_s, dialect);
}

QString SqlCatalog::PayerNames(SqlDialect dialect)
{
    return inDialect(u"SELECT [振込依頼人名],[電話番号],[氏名] FROM [NYUKIN_MEIGI]"_s, dialect);
}

QString SqlCatalog::ForgetPayerName(const QString &payer, SqlDialect dialect)
{
    return inDialect(u"DELETE FROM [NYUKIN_MEIGI] WHERE [振込依頼人名] = '"_s + QuoteSql(payer) + u"'"_s, dialect);
}

QString SqlCatalog::RegisteredOrders(const QList<qint64> &orderIds, const QStringList &phoneDigits,
                                     SqlDialect dialect)
{
    QStringList conditions;
    if (!orderIds.isEmpty())
        conditions << u"[ID] IN ("_s + NumberTexts(orderIds).join(u',') + u')';
    for (const QString &digits : phoneDigits) {
        // Full-width digits too, which the import reads as digits.
        const QString narrow = digits.right(4);
        QString wide;
        for (const QChar digit : narrow)
            wide += QChar(char16_t(digit.unicode() - u'0' + u'０'));
        for (const QString &end : {narrow, wide}) {
            conditions << u"[電話番号] LIKE '%"_s + QuoteSql(end) + u"%'"_s;
            conditions << u"[TEL1] LIKE '%"_s + QuoteSql(end) + u"%'"_s;
        }
    }
    return inDialect(u"SELECT [ID],[氏名],[電話番号],[TEL1],[請求額],[入金額] FROM [CHUMON] WHERE "_s
                         + conditions.join(u" OR "_s),
                     dialect);
}

QString SqlCatalog::TeachPayerName(const QString &payer, const QString &phone, const QString &name,
                                   const QString &today, SqlDialect dialect)
{
    return inDialect(u"INSERT INTO [NYUKIN_MEIGI] ([振込依頼人名],[電話番号],[氏名],[更新日]) VALUES ('"_s
                         + QuoteSql(payer) + u"','"_s + QuoteSql(phone) + u"','"_s + QuoteSql(name) + u"','"_s
                         + QuoteSql(today) + u"')"_s,
                     dialect);
}

// The catalogue, not the table: it answers while another program holds the table's lock.
QString SqlCatalog::TableCount(const QString &table, SqlDialect dialect)
{
    if (dialect == SqlDialect::Sqlite)
        return u"SELECT COUNT(*) AS [N] FROM [sqlite_master] WHERE [type] = 'table' AND [name] = '"_s + table + u"'"_s;
    return inDialect(u"SELECT COUNT(*) AS [N] FROM INFORMATION_SCHEMA.TABLES WHERE TABLE_NAME = '"_s + table + u"'"_s,
                     dialect);
}

QString SqlCatalog::HistoryLock(SqlDialect dialect)
{
    // Readers of the history may go on; other registrations wait.
    if (dialect == SqlDialect::PostgreSql)
        return u"LOCK TABLE \"NYUKIN_RIREKI\" IN SHARE ROW EXCLUSIVE MODE"_s;
    if (dialect == SqlDialect::SqlServer)
        return u"SELECT COUNT(*) AS [N] FROM [NYUKIN_RIREKI] WITH (TABLOCKX, HOLDLOCK) WHERE 0 = 1"_s;
    return QString();
}

QString SqlCatalog::HistoryLastNumber(SqlDialect dialect)
{
    return inDialect(u"SELECT MAX([登録番号]) AS [N] FROM [NYUKIN_RIREKI]"_s, dialect);
}

QString SqlCatalog::RecordHistoryEach(SqlDialect dialect)
{
    return inDialect(u"INSERT INTO [NYUKIN_RIREKI] ([登録番号],[登録日時],[担当者],[ID],[前入金日],[前入金額],"
                     u"[前入金確認送信],[後入金日],[後入金額],[後入金確認送信],[入力元],[入力行],[取消対象]) VALUES (?,?,?,?,"_s
                         + dateValue(u"?"_s, dialect) + u",?,?,"_s + dateValue(u"?"_s, dialect) + u",?,?,?,?,?)"_s,
                     dialect);
}

QVariantList SqlCatalog::HistoryValues(qint64 number, const QString &time, const QString &operatorName,
                                       qint64 orderId, const QVariantList &before, const QVariantList &after,
                                       const QString &source, const QString &line, const QVariant &reverses)
{
    return QVariantList{qlonglong(number), time, operatorName, qlonglong(orderId)} + before + after
        + QVariantList{source, line, reverses};
}

QString SqlCatalog::HistoryList(const QString &from, const QString &to, qint64 orderId, SqlDialect dialect)
{
    QString sql = u"SELECT [登録番号] AS REG_NO, MIN([登録日時]) AS REG_AT, MIN([担当者]) AS BY_NAME, COUNT(*) AS ORDERS, "_s
        + u"SUM([後入金額] - [前入金額]) AS AMOUNT, MIN([入力元]) AS SOURCE, MAX([入力元]) AS SOURCE_LAST, "_s
        + u"MAX([取消対象]) AS REVERSES FROM [NYUKIN_RIREKI] WHERE 1 = 1"_s;
    // The times are "YYYY/MM/DD HH:MM:SS": a day's last second sorts below the next day.
    sql += andCompared(u"[登録日時] >="_s, from)
        + andCompared(u"[登録日時] <="_s, to.isEmpty() ? to : to + u" 99"_s);
    if (orderId > 0)
        sql += u" AND [登録番号] IN (SELECT [登録番号] FROM [NYUKIN_RIREKI] WHERE [ID] = "_s
            + QString::number(orderId) + u")"_s;
    return inDialect(sql + u" GROUP BY [登録番号] ORDER BY [登録番号] DESC"_s, dialect);
}

QString SqlCatalog::HistoryLines(qint64 number, SqlDialect dialect)
{
    return inDialect(u"SELECT [ID] AS ID, [前入金日] AS B_DATE, [前入金額] AS B_AMOUNT, [前入金確認送信] AS B_MAIL, "_s
                         + u"[後入金日] AS A_DATE, [後入金額] AS A_AMOUNT, [後入金確認送信] AS A_MAIL, [入力元] AS SOURCE, "_s
                         + u"[入力行] AS LINE, (SELECT COUNT(*) FROM [CHUMON] WHERE [CHUMON].[ID] = [NYUKIN_RIREKI].[ID]) "_s
                         + u"AS LIVE FROM [NYUKIN_RIREKI] WHERE [登録番号] = "_s + QString::number(number)
                         + u" ORDER BY [ID]"_s,
                     dialect);
}

QString SqlCatalog::HistoryTakenBack(qint64 number, SqlDialect dialect)
{
    return inDialect(u"SELECT [ID] AS ID FROM [NYUKIN_RIREKI] WHERE [取消対象] = "_s + QString::number(number), dialect);
}

QString SqlCatalog::TakeBackEach(SqlDialect dialect)
{
    return inDialect(u"UPDATE [CHUMON] SET [入金日] = "_s + dateValue(u"?"_s, dialect)
                         + u",[入金額] = ?,[入金確認送信] = ? WHERE [ID] = ?"_s,
                     dialect);
}
