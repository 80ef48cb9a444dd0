#pragma once

#include <QString>
#include <QTest>

// A data table's columns declared at once: columns<QString, int>("text", "count").
template <typename... Types, typename... Names>
void columns(Names... names)
{
    static_assert(sizeof...(Types) == sizeof...(Names));
    (QTest::addColumn<Types>(names), ...);
}

// The receipt UPDATE of one order as SQL Server and a host's own connection
// receive it, written out by hand: what DbConnection::ExecuteEach's literals
// must give, word for word, for SqlCatalog::RegisterReceiptEach.
inline QString receiptStatement(const QString &dateText, qint64 amount, bool mail, qint64 orderId)
{
    QString sql = QStringLiteral("UPDATE [CHUMON] SET [入金日] = '") + dateText + QStringLiteral("',[入金額] = ")
                  + QString::number(amount);
    if (mail)
        sql += QStringLiteral(",[入金確認送信] = 1");
    return sql + QStringLiteral(" WHERE [ID] = ") + QString::number(orderId);
}
