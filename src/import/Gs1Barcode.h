#pragma once

#include <QString>
#include <QStringView>

// The 44 digits of a convenience-store payment slip's barcode, as set out in
// "GS1-128シンボルによる標準料金代理収納ガイドライン": application identifier
// 91, the issuer's 6-digit company code, 21 digits free for the issuer,
// 再発行区分, 支払期限 YYMMDD, 印紙フラグ, the amount in 6 digits and a check
// digit (modulus 10, weights 3 and 1 from the right, as everywhere in GS1).
struct Gs1Barcode
{
    static constexpr qsizetype Length = 44;
    static constexpr int FreeLength = 21;

    QString digits;  // all 44, once read
    QString problem; // why the text is no usable barcode; empty when it is

    // Reads the digits after a prefix of letters or spaces ("EAN" in some
    // agents' files); anything else, a wrong length or a wrong check digit
    // leaves problem set.
    static Gs1Barcode read(QStringView text);

    bool ok() const { return problem.isEmpty(); }
    qint64 amount() const { return QStringView(digits).sliced(37, 6).toLongLong(); }
    // The order number the issuer put in the free digits at start (from 1)
    // and length, without leading zeros; empty when they are all zero.
    QString orderNumber(int start, int length) const;
};
