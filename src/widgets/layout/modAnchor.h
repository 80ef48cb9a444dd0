#pragma once

#include <QList>
#include <QString>

class QWidget;

// One form's design geometry, captured once and read by every layout pass.
// Geometry is in twips; Left/Top are relative to the control's container.
struct AnchorEntry
{
    QString Name;
    QString TypeName;
    qint32 Left = 0;
    qint32 Top = 0;
    qint32 Height = 0;
    qint32 Width = 0;
    float FontSize = 0;
    bool FontChanged = false;
    QString Tag;
    QString Index;
    quint32 Hwnd = 0;
    qint32 ParentHwnd = 0;
};

// Entry 0 is the form, entries 1..N its controls sorted by ParentHwnd.
using AnchorTable = QList<AnchorEntry>;

// Replaces table with the form's current geometry and anchor words. Which
// widgets count as controls is decided by FormControls.
void CaptureAnchors(QWidget *form, AnchorTable &table);

// In-place quicksort of entries first..last by ParentHwnd. Not stable: the
// order of equal keys is whatever this exact partitioning leaves.
void SortAnchorsByParent(AnchorTable &table, int first, int last);

// One layout pass; reads WindowSizeIndex from the suite settings.
void ApplyAnchors(QWidget *form, const AnchorTable &table);
// The same pass with WindowSizeIndex already read, as its stored text.
void ApplyAnchors(QWidget *form, const AnchorTable &table, const QString &windowSizeIndex);
