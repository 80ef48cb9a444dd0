#include "screens/dialogs/DialogSetup.h"

#include "widgets/layout/Twips.h"
#include "core/receipt/ReceiptRules.h"

#include <QComboBox>
#include <QDialog>
#include <QFont>

using namespace Qt::StringLiterals;

namespace DialogSetup {

void Prepare(QDialog *dialog, const QString &name, const QString &caption, int clientWidthTwips,
             int clientHeightTwips)
{
    dialog->setObjectName(name);
    dialog->setWindowTitle(caption);
    // The key navigation acts only on the component's own windows.
    dialog->setProperty("parlow6Screen", true);
    dialog->setModal(true);
    // Each use gets a fresh dialog; nothing of the last one lingers.
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFont(QFont(u"ＭＳ ゴシック"_s, 9));
    dialog->setFixedSize(Twips::ToPixelsX(clientWidthTwips, dialog), Twips::ToPixelsY(clientHeightTwips, dialog));
}

void NameControl(QObject *control, const QString &name, int index)
{
    control->setObjectName(name);
    if (index >= 0)
        control->setProperty("Index", index);
}

void FillMethodCombo(QComboBox *combo, const QString &tabJoinedMethods)
{
    combo->addItem(u"全て"_s);
    combo->addItems(ReceiptRules::SplitTabList(tabJoinedMethods));
}

} // namespace DialogSetup
