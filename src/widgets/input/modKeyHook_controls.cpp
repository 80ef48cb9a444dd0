// What the key hook reads from the focused text box, combo box or list box.
#include "widgets/input/modKeyHook.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QListView>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <optional>

namespace {

// A multi-line box's text, with '\n' between lines, and where its selection
// (or the caret) starts; a document position counts a line break as one.
struct MultiLineBox
{
    QTextDocument *document;
    QString text;
    int selStart;
};

std::optional<MultiLineBox> multiLineBox(QWidget *widget)
{
    if (auto *plain = qobject_cast<QPlainTextEdit *>(widget))
        return MultiLineBox{plain->document(), plain->toPlainText(), plain->textCursor().selectionStart()};
    if (auto *rich = qobject_cast<QTextEdit *>(widget))
        return MultiLineBox{rich->document(), rich->toPlainText(), rich->textCursor().selectionStart()};
    return std::nullopt;
}

// The selected item's index, -1 when nothing is selected.
int ListIndex(const QAbstractItemView *list)
{
    const QModelIndex current = list->currentIndex();
    const QItemSelectionModel *selection = list->selectionModel();
    if (!current.isValid() || !selection || !selection->isSelected(current))
        return -1;
    return current.row();
}

} // namespace

bool IsComboDroppedDown(const QComboBox *combo)
{
    return combo && combo->view() && combo->view()->isVisible();
}

bool TextBoxEnterLeaves()
{
    const std::optional<MultiLineBox> box = multiLineBox(ActiveControl());
    if (!box)
        return true;
    // Only the second Enter on an empty last line leaves, taking that line
    // with it; the rest of the box (formatting, undo history) stays as it was.
    if (box->selStart != box->text.size() || !box->text.endsWith(u'\n'))
        return false;
    QTextCursor edit(box->document);
    edit.movePosition(QTextCursor::End);
    edit.deletePreviousChar();
    return true;
}

bool TextBoxUpLeaves()
{
    // From the first line.
    const std::optional<MultiLineBox> box = multiLineBox(ActiveControl());
    return !box || !box->text.first(box->selStart).contains(u'\n');
}

bool TextBoxDownLeaves()
{
    // From the last line.
    const std::optional<MultiLineBox> box = multiLineBox(ActiveControl());
    return !box || !box->text.sliced(box->selStart).contains(u'\n');
}

bool ListBoxUpLeaves()
{
    const QAbstractItemView *list = qobject_cast<QListView *>(ActiveControl());
    return !list || ListIndex(list) <= 0;
}

bool ListBoxDownLeaves()
{
    const QAbstractItemView *list = qobject_cast<QListView *>(ActiveControl());
    return !list || ListIndex(list) == (list->model() ? list->model()->rowCount(list->rootIndex()) : 0) - 1;
}
