// What the key hook reads from the focused text box, combo box or list box.
#include "widgets/input/modKeyHook.h"

#include "widgets/input/ControlKinds.h"
#include "widgets/input/TextBoxAccess.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QItemSelectionModel>

using namespace Qt::StringLiterals;

namespace {

const QString CrLf = u"\r\n"_s;

// The selected item's index, -1 when nothing is selected.
int ListIndex(const QAbstractItemView *list)
{
    const QModelIndex current = list->currentIndex();
    const QItemSelectionModel *selection = list->selectionModel();
    if (!current.isValid() || !selection || !selection->isSelected(current))
        return -1;
    return current.row();
}

int ListCount(const QAbstractItemView *list)
{
    return list->model() ? list->model()->rowCount(list->rootIndex()) : 0;
}

} // namespace

bool IsComboDroppedDown(const QComboBox *combo)
{
    return combo && combo->view() && combo->view()->isVisible();
}

bool TextBoxEnterLeaves()
{
    TextBoxAccess box(ActiveControl());
    if (!box.MultiLine())
        return true;
    const QString text = box.Text();
    if (box.SelStart() != text.size())
        return false;
    // Only the second Enter on an empty last line leaves, taking that line with it.
    if (text.isEmpty() || !text.endsWith(CrLf))
        return false;
    box.SetText(text.left(text.size() - CrLf.size()));
    return true;
}

bool TextBoxUpLeaves()
{
    const TextBoxAccess box(ActiveControl());
    if (!box.MultiLine())
        return true;
    const qsizetype firstBreak = box.Text().indexOf(CrLf) + 1; // 1-based, 0 for none
    if (firstBreak == 0)
        return true;
    return firstBreak >= box.SelStart();
}

bool TextBoxDownLeaves()
{
    const TextBoxAccess box(ActiveControl());
    if (!box.MultiLine())
        return true;
    const qsizetype lastBreak = box.Text().lastIndexOf(CrLf) + 1; // 1-based, 0 for none
    return !(lastBreak > box.SelStart());
}

bool ListBoxUpLeaves()
{
    const QAbstractItemView *list = AsListBox(ActiveControl());
    return !list || ListIndex(list) <= 0;
}

bool ListBoxDownLeaves()
{
    const QAbstractItemView *list = AsListBox(ActiveControl());
    return !list || ListIndex(list) == ListCount(list) - 1;
}
