#pragma once

#include <QList>
#include <QString>

// A control's design geometry and anchor word, captured once per form so
// that every later layout pass works from the design and not from where the
// last pass left the control. Geometry is in twips; Left/Top are relative
// to the control's container.
struct AnchorEntry
{
    QString Name;
    QString TypeName;
    qint32 Left = 0;
    qint32 Top = 0;
    qint32 Height = 0;
    qint32 Width = 0;
    float FontSize = 0;
    QString Tag;
    QString Index;
    quint32 Hwnd = 0;
    qint32 ParentHwnd = 0;
};

// Entry 0 is the form, entries 1..N its controls grouped by ParentHwnd, so a
// pass can place each container's children in one batch.
using AnchorTable = QList<AnchorEntry>;

// In-place quicksort of entries first..last by ParentHwnd. Not stable: the
// suite's other screens order equal keys exactly this way, and the order
// decides which control of a batch a failed placement leaves unplaced.
void SortAnchorsByParent(AnchorTable &table, int first, int last);
