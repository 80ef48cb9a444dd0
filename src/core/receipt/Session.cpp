#include "core/receipt/Session.h"

#include "core/data/CellText.h"
#include "core/data/DbConnection.h"
#include "core/data/FieldValue.h"
#include "core/data/RecordsetCloser.h"
#include "core/data/SqlCatalog.h"
#include "core/receipt/ReceiptRules.h"

using namespace Qt::StringLiterals;

DbConnection &Session::connection() const
{
    if (!m_store->connection)
        throw DbError(u"データベースに接続されていません。"_s);
    return *m_store->connection;
}

void Session::LoadPaymentTable() const
{
    m_store->paymentTableLoaded = false;
    // The exempt list is read before the methods, so no two results are open
    // at once: SQL Server drivers without multiple active result sets refuse that.
    const QStringList exemptNames = ReadExemptMethods();

    const auto methods = connection().Execute(SqlCatalog::PaymentMethodTable(connection().Dialect()));
    const RecordsetCloser methodsCloser(methods.get());

    m_store->paymentTable.clear();
    // The columns in the order PaymentMethodTable gives them.
    enum { MethodColumn, OkMaxColumn };
    QString previous;
    for (; !methods->Eof(); methods->MoveNext()) {
        const QString method = methods->TextAt(MethodColumn);
        // Names differing only in letter case make one entry.
        if (method.compare(previous, Qt::CaseInsensitive) != 0)
            m_store->paymentTable.append({.method = method,
                                          .okMax = CellText::plainNumber(methods->NumberAt(OkMaxColumn)),
                                          .managed = exemptNames.contains(method, Qt::CaseInsensitive) ? u"0"_s : u"1"_s});
        previous = method;
        m_store->paymentTableLoaded = true;
    }
}

quint8 Session::ManagedFlag(const QString &method) const
{
    if (method.isEmpty())
        return 0;
    if (!m_store->paymentTableLoaded)
        return 1;
    for (const SiharaiEntry &entry : std::as_const(m_store->paymentTable)) {
        if (entry.method == method)
            return static_cast<quint8>(FieldValue::Number(entry.managed));
    }
    return 1;
}

void Session::SetManaged(const QList<std::pair<QString, QString>> &marks) const
{
    for (const auto &[name, mark] : marks) {
        for (SiharaiEntry &entry : m_store->paymentTable) {
            if (entry.method.compare(name, Qt::CaseInsensitive) == 0) {
                entry.managed = mark;
                break;
            }
        }
    }
}

QStringList Session::ReadExemptMethods() const
{
    const auto records = connection().Execute(SqlCatalog::ExemptMethods(connection().Dialect()));
    const RecordsetCloser closer(records.get());
    if (records->Eof())
        return {};
    return ReceiptRules::SplitTabList(FieldValue::Text(records->Fields(u"NYUKIN_NOMANAGE"_s)));
}

void Session::SaveExemptMethods(const QStringList &methods) const
{
    connection().Execute(SqlCatalog::SaveExemptMethods(methods.join(u'\t'), connection().Dialect()))->Close();
}
