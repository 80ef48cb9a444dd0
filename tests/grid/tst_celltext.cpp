#include "core/data/CellText.h"
#include "widgets/grid/DateValidator.h"
#include "widgets/grid/NumberValidator.h"

#include <QTest>

using namespace Qt::StringLiterals;

// Text order, and what the cell editors let through as the operator types.
class tst_CellText final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void compareCodePoints_data();
    void compareCodePoints();
    void numberValidator_data();
    void numberValidator();
    void dateValidator_data();
    void dateValidator();
};

void tst_CellText::compareCodePoints_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("order");

    QTest::newRow("equal") << u"abc"_s << u"abc"_s << 0;
    QTest::newRow("upper before lower") << u"Z"_s << u"a"_s << -1;
    QTest::newRow("prefix first") << u"ab"_s << u"abc"_s << -1;
    QTest::newRow("empty first") << QString() << u"a"_s << -1;
    QTest::newRow("hiragana before katakana") << u"あ"_s << u"ア"_s << -1;
    QTest::newRow("half-width katakana after full-width") << u"ｱ"_s << u"ア"_s << 1;
    QTest::newRow("supplementary after U+FF21") << u"𠀋"_s << u"Ａ"_s << 1;
    QTest::newRow("supplementary after U+E000") << u"𠀋"_s << QString(QChar(0xE000)) << 1;
    QTest::newRow("two supplementary") << u"𠀋"_s << u"𠮷"_s << -1;
    QTest::newRow("U+E000 after basic") << QString(QChar(0xE000)) << u"あ"_s << 1;
}

void tst_CellText::compareCodePoints()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, order);

    QCOMPARE(CellText::compareCodePoints(a, b), order);
    QCOMPARE(CellText::compareCodePoints(b, a), -order);
}

void tst_CellText::numberValidator_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("shown");

    const int ok = QValidator::Acceptable;
    const int partial = QValidator::Intermediate;
    const int no = QValidator::Invalid;
    QTest::newRow("digits") << 0.0 << u"123"_s << ok << u"123"_s;
    QTest::newRow("empty") << 0.0 << QString() << ok << QString();
    QTest::newRow("grouped") << 0.0 << u"1,234"_s << ok << u"1,234"_s;
    QTest::newRow("decimal") << 0.0 << u"1.5"_s << ok << u"1.5"_s;
    QTest::newRow("two points") << 0.0 << u"1.5."_s << no << u"1.5."_s;
    QTest::newRow("comma after point") << 0.0 << u"1.5,0"_s << no << u"1.5,0"_s;
    QTest::newRow("letter") << 0.0 << u"1a"_s << no << u"1a"_s;
    QTest::newRow("exponent") << 0.0 << u"1e5"_s << no << u"1e5"_s;
    QTest::newRow("minus where none allowed") << 0.0 << u"-1"_s << no << u"-1"_s;
    QTest::newRow("minus allowed") << -100.0 << u"-1"_s << ok << u"-1"_s;
    QTest::newRow("lone minus") << -100.0 << u"-"_s << partial << u"-"_s;
    QTest::newRow("minus inside") << -100.0 << u"1-"_s << no << u"1-"_s;
    QTest::newRow("below minimum") << -100.0 << u"-101"_s << no << u"-101"_s;
    QTest::newRow("above maximum") << 0.0 << u"10001"_s << no << u"10001"_s;
    QTest::newRow("under a positive minimum") << 10.0 << u"1"_s << partial << u"1"_s;
    QTest::newRow("full-width turned plain") << 0.0 << u"１２"_s << ok << u"12"_s;
}

void tst_CellText::numberValidator()
{
    QFETCH(double, minimum);
    QFETCH(QString, input);
    QFETCH(int, state);
    QFETCH(QString, shown);

    const NumberValidator validator(minimum, 10000);
    int pos = int(input.size());
    QCOMPARE(int(validator.validate(input, pos)), state);
    QCOMPARE(input, shown);
}

void tst_CellText::dateValidator_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("state");

    const int ok = QValidator::Acceptable;
    const int partial = QValidator::Intermediate;
    const int no = QValidator::Invalid;
    QTest::newRow("empty") << QString() << ok;
    QTest::newRow("year being typed") << u"201"_s << partial;
    QTest::newRow("month being typed") << u"2014/0"_s << partial;
    QTest::newRow("complete") << u"2014/02/21"_s << ok;
    QTest::newRow("short complete") << u"2014/2/3"_s << ok;
    QTest::newRow("no such day") << u"2014/02/30"_s << partial;
    QTest::newRow("out of range") << u"1899/12/31"_s << partial;
    QTest::newRow("fifth year digit") << u"20140"_s << no;
    QTest::newRow("third month digit") << u"2014/021"_s << no;
    QTest::newRow("fourth part") << u"2014/02/21/"_s << no;
    QTest::newRow("letter") << u"2014/a"_s << no;
    QTest::newRow("dash") << u"2014-"_s << no;
    QTest::newRow("full-width") << u"２０１４／２／３"_s << ok;
}

void tst_CellText::dateValidator()
{
    QFETCH(QString, input);
    QFETCH(int, state);

    const DateValidator validator;
    int pos = int(input.size());
    QCOMPARE(int(validator.validate(input, pos)), state);
}

QTEST_MAIN(tst_CellText)
#include "tst_celltext.moc"
