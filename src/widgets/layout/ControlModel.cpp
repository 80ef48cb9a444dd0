#include "widgets/layout/ControlModel.h"

#include "widgets/ScreenSetup.h"
#include "widgets/layout/Twips.h"

#include <QFrame>
#include <QScrollBar>
#include <QVariant>
#include <QWidget>

#include <cmath>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

struct TypeAlias
{
    const char *qtClass;
    const char16_t *typeName;
};

// Exact class names only: a subclass is a control type of its own.
constexpr TypeAlias Aliases[] = {
    {"QLabel", u"Label"},
    {"QComboBox", u"ComboBox"},
    {"QFontComboBox", u"ComboBox"},
    {"QPushButton", u"CommandButton"},
    {"QLineEdit", u"TextBox"},
    {"QTextEdit", u"TextBox"},
    {"QPlainTextEdit", u"TextBox"},
    {"QCheckBox", u"CheckBox"},
    {"QRadioButton", u"OptionButton"},
    {"QGroupBox", u"Frame"},
    {"QWidget", u"PictureBox"},
    {"QToolBar", u"Toolbar"},
    {"QStatusBar", u"StatusBar"},
    {"QListWidget", u"ListBox"},
    {"QListView", u"ListBox"},
    {"QProgressBar", u"ProgressBar"},
};

int toPixels(double twips, int perPixel)
{
    // Whole-number division, as every other twips-to-pixels step here.
    return int(std::trunc(twips / perPixel));
}

} // namespace

namespace ControlModel {

QString TypeName(const QWidget *control)
{
    const char *className = control->metaObject()->className();
    if (std::strcmp(className, "QFrame") == 0) {
        const QFrame::Shape shape = static_cast<const QFrame *>(control)->frameShape();
        return shape == QFrame::HLine || shape == QFrame::VLine ? u"Line"_s : u"PictureBox"_s;
    }
    if (std::strcmp(className, "QScrollBar") == 0) {
        const auto *bar = static_cast<const QScrollBar *>(control);
        return bar->orientation() == Qt::Vertical ? u"VScrollBar"_s : u"HScrollBar"_s;
    }
    for (const TypeAlias &alias : Aliases) {
        if (std::strcmp(className, alias.qtClass) == 0)
            return QString::fromUtf16(alias.typeName);
    }
    return QString::fromLatin1(className);
}

bool IsWindowless(const QString &typeName)
{
    return typeName == "Label"_L1 || typeName == "Line"_L1 || typeName == "Shape"_L1
        || typeName == "Image"_L1;
}

bool IsContainer(const QString &typeName)
{
    return typeName == "Frame"_L1 || typeName == "PictureBox"_L1;
}

std::optional<int> ArrayIndex(const QWidget *control)
{
    bool ok = false;
    const int index = control->property(ScreenSetup::IndexProperty).toInt(&ok);
    return ok ? std::optional<int>(index) : std::nullopt;
}

std::optional<double> FontSize(const QWidget *control, const QString &typeName)
{
    const double size = control->font().pointSizeF();
    if (typeName == "Line"_L1 || typeName == "Shape"_L1 || size <= 0)
        return std::nullopt;
    return size;
}

bool SetTwips(QWidget *control, const AnchorArithmetic::TwipsRect &rect)
{
    const int tx = Twips::PerPixelX(control);
    const int ty = Twips::PerPixelY(control);
    if (rect.left)
        control->move(toPixels(*rect.left, tx), control->y());
    if (rect.top)
        control->move(control->x(), toPixels(*rect.top, ty));
    if (rect.width) {
        if (!(*rect.width >= 0))
            return false;
        control->resize(toPixels(*rect.width, tx), control->height());
    }
    if (rect.height) {
        if (!(*rect.height >= 0))
            return false;
        const int pixels = toPixels(*rect.height, ty);
        // A control its container lays out (an aligned bar) keeps a height
        // only as a fixed one; a free control is simply resized.
        const QWidget *container = control->parentWidget();
        if (container && container->layout())
            control->setFixedHeight(pixels);
        else
            control->resize(control->width(), pixels);
    }
    return true;
}

bool SetFontSize(QWidget *control, double points)
{
    if (!(points > 0))
        return false;
    QFont font = control->font();
    font.setPointSizeF(points);
    control->setFont(font);
    return true;
}

} // namespace ControlModel
