#pragma once

#include "ScreenFixture.h"
#include "core/receipt/PaymentHistory.h"

#include <QDateTime>

// One operator: a receipt list of its own on a connection of its own, in a
// session of its own (the settings shared), searched once.
struct Operator
{
    SessionStore store;
    QPointer<frmKensaku> form;
    ~Operator() { delete form.data(); }
};

inline std::unique_ptr<Operator> operatorOn(std::shared_ptr<DbConnection> connection, const SuiteSettings &settings)
{
    auto op = std::make_unique<Operator>();
    op->store.connection = std::move(connection);
    op->store.userLevel = 2; // one that may register
    op->form = new frmKensaku(Session(op->store), settings);
    ScreenFixture::activate(op->form);
    op->form->cmdSearch_Click();
    return op;
}

// Every marked row paid on date, with the confirmation mail, as the bulk dialog does.
inline void payAll(frmKensaku *form, const QString &date)
{
    form->cmdAllSelect_Click();
    form->pstrDate = date;
    form->pbytMailSet = 1;
    form->ApplyDateToAllMarked();
}

inline void payAndRegister(frmKensaku *form, const QString &date)
{
    payAll(form, date);
    form->cmdUpdate_Click();
}

// Rows still marked for 登録.
inline int flagged(const frmKensaku *form)
{
    int rows = 0;
    for (int row = 1; row <= form->grid()->MaxRows(); ++row)
        rows += form->grid()->Number(frmKensaku::ColUpdateFlag, row) != 0;
    return rows;
}

// The operator takes back every order of registration number.
inline PaymentHistory::TakeBackResult takeBack(Operator &op, qint64 number)
{
    QList<PaymentHistory::Change> changes;
    for (const PaymentHistory::Line &line : PaymentHistory::Lines(*op.store.connection, number))
        changes.append(line.change);
    return PaymentHistory::TakeBack(*op.store.connection, number, changes, op.store.userName,
                                    QDateTime::currentDateTime());
}
