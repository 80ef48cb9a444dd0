#include "LayoutFixture.h"

#include "widgets/grid/vaSpread.h"
#include "widgets/layout/WindowPlacement.h"

#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <cmath>

using namespace Qt::StringLiterals;
using namespace LayoutFixture;

namespace {

// Designed at 1500, 1200, 1200 x 450 twips (100, 80, 80 x 30 pixels), and
// put elsewhere before the pass so that what the pass leaves alone shows.
const QRect Design(1500, 1200, 1200, 450);
const QRect Elsewhere(0, 0, 50, 20);
// 1500 x 0.78125 = 1171.875 -> 1172 -> 78; 1200 x 600/740 = 972.97 -> 973 ->
// 64; 937.5 -> 938 (halves to even) -> 62; 364.86 -> 365 -> 24.
const QRect Scaled(78, 64, 62, 24);
constexpr double ColumnFactor = 0.7734375;

void setPointSize(QWidget *widget, double points)
{
    QFont font = widget->font();
    font.setPointSizeF(points);
    widget->setFont(font);
}

// The per-user settings store of the suite, in a folder of the test's own.
class SettingsStore final
{
public:
    SettingsStore()
    {
        qputenv("PARLOW6_USER_REGISTRY", QFile::encodeName(m_dir.filePath(u"user.reg"_s)));
        qputenv("PARLOW6_MACHINE_REGISTRY", QFile::encodeName(m_dir.filePath(u"machine.reg"_s)));
        qputenv("PARLOW6_APPDATA", QFile::encodeName(m_dir.path()));
    }
    ~SettingsStore()
    {
        qunsetenv("PARLOW6_USER_REGISTRY");
        qunsetenv("PARLOW6_MACHINE_REGISTRY");
        qunsetenv("PARLOW6_APPDATA");
    }
    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    // A null value writes the key without WindowSizeIndex.
    bool write(const QString &windowSizeIndex)
    {
        QByteArray text = "[Software\\VB and VBA Program Settings\\Veltrane\\Parlow6]\n";
        if (!windowSizeIndex.isNull())
            text += "\"WindowSizeIndex\"=\"" + windowSizeIndex.toUtf8() + "\"\n";
        QFile file(m_dir.filePath(u"user.reg"_s));
        return m_dir.isValid() && file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
    }

private:
    QTemporaryDir m_dir;
};

} // namespace

class tst_FixedRatio : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sizeMode_data();
    void sizeMode();
    void controls_data();
    void controls();
    void fonts_data();
    void fonts();
    void gridColumns_data();
    void gridColumns();
    void ratiosReplacedAfterFirstEntry();
};

void tst_FixedRatio::initTestCase()
{
    if (Twips::PerPixelX() != 15 || Twips::PerPixelY() != 15)
        QSKIP("the figures here are for 15 twips per pixel (96 dpi)");
    // The figures assume the 19-pixel caption an undecorated window reports.
    auto form = makeForm();
    if (WindowPlacement::GetSystemMetrics(WindowPlacement::SM_CYCAPTION, form.get()) != 19)
        QSKIP("the figures here are for a 19-pixel caption");
}

void tst_FixedRatio::sizeMode_data()
{
    // What the stored WindowSizeIndex does to an untagged 9-point button.
    enum Outcome { Anchored, FixedRatio, Untouched };
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("outcome");

    QTest::newRow("2") << u"2"_s << int(FixedRatio);
    QTest::newRow("2.4") << u"2.4"_s << int(FixedRatio);
    QTest::newRow("1.5") << u"1.5"_s << int(FixedRatio);
    QTest::newRow("2.5 halves to even") << u"2.5"_s << int(FixedRatio);
    QTest::newRow("2.6") << u"2.6"_s << int(Anchored);
    QTest::newRow("3.5 halves to even") << u"3.5"_s << int(Anchored);
    QTest::newRow("-2") << u"-2"_s << int(Anchored);
    QTest::newRow("leading blank") << u" 2"_s << int(FixedRatio);
    QTest::newRow("trailing text") << u"2px"_s << int(FixedRatio);
    QTest::newRow("exponent") << u"0.2E1"_s << int(FixedRatio);
    QTest::newRow("exponent without digits") << u"2e"_s << int(FixedRatio);
    QTest::newRow("not a number") << u"two"_s << int(Anchored);
    QTest::newRow("empty") << u""_s << int(Anchored);
    QTest::newRow("value missing") << QString() << int(Anchored);
    // Too large for the size mode: the pass ends before it places anything.
    QTest::newRow("out of range") << u"99999"_s << int(Untouched);
}

void tst_FixedRatio::sizeMode()
{
    QFETCH(QString, stored);
    QFETCH(int, outcome);

    SettingsStore settings;
    QVERIFY(settings.write(stored));
    auto form = makeForm();
    auto *button = addControl<QPushButton>(form.get(), u"cmdTest"_s, Design);
    setPointSize(button, 9);
    AnchorTable table;
    CaptureAnchors(form.get(), table);

    button->setGeometry(Elsewhere);
    ApplyAnchors(form.get(), table);

    const QRect placed[] = {{100, 80, 50, 20}, Scaled, Elsewhere};
    const int points[] = {9, 7, 9};
    QCOMPARE(button->geometry(), placed[outcome]);
    QCOMPARE(button->font().pointSize(), points[outcome]);
}

void tst_FixedRatio::controls_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QRect>("placed");
    QTest::addColumn<int>("points");

    QTest::newRow("button") << u"button"_s << Scaled << 7;
    QTest::newRow("combo box keeps its height") << u"combo"_s << QRect(78, 64, 62, 30) << 7;
    QTest::newRow("picture box") << u"picture"_s << Scaled << 7;
    // Aligned bars are placed by their word (untagged: design place, own
    // size) and then only change height.
    QTest::newRow("aligned picture box") << u"aligned picture"_s << QRect(100, 80, 50, 24) << 7;
    QTest::newRow("toolbar") << u"toolbar"_s << QRect(100, 80, 50, 24) << 7;
    QTest::newRow("label") << u"label"_s << Scaled << 7;
    QTest::newRow("grid") << u"grid"_s << Scaled << 7;
    // No request for a windowed control of no width, but its font shrinks.
    QTest::newRow("button of no width") << u"flat button"_s << QRect(100, 80, 50, 20) << 7;
    // No window and no label: left alone, and without a font nothing shrinks.
    QTest::newRow("line") << u"line"_s << Elsewhere << 9;
}

void tst_FixedRatio::controls()
{
    QFETCH(QString, kind);
    QFETCH(QRect, placed);
    QFETCH(int, points);

    auto form = makeForm();
    QWidget *control = nullptr;
    if (kind == "button"_L1) {
        control = addControl<QPushButton>(form.get(), u"cmdTest"_s, Design);
    } else if (kind == "flat button"_L1) {
        control = addControl<QPushButton>(form.get(), u"cmdTest"_s, {Design.x(), Design.y(), 0, Design.height()});
    } else if (kind == "combo"_L1) {
        control = addControl<QComboBox>(form.get(), u"cboTest"_s, Design);
    } else if (kind == "picture"_L1) {
        control = addControl<QWidget>(form.get(), u"picTest"_s, Design);
    } else if (kind == "aligned picture"_L1) {
        control = addControl<QWidget>(form.get(), u"picTest"_s, Design);
        control->setProperty("Align", 1);
    } else if (kind == "toolbar"_L1) {
        control = addControl<QToolBar>(form.get(), u"tbrTest"_s, Design);
    } else if (kind == "label"_L1) {
        control = addControl<QLabel>(form.get(), u"lblTest"_s, Design);
    } else if (kind == "grid"_L1) {
        control = addControl<vaSpread>(form.get(), u"sprTest"_s, Design);
    } else {
        auto *line = addControl<QFrame>(form.get(), u"linTest"_s, Design);
        line->setFrameShape(QFrame::HLine);
        control = line;
    }
    setPointSize(control, 9);
    AnchorTable table;
    CaptureAnchors(form.get(), table);

    control->setGeometry(Elsewhere);
    ApplyAnchors(form.get(), table, u"2"_s);
    QCOMPARE(control->geometry(), placed);
    QCOMPARE(control->font().pointSize(), points);
}

void tst_FixedRatio::fonts_data()
{
    QTest::addColumn<double>("designPoints");
    QTest::addColumn<int>("points");
    // nearest(size x 600 / 740)
    QTest::newRow("9 -> 7") << 9.0 << 7;
    QTest::newRow("12 -> 10") << 12.0 << 10;
    QTest::newRow("8 -> 6") << 8.0 << 6;
    QTest::newRow("11 -> 9") << 11.0 << 9;
    QTest::newRow("18.5 -> 15") << 18.5 << 15;
}

void tst_FixedRatio::fonts()
{
    QFETCH(double, designPoints);
    QFETCH(int, points);

    auto form = makeForm();
    auto *label = addControl<QLabel>(form.get(), u"lblTest"_s, Design);
    auto *box = addControl<QComboBox>(form.get(), u"cboTest"_s, Design);
    setPointSize(label, designPoints);
    setPointSize(box, designPoints);
    AnchorTable table;
    CaptureAnchors(form.get(), table);

    // Sizes come from the table, so a second pass gives the same fonts.
    for (int pass = 0; pass < 2; ++pass) {
        ApplyAnchors(form.get(), table, u"2"_s);
        QCOMPARE(label->font().pointSizeF(), double(points));
        QCOMPARE(box->font().pointSizeF(), double(points));
    }
}

void tst_FixedRatio::gridColumns_data()
{
    QTest::addColumn<QString>("formName");
    QTest::addColumn<int>("passes");
    QTest::addColumn<double>("factor");

    QTest::newRow("one pass") << u"frmKensaku"_s << 1 << ColumnFactor;
    QTest::newRow("two passes shrink twice") << u"frmKensaku"_s << 2 << ColumnFactor * ColumnFactor;
    QTest::newRow("frmparlow is another form") << u"frmparlow"_s << 1 << ColumnFactor;
}

void tst_FixedRatio::gridColumns()
{
    QFETCH(QString, formName);
    QFETCH(int, passes);
    QFETCH(double, factor);

    auto form = makeForm(formName);
    auto *grid = addControl<vaSpread>(form.get(), u"sprNyukin"_s, Design);
    const QList<double> widths{2.87, 3.87, 17.62, 8.0};
    QList<vaSpread::ColumnSpec> columns;
    for (double width : widths) {
        vaSpread::ColumnSpec column;
        column.width = width;
        columns.append(column);
    }
    grid->setColumns(columns, 1);
    grid->SetColWidth(0, 1.5);
    AnchorTable table;
    CaptureAnchors(form.get(), table);

    for (int pass = 0; pass < passes; ++pass)
        ApplyAnchors(form.get(), table, u"2"_s);

    // The grid's own geometry comes from the table: the same after any pass.
    QCOMPARE(grid->geometry(), Scaled);
    QCOMPARE(grid->MaxCols(), 4);
    QVERIFY(std::abs(grid->ColWidth(0) - 1.5 * factor) < 1e-9);
    for (int col = 1; col <= 4; ++col)
        QVERIFY2(std::abs(grid->ColWidth(col) - widths[col - 1] * factor) < 1e-9, qPrintable(QString::number(col)));
}

void tst_FixedRatio::ratiosReplacedAfterFirstEntry()
{
    // Two controls of no width get no request of the fixed-ratio stage, so
    // the places their "TOP" word gave them stand: the first one by the
    // form's own ratio, the second by the fixed 0.78125.
    auto form = makeForm();
    addControl<QPushButton>(form.get(), u"cmdFirst"_s, {1500, 300, 0, 450}, u"TOP"_s);
    addControl<QPushButton>(form.get(), u"cmdSecond"_s, {1500, 1200, 0, 450}, u"TOP"_s);
    AnchorTable table;
    CaptureAnchors(form.get(), table);
    QCOMPARE(table.size(), 3);

    resizeFormBy(form.get(), 600, 0); // twice as wide
    ApplyAnchors(form.get(), table, u"2"_s);
    QCOMPARE(form->findChild<QWidget *>(table[1].Name)->x(), 200);
    QCOMPARE(form->findChild<QWidget *>(table[2].Name)->x(), 78);
}

QTEST_MAIN(tst_FixedRatio)
#include "tst_fixedratio.moc"
