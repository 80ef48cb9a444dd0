#pragma once

#include "core/layout/AnchorTable.h"

class QWidget;

// The layout engine as the screens call it: capture a form's design once,
// then place its controls on every resize.

// Replaces table with the form's current geometry and anchor words. Which
// widgets count as controls is decided by FormControls.
void CaptureAnchors(QWidget *form, AnchorTable &table);

// One layout pass (AnchorPass), with the suite setting WindowSizeIndex as its stored text.
void ApplyAnchors(QWidget *form, const AnchorTable &table, const QString &windowSizeIndex);
