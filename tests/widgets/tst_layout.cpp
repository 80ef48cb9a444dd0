// The layout engine over small real forms: what a resize does to each family
// of anchor words, and the fixed-ratio layout the suite settings ask for.
#include "GridFixture.h"
#include "widgets/ScreenSetup.h"
#include "widgets/layout/modAnchor.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <cmath>

struct Anchored { QString kind, tag; QRect placed; };
struct Ratio { QString windowSizeIndex; int points; double shrink; };

class tst_Layout final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void anchorWords_data()
    {
        QTest::addColumn<Anchored>("c");

        // At 15 twips a pixel (96 dpi, offscreen) the 600 x 400 form grows by
        // 100 x 60 pixels. Buttons and labels are designed at 100, 80, 80 x 30;
        // the grid at 100, 80, 200 x 100; in the frame the button sits at 20, 20,
        // 40 x 20.
        QTest::newRow("button RIGHT") << Anchored{u"button"_s, u"RIGHT"_s, {200, 92, 80, 30}};
        QTest::newRow("button LEFTRIGHTTOPBOTTOM") << Anchored{u"button"_s, u"LEFTRIGHTTOPBOTTOM"_s, {100, 80, 180, 90}};
        QTest::newRow("label RIGHTBOTTOM") << Anchored{u"label"_s, u"RIGHTBOTTOM"_s, {200, 140, 80, 30}};
        QTest::newRow("grid LEFTRIGHTTOPBOTTOM") << Anchored{u"grid"_s, u"LEFTRIGHTTOPBOTTOM"_s, {100, 80, 300, 160}};
        // The frame keeps its size; its button follows the form's edge all the same.
        QTest::newRow("button RIGHT in a frame") << Anchored{u"framed"_s, u"RIGHT"_s, {120, 23, 40, 20}};
    }

    void anchorWords()
    {
        QFETCH(Anchored, c);
        const auto &[kind, tag, placed] = c;

        QWidget form;
        form.resize(600, 400);
        const ScreenSetup::Design design{1500, 1200, 1200, 450};
        QWidget *control = nullptr;
        if (kind == u"label")
            control = ScreenSetup::Place<QLabel>(&form, u"lblTest"_s, design);
        else if (kind == u"grid")
            control = ScreenSetup::Place<vaSpread>(&form, u"sprTest"_s, {1500, 1200, 3000, 1500});
        else if (kind == u"framed")
            control = ScreenSetup::Place<QPushButton>(
                ScreenSetup::Place<QGroupBox>(&form, u"fraTest"_s, {1500, 1500, 3000, 3000}), u"cmdInFrame"_s,
                {300, 300, 600, 300});
        else
            control = ScreenSetup::Place<QPushButton>(&form, u"cmdTest"_s, design);
        ScreenSetup::SetAnchor(control, tag);
        AnchorTable table;
        CaptureAnchors(&form, table);

        form.resize(700, 460);
        ApplyAnchors(&form, table, QString());
        QCOMPARE(control->geometry(), placed);
    }

    void fixedRatio_data()
    {
        QTest::addColumn<Ratio>("c");

        // The 1024-wide design shown 800 wide, grid columns a shade narrower
        // still; fonts by the height, 740 shown as 600.
        QTest::newRow("2: fixed ratio") << Ratio{u"2"_s, 7, 800.0 / 1024 * 0.99};
        QTest::newRow("1: anchors only") << Ratio{u"1"_s, 9, 1.0};
    }

    void fixedRatio()
    {
        QFETCH(Ratio, c);
        const auto &[windowSizeIndex, points, shrink] = c;

        QWidget form;
        ScreenSetup::PrepareScreen(&form, u"frmKensaku"_s, u"入金"_s); // the design font, 9 points
        form.resize(600, 400);
        auto *label = ScreenSetup::Place<QLabel>(&form, u"lblDate"_s, {1500, 300, 1200, 450});
        auto *combo = ScreenSetup::Place<QComboBox>(&form, u"cboShop_id"_s, {4500, 300, 1800, 450});
        auto *grid = ScreenSetup::Place<vaSpread>(&form, u"sprNyukin"_s, {300, 1200, 8400, 3000});
        grid->setColumns(TestColumns::displayed(), TestColumns::DataOnlyColumns);
        ScreenSetup::SetAnchor(grid, u"LEFTRIGHTTOPBOTTOM"_s);
        AnchorTable table;
        CaptureAnchors(&form, table);
        const auto design = makeTestGrid(0);

        // The fonts come from the design each time; the columns from their
        // current widths, so each pass shrinks them once more.
        for (int pass = 1; pass <= 2; ++pass) {
            ApplyAnchors(&form, table, windowSizeIndex);
            QCOMPARE(label->font().pointSize(), points);
            QCOMPARE(grid->font().pointSize(), points);
            QCOMPARE(combo->height(), 30); // the edit box of a list keeps its design height
            for (int col = 0; col <= grid->MaxCols(); ++col)
                QCOMPARE(grid->ColWidth(col), design->ColWidth(col) * std::pow(shrink, pass));
        }
    }
};

QTEST_MAIN(tst_Layout)
#include "tst_layout.moc"
