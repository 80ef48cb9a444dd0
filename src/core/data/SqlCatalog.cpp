#include "core/data/SqlCatalog.h"

using namespace Qt::StringLiterals;

// The texts below go to the suite's SQL Server as they are; every space and
// comma is as the suite's other programs send it.

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
                                const QString &shopId)
{
    QString sql = u"SELECT [ID], [会社名], [氏名], [電話番号], [受注日], [請求額], "_s
        + u"[入金日],[入金額],[支払方法],[TEL1],[出荷日],[ショップID] FROM [CHUMON] "_s
        + u"WHERE [請求額] <> [入金額]"_s
        + u" AND [入金確認送信] = 0"_s;
    if (!shipDateFrom.isEmpty())
        sql += u" AND [出荷日] >= '"_s + QuoteSql(shipDateFrom) + u"'"_s;
    if (!shipDateTo.isEmpty())
        sql += u" AND [出荷日] <= '"_s + QuoteSql(shipDateTo) + u"'"_s;
    if (hasShop)
        sql += u" AND [ショップID] = '"_s + QuoteSql(shopId) + u"'"_s;
    return sql;
}

QString SqlCatalog::UsableMethods()
{
    return u"SELECT [METHOD] FROM [PAYMENT] WHERE [OK] = 1 GROUP BY [METHOD] ORDER BY [METHOD]"_s;
}

QString SqlCatalog::PaymentMethodTable()
{
    return u"SELECT [METHOD],MAX([OK]) AS OK_MAX FROM [PAYMENT] GROUP BY [METHOD] ORDER BY AVG([ORD])"_s;
}

QString SqlCatalog::ExemptMethods()
{
    return u"SELECT [NYUKIN_NOMANAGE] FROM [CONTROL]"_s;
}

QString SqlCatalog::ShopList()
{
    return u"SELECT [SHOP_ID],[SHOP_NAME] FROM [SHOP]"_s;
}

QString SqlCatalog::RegisterReceipt(const QString &dateText, qint64 amount, bool mail, qint64 orderId)
{
    // The date cell only ever holds a checked "YYYY/MM/DD" text, so it goes
    // in as it is.
    QString sql = u"UPDATE [CHUMON] SET "_s
        + u"[入金日] = '"_s + dateText + u"',"_s
        + u"[入金額] = "_s + QString::number(amount);
    if (mail)
        sql += u",[入金確認送信] = 1"_s;
    sql += u" WHERE [ID] = "_s + QString::number(orderId);
    return sql;
}

QString SqlCatalog::RegisterReceiptEach(bool mail)
{
    QString sql = u"UPDATE [CHUMON] SET [入金日] = ?,[入金額] = ?"_s;
    if (mail)
        sql += u",[入金確認送信] = 1"_s;
    return sql + u" WHERE [ID] = ?"_s;
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
    sql += u" WHERE [ID] IN ("_s;
    for (qsizetype i = 0; i < orderIds.size(); ++i) {
        if (i > 0)
            sql += u',';
        sql += QString::number(orderIds.at(i));
    }
    return sql + u')';
}

QString SqlCatalog::SaveExemptMethods(const QString &tabJoinedMethods)
{
    // No WHERE: the suite keeps one CONTROL row and this is its value.
    return u"UPDATE [CONTROL] SET [NYUKIN_NOMANAGE] = '"_s + QuoteSql(tabJoinedMethods) + u"'"_s;
}

QString SqlCatalog::PayerNames()
{
    return u"SELECT [振込依頼人名],[電話番号],[氏名] FROM [NYUKIN_MEIGI]"_s;
}

QString SqlCatalog::ForgetPayerName(const QString &payer)
{
    return u"DELETE FROM [NYUKIN_MEIGI] WHERE [振込依頼人名] = '"_s + QuoteSql(payer) + u"'"_s;
}

QString SqlCatalog::TeachPayerName(const QString &payer, const QString &phone, const QString &name,
                                   const QString &today)
{
    return u"INSERT INTO [NYUKIN_MEIGI] ([振込依頼人名],[電話番号],[氏名],[更新日]) VALUES ('"_s + QuoteSql(payer)
        + u"','"_s + QuoteSql(phone) + u"','"_s + QuoteSql(name) + u"','"_s + QuoteSql(today) + u"')"_s;
}
