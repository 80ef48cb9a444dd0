#include "core/data/Rounding.h"
#include "core/layout/AnchorArithmetic.h"
#include "widgets/ScreenSetup.h"
#include "widgets/grid/vaSpread.h"
#include "widgets/layout/ControlModel.h"
#include "widgets/layout/FormControls.h"
#include "widgets/layout/modAnchor.h"
#include "widgets/layout/Twips.h"

#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;
using namespace AnchorArithmetic;

namespace {

// The fixed-ratio figures are based on this title height, which is also
// taken where the platform draws no title (offscreen, or not yet shown).
constexpr int PlainCaptionHeight = 19;

int captionHeight(const QWidget *window)
{
    const QWidget *top = window->window();
    const QRect frame = top->frameGeometry();
    const QRect inner = top->geometry();
    // Above the client area lie the caption and a border as wide as the one below it.
    const int caption = (inner.top() - frame.top()) - (frame.bottom() - inner.bottom());
    return caption > 0 ? caption : PlainCaptionHeight;
}

// One layout pass over a form: the anchor stage for every entry and, in size
// mode 2, the fixed-ratio stage. Controls with windows are placed in one
// batch per container, applied when the pass moves on, so a container's
// children never show half moved. A later placement of the same control
// replaces the position, and the size where it sets one. Any failure ends
// the pass: the batch in hand is applied, later entries are left alone and
// the form is not repainted.
class AnchorPass final
{
public:
    AnchorPass(QWidget *form, const AnchorTable &table) : m_form(form), m_table(table), m_controls(form) {}
    Q_DISABLE_COPY_MOVE(AnchorPass)

    void Run(const QString &windowSizeIndex)
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
        applyBatch();
    }

private:
    bool start(const QString &windowSizeIndex)
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
        m_batch.clear();
        return true;
    }

    bool placeEntry(const AnchorEntry &entry)
    {
        if (entry.ParentHwnd != m_currentParent) {
            applyBatch();
            m_currentParent = entry.ParentHwnd;
        }
        QWidget *control = m_controls.Find(entry.Name, entry.Index);
        return control && anchorStage(entry, control) && (m_sizeMode != 2 || fixedRatioStage(entry, control));
    }

    bool anchorStage(const AnchorEntry &entry, QWidget *control)
    {
        if (entry.TypeName == "Label"_L1)
            return ControlModel::SetTwips(control, AnchorLabel(entry, m_size));
        if (entry.TypeName == "vaSpread"_L1)
            return ControlModel::SetTwips(control, AnchorGrid(entry, m_size));
        if (entry.Hwnd != 0) {
            const PixelRect rect = AnchorWindow(entry, m_size, m_tx, m_ty);
            defer(control, rect, !rect.keepsSize);
        }
        return true;
    }

    bool fixedRatioStage(const AnchorEntry &entry, QWidget *control)
    {
        m_size.heightRatio = FixedHeightRatio(captionHeight(m_form));
        m_size.widthRatio = FixedWidthRatio();

        // A window by its scaled place, a label by its scaled twips; then the font, where the entry has one.
        const bool placed = entry.Hwnd != 0 && entry.ParentHwnd != 0
                                ? fixedRatioWindow(entry, control)
                                : entry.TypeName != "Label"_L1 || ControlModel::SetTwips(control, ScaledTwips(entry, m_size));
        return placed && (entry.FontSize == 0
                          || ControlModel::SetFontSize(control, RoundHalfEven(double(entry.FontSize) * m_size.heightRatio)));
    }

    bool fixedRatioWindow(const AnchorEntry &entry, QWidget *control)
    {
        // Tool bars and aligned picture boxes (their "Align" property set) take their height only.
        if (entry.TypeName == "Toolbar"_L1
            || (entry.TypeName == "PictureBox"_L1 && control->property(ScreenSetup::AlignProperty).toInt() != 0))
            return ControlModel::SetTwips(control, {{}, {}, {}, entry.Height * m_size.heightRatio});
        if (entry.TypeName == "vaSpread"_L1) {
            auto *grid = qobject_cast<vaSpread *>(control);
            if (!grid || !ControlModel::SetTwips(control, ScaledTwips(entry, m_size)))
                return false;
            // Scaled from the current widths: a second pass shrinks them again.
            grid->ScaleColumnWidths(m_size.widthRatio * ColumnMargin);
            return true;
        }
        PixelRect scaled = ScaledWindow(entry, m_size, m_tx, m_ty);
        // The list's edit box has the height its font gives it.
        if (entry.TypeName == "ComboBox"_L1)
            scaled.cy = entry.Height / m_ty;
        // A control scaled down to nothing (a design size of 0 included) keeps its place instead.
        if (scaled.cx != 0 && scaled.cy != 0)
            defer(control, scaled);
        return true;
    }

    void defer(QWidget *control, const PixelRect &rect, bool sizes = true)
    {
        auto placement = std::find_if(m_batch.begin(), m_batch.end(),
                                      [control](const Placement &p) { return p.widget == control; });
        if (placement == m_batch.end()) {
            m_batch.append({control, rect, sizes});
        } else if (sizes) {
            *placement = {control, rect, true};
        } else {
            placement->rect.x = rect.x;
            placement->rect.y = rect.y;
        }
    }

    void applyBatch()
    {
        for (const Placement &placement : std::exchange(m_batch, {})) {
            QWidget *widget = placement.widget;
            const PixelRect &rect = placement.rect;
            if (widget && placement.sizes)
                widget->setGeometry(rect.x, rect.y, std::max(rect.cx, 0), std::max(rect.cy, 0));
            else if (widget)
                widget->move(rect.x, rect.y);
        }
    }

    struct Placement
    {
        QPointer<QWidget> widget;
        PixelRect rect;
        bool sizes = false;
    };

    QWidget *m_form;
    const AnchorTable &m_table;
    FormControls m_controls;
    qint16 m_sizeMode{0};
    FormSize m_size;
    int m_tx{15};
    int m_ty{15};
    qint32 m_currentParent{0};
    QList<Placement> m_batch;
};

} // namespace

void ApplyAnchors(QWidget *form, const AnchorTable &table, const QString &windowSizeIndex)
{
    if (form)
        AnchorPass(form, table).Run(windowSizeIndex);
}
