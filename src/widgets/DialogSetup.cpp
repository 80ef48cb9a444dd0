#include "widgets/DialogSetup.h"

#include "widgets/ScreenSetup.h"
#include "widgets/layout/Twips.h"
#include "core/receipt/ReceiptRules.h"

#include <QComboBox>
#include <QDialog>
#include <QPushButton>

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

QPushButton *CancelButton(QDialog *dialog, ScreenSetup::Design design)
{
    auto *button = ScreenSetup::Place<QPushButton>(dialog, u"cmdCancel"_s, design, u"ｷｬﾝｾﾙ"_s);
    QObject::connect(button, &QPushButton::clicked, dialog, &QDialog::reject);
    return button;
}

void FillMethodCombo(QComboBox *combo, const QString &tabJoinedMethods)
{
    combo->addItem(u"全て"_s);
    combo->addItems(ReceiptRules::SplitTabList(tabJoinedMethods));
}

} // namespace DialogSetup
