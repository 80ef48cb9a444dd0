#include "widgets/layout/AnchorPass.h"

#include "core/data/Rounding.h"
#include "widgets/layout/ControlModel.h"
#include "widgets/layout/ScalableColumns.h"
#include "widgets/layout/Twips.h"

#include <QWidget>

using namespace Qt::StringLiterals;
using namespace WindowPlacement;
using namespace AnchorArithmetic;

namespace {

// Sets what the arithmetic asked for, in the order left, top, width, height;
// false as soon as the toolkit refuses a value.
bool applyTwips(QWidget *control, const TwipsRect &rect)
{
    return (!rect.left || ControlModel::SetLeft(control, *rect.left))
        && (!rect.top || ControlModel::SetTop(control, *rect.top))
        && (!rect.width || ControlModel::SetWidth(control, *rect.width))
        && (!rect.height || ControlModel::SetHeight(control, *rect.height));
}

} // namespace

AnchorPass::AnchorPass(QWidget *form, const AnchorTable &table)
    : m_form(form), m_table(table), m_controls(form)
{
}

void AnchorPass::Run(const QString &windowSizeIndex)
{
    if (start(windowSizeIndex)) {
        bool completed = true;
        for (qsizetype i = 1; i < m_table.size() && completed; ++i)
            completed = placeEntry(m_table[i]);
        // update(), not repaint(): the last batch is applied after this, and
        // the next paint should show the final places, not the ones before.
        if (completed)
            m_form->update();
    }
    finish();
}

bool AnchorPass::start(const QString &windowSizeIndex)
{
    const std::optional<qint16> mode = SizeMode(windowSizeIndex);
    if (!mode || m_table.isEmpty())
        return false;
    m_sizeMode = *mode;
    m_tx = Twips::PerPixelX(m_form);
    m_ty = Twips::PerPixelY(m_form);
    const QRect outer = m_form->frameGeometry();
    m_size.width = qint64(outer.width()) * m_tx;
    m_size.height = qint64(outer.height()) * m_ty;
    m_size.designWidth = m_table[0].Width;
    m_size.designHeight = m_table[0].Height;
    if (m_size.designWidth == 0 || m_size.designHeight == 0)
        return false;
    m_size.heightRatio = double(m_size.height) / double(m_size.designHeight);
    m_size.widthRatio = double(m_size.width) / double(m_size.designWidth);
    m_currentParent = 0;
    m_batch = 0;
    return true;
}

bool AnchorPass::placeEntry(const AnchorEntry &entry)
{
    if (entry.ParentHwnd != m_currentParent && !switchBatch(entry))
        return false;
    QWidget *control = m_controls.Find(entry.Name, entry.Index);
    if (!control)
        return false;
    if (!anchorStage(entry, control))
        return false;
    return m_sizeMode != 2 || fixedRatioStage(entry, control);
}

bool AnchorPass::switchBatch(const AnchorEntry &entry)
{
    if (m_currentParent != 0)
        EndDeferWindowPos(m_batch);
    m_batch = BeginDeferWindowPos(int(m_controls.Count()));
    if (m_batch == 0)
        return false;
    m_currentParent = entry.ParentHwnd;
    return true;
}

bool AnchorPass::anchorStage(const AnchorEntry &entry, QWidget *control)
{
    if (entry.TypeName == "Label"_L1)
        return applyTwips(control, AnchorLabel(entry, m_size));
    if (entry.TypeName == "vaSpread"_L1)
        return applyTwips(control, AnchorGrid(entry, m_size));
    if (entry.Hwnd != 0) {
        const PixelRect rect = AnchorWindow(entry, m_size, m_tx, m_ty);
        // A lost request loses the rest of this parent's batch; the pass goes on.
        defer(control, rect, rect.keepsSize ? SWP_NOSIZE | SWP_NOZORDER : SWP_NOZORDER);
    }
    return true;
}

bool AnchorPass::fixedRatioStage(const AnchorEntry &entry, QWidget *control)
{
    m_size.heightRatio = FixedHeightRatio(GetSystemMetrics(SM_CYCAPTION, m_form));
    m_size.widthRatio = FixedWidthRatio();

    if (entry.Hwnd != 0 && entry.ParentHwnd != 0) {
        if (!fixedRatioWindow(entry, control))
            return false;
    } else if (entry.TypeName == "Label"_L1) {
        if (!applyTwips(control, ScaledTwips(entry, m_size)))
            return false;
    }
    if (entry.FontSize != 0)
        return ControlModel::SetFontSize(control, RoundHalfEven(double(entry.FontSize) * m_size.heightRatio));
    return true;
}

bool AnchorPass::fixedRatioWindow(const AnchorEntry &entry, QWidget *control)
{
    const PixelRect scaled = ScaledWindow(entry, m_size, m_tx, m_ty);
    if (entry.TypeName == "ComboBox"_L1) {
        // The list's edit box has the height its font gives it.
        return deferScaled(control, {scaled.x, scaled.y, scaled.cx, entry.Height / m_ty});
    }
    if (entry.TypeName == "PictureBox"_L1) {
        if (ControlModel::Align(control) == 0)
            return deferScaled(control, scaled);
        return ControlModel::SetHeight(control, entry.Height * m_size.heightRatio);
    }
    if (entry.TypeName == "Toolbar"_L1)
        return ControlModel::SetHeight(control, entry.Height * m_size.heightRatio);
    if (entry.TypeName == "vaSpread"_L1) {
        if (!applyTwips(control, ScaledTwips(entry, m_size)))
            return false;
        auto *columns = dynamic_cast<ScalableColumns *>(control);
        if (!columns)
            return false;
        // Scaled from the current widths: a second pass shrinks them again.
        columns->ScaleColumnWidths(m_size.widthRatio * ColumnMargin);
        return true;
    }
    if (entry.Height != 0 && entry.Width != 0)
        return deferScaled(control, scaled);
    return true;
}

bool AnchorPass::deferScaled(QWidget *control, const PixelRect &rect)
{
    // A control scaled down to nothing keeps its place instead.
    if (rect.cx == 0 || rect.cy == 0)
        return true;
    return defer(control, rect, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool AnchorPass::defer(QWidget *control, const PixelRect &rect, unsigned flags)
{
    m_batch = DeferWindowPos(m_batch, control, nullptr, rect.x, rect.y, rect.cx, rect.cy, flags);
    return m_batch != 0;
}

void AnchorPass::finish()
{
    if (m_batch != 0)
        EndDeferWindowPos(m_batch);
    m_batch = 0;
}
