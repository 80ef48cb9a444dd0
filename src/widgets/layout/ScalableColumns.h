#pragma once

// A control whose columns the fixed-ratio layout shrinks along with it. The
// layout engine knows controls only by this, not by their classes.
class ScalableColumns
{
public:
    // Multiplies every column width by factor, from the widths as they are now.
    virtual void ScaleColumnWidths(double factor) = 0;

protected:
    ~ScalableColumns() = default;
};
