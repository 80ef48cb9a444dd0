#pragma once

#include <QString>

// One row of the receipt list as an import sees it when it starts.
struct ListedOrder
{
    int row{0};          // grid row, from 1
    qint64 id{0};        // order number (No.)
    QString name;
    qint64 billed{0};    // yen
    qint64 received{0};  // yen, what the row held
    QString phone;       // 電話番号 as listed
    QString tel1;        // TEL1, when the list carries it
    QString company{};   // 会社名, when the list carries it
    QString method{};    // 支払方法
};
