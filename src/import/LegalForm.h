#pragma once

#include <QString>
#include <QStringView>

// The legal forms of companies (株式会社, 有限会社, 合同会社, 一般社団法人,
// 医療法人, ...) as a 会社名 writes them and as the banks abbreviate them
// (ｶ) before the name, (ｶ) within it, (ｶ after it), taken out of a name so
// that the rest can be read. Two forms are the same when the banks write
// them the same (一般社団法人 and 公益社団法人 are both ｼﾔ).
class LegalForm final
{
public:
    struct Split
    {
        QString rest;  // the name without its form
        QString form;  // the banks' abbreviation; empty for none
    };

    // A listed 会社名, its variants folded: 株式会社山田商事, 山田商事(株), ㈱山田商事.
    static Split ofName(QStringView name);
    // A payer's text in the banks' kana, brackets kept: ｶ)ﾔﾏﾀﾞｼﾖｳｼﾞ, ﾔﾏﾀﾞ(ｶ)ﾄｳｷﾖｳ,
    // ﾔﾏﾀﾞｼﾖｳｼﾞ(ｶ, or the form written out in kana before or after the name.
    static Split ofPayer(QStringView bankKana);
};
