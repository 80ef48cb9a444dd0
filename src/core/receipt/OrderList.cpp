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
    // The columns in the order SqlCatalog::OrderSearch gives them; 会社名 is not read.
    enum { Id, Company, Name, Tel, OrderDate, Billed, PaidDate, PaidAmount, Method, Tel1, ShipDate, ShopId };
    // Whether a method's orders are listed, asked once per method; the rows
    // share its text. A shop has a handful of methods, so they are looked up
    // in turn: hashing each row's method took 8 % of F1.
    std::vector<std::pair<QString, bool>> methods;
    for (; !records->Eof(); records->MoveNext()) {
        const QString methodRead = records->TextAt(Method);
        auto known = std::find_if(methods.begin(), methods.end(),
                                  [&](const auto &seen) { return seen.first == methodRead; });
        if (known == methods.end())
            known = methods.insert(known, {methodRead, listed(methodRead)});
        if (!known->second)
            continue;
        m_order.push_back(int(m_rows.size()));
        Row &row = m_rows.emplace_back();
        row.id = records->IntegerAt(Id);
        if (!row.id)
            row.idAsRead = records->TextAt(Id);
        row.name = records->TextAt(Name);
        row.tel = records->TextAt(Tel);
        row.tel1 = records->TextAt(Tel1);
        row.orderDate = records->DateAt(OrderDate).value_or(QDate());
        row.billed = YenOf(records->NumberAt(Billed));
        row.listedPaidDate = records->TextAt(PaidDate);
        if (!row.listedPaidDate.isEmpty())
            row.paidDate = records->DateAt(PaidDate).value_or(QDate());
        row.listedPaidAmount = records->NumberAt(PaidAmount);
        row.paidAmount = YenOf(row.listedPaidAmount);
        row.method = known->first;
        row.shipDate = records->DateAt(ShipDate).value_or(QDate());
        row.shopId = records->TextAt(ShopId);
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
