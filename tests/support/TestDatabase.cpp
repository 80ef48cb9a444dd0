#include "TestDatabase.h"

#include "core/data/FieldValue.h"
#include "core/data/SqlSchema.h"

#include <QDate>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QString literal(const QVariant &value)
{
    if (value.isNull())
        return u"NULL"_s;
    if (value.typeId() != QMetaType::QString)
        return value.toString();
    // Quoted here, not by the code under test; SQL text carries no NUL.
    return u"'"_s + value.toString().replace(u'\'', u"''"_s).remove(QChar(u'\0')) + u"'"_s;
}

} // namespace

TestDatabase::TestDatabase(int busyTimeoutMs)
    : m_connection(QtSqlConnection::openSqlite(path(), busyTimeoutMs))
{
    // Nothing here outlives the test: no waiting for the disk on every statement.
    exec(u"PRAGMA synchronous = OFF"_s);
    exec(u"CREATE TABLE [CHUMON] ([ID] INTEGER PRIMARY KEY, [会社名] TEXT, [氏名] TEXT, [電話番号] TEXT,"
         " [受注日] TEXT, [請求額] NUMERIC, [入金日] TEXT, [入金額] NUMERIC, [支払方法] TEXT, [TEL1] TEXT,"
         " [出荷日] TEXT, [ショップID] TEXT, [入金確認送信] INTEGER NOT NULL DEFAULT 0)"_s);
    exec(u"CREATE TABLE [PAYMENT] ([METHOD] TEXT, [OK] INTEGER, [ORD] INTEGER)"_s);
    exec(u"CREATE TABLE [CONTROL] ([NYUKIN_NOMANAGE] TEXT)"_s);
    exec(u"CREATE TABLE [SHOP] ([SHOP_ID] TEXT, [SHOP_NAME] TEXT)"_s);
}

void TestDatabase::addSchemaTable(const QString &table)
{
    for (const QString &statement : SqlSchema::Statements(SqlSchema::SqliteScript())) {
        if (statement.contains(u'[' + table + u']'))
            exec(statement);
    }
}

void TestDatabase::insert(const QString &table, const QVariantList &values)
{
    QStringList literals;
    std::transform(values.begin(), values.end(), std::back_inserter(literals), literal);
    exec(u"INSERT INTO [%1] VALUES (%2)"_s.arg(table, literals.join(u", ")));
}

void TestDatabase::setExempt(const QVariant &tabJoined)
{
    exec(u"DELETE FROM [CONTROL]"_s);
    insert(u"CONTROL"_s, {tabJoined});
}

void TestDatabase::addOrder(const Order &o)
{
    insert(u"CHUMON"_s, {o.id, {}, o.name, o.tel, o.orderDate, o.billed, o.paidDate, o.paidAmount, o.method, o.tel1,
                         o.shipDate, o.shopId, o.mailSent});
}

QVariant firstValue(DbConnection &connection, const QString &query)
{
    const auto records = connection.Execute(query);
    const QVariant value = records->Eof() ? QVariant() : records->ValueAt(0);
    records->Close();
    return value;
}

QString TestDatabase::daysAgo(int days)
{
    return FieldValue::FormatDate(QDate::currentDate().addDays(-days));
}
