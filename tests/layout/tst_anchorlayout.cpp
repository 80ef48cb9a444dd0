#include "LayoutFixture.h"

#include "widgets/grid/vaSpread.h"
#include "widgets/layout/WindowPlacement.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace LayoutFixture;

namespace {

// Every control under test is designed at (1500, 1200) twips, 100 x 80 pixels.
constexpr int DesignLeft = 1500;
constexpr int DesignTop = 1200;
// Before a pass each control is put somewhere else, at a size of its own, so
// that a pass that leaves it alone is told from one that puts it back.
const QRect Elsewhere(0, 0, 50, 20);

struct Placement
{
    int x;
    int y;
    int cx;
    int cy;
    unsigned flags;
};

} // namespace

Q_DECLARE_METATYPE(QList<Placement>)

class tst_AnchorLayout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void windowedControls_data();
    void windowedControls();
    void rightEdgeRemainderDropped_data();
    void rightEdgeRemainderDropped();
    void labelsGridsAndLines_data();
    void labelsGridsAndLines();
    void frameChildFollowsForm_data();
    void frameChildFollowsForm();
    void failureEndsPass_data();
    void failureEndsPass();
    void deferredPlacement_data();
    void deferredPlacement();
    void deferredPlacementFailures();
};

void tst_AnchorLayout::initTestCase()
{
    if (Twips::PerPixelX() != 15 || Twips::PerPixelY() != 15)
        QSKIP("the figures here are for 15 twips per pixel (96 dpi)");
}

void tst_AnchorLayout::windowedControls_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QSize>("growth"); // pixels
    QTest::addColumn<QRect>("placed");

    // Design: 100, 80, 80 x 30 pixels. "kept" leaves the 50 x 20 of Elsewhere.
    const QSize design(0, 0);
    const QSize grown(100, 60); // 1500 and 900 twips
    struct Row { const char16_t *tag; QRect atDesign; QRect whenGrown; };
    const Row rows[] = {
        {u"LEFT", {100, 80, 50, 20}, {100, 80, 50, 20}},
        {u"RIGHT", {100, 80, 50, 20}, {200, 92, 50, 20}},
        {u"TOP", {100, 80, 50, 20}, {116, 80, 50, 20}},
        {u"BOTTOM", {100, 80, 50, 20}, {116, 140, 50, 20}},
        {u"LEFTRIGHT", {100, 80, 80, 30}, {100, 80, 180, 30}},
        {u"TOPBOTTOM", {100, 80, 80, 30}, {100, 80, 80, 90}},
        {u"LEFTTOP", {100, 80, 50, 20}, {100, 80, 50, 20}},
        {u"RIGHTTOP", {100, 80, 50, 20}, {200, 80, 50, 20}},
        {u"LEFTBOTTOM", {100, 80, 50, 20}, {100, 140, 50, 20}},
        {u"RIGHTBOTTOM", {100, 80, 50, 20}, {200, 140, 50, 20}},
        {u"LEFTRIGHTTOP", {100, 80, 80, 30}, {100, 80, 180, 30}},
        {u"LEFTRIGHTBOTTOM", {100, 80, 80, 30}, {100, 140, 180, 30}},
        {u"LEFTTOPBOTTOM", {100, 80, 80, 30}, {100, 80, 80, 90}},
        {u"RIGHTTOPBOTTOM", {100, 80, 80, 30}, {200, 80, 80, 90}},
        {u"LEFTRIGHTTOPBOTTOM", {100, 80, 80, 30}, {100, 80, 180, 90}},
        // Anything but an exact anchor word is no word at all.
        {u"", {100, 80, 50, 20}, {100, 80, 50, 20}},
        {u"right", {100, 80, 50, 20}, {100, 80, 50, 20}},
        {u"RIGHT ", {100, 80, 50, 20}, {100, 80, 50, 20}},
        {u"LeftRight", {100, 80, 50, 20}, {100, 80, 50, 20}},
        {u"LEFTRIGHTTOPBOTTOM ", {100, 80, 50, 20}, {100, 80, 50, 20}},
    };
    for (const Row &row : rows) {
        const QString tag = QString::fromUtf16(row.tag);
        QTest::addRow("%s at design size", qPrintable(u'"' + tag + u'"')) << tag << design << row.atDesign;
        QTest::addRow("%s grown", qPrintable(u'"' + tag + u'"')) << tag << grown << row.whenGrown;
    }
    // Proportional moves follow a shrinking form too: 7500 / 9000 and 5100 / 6000.
    QTest::newRow("\"RIGHT\" shrunk") << u"RIGHT"_s << QSize(-100, -60) << QRect(0, 68, 50, 20);
    QTest::newRow("\"TOP\" shrunk") << u"TOP"_s << QSize(-100, -60) << QRect(83, 80, 50, 20);
}

void tst_AnchorLayout::windowedControls()
{
    QFETCH(QString, tag);
    QFETCH(QSize, growth);
    QFETCH(QRect, placed);

    auto form = makeForm();
    // A second control on the same parent shares the batch.
    addControl<QPushButton>(form.get(), u"cmdOther"_s, {0, 4500, 900, 450}, u"LEFT"_s);
    auto *control = addControl<QPushButton>(form.get(), u"cmdTest"_s, {DesignLeft, DesignTop, 1200, 450}, tag);
    AnchorTable table;
    CaptureAnchors(form.get(), table);

    resizeFormBy(form.get(), growth.width(), growth.height());
    control->setGeometry(Elsewhere);
    ApplyAnchors(form.get(), table, QString());
    QCOMPARE(control->geometry(), placed);
}

void tst_AnchorLayout::rightEdgeRemainderDropped_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<int>("x");
    // L = 300 on a form 614 twips wider than designed: 914 ÷ 15 = 60.
    QTest::newRow("RIGHT") << u"RIGHT"_s << 60;
    QTest::newRow("RIGHTBOTTOM") << u"RIGHTBOTTOM"_s << 60;
    QTest::newRow("LEFT") << u"LEFT"_s << 20;
}

void tst_AnchorLayout::rightEdgeRemainderDropped()
{
    QFETCH(QString, tag);
    QFETCH(int, x);

    auto form = makeForm();
    auto *control = addControl<QPushButton>(form.get(), u"cmdTest"_s, {300, 300, 900, 450}, tag);
    AnchorTable table;
    CaptureAnchors(form.get(), table);
    // No whole number of pixels is 614 twips: the design width says it instead.
    table[0].Width -= 614;

    control->setGeometry(Elsewhere);
    ApplyAnchors(form.get(), table, QString());
    QCOMPARE(control->x(), x);
}

void tst_AnchorLayout::labelsGridsAndLines_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QRect>("placed");

    // The form grows by 100 x 60 pixels. Design: label 100, 80, 80 x 30;
    // grid 100, 80, 200 x 100. They only change what their words name, and
    // are never put back at their design places otherwise.
    QTest::newRow("label LEFTBOTTOM") << u"label"_s << u"LEFTBOTTOM"_s << QRect(0, 140, 50, 20);
    QTest::newRow("label RIGHTBOTTOM") << u"label"_s << u"RIGHTBOTTOM"_s << QRect(200, 140, 50, 20);
    QTest::newRow("label LEFTRIGHTTOP") << u"label"_s << u"LEFTRIGHTTOP"_s << QRect(0, 0, 180, 20);
    QTest::newRow("label RIGHT") << u"label"_s << u"RIGHT"_s << Elsewhere;
    QTest::newRow("label TOPBOTTOM") << u"label"_s << u"TOPBOTTOM"_s << Elsewhere;
    QTest::newRow("label LEFTRIGHTTOPBOTTOM") << u"label"_s << u"LEFTRIGHTTOPBOTTOM"_s << Elsewhere;
    QTest::newRow("label leftbottom") << u"label"_s << u"leftbottom"_s << Elsewhere;
    QTest::newRow("label untagged") << u"label"_s << QString() << Elsewhere;
    QTest::newRow("grid LEFTRIGHTTOPBOTTOM") << u"grid"_s << u"LEFTRIGHTTOPBOTTOM"_s << QRect(0, 0, 300, 160);
    QTest::newRow("grid LEFTRIGHTTOP") << u"grid"_s << u"LEFTRIGHTTOP"_s << QRect(0, 0, 300, 20);
    QTest::newRow("grid LEFTRIGHTBOTTOM") << u"grid"_s << u"LEFTRIGHTBOTTOM"_s << QRect(0, 140, 300, 20);
    QTest::newRow("grid RIGHT") << u"grid"_s << u"RIGHT"_s << Elsewhere;
    QTest::newRow("grid LEFTBOTTOM") << u"grid"_s << u"LEFTBOTTOM"_s << Elsewhere;
    QTest::newRow("grid TOPBOTTOM") << u"grid"_s << u"TOPBOTTOM"_s << Elsewhere;
    QTest::newRow("grid untagged") << u"grid"_s << QString() << Elsewhere;
    QTest::newRow("grid trailing space") << u"grid"_s << u"LEFTRIGHTTOPBOTTOM "_s << Elsewhere;
    // A line has no window and is no label: never moved.
    QTest::newRow("line RIGHTBOTTOM") << u"line"_s << u"RIGHTBOTTOM"_s << Elsewhere;
    QTest::newRow("line LEFTRIGHTTOPBOTTOM") << u"line"_s << u"LEFTRIGHTTOPBOTTOM"_s << Elsewhere;
}

void tst_AnchorLayout::labelsGridsAndLines()
{
    QFETCH(QString, kind);
    QFETCH(QString, tag);
    QFETCH(QRect, placed);

    auto form = makeForm();
    QWidget *control = nullptr;
    if (kind == "label"_L1) {
        control = addControl<QLabel>(form.get(), u"lblTest"_s, {DesignLeft, DesignTop, 1200, 450}, tag);
    } else if (kind == "grid"_L1) {
        control = addControl<vaSpread>(form.get(), u"sprTest"_s, {DesignLeft, DesignTop, 3000, 1500}, tag);
    } else {
        auto *line = addControl<QFrame>(form.get(), u"linTest"_s, {DesignLeft, DesignTop, 1200, 450}, tag);
        line->setFrameShape(QFrame::HLine);
        control = line;
    }
    AnchorTable table;
    CaptureAnchors(form.get(), table);

    resizeFormBy(form.get(), 100, 60);
    control->setGeometry(Elsewhere);
    ApplyAnchors(form.get(), table, QString());
    QCOMPARE(control->geometry(), placed);
}

void tst_AnchorLayout::frameChildFollowsForm_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QRect>("placed");
    // The frame does not grow, yet its children follow the form's change.
    QTest::newRow("RIGHT") << u"RIGHT"_s << QRect(120, 23, 40, 20);
    QTest::newRow("LEFTRIGHT") << u"LEFTRIGHT"_s << QRect(20, 20, 140, 20);
    QTest::newRow("LEFTBOTTOM") << u"LEFTBOTTOM"_s << QRect(20, 80, 40, 20);
    QTest::newRow("untagged") << QString() << QRect(20, 20, 40, 20);
}

void tst_AnchorLayout::frameChildFollowsForm()
{
    QFETCH(QString, tag);
    QFETCH(QRect, placed);

    auto form = makeForm();
    auto *frame = addControl<QGroupBox>(form.get(), u"fraTest"_s, {1500, 1500, 3000, 3000});
    auto *child = addControl<QPushButton>(frame, u"cmdInFrame"_s, {300, 300, 600, 300}, tag);
    addControl<QPushButton>(form.get(), u"cmdOnForm"_s, {6000, 300, 600, 300}, u"RIGHT"_s);
    AnchorTable table;
    CaptureAnchors(form.get(), table);

    resizeFormBy(form.get(), 100, 60);
    ApplyAnchors(form.get(), table, QString());
    QCOMPARE(frame->geometry(), QRect(100, 100, 200, 200));
    QCOMPARE(child->geometry(), placed);
}

void tst_AnchorLayout::failureEndsPass_data()
{
    QTest::addColumn<QString>("cause");
    QTest::newRow("control not found") << u"missing"_s;
    QTest::newRow("negative grid width") << u"negative"_s;
}

void tst_AnchorLayout::failureEndsPass()
{
    QFETCH(QString, cause);

    auto form = makeForm();
    // Grid margins: 300 left, 300 right.
    auto *grid = addControl<vaSpread>(form.get(), u"sprList"_s, {300, 1200, 8400, 3000}, u"LEFTRIGHTTOPBOTTOM"_s);
    QList<QWidget *> buttons;
    for (int i = 0; i < 5; ++i) {
        const QString name = u"cmdButton"_s + QString::number(i);
        buttons.append(addControl<QPushButton>(form.get(), name, {300 + 900 * i, 300, 600, 300}, u"RIGHT"_s));
    }
    auto *label = addControl<QLabel>(form.get(), u"lblNote"_s, {300, 4500, 600, 300}, u"RIGHTBOTTOM"_s);
    AnchorTable table;
    CaptureAnchors(form.get(), table);

    QString failing;
    int dx = 0;
    if (cause == "missing"_L1) {
        failing = u"cmdButton4"_s;
        buttons[4]->setObjectName(u"cmdRenamed"_s);
        dx = 30;
    } else {
        failing = u"sprList"_s;
        dx = -580; // 8700 twips narrower: the grid would be 300 twips short
    }
    const qsizetype failsAt = positionOf(table, failing);
    // The case needs buttons on both sides of the failing entry.
    int buttonsBefore = 0;
    int buttonsAfter = 0;
    for (QWidget *button : buttons) {
        const qsizetype at = positionOf(table, button->objectName());
        if (at < 0)
            continue;
        buttonsBefore += at < failsAt ? 1 : 0;
        buttonsAfter += at > failsAt ? 1 : 0;
    }
    QVERIFY(buttonsBefore > 0 && buttonsAfter > 0);

    QHash<QString, QRect> before;
    for (QWidget *widget : form->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        before.insert(widget->objectName(), widget->geometry());
    resizeFormBy(form.get(), dx, 0);
    ApplyAnchors(form.get(), table, QString());

    // The label is window-less and comes first: it was placed.
    QCOMPARE(label->x(), 20 + dx);
    QCOMPARE(grid->height(), 200);
    // Buttons before the failing entry were in the batch in hand, which is
    // still applied; those after it are left as they were.
    for (qsizetype i = 1; i < table.size(); ++i) {
        if (!table[i].Name.startsWith("cmdButton"_L1) || table[i].Name == failing)
            continue;
        const QWidget *button = form->findChild<QWidget *>(table[i].Name);
        const QRect old = before.value(table[i].Name);
        const QPoint expected = i < failsAt ? old.topLeft() + QPoint(dx, 0) : old.topLeft();
        QVERIFY2(button->pos() == expected, qPrintable(table[i].Name + u" at "_s + QString::number(i)));
    }
}

void tst_AnchorLayout::deferredPlacement_data()
{
    QTest::addColumn<QList<Placement>>("requests");
    QTest::addColumn<QRect>("placed");

    // The window starts at 5, 6 and 50 x 20.
    QTest::newRow("move and size") << QList<Placement>{{10, 20, 30, 40, 4}} << QRect(10, 20, 30, 40);
    QTest::newRow("flags 5 keep the size") << QList<Placement>{{10, 20, 0, 0, 5}} << QRect(10, 20, 50, 20);
    QTest::newRow("later move, earlier size")
        << QList<Placement>{{10, 20, 30, 40, 4}, {70, 80, 0, 0, 5}} << QRect(70, 80, 30, 40);
    QTest::newRow("later size wins") << QList<Placement>{{10, 20, 0, 0, 5}, {70, 80, 90, 100, 0x14}}
                                     << QRect(70, 80, 90, 100);
    QTest::newRow("last of two full requests")
        << QList<Placement>{{10, 20, 30, 40, 4}, {1, 2, 3, 4, 4}} << QRect(1, 2, 3, 4);
    QTest::newRow("no move keeps the place") << QList<Placement>{{10, 20, 30, 40, 2 | 4}} << QRect(5, 6, 30, 40);
    QTest::newRow("negative size is none") << QList<Placement>{{10, 20, -30, -1, 4}} << QRect(10, 20, 0, 0);
}

void tst_AnchorLayout::deferredPlacement()
{
    using namespace WindowPlacement;
    QFETCH(QList<Placement>, requests);
    QFETCH(QRect, placed);

    auto form = makeForm();
    auto *window = addControl<QPushButton>(form.get(), u"cmdTest"_s, {75, 90, 750, 300});
    auto *neighbour = addControl<QPushButton>(form.get(), u"cmdOther"_s, {3000, 90, 750, 300});
    const QRect start = window->geometry();
    QCOMPARE(start, QRect(5, 6, 50, 20));

    HDWP batch = BeginDeferWindowPos(2);
    QVERIFY(batch != 0);
    batch = DeferWindowPos(batch, neighbour, nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    for (const Placement &p : requests)
        batch = DeferWindowPos(batch, window, nullptr, p.x, p.y, p.cx, p.cy, p.flags);
    QVERIFY(batch != 0);
    // Nothing moves before the batch ends.
    QCOMPARE(window->geometry(), start);
    QVERIFY(EndDeferWindowPos(batch));
    QCOMPARE(window->geometry(), placed);
    QCOMPARE(neighbour->pos(), QPoint(300, 300));
    // An ended batch is gone.
    QVERIFY(!EndDeferWindowPos(batch));
}

void tst_AnchorLayout::deferredPlacementFailures()
{
    using namespace WindowPlacement;
    auto form = makeForm();
    auto *window = addControl<QPushButton>(form.get(), u"cmdTest"_s, {75, 90, 750, 300});

    QCOMPARE(BeginDeferWindowPos(-1), HDWP(0));
    QCOMPARE(DeferWindowPos(0, window, nullptr, 1, 2, 3, 4, SWP_NOZORDER), HDWP(0));
    QVERIFY(!EndDeferWindowPos(0));

    // A failed request drops its whole batch, earlier requests included.
    const HDWP batch = BeginDeferWindowPos(1);
    QCOMPARE(DeferWindowPos(batch, window, nullptr, 1, 2, 3, 4, SWP_NOZORDER), batch);
    QCOMPARE(DeferWindowPos(batch, nullptr, nullptr, 1, 2, 3, 4, SWP_NOZORDER), HDWP(0));
    QVERIFY(!EndDeferWindowPos(batch));
    QCOMPARE(window->geometry(), QRect(5, 6, 50, 20));

    // A window that went away before the end is skipped, the rest applied.
    auto *gone = addControl<QPushButton>(form.get(), u"cmdGone"_s, {0, 0, 300, 300});
    const HDWP second = BeginDeferWindowPos(2);
    DeferWindowPos(second, gone, nullptr, 1, 2, 3, 4, SWP_NOZORDER);
    DeferWindowPos(second, window, nullptr, 7, 8, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    delete gone;
    QVERIFY(EndDeferWindowPos(second));
    QCOMPARE(window->geometry(), QRect(7, 8, 50, 20));
}

QTEST_MAIN(tst_AnchorLayout)
#include "tst_anchorlayout.moc"
