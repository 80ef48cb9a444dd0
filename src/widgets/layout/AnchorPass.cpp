#include "widgets/layout/AnchorPass.h"

#include "widgets/layout/ControlModel.h"
#include "core/data/Rounding.h"
#include "widgets/layout/Twips.h"

#include <QRegularExpression>
#include <QWidget>

#include <limits>

using namespace Qt::StringLiterals;
using namespace WindowPlacement;

namespace {

enum class Across { Design, Following, Proportional };
enum class Extent { Kept, Design, Stretched };

struct WindowRule
{
    const char16_t *tag;
    Across x;
    Across y;
    Extent width;
    Extent height;
};

// What each anchor word does to a control that has a window. Following means
// the right edge for x and the bottom edge for y.
constexpr WindowRule WindowRules[] = {
    {u"LEFT", Across::Design, Across::Design, Extent::Kept, Extent::Kept},
    {u"RIGHT", Across::Following, Across::Proportional, Extent::Kept, Extent::Kept},
    {u"TOP", Across::Proportional, Across::Design, Extent::Kept, Extent::Kept},
    {u"BOTTOM", Across::Proportional, Across::Following, Extent::Kept, Extent::Kept},
    {u"LEFTRIGHT", Across::Design, Across::Design, Extent::Stretched, Extent::Design},
    {u"TOPBOTTOM", Across::Design, Across::Design, Extent::Design, Extent::Stretched},
    {u"LEFTTOP", Across::Design, Across::Design, Extent::Kept, Extent::Kept},
    {u"RIGHTTOP", Across::Following, Across::Design, Extent::Kept, Extent::Kept},
    {u"LEFTBOTTOM", Across::Design, Across::Following, Extent::Kept, Extent::Kept},
    {u"RIGHTBOTTOM", Across::Following, Across::Following, Extent::Kept, Extent::Kept},
    {u"LEFTRIGHTTOP", Across::Design, Across::Design, Extent::Stretched, Extent::Design},
    {u"LEFTRIGHTBOTTOM", Across::Design, Across::Following, Extent::Stretched, Extent::Design},
    {u"LEFTTOPBOTTOM", Across::Design, Across::Design, Extent::Design, Extent::Stretched},
    {u"RIGHTTOPBOTTOM", Across::Following, Across::Design, Extent::Design, Extent::Stretched},
    {u"LEFTRIGHTTOPBOTTOM", Across::Design, Across::Design, Extent::Stretched, Extent::Stretched},
};

constexpr WindowRule Untagged{u"", Across::Design, Across::Design, Extent::Kept, Extent::Kept};

const WindowRule &windowRule(const QString &tag)
{
    for (const WindowRule &rule : WindowRules) {
        if (tag == QStringView(rule.tag))
            return rule;
    }
    return Untagged;
}

// nearest(value) ÷ perPixel, the remainder dropped.
int pixels(double twips, int perPixel)
{
    return int(qint64(RoundHalfEven(twips)) / perPixel);
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

std::optional<qint16> AnchorPass::SizeMode(const QString &text)
{
    // The longest number at the start: blanks, sign, digits, fraction and an
    // exponent (E or D) that counts only when digits follow it.
    static const QRegularExpression leading(
        u"^[ \\t]*([+-]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eEdD][+-]?[0-9]+)?)"_s);
    const QRegularExpressionMatch match = leading.match(text);
    if (!match.hasMatch())
        return qint16(0);
    QString number = match.captured(1);
    number.replace(u'd', u'e').replace(u'D', u'e');
    bool ok = false;
    const double rounded = RoundHalfEven(number.toDouble(&ok));
    if (!ok || rounded < std::numeric_limits<qint16>::min() || rounded > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return qint16(rounded);
}

bool AnchorPass::start(const QString &windowSizeIndex)
{
    const std::optional<qint16> mode = SizeMode(windowSizeIndex);
    if (!mode || m_table.isEmpty())
        return false;
    m_sizeMode = *mode;
    const QRect outer = m_form->frameGeometry();
    m_width = qint64(outer.width()) * Twips::PerPixelX(m_form);
    m_height = qint64(outer.height()) * Twips::PerPixelY(m_form);
    m_designWidth = m_table[0].Width;
    m_designHeight = m_table[0].Height;
    if (m_designWidth == 0 || m_designHeight == 0)
        return false;
    m_heightRatio = double(m_height) / double(m_designHeight);
    m_widthRatio = double(m_width) / double(m_designWidth);
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
        return anchorLabel(entry, control);
    if (entry.TypeName == "vaSpread"_L1)
        return anchorGrid(entry, control);
    if (entry.Hwnd != 0)
        anchorWindow(entry, control);
    return true;
}

bool AnchorPass::anchorLabel(const AnchorEntry &entry, QWidget *control) const
{
    const double bottomTop = double(m_height - (m_designHeight - entry.Top));
    if (entry.Tag == "LEFTBOTTOM"_L1)
        return ControlModel::SetTop(control, bottomTop);
    if (entry.Tag == "RIGHTBOTTOM"_L1)
        return ControlModel::SetTop(control, bottomTop)
            && ControlModel::SetLeft(control, double(m_width - (m_designWidth - entry.Left)));
    if (entry.Tag == "LEFTRIGHTTOP"_L1)
        return ControlModel::SetWidth(control, double(m_width - (m_designWidth - entry.Width)));
    return true;
}

bool AnchorPass::anchorGrid(const AnchorEntry &entry, QWidget *control) const
{
    const double width = double(m_width - (m_designWidth - entry.Width));
    if (entry.Tag == "LEFTRIGHTTOPBOTTOM"_L1)
        return ControlModel::SetWidth(control, width)
            && ControlModel::SetHeight(control, double(m_height - (m_designHeight - entry.Height)));
    if (entry.Tag == "LEFTRIGHTTOP"_L1)
        return ControlModel::SetWidth(control, width);
    if (entry.Tag == "LEFTRIGHTBOTTOM"_L1)
        return ControlModel::SetTop(control, double(m_height - (m_designHeight - entry.Top)))
            && ControlModel::SetWidth(control, width);
    return true;
}

void AnchorPass::anchorWindow(const AnchorEntry &entry, QWidget *control)
{
    const int tx = Twips::PerPixelX(m_form);
    const int ty = Twips::PerPixelY(m_form);
    const qint64 left = entry.Left;
    const qint64 top = entry.Top;
    const WindowRule &rule = windowRule(entry.Tag);

    Request request;
    switch (rule.x) {
    case Across::Design: request.x = int(left / tx); break;
    case Across::Following: request.x = pixels(double(m_width - (m_designWidth - left)), tx); break;
    case Across::Proportional: request.x = pixels(double(left) * m_widthRatio, tx); break;
    }
    switch (rule.y) {
    case Across::Design: request.y = int(top / ty); break;
    case Across::Following: request.y = pixels(double(m_height - (m_designHeight - top)), ty); break;
    case Across::Proportional: request.y = pixels(double(top) * m_heightRatio, ty); break;
    }
    if (rule.width == Extent::Stretched)
        request.cx = pixels(double(m_width - left - (m_designWidth - left - entry.Width)), tx);
    else if (rule.width == Extent::Design)
        request.cx = entry.Width / tx;
    if (rule.height == Extent::Stretched)
        request.cy = pixels(double(m_height - top - (m_designHeight - top - entry.Height)), ty);
    else if (rule.height == Extent::Design)
        request.cy = entry.Height / ty;

    const unsigned flags = rule.width == Extent::Kept ? SWP_NOSIZE | SWP_NOZORDER : SWP_NOZORDER;
    // A lost request loses the rest of this parent's batch; the pass goes on.
    m_batch = DeferWindowPos(m_batch, control, nullptr, request.x, request.y, request.cx, request.cy, flags);
}

void AnchorPass::finish()
{
    if (m_batch != 0)
        EndDeferWindowPos(m_batch);
    m_batch = 0;
}
