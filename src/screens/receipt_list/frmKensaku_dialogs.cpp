// The receipt list's dialogs and what it does with their answers.
#include "screens/receipt_list/frmKensaku.h"

#include "screens/dialogs/frmAllSet.h"
#include "screens/dialogs/frmDispSiharai.h"
#include "screens/dialogs/frmKanri.h"
#include "screens/history/frmRireki.h"

namespace {

// Each dialog is a fresh instance, released when it closes.
template<typename Dialog, typename... Lent>
void showModal(frmKensaku *owner, const Lent &...lent)
{
    QPointer<Dialog> dialog = new Dialog(owner, *owner, lent...);
    dialog->exec();
    if (dialog)
        dialog->deleteLater();
}

} // namespace

void frmKensaku::cmdSet_Click()
{
    pbytSetFlg = 0;
    pstrSiharai.clear();
    pstrDate.clear();
    pbytAllSet = 0;
    pbytMailSet = 0;
    showModal<frmAllSet>(this);
    if (pbytSetFlg == 0)
        return;
    if (pbytAllSet != 0)
        ApplyDateToAllMarked();
    else
        ApplyDateToMatching();
}

void frmKensaku::mnuKanri_Click()
{
    pbytRefresh = 0;
    showModal<frmKanri>(this, m_session);
    if (pbytRefresh != 0)
        HandleFunctionKey(Qt::Key_F5, Qt::ShiftModifier);
    pbytRefresh = 0;
}

void frmKensaku::mnuViewSub_Click(int index)
{
    if (index != 0)
        return;
    showModal<frmDispSiharai>(this, m_session);
    ApplyListFilter();
}

void frmKensaku::mnuRireki_Click()
{
    QPointer<frmRireki> history = new frmRireki(this, m_session);
    if (history->cmdSearch_Click() && history->grid()->MaxRows() > 0)
        history->grid()->setFocus();
    history->exec();
    if (history)
        history->deleteLater();
}
