#include "core/receipt/OrderList.h"

#include "core/data/CellText.h"
#include "core/data/DbConnection.h"
#include "core/data/RecordsetCloser.h"
#include "core/data/Rounding.h"

#include <algorithm>
#include <numeric>

using namespace Qt::StringLiterals;

void OrderList::Search(DbConnection &connection, const QString &statement,
                       const std::function<bool(const QString &method)> &listed)
{
    // Cleared, not released: a search again fills what the last one grew.
    m_rows.clear();
    m_order.clear();
    const auto records = connection.Execute(statement);
    const RecordsetCloser closer(records.get());
    const int id = records->FieldIndex(u"id"_s);
    const int name = records->FieldIndex(u"氏名"_s);
    const int tel = records->FieldIndex(u"電話番号"_s);
    const int tel1 = records->FieldIndex(u"TEL1"_s);
    const int orderDate = records->FieldIndex(u"受注日"_s);
    const int billed = records->FieldIndex(u"請求額"_s);
    const int paidDate = records->FieldIndex(u"入金日"_s);
    const int paidAmount = records->FieldIndex(u"入金額"_s);
    const int method = records->FieldIndex(u"支払方法"_s);
    const int shipDate = records->FieldIndex(u"出荷日"_s);
    const int shopId = records->FieldIndex(u"ショップID"_s);
    // Whether a method's orders are listed, asked once per method; the rows
    // share its text. A shop has a handful of methods, so they are looked up
    // in turn: hashing each row's method took 8 % of F1.
    std::vector<std::pair<QString, bool>> methods;
    for (; !records->Eof(); records->MoveNext()) {
        const QString methodRead = records->TextAt(method);
        auto known = std::find_if(methods.begin(), methods.end(),
                                  [&](const auto &seen) { return seen.first == methodRead; });
        if (known == methods.end())
            known = methods.insert(known, {methodRead, listed(methodRead)});
        if (!known->second)
            continue;
        m_order.push_back(int(m_rows.size()));
        Row &row = m_rows.emplace_back();
        row.id = records->IntegerAt(id);
        if (!row.id)
            row.idAsRead = records->TextAt(id);
        row.name = records->TextAt(name);
        row.tel = records->TextAt(tel);
        row.tel1 = records->TextAt(tel1);
        row.orderDate = records->DateAt(orderDate).value_or(QDate());
        row.billed = YenOf(records->NumberAt(billed));
        row.listedPaidDate = records->TextAt(paidDate);
        if (!row.listedPaidDate.isEmpty())
            row.paidDate = records->DateAt(paidDate).value_or(QDate());
        row.listedPaidAmount = records->NumberAt(paidAmount);
        row.paidAmount = YenOf(row.listedPaidAmount);
        row.method = known->first;
        row.shipDate = records->DateAt(shipDate).value_or(QDate());
        row.shopId = records->TextAt(shopId);
    }
}

void OrderList::resize(int rows)
{
    if (rows < size()) {
        // Cut rows go for good: the kept ones are gathered in their order.
        std::vector<Row> kept;
        kept.reserve(std::size_t(rows));
        for (int row = 0; row < rows; ++row)
            kept.push_back(std::move(at(row)));
        m_rows = std::move(kept);
        m_order.resize(std::size_t(rows));
        std::iota(m_order.begin(), m_order.end(), 0);
        return;
    }
    for (int row = size(); row < rows; ++row) {
        m_order.push_back(int(m_rows.size()));
        m_rows.emplace_back();
    }
}

void OrderList::reorder(int first, const std::vector<int> &order)
{
    std::vector<int> moved(order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        moved[i] = m_order[std::size_t(order[i])];
    std::copy(moved.begin(), moved.end(), m_order.begin() + first);
}

ReceiptRegistration::Listed OrderList::ListedOf(const Row &row)
{
    return {row.listedPaidDate, CellText::plainNumber(row.listedPaidAmount), row.listedMail ? u"1"_s : u"0"_s};
}

void OrderList::KeepRegistered(Row &row, const ReceiptRegistration::Receipt &receipt)
{
    row.listedPaidDate = receipt.paidDate;
    row.listedPaidAmount = double(receipt.amount);
    row.listedMail = row.listedMail || receipt.mail;
}
