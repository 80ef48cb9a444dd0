// Where the anchor words and the fixed ratios put a control, worked out
// without any widget: a form designed at 9000 x 6000 twips, a control at
// 1500, 1200, 1200 x 450, 15 twips to the pixel.
#include "core/layout/AnchorArithmetic.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace AnchorArithmetic;

namespace {

AnchorEntry control(const QString &tag = {})
{
    return {{}, {}, 1500, 1200, 450, 1200, 0, false, tag, {}, 0, 0};
}

// The fields a stage sets, in twips: "L3000 T2100".
QString describe(const TwipsRect &rect)
{
    QStringList set;
    for (const auto &[name, value] : {std::pair(u'L', rect.left), std::pair(u'T', rect.top),
                                      std::pair(u'W', rect.width), std::pair(u'H', rect.height)}) {
        if (value)
            set << QChar(name) + QString::number(*value);
    }
    return set.join(u' ');
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
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QSize>("growth"); // twips
        QTest::addColumn<QString>("placed");
        const QSize grown(1500, 900);
        QTest::newRow("LEFT") << u"window"_s << u"LEFT"_s << grown << u"100 80 kept"_s;
        QTest::newRow("RIGHT") << u"window"_s << u"RIGHT"_s << grown << u"200 92 kept"_s;
        QTest::newRow("TOP") << u"window"_s << u"TOP"_s << grown << u"116 80 kept"_s;
        QTest::newRow("BOTTOM") << u"window"_s << u"BOTTOM"_s << grown << u"116 140 kept"_s;
        QTest::newRow("LEFTRIGHT") << u"window"_s << u"LEFTRIGHT"_s << grown << u"100 80 180 30"_s;
        QTest::newRow("TOPBOTTOM") << u"window"_s << u"TOPBOTTOM"_s << grown << u"100 80 80 90"_s;
        QTest::newRow("LEFTTOP") << u"window"_s << u"LEFTTOP"_s << grown << u"100 80 kept"_s;
        QTest::newRow("RIGHTTOP") << u"window"_s << u"RIGHTTOP"_s << grown << u"200 80 kept"_s;
        QTest::newRow("LEFTBOTTOM") << u"window"_s << u"LEFTBOTTOM"_s << grown << u"100 140 kept"_s;
        QTest::newRow("RIGHTBOTTOM") << u"window"_s << u"RIGHTBOTTOM"_s << grown << u"200 140 kept"_s;
        QTest::newRow("LEFTRIGHTTOP") << u"window"_s << u"LEFTRIGHTTOP"_s << grown << u"100 80 180 30"_s;
        QTest::newRow("LEFTRIGHTBOTTOM") << u"window"_s << u"LEFTRIGHTBOTTOM"_s << grown << u"100 140 180 30"_s;
        QTest::newRow("LEFTTOPBOTTOM") << u"window"_s << u"LEFTTOPBOTTOM"_s << grown << u"100 80 80 90"_s;
        QTest::newRow("RIGHTTOPBOTTOM") << u"window"_s << u"RIGHTTOPBOTTOM"_s << grown << u"200 80 80 90"_s;
        QTest::newRow("LEFTRIGHTTOPBOTTOM") << u"window"_s << u"LEFTRIGHTTOPBOTTOM"_s << grown << u"100 80 180 90"_s;
        QTest::newRow("lower case is no word") << u"window"_s << u"right"_s << grown << u"100 80 kept"_s;
        QTest::newRow("trailing space is no word") << u"window"_s << u"RIGHT "_s << grown << u"100 80 kept"_s;
        // 2114 twips from the left: the pixel's remainder is dropped, not rounded.
        QTest::newRow("RIGHT, remainder dropped") << u"window"_s << u"RIGHT"_s << QSize(614, 0) << u"140 80 kept"_s;
        QTest::newRow("TOP, form shrunk") << u"window"_s << u"TOP"_s << QSize(-1500, -900) << u"83 80 kept"_s;
        QTest::newRow("label LEFTBOTTOM") << u"label"_s << u"LEFTBOTTOM"_s << grown << u"T2100"_s;
        QTest::newRow("label RIGHTBOTTOM") << u"label"_s << u"RIGHTBOTTOM"_s << grown << u"L3000 T2100"_s;
        QTest::newRow("label LEFTRIGHTTOP") << u"label"_s << u"LEFTRIGHTTOP"_s << grown << u"W2700"_s;
        QTest::newRow("label RIGHT") << u"label"_s << u"RIGHT"_s << grown << QString();
        QTest::newRow("grid LEFTRIGHTTOPBOTTOM") << u"grid"_s << u"LEFTRIGHTTOPBOTTOM"_s << grown << u"W2700 H1350"_s;
        QTest::newRow("grid LEFTRIGHTTOP") << u"grid"_s << u"LEFTRIGHTTOP"_s << grown << u"W2700"_s;
        QTest::newRow("grid LEFTRIGHTBOTTOM") << u"grid"_s << u"LEFTRIGHTBOTTOM"_s << grown << u"T2100 W2700"_s;
        QTest::newRow("grid LEFTBOTTOM") << u"grid"_s << u"LEFTBOTTOM"_s << grown << QString();
    }

    void anchorWords()
    {
        QFETCH(QString, kind);
        QFETCH(QString, tag);
        QFETCH(QSize, growth);
        QFETCH(QString, placed);
        const qint64 width = 9000 + growth.width();
        const qint64 height = 6000 + growth.height();
        const FormSize form{width, height, 9000, 6000, width / 9000.0, height / 6000.0};
        if (kind == u"window")
            QCOMPARE(describe(AnchorWindow(control(tag), form, 15, 15)), placed);
        else
            QCOMPARE(describe(kind == u"grid" ? AnchorGrid(control(tag), form) : AnchorLabel(control(tag), form)),
                     placed);
    }

    void fixedRatio_data()
    {
        QTest::addColumn<int>("caption"); // pixels
        QTest::addColumn<double>("heightRatio");
        QTest::addColumn<QString>("placed");
        QTest::newRow("design caption") << 19 << 600.0 / 740 << u"78 64 62 24"_s;
        QTest::newRow("taller caption") << 31 << 588.0 / 740 << u"78 63 62 23"_s;
    }

    void fixedRatio()
    {
        QFETCH(int, caption);
        QFETCH(double, heightRatio);
        QFETCH(QString, placed);
        QCOMPARE(FixedWidthRatio(), 0.78125);
        QCOMPARE(FixedHeightRatio(caption), heightRatio);
        const FormSize form{0, 0, 0, 0, FixedWidthRatio(), heightRatio};
        QCOMPARE(describe(ScaledWindow(control(), form, 15, 15)), placed);
        QCOMPARE(describe(ScaledTwips(control(), form)),
                 describe(TwipsRect{1171.875, 1200 * heightRatio, 937.5, 450 * heightRatio}));
    }

    void sizeMode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("mode"); // none: the layout stops
        QTest::newRow("2.4") << u"2.4"_s << QVariant(2);
        QTest::newRow("1.5") << u"1.5"_s << QVariant(2);
        QTest::newRow("2.5 halves to even") << u"2.5"_s << QVariant(2);
        QTest::newRow("-2.5 halves to even") << u"-2.5"_s << QVariant(-2);
        QTest::newRow("2.6") << u"2.6"_s << QVariant(3);
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

    void sortByParent_data()
    {
        QTest::addColumn<QList<qint32>>("keys"); // entries 1..N; entry 0 is the form
        QTest::addColumn<QList<int>>("order");   // where each sorted entry came from
        QTest::newRow("equal keys swap places") << QList<qint32>{5, 3, 5, 1} << QList<int>{4, 2, 3, 1};
        QTest::newRow("all equal") << QList<qint32>{2, 2, 2} << QList<int>{2, 1, 3};
    }

    void sortByParent()
    {
        QFETCH(QList<qint32>, keys);
        QFETCH(QList<int>, order);
        AnchorTable table(keys.size() + 1);
        table[0].ParentHwnd = 99;
        for (int i = 1; i < table.size(); ++i) {
            table[i].Name = QString::number(i);
            table[i].ParentHwnd = keys[i - 1];
        }
        SortAnchorsByParent(table, 1, int(keys.size()));
        QList<int> found;
        for (const AnchorEntry &entry : std::as_const(table))
            found << entry.Name.toInt();
        QCOMPARE(found, QList<int>{0} + order);
    }
};

QTEST_GUILESS_MAIN(tst_Anchors)
#include "tst_anchors.moc"
