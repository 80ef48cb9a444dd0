#include "screens/dialogs/DialogSetup.h"

#include "widgets/ScreenSetup.h"
#include "widgets/layout/Twips.h"
#include "core/receipt/ReceiptRules.h"

#include <QComboBox>
#include <QDialog>

using namespace Qt::StringLiterals;

namespace DialogSetup {

void Prepare(QDialog *dialog, const QString &name, const QString &caption, int clientWidthTwips,
             int clientHeightTwips)
{
    ScreenSetup::PrepareScreen(dialog, name, caption);
    dialog->setModal(true);
    // Each use gets a fresh dialog; nothing of the last one lingers.
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFixedSize(Twips::ToPixelsX(clientWidthTwips, dialog), Twips::ToPixelsY(clientHeightTwips, dialog));
}

void FillMethodCombo(QComboBox *combo, const QString &tabJoinedMethods)
{
    combo->addItem(u"全て"_s);
    combo->addItems(ReceiptRules::SplitTabList(tabJoinedMethods));
}

} // namespace DialogSetup
