#include "core/receipt/OrderRows.h"

#include "core/data/DbConnection.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// The search lists only orders whose confirmation mail is not queued.
const QVariant MailNotSent = 0;

} // namespace

OrderRows::OrderRows(DbConnection &connection, const QString &statement)
    : m_records(connection.Execute(statement))
{
    m_id = m_records->FieldIndex(u"id"_s);
    m_name = m_records->FieldIndex(u"氏名"_s);
    m_tel = m_records->FieldIndex(u"電話番号"_s);
    m_tel1 = m_records->FieldIndex(u"TEL1"_s);
    m_orderDate = m_records->FieldIndex(u"受注日"_s);
    m_billed = m_records->FieldIndex(u"請求額"_s);
    m_paidDate = m_records->FieldIndex(u"入金日"_s);
    m_paidAmount = m_records->FieldIndex(u"入金額"_s);
    m_method = m_records->FieldIndex(u"支払方法"_s);
    m_shipDate = m_records->FieldIndex(u"出荷日"_s);
    m_shopId = m_records->FieldIndex(u"ショップID"_s);
}

OrderRows::~OrderRows()
{
    try {
        m_records->Close();
    } catch (const DbError &) {
        // Closing a result read to its end or given up on has nothing to tell.
    }
}

bool OrderRows::atEnd() const { return m_records->Eof(); }
void OrderRows::next() { m_records->MoveNext(); }
std::optional<qint64> OrderRows::id() const { return m_records->IntegerAt(m_id); }
QVariant OrderRows::idAsRead() const { return m_records->ValueAt(m_id); }
void OrderRows::appendName(QString &to) const { m_records->AppendTextAt(m_name, to); }
void OrderRows::appendTel(QString &to) const { m_records->AppendTextAt(m_tel, to); }
void OrderRows::appendTel1(QString &to) const { m_records->AppendTextAt(m_tel1, to); }
std::optional<QDate> OrderRows::orderDate() const { return m_records->DateAt(m_orderDate); }
double OrderRows::billed() const { return m_records->NumberAt(m_billed); }
QString OrderRows::paidDateText() const { return m_records->TextAt(m_paidDate); }
double OrderRows::paidAmount() const { return m_records->NumberAt(m_paidAmount); }
QString OrderRows::method() const { return m_records->TextAt(m_method); }
std::optional<QDate> OrderRows::shipDate() const { return m_records->DateAt(m_shipDate); }
QString OrderRows::shopId() const { return m_records->TextAt(m_shopId); }

std::optional<QDate> OrderRows::paidDate() const
{
    return m_records->DateAt(m_paidDate);
}

const ReceiptRegistration::Listed &OrderRows::listed(double amount)
{
    // A number that is no finite double goes to the rule as read.
    if (!std::isfinite(amount)) {
        m_odd = ReceiptRegistration::ListedFrom(QVariant(), m_records->ValueAt(m_paidAmount), MailNotSent);
        return m_odd;
    }
    auto known = m_listedAmounts.constFind(amount + 0.0); // -0 is 0
    if (known == m_listedAmounts.constEnd())
        known = m_listedAmounts.insert(amount + 0.0, ReceiptRegistration::ListedFrom(QVariant(), amount, MailNotSent));
    return *known;
}
