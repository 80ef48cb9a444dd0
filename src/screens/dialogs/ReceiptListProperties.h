#pragma once

#include <QString>

// The receipt list's public properties: all its dialogs see of it. They read
// the usable payment methods and hand their answers back here; the list acts
// on them once the dialog has closed.
struct ReceiptListProperties
{
    quint8 pbytSetFlg = 0;     // frmAllSet: "登録" was pressed
    QString pstrSiharai;       // frmAllSet: the chosen payment method
    QString pstrDate;          // frmAllSet: the payment date
    quint8 pbytAllSet = 0;     // frmAllSet: every method ("全て")
    quint8 pbytMailSet = 0;    // frmAllSet: prepare the confirmation mail
    QString pstrSiharaiString; // the usable payment methods, TAB-joined
    quint8 pbytRefresh = 0;    // frmKanri: the exempt methods changed; reload
};
