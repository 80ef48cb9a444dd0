#pragma once

#include "core/receipt/SharedState.h"

#include <QList>
#include <QString>
#include <QStringList>

// What the receipt list and its dialogs work with, lent to them by whoever
// opens them: the host's connection, the user's level, the payment-method
// table with the methods exempt from payment management, and the one method
// the list shows. It holds nothing itself; copies see the same state.
class Session final
{
public:
    explicit Session(SessionStore &store) : m_store(&store) {}
    // Over the component's shared state, gSessionStore.
    static Session Shared() { return Session(gSessionStore); }

    // Throws DbError when the host set none, so a missing connection is
    // reported like any other database failure.
    DbConnection &connection() const;
    bool hasConnection() const { return m_store->connection != nullptr; }

    qint16 userLevel() const { return m_store->userLevel; }
    // Levels 0 and 1 may look, not register, import or manage.
    bool mayRegister() const { return m_store->userLevel != 0 && m_store->userLevel != 1; }
    // The logged-in user's name as the host gave it.
    QString userName() const { return m_store->userName; }

    // One entry per method in display order; unloaded until a read found one.
    const QList<SiharaiEntry> &paymentTable() const { return m_store->paymentTable; }
    bool paymentTableLoaded() const { return m_store->paymentTableLoaded; }
    // Reads the methods and the exempt list again: the table stays unloaded
    // when there are no methods. Throws DbError.
    void LoadPaymentTable() const;
    // Whether orders paid by the method are listed: 0 exempt (or no method),
    // 1 managed; every method is managed while the table is unloaded.
    quint8 ManagedFlag(const QString &method) const;
    // The managed marks ("1"/"0") by method name, without regard to case.
    void SetManaged(const QList<std::pair<QString, QString>> &marks) const;

    // The exempt methods as stored in CONTROL. Throw DbError.
    QStringList ReadExemptMethods() const;
    void SaveExemptMethods(const QStringList &methods) const;

    // Position in the usable-method list of the one method the list shows; -1 all.
    qint16 shownMethod() const { return m_store->shownMethod; }
    void setShownMethod(qint16 index) const { m_store->shownMethod = index; }

private:
    SessionStore *m_store;
};
