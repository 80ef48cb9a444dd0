#include "screens/dialogs/frmDispSiharai.h"

#include "widgets/DialogSetup.h"
#include "screens/dialogs/ReceiptListProperties.h"

#include <QComboBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

frmDispSiharai::frmDispSiharai(QWidget *owner, const ReceiptListProperties &list, const Session &session)
    : QDialog(owner)
    , m_session(session)
{
    DialogSetup::Prepare(this, u"frmDispSiharai"_s, u"表示支払方法"_s, 4680, 1245);
    cboSiharai = ScreenSetup::Place<QComboBox>(this, u"cboSiharai"_s, {960, 240, 2535, 315});
    DialogSetup::FillMethodCombo(cboSiharai, list.pstrSiharaiString);
    // An index the list no longer reaches shows all methods rather than nothing.
    const int item = m_session.shownMethod() + 1;
    cboSiharai->setCurrentIndex(item >= 1 && item < cboSiharai->count() ? item : 0);

    auto *cmdEnter = ScreenSetup::Place<QPushButton>(this, u"cmdEnter"_s, {960, 720, 975, 375}, u"OK"_s);
    cmdEnter->setDefault(true);
    connect(cmdEnter, &QPushButton::clicked, this, [this] {
        const int selected = cboSiharai->currentIndex();
        m_session.setShownMethod(qint16(selected >= 1 ? selected - 1 : -1));
        accept();
    });

    DialogSetup::CancelButton(this, {2520, 720, 975, 375});

    cboSiharai->setFocus();
}
