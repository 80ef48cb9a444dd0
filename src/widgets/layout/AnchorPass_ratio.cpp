// The fixed-ratio stage (size mode 2): every control, font and grid column
// shrunk to the suite's small-screen proportions.
#include "widgets/layout/AnchorPass.h"

#include "widgets/grid/vaSpread.h"
#include "widgets/layout/ControlModel.h"
#include "core/data/Rounding.h"
#include "widgets/layout/Twips.h"

#include <QWidget>

using namespace Qt::StringLiterals;
using namespace WindowPlacement;

namespace {

// The figures of the small-screen layout: a 1024-wide design shown 800 wide,
// 740 high shown 600 high under a 19-pixel caption; grid columns a shade
// narrower still so that the last one is not cut.
constexpr double DesignScreenWidth = 1024.0;
constexpr double SmallScreenWidth = 800.0;
constexpr double DesignScreenHeight = 740.0;
constexpr double SmallScreenHeight = 600.0;
constexpr int DesignCaptionHeight = 19;
constexpr double ColumnMargin = 0.99;

int pixels(double twips, int perPixel)
{
    return int(qint64(RoundHalfEven(twips)) / perPixel);
}

} // namespace

bool AnchorPass::fixedRatioStage(const AnchorEntry &entry, QWidget *control)
{
    const bool parlowForm = m_form->objectName() == "frmParlow"_L1;
    const int caption = GetSystemMetrics(SM_CYCAPTION, m_form);
    m_heightRatio = (SmallScreenHeight - (caption - DesignCaptionHeight)) / DesignScreenHeight;
    m_widthRatio = SmallScreenWidth / DesignScreenWidth;

    if (entry.Hwnd != 0 && entry.ParentHwnd != 0) {
        if (!fixedRatioWindow(entry, control, parlowForm))
            return false;
    } else if (entry.TypeName == "Label"_L1) {
        if (!scaleGeometry(entry, control))
            return false;
    }
    if (entry.FontSize != 0)
        return ControlModel::SetFontSize(control, RoundHalfEven(double(entry.FontSize) * m_heightRatio));
    return true;
}

bool AnchorPass::fixedRatioWindow(const AnchorEntry &entry, QWidget *control, bool parlowForm)
{
    const int tx = Twips::PerPixelX(m_form);
    const int ty = Twips::PerPixelY(m_form);
    const Request scaled{pixels(entry.Left * m_widthRatio, tx), pixels(entry.Top * m_heightRatio, ty),
                         pixels(entry.Width * m_widthRatio, tx), pixels(entry.Height * m_heightRatio, ty)};

    std::optional<Request> request;
    if (entry.TypeName == "ComboBox"_L1) {
        // The list's edit box has the height its font gives it.
        request = Request{scaled.x, scaled.y, scaled.cx, entry.Height / ty};
    } else if (entry.TypeName == "PictureBox"_L1) {
        if (ControlModel::Align(control) == 0)
            request = scaled;
        else if (!ControlModel::SetHeight(control, entry.Height * m_heightRatio))
            return false;
    } else if (entry.TypeName == "Toolbar"_L1) {
        if (!ControlModel::SetHeight(control, entry.Height * m_heightRatio))
            return false;
    } else if (entry.TypeName == "vaSpread"_L1) {
        if (!scaleGrid(entry, control, parlowForm))
            return false;
    } else if (entry.Height != 0 && entry.Width != 0) {
        request = scaled;
    }

    if (request && request->cx != 0 && request->cy != 0) {
        m_batch = DeferWindowPos(m_batch, control, nullptr, request->x, request->y, request->cx, request->cy,
                                 SWP_NOZORDER | SWP_NOACTIVATE);
        if (m_batch == 0)
            return false;
    }
    return true;
}

bool AnchorPass::scaleGrid(const AnchorEntry &entry, QWidget *control, bool parlowForm) const
{
    if (!scaleGeometry(entry, control))
        return false;
    if (parlowForm)
        return true;
    auto *grid = qobject_cast<vaSpread *>(control);
    if (!grid)
        return false;
    // Scaled from the current widths: a second pass shrinks them again.
    const int maxCols = grid->MaxCols();
    for (int col = 0; col <= maxCols; ++col)
        grid->SetColWidth(col, grid->ColWidth(col) * m_widthRatio * ColumnMargin);
    return true;
}

bool AnchorPass::scaleGeometry(const AnchorEntry &entry, QWidget *control) const
{
    return ControlModel::SetLeft(control, entry.Left * m_widthRatio)
        && ControlModel::SetTop(control, entry.Top * m_heightRatio)
        && ControlModel::SetWidth(control, entry.Width * m_widthRatio)
        && ControlModel::SetHeight(control, entry.Height * m_heightRatio);
}
