#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class SuiteSettings;

// Which orders a statement may pay, by their 支払方法: a convenience-store
// slip pays no order the customer was to pay by bank transfer. Each kind of
// file but the banks' pays the methods whose names contain one of its words;
// the banks pay every order, as they always have.
class PaymentMethods final
{
public:
    enum class FileKind { Bank, Convenience, Service, Deferred, CashOnDelivery };

    // The words of each kind from parlow.ini ([Parlow6] MethodsConvenience,
    // MethodsService, MethodsDeferred, MethodsCashOnDelivery: words split by
    // ","), the defaults where a key is missing.
    static PaymentMethods read(const SuiteSettings &settings);

    bool pays(FileKind kind, const QString &method) const;
    static QString kindName(FileKind kind);

private:
    QList<QStringList> m_words{
        {},
        {QStringLiteral("コンビニ")},
        {QStringLiteral("クレジット"), QStringLiteral("カード"), QStringLiteral("決済")},
        {QStringLiteral("後払い")},
        {QStringLiteral("代引"), QStringLiteral("代金引換")}};
};
