#include "LayoutFixture.h"

#include "widgets/grid/vaSpread.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QToolBar>

#include <functional>

using namespace Qt::StringLiterals;
using namespace LayoutFixture;

using WidgetFactory = std::function<QWidget *(QWidget *)>;
Q_DECLARE_METATYPE(WidgetFactory)

class tst_AnchorCapture : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void formWithoutControls();
    void typeNames_data();
    void typeNames();
    void windowlessFirst_data();
    void windowlessFirst();
    void containerChildrenContiguous();
    void mainWindowControls();
    void tagsAndIndexes_data();
    void tagsAndIndexes();
    void captureTwiceReplaces();
    void sortByParent_data();
    void sortByParent();
};

void tst_AnchorCapture::initTestCase()
{
    if (Twips::PerPixelX() != 15 || Twips::PerPixelY() != 15)
        QSKIP("the figures here are for 15 twips per pixel (96 dpi)");
}

void tst_AnchorCapture::formWithoutControls()
{
    auto form = makeForm(u"frmEmpty"_s);
    // Neither unnamed widgets nor Qt's own parts are controls.
    new QWidget(form.get());
    addControl<QPushButton>(form.get(), u"qt_internal"_s, {0, 0, 300, 300});

    AnchorTable table;
    CaptureAnchors(form.get(), table);
    QCOMPARE(table.size(), 1);
    QCOMPARE(table[0].Name, u"frmEmpty"_s);
}

void tst_AnchorCapture::typeNames_data()
{
    QTest::addColumn<WidgetFactory>("make");
    QTest::addColumn<QString>("typeName");
    QTest::addColumn<bool>("windowless");
    QTest::addColumn<bool>("hasFont");

    QTest::newRow("label") << WidgetFactory([](QWidget *p) { return new QLabel(p); }) << u"Label"_s << true << true;
    QTest::newRow("line") << WidgetFactory([](QWidget *p) {
        auto *line = new QFrame(p);
        line->setFrameShape(QFrame::HLine);
        return line;
    }) << u"Line"_s << true << false;
    QTest::newRow("combo") << WidgetFactory([](QWidget *p) { return new QComboBox(p); }) << u"ComboBox"_s
                           << false << true;
    QTest::newRow("button") << WidgetFactory([](QWidget *p) { return new QPushButton(p); })
                            << u"CommandButton"_s << false << true;
    QTest::newRow("text box") << WidgetFactory([](QWidget *p) { return new QLineEdit(p); }) << u"TextBox"_s
                              << false << true;
    QTest::newRow("frame") << WidgetFactory([](QWidget *p) { return new QGroupBox(p); }) << u"Frame"_s
                           << false << true;
    QTest::newRow("picture box") << WidgetFactory([](QWidget *p) { return new QWidget(p); })
                                 << u"PictureBox"_s << false << true;
    QTest::newRow("boxed frame") << WidgetFactory([](QWidget *p) {
        auto *box = new QFrame(p);
        box->setFrameShape(QFrame::Box);
        return box;
    }) << u"PictureBox"_s << false << true;
    QTest::newRow("toolbar") << WidgetFactory([](QWidget *p) { return new QToolBar(p); }) << u"Toolbar"_s
                             << false << true;
    QTest::newRow("grid") << WidgetFactory([](QWidget *p) { return new vaSpread(p); }) << u"vaSpread"_s
                          << false << true;
    QTest::newRow("vertical scroll bar")
        << WidgetFactory([](QWidget *p) { return new QScrollBar(Qt::Vertical, p); }) << u"VScrollBar"_s
        << false << true;
    QTest::newRow("other class") << WidgetFactory([](QWidget *p) { return new QSpinBox(p); })
                                 << u"QSpinBox"_s << false << true;
}

void tst_AnchorCapture::typeNames()
{
    QFETCH(WidgetFactory, make);
    QFETCH(QString, typeName);
    QFETCH(bool, windowless);
    QFETCH(bool, hasFont);

    auto form = makeForm();
    QWidget *control = make(form.get());
    control->setObjectName(u"ctlUnderTest"_s);
    QFont font = control->font();
    font.setPointSizeF(10.5);
    control->setFont(font);

    AnchorTable table;
    CaptureAnchors(form.get(), table);
    QCOMPARE(table.size(), 2);
    QCOMPARE(table[1].TypeName, typeName);
    QCOMPARE(table[1].Hwnd == 0, windowless);
    QCOMPARE(table[1].ParentHwnd == 0, windowless);
    QCOMPARE(table[1].FontSize, hasFont ? 10.5f : 0.0f);
}

void tst_AnchorCapture::windowlessFirst_data()
{
    // Creation order of the controls: L label, B button, T text box, N line.
    QTest::addColumn<QString>("order");
    QTest::newRow("labels first") << u"LLBBT"_s;
    QTest::newRow("labels last") << u"BTBLL"_s;
    QTest::newRow("interleaved") << u"BLTNBLT"_s;
    QTest::newRow("only windowless") << u"LNL"_s;
}

void tst_AnchorCapture::windowlessFirst()
{
    QFETCH(QString, order);
    auto form = makeForm();
    int windowless = 0;
    for (qsizetype i = 0; i < order.size(); ++i) {
        const QString name = u"ctl"_s + QString::number(i);
        const QRect rect(150 * int(i), 0, 150, 150);
        switch (order[i].toLatin1()) {
        case 'L': addControl<QLabel>(form.get(), name, rect); ++windowless; break;
        case 'N': addControl<QFrame>(form.get(), name, rect)->setFrameShape(QFrame::VLine); ++windowless; break;
        case 'B': addControl<QPushButton>(form.get(), name, rect); break;
        default: addControl<QLineEdit>(form.get(), name, rect); break;
        }
    }

    AnchorTable table;
    CaptureAnchors(form.get(), table);
    QCOMPARE(table.size(), order.size() + 1);
    for (qsizetype i = 1; i < table.size(); ++i) {
        const bool front = i <= windowless;
        QCOMPARE(table[i].ParentHwnd == 0, front);
        QCOMPARE(table[i].Hwnd == 0, front);
    }
}

void tst_AnchorCapture::containerChildrenContiguous()
{
    auto form = makeForm();
    addControl<QPushButton>(form.get(), u"cmdA"_s, {0, 0, 600, 300});
    auto *frame = addControl<QGroupBox>(form.get(), u"fraA"_s, {600, 600, 3000, 3000});
    addControl<QPushButton>(frame, u"cmdInFrame"_s, {150, 300, 600, 300});
    addControl<QLabel>(frame, u"lblInFrame"_s, {150, 900, 600, 300});
    addControl<QLineEdit>(frame, u"txtInFrame"_s, {150, 1500, 600, 300});
    auto *picture = addControl<QWidget>(form.get(), u"picB"_s, {4500, 600, 3000, 3000});
    addControl<QLineEdit>(picture, u"txtInPicture"_s, {0, 0, 600, 300});
    addControl<QPushButton>(picture, u"cmdInPicture"_s, {0, 600, 600, 300});
    addControl<QPushButton>(form.get(), u"cmdB"_s, {0, 4500, 600, 300});
    addControl<QLineEdit>(form.get(), u"txtC"_s, {900, 4500, 600, 300});

    AnchorTable table;
    CaptureAnchors(form.get(), table);
    QCOMPARE(table.size(), 11);

    const qint32 formKey = qint32(table[0].Hwnd);
    const qint32 frameKey = qint32(findEntry(table, u"fraA"_s)->Hwnd);
    const qint32 pictureKey = qint32(findEntry(table, u"picB"_s)->Hwnd);
    QVERIFY(frameKey != formKey && pictureKey != formKey && frameKey != pictureKey);
    for (const QString &name : {u"cmdA"_s, u"fraA"_s, u"picB"_s, u"cmdB"_s, u"txtC"_s})
        QCOMPARE(findEntry(table, name)->ParentHwnd, formKey);
    for (const QString &name : {u"cmdInFrame"_s, u"txtInFrame"_s})
        QCOMPARE(findEntry(table, name)->ParentHwnd, frameKey);
    for (const QString &name : {u"txtInPicture"_s, u"cmdInPicture"_s})
        QCOMPARE(findEntry(table, name)->ParentHwnd, pictureKey);
    QCOMPARE(findEntry(table, u"lblInFrame"_s)->ParentHwnd, 0);

    // Each parent key forms one unbroken run.
    QList<qint32> runs;
    for (qsizetype i = 1; i < table.size(); ++i) {
        if (runs.isEmpty() || runs.last() != table[i].ParentHwnd) {
            QVERIFY2(!runs.contains(table[i].ParentHwnd), qPrintable(table[i].Name));
            runs.append(table[i].ParentHwnd);
        }
    }
    QCOMPARE(runs.size(), 4);

    // Positions are measured inside the container; Height comes before Width.
    const AnchorEntry *inFrame = findEntry(table, u"cmdInFrame"_s);
    QCOMPARE(QList<qint32>({inFrame->Left, inFrame->Top, inFrame->Height, inFrame->Width}),
             QList<qint32>({150, 300, 300, 600}));
    QCOMPARE(QList<qint32>({table[0].Height, table[0].Width}), QList<qint32>({FormHeight, FormWidth}));
    QCOMPARE(table[0].ParentHwnd, 0);
}

void tst_AnchorCapture::mainWindowControls()
{
    QMainWindow form;
    form.setObjectName(u"frmMain"_s);
    form.resize(600, 400);
    QMenu *menu = form.menuBar()->addMenu(u"設定"_s);
    menu->setObjectName(u"mnuSettei"_s);
    form.menuBar()->setObjectName(u"mnuBar"_s);
    auto *client = new QWidget(&form);
    client->setObjectName(u"client"_s);
    form.setCentralWidget(client);
    QToolBar *bar = form.addToolBar(u"bar"_s);
    bar->setObjectName(u"tbrMain"_s);
    bar->addWidget(new QLineEdit(bar))->setObjectName(u"txtOnBar"_s);

    auto *combo = addControl<QComboBox>(client, u"cboShop_id"_s, {1200, 120, 3735, 300});
    combo->setEditable(true);
    combo->lineEdit()->setObjectName(u"cboEditor"_s);
    auto *grid = addControl<vaSpread>(client, u"sprNyukin"_s, {240, 960, 6000, 3000});
    grid->viewport()->setObjectName(u"gridViewport"_s);
    addControl<QLabel>(client, u"Label1"_s, {360, 180, 405, 180}, {}, 0);

    AnchorTable table;
    CaptureAnchors(&form, table);

    QStringList names;
    for (qsizetype i = 1; i < table.size(); ++i)
        names.append(table[i].Name);
    names.sort();
    QCOMPARE(names, QStringList({u"Label1"_s, u"cboShop_id"_s, u"sprNyukin"_s, u"tbrMain"_s}));
    QCOMPARE(table[0].TypeName, u"QMainWindow"_s);
    // The central widget is the form's client area: positions are inside it,
    // and its controls share the form's parent key with the docked bar.
    QCOMPARE(findEntry(table, u"cboShop_id"_s)->Left, 1200);
    QCOMPARE(findEntry(table, u"cboShop_id"_s)->ParentHwnd, qint32(table[0].Hwnd));
    QCOMPARE(findEntry(table, u"tbrMain"_s)->ParentHwnd, qint32(table[0].Hwnd));
}

void tst_AnchorCapture::tagsAndIndexes_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QVariant>("index");
    QTest::addColumn<QString>("indexText");

    QTest::newRow("anchor word") << u"LEFTRIGHTTOPBOTTOM"_s << QVariant() << QString();
    QTest::newRow("lower case") << u"rightbottom"_s << QVariant(0) << u"0"_s;
    QTest::newRow("trailing space") << u"RIGHT "_s << QVariant(3) << u"3"_s;
    QTest::newRow("leading space") << u" LEFT"_s << QVariant(12) << u"12"_s;
    QTest::newRow("free text") << u"売上 メモ"_s << QVariant(u"first"_s) << QString();
    QTest::newRow("empty") << QString() << QVariant() << QString();
}

void tst_AnchorCapture::tagsAndIndexes()
{
    QFETCH(QString, tag);
    QFETCH(QVariant, index);
    QFETCH(QString, indexText);

    auto form = makeForm();
    addControl<QLabel>(form.get(), u"lblTagged"_s, {0, 0, 300, 300}, tag)->setProperty("Index", index);
    addControl<QPushButton>(form.get(), u"cmdTagged"_s, {0, 600, 300, 300}, tag)->setProperty("Index", index);

    AnchorTable table;
    CaptureAnchors(form.get(), table);
    for (const QString &name : {u"lblTagged"_s, u"cmdTagged"_s}) {
        const AnchorEntry &entry = table[positionOf(table, name)];
        QCOMPARE(entry.Tag, tag);
        QCOMPARE(entry.Index, indexText);
    }
}

void tst_AnchorCapture::captureTwiceReplaces()
{
    auto form = makeForm();
    addControl<QPushButton>(form.get(), u"cmdKeep"_s, {0, 0, 300, 300}, u"LEFT"_s);
    auto *gone = addControl<QPushButton>(form.get(), u"cmdGone"_s, {300, 0, 300, 300}, u"RIGHT"_s);
    auto *goneLabel = addControl<QLabel>(form.get(), u"lblGone"_s, {600, 0, 300, 300});

    AnchorTable table;
    CaptureAnchors(form.get(), table);
    QCOMPARE(table.size(), 4);

    delete gone;
    delete goneLabel;
    form->setObjectName(u"frmRenamed"_s);
    CaptureAnchors(form.get(), table);
    QCOMPARE(table.size(), 2);
    QCOMPARE(table[0].Name, u"frmRenamed"_s);
    QCOMPARE(table[1].Name, u"cmdKeep"_s);
    QCOMPARE(table[1].Tag, u"LEFT"_s);
}

void tst_AnchorCapture::sortByParent_data()
{
    // Keys of entries 1..n (entry 0 keeps key 0), the bounds, and the entry
    // numbers in the order the sort leaves them.
    QTest::addColumn<QList<qint32>>("keys");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<QList<int>>("order");

    QTest::newRow("equal keys swap places") << QList<qint32>{5, 3, 5, 1} << 1 << 4 << QList<int>{4, 2, 3, 1};
    QTest::newRow("all equal") << QList<qint32>{2, 2, 2} << 1 << 3 << QList<int>{2, 1, 3};
    QTest::newRow("signed keys") << QList<qint32>{7, -1, 0} << 1 << 3 << QList<int>{2, 3, 1};
    QTest::newRow("range only") << QList<qint32>{3, 2, 1, 0} << 2 << 3 << QList<int>{1, 3, 2, 4};
    QTest::newRow("one entry") << QList<qint32>{9} << 1 << 1 << QList<int>{1};
    QTest::newRow("nothing") << QList<qint32>{} << 1 << 0 << QList<int>{};
}

void tst_AnchorCapture::sortByParent()
{
    QFETCH(QList<qint32>, keys);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(QList<int>, order);

    AnchorTable table(keys.size() + 1);
    table[0].Name = u"form"_s;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        AnchorEntry &entry = table[i + 1];
        entry.Name = QString::number(i + 1);
        entry.Tag = u"tag of "_s + entry.Name;
        entry.Left = qint32(i + 1) * 100;
        entry.ParentHwnd = keys[i];
    }

    SortAnchorsByParent(table, first, last);

    QCOMPARE(table[0].Name, u"form"_s);
    QList<int> sorted;
    for (qsizetype i = 1; i < table.size(); ++i) {
        const int original = table[i].Name.toInt();
        sorted.append(original);
        // Whole records move: every field goes with its entry.
        QCOMPARE(table[i].Tag, u"tag of "_s + table[i].Name);
        QCOMPARE(table[i].Left, original * 100);
        QCOMPARE(table[i].ParentHwnd, keys[original - 1]);
    }
    QCOMPARE(sorted, order);
}

QTEST_MAIN(tst_AnchorCapture)
#include "tst_anchorcapture.moc"
