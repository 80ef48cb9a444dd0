// Where the anchor words and the fixed ratios put a control, worked out
// without any widget: a control at 1500, 1200, 1200 x 450 twips on a form
// designed at 9000 x 6000 and grown to 9614 x 6909, 15 twips to the pixel.
#include "CoreTest.h"

#include "core/layout/AnchorArithmetic.h"

using namespace Qt::StringLiterals;
using namespace AnchorArithmetic;

namespace {

AnchorEntry control(const QString &tag = {})
{
    return {{}, {}, 1500, 1200, 450, 1200, 0, tag, {}, 0, 0};
}

// The fields a stage sets, in twips: "L3000 T2100".
QString describe(const TwipsRect &rect)
{
    const auto part = [](const QString &name, std::optional<double> value) {
        return value ? name + QString::number(*value) + u' ' : QString();
    };
    return QString(part(u"L"_s, rect.left) + part(u"T"_s, rect.top) + part(u"W"_s, rect.width)
                   + part(u"H"_s, rect.height)).trimmed();
}

// A window's placement in pixels, "x y kept" when only its position is to change.
QString describe(const PixelRect &rect)
{
    return u"%1 %2 "_s.arg(rect.x).arg(rect.y) + (rect.keepsSize ? u"kept"_s : u"%1 %2"_s.arg(rect.cx).arg(rect.cy));
}

} // namespace

class tst_Anchors final : public QObject
{
    Q_OBJECT

private slots:
    void anchorWords_data()
    {
        // Windows are placed in pixels, "kept" when they keep their size; the
        // others get twips. Every pixel's remainder is dropped, not rounded.
        // tst_layout places RIGHT and LEFTRIGHTTOPBOTTOM on a real form, the
        // label's RIGHTBOTTOM and the grid's LEFTRIGHTTOPBOTTOM too.
        columns<QString, QString, QString>("kind", "tag", "placed");
        QTest::newRow("LEFT") << u"window"_s << u"LEFT"_s << u"100 80 kept"_s;
        QTest::newRow("TOP") << u"window"_s << u"TOP"_s << u"106 80 kept"_s;
        QTest::newRow("BOTTOM") << u"window"_s << u"BOTTOM"_s << u"106 140 kept"_s;
        QTest::newRow("LEFTRIGHT") << u"window"_s << u"LEFTRIGHT"_s << u"100 80 120 30"_s;
        QTest::newRow("TOPBOTTOM") << u"window"_s << u"TOPBOTTOM"_s << u"100 80 80 90"_s;
        QTest::newRow("LEFTTOP") << u"window"_s << u"LEFTTOP"_s << u"100 80 kept"_s;
        QTest::newRow("RIGHTTOP") << u"window"_s << u"RIGHTTOP"_s << u"140 80 kept"_s;
        QTest::newRow("LEFTBOTTOM") << u"window"_s << u"LEFTBOTTOM"_s << u"100 140 kept"_s;
        QTest::newRow("RIGHTBOTTOM") << u"window"_s << u"RIGHTBOTTOM"_s << u"140 140 kept"_s;
        QTest::newRow("LEFTRIGHTTOP") << u"window"_s << u"LEFTRIGHTTOP"_s << u"100 80 120 30"_s;
        QTest::newRow("LEFTRIGHTBOTTOM") << u"window"_s << u"LEFTRIGHTBOTTOM"_s << u"100 140 120 30"_s;
        QTest::newRow("LEFTTOPBOTTOM") << u"window"_s << u"LEFTTOPBOTTOM"_s << u"100 80 80 90"_s;
        QTest::newRow("RIGHTTOPBOTTOM") << u"window"_s << u"RIGHTTOPBOTTOM"_s << u"140 80 80 90"_s;
        QTest::newRow("no word in other case") << u"window"_s << u"Right"_s << u"100 80 kept"_s;
        QTest::newRow("label LEFTBOTTOM") << u"label"_s << u"LEFTBOTTOM"_s << u"T2109"_s;
        QTest::newRow("label LEFTRIGHTTOP") << u"label"_s << u"LEFTRIGHTTOP"_s << u"W1814"_s;
        QTest::newRow("grid LEFTRIGHTTOP") << u"grid"_s << u"LEFTRIGHTTOP"_s << u"W1814"_s;
        QTest::newRow("grid LEFTRIGHTBOTTOM") << u"grid"_s << u"LEFTRIGHTBOTTOM"_s << u"T2109 W1814"_s;
        QTest::newRow("label, a word for windows only") << u"label"_s << u"LEFTRIGHT"_s << QString();
    }

    void anchorWords()
    {
        QFETCH(QString, kind);
        QFETCH(QString, tag);
        QFETCH(QString, placed);
        const FormSize form{9614, 6909, 9000, 6000, 9614 / 9000.0, 6909 / 6000.0};
        if (kind == u"window")
            QCOMPARE(describe(AnchorWindow(control(tag), form, 15, 15)), placed);
        else
            QCOMPARE(describe(kind == u"grid" ? AnchorGrid(control(tag), form) : AnchorLabel(control(tag), form)),
                     placed);
    }

    void fixedRatio_data()
    {
        // The caption's height in pixels.
        columns<int, double, QString>("caption", "heightRatio", "placed");
        QTest::newRow("design caption") << 19 << 600.0 / 740 << u"78 64 62 24"_s;
        QTest::newRow("taller caption") << 31 << 588.0 / 740 << u"78 63 62 23"_s;
    }

    void fixedRatio()
    {
        QFETCH(int, caption);
        QFETCH(double, heightRatio);
        QFETCH(QString, placed);
        QCOMPARE(FixedHeightRatio(caption), heightRatio);
        const FormSize form{0, 0, 0, 0, FixedWidthRatio(), heightRatio};
        QCOMPARE(describe(ScaledWindow(control(), form, 15, 15)), placed);
        QCOMPARE(describe(ScaledTwips(control(), form)),
                 describe(TwipsRect{1171.875, 1200 * heightRatio, 937.5, 450 * heightRatio}));
    }

    void sizeMode_data()
    {
        // No mode: the layout stops.
        columns<QString, QVariant>("text", "mode");
        QTest::newRow("2.5 halves to even") << u"2.5"_s << QVariant(2);
        QTest::newRow("-2.5 halves to even") << u"-2.5"_s << QVariant(-2);
        QTest::newRow("blank and unit") << u" 2px"_s << QVariant(2);
        QTest::newRow("D exponent") << u"0.2d1"_s << QVariant(2);
        QTest::newRow("exponent without digits") << u"2e"_s << QVariant(2);
        QTest::newRow("not a number") << u"two"_s << QVariant(0);
        QTest::newRow("rounds beyond 16 bits") << u"32767.5"_s << QVariant();
    }

    void sizeMode()
    {
        QFETCH(QString, text);
        QFETCH(QVariant, mode);
        const std::optional<qint16> read = SizeMode(text);
        QCOMPARE(read ? QVariant(int(*read)) : QVariant(), mode);
    }

    void sortByParent()
    {
        const QList<qint32> keys{99, 5, 3, 5, 1}; // entry 0 is the form and stays
        AnchorTable table(keys.size());
        for (int i = 0; i < table.size(); ++i) {
            table[i].Name = QString::number(i);
            table[i].ParentHwnd = keys[i];
        }
        SortAnchorsByParent(table, 1, 4);
        QStringList order;
        for (const AnchorEntry &entry : std::as_const(table))
            order << entry.Name;
        // Not stable: the suite's other screens order equal keys just so.
        QCOMPARE(order.join(u' '), u"0 4 2 3 1"_s);
    }
};

QTEST_GUILESS_MAIN(tst_Anchors)
#include "tst_anchors.moc"
