#pragma once

#include <QList>
#include <QString>

class QWidget;

// One form's design geometry, captured once and read by every layout pass.
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

using AnchorTable = QList<AnchorEntry>;

void CaptureAnchors(QWidget *form, AnchorTable &table);
void ApplyAnchors(QWidget *form, const AnchorTable &table);
