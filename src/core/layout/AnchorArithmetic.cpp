#include "core/layout/AnchorArithmetic.h"

#include "core/data/Rounding.h"

#include <QRegularExpression>

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace AnchorArithmetic {

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

// A windowless control follows the rule of a window with the same word, in
// twips, but only for the words the suite's screens give its kind.
TwipsRect windowlessBy(const AnchorEntry &entry, const FormSize &form, std::initializer_list<QStringView> words)
{
    TwipsRect rect;
    if (std::find(words.begin(), words.end(), entry.Tag) == words.end())
        return rect;
    const WindowRule &rule = windowRule(entry.Tag);
    if (rule.x == Across::Following)
        rect.left = double(form.width - (form.designWidth - entry.Left));
    if (rule.y == Across::Following)
        rect.top = double(form.height - (form.designHeight - entry.Top));
    if (rule.width == Extent::Stretched)
        rect.width = double(form.width - (form.designWidth - entry.Width));
    if (rule.height == Extent::Stretched)
        rect.height = double(form.height - (form.designHeight - entry.Height));
    return rect;
}

constexpr double DesignScreenWidth = 1024.0;
constexpr double SmallScreenWidth = 800.0;
constexpr double DesignScreenHeight = 740.0;
constexpr double SmallScreenHeight = 600.0;
constexpr int DesignCaptionHeight = 19;

} // namespace

std::optional<qint16> SizeMode(const QString &text)
{
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

int ToPixels(double twips, int perPixel)
{
    return int(qint64(RoundHalfEven(twips)) / perPixel);
}

PixelRect AnchorWindow(const AnchorEntry &entry, const FormSize &form, int tx, int ty)
{
    const qint64 left = entry.Left;
    const qint64 top = entry.Top;
    const WindowRule &rule = windowRule(entry.Tag);

    PixelRect rect;
    switch (rule.x) {
    case Across::Design: rect.x = int(left / tx); break;
    case Across::Following: rect.x = ToPixels(double(form.width - (form.designWidth - left)), tx); break;
    case Across::Proportional: rect.x = ToPixels(double(left) * form.widthRatio, tx); break;
    }
    switch (rule.y) {
    case Across::Design: rect.y = int(top / ty); break;
    case Across::Following: rect.y = ToPixels(double(form.height - (form.designHeight - top)), ty); break;
    case Across::Proportional: rect.y = ToPixels(double(top) * form.heightRatio, ty); break;
    }
    if (rule.width == Extent::Stretched)
        rect.cx = ToPixels(double(form.width - left - (form.designWidth - left - entry.Width)), tx);
    else if (rule.width == Extent::Design)
        rect.cx = entry.Width / tx;
    if (rule.height == Extent::Stretched)
        rect.cy = ToPixels(double(form.height - top - (form.designHeight - top - entry.Height)), ty);
    else if (rule.height == Extent::Design)
        rect.cy = entry.Height / ty;
    rect.keepsSize = rule.width == Extent::Kept;
    return rect;
}

TwipsRect AnchorLabel(const AnchorEntry &entry, const FormSize &form)
{
    return windowlessBy(entry, form, {u"LEFTBOTTOM", u"RIGHTBOTTOM", u"LEFTRIGHTTOP"});
}

TwipsRect AnchorGrid(const AnchorEntry &entry, const FormSize &form)
{
    return windowlessBy(entry, form, {u"LEFTRIGHTTOPBOTTOM", u"LEFTRIGHTTOP", u"LEFTRIGHTBOTTOM"});
}

double FixedWidthRatio()
{
    return SmallScreenWidth / DesignScreenWidth;
}

double FixedHeightRatio(int captionHeight)
{
    return (SmallScreenHeight - (captionHeight - DesignCaptionHeight)) / DesignScreenHeight;
}

PixelRect ScaledWindow(const AnchorEntry &entry, const FormSize &form, int tx, int ty)
{
    return {ToPixels(entry.Left * form.widthRatio, tx), ToPixels(entry.Top * form.heightRatio, ty),
            ToPixels(entry.Width * form.widthRatio, tx), ToPixels(entry.Height * form.heightRatio, ty)};
}

TwipsRect ScaledTwips(const AnchorEntry &entry, const FormSize &form)
{
    return {entry.Left * form.widthRatio, entry.Top * form.heightRatio, entry.Width * form.widthRatio,
            entry.Height * form.heightRatio};
}

} // namespace AnchorArithmetic
