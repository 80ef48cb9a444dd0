#pragma once

#include "widgets/ScreenSetup.h"

#include <QString>

class QComboBox;
class QPushButton;
class QDialog;

// What the dialogs of the screens have in common: a fixed client
// area designed in twips, the suite's font, modality and release on close.
namespace DialogSetup {

// Name, caption, font, modality, release on close, the fixed design client size.
void Prepare(QDialog *dialog, const QString &name, const QString &caption, int clientWidthTwips,
             int clientHeightTwips);

// The dialog's "ｷｬﾝｾﾙ" (cmdCancel), closing it unanswered; Esc presses it too.
QPushButton *CancelButton(QDialog *dialog, ScreenSetup::Design design);

// "全て" first, then the TAB-joined payment methods in their order.
void FillMethodCombo(QComboBox *combo, const QString &tabJoinedMethods);

} // namespace DialogSetup
