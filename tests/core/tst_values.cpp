// Database values and grid cell texts as the screens read and show them.
#include "CoreTest.h"

#include "core/data/CellText.h"
#include "core/data/FieldValue.h"

#include <QDateTime>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

class tst_Values final : public QObject
{
    Q_OBJECT

private slots:
    void dates_data()
    {
        // A stored value shows when it is a real date; a grid cell also takes
        // full-width digits, but only 1900..2099.
        columns<QVariant, QString, QString>("value", "stored", "cell");
        const QString d = u"2014/02/03"_s;
        QTest::newRow("short parts, blanks") << QVariant(u" 2014/2/3 "_s) << d << d;
        QTest::newRow("dashes and a time") << QVariant(u"2014-02-03T10:20:30"_s) << d << d;
        QTest::newRow("date and time value") << QVariant(QDateTime(QDate(2014, 2, 3), QTime(9, 5, 7))) << d << d;
        QTest::newRow("leap day") << QVariant(u"2016.02.29"_s) << u"2016/02/29"_s << u"2016/02/29"_s;
        QTest::newRow("February 30") << QVariant(u"2014/02/30"_s) << QString() << QString();
        QTest::newRow("hour 24") << QVariant(u"2014/02/03 24:00"_s) << QString() << QString();
        QTest::newRow("minute 60") << QVariant(u"2014/02/03 23:60"_s) << QString() << QString();
        QTest::newRow("second 60") << QVariant(u"2014/02/03 23:59:60"_s) << QString() << QString();
        QTest::newRow("year before 100") << QVariant(u"0099/12/31"_s) << QString() << QString();
        QTest::newRow("before the cells' range") << QVariant(QDate(800, 1, 9)) << u"0800/01/09"_s << QString();
        QTest::newRow("full-width") << QVariant(u"２０１４／０２／０３"_s) << QString() << d;
    }

    void dates()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, stored);
        QFETCH(QString, cell);
        const QString text = FieldValue::Text(value);
        QCOMPARE(FieldValue::FormatDate(FieldValue::ParseDate(text).value_or(QDate())), stored);
        QCOMPARE(CellText::dateText(CellText::parseDate(text)), cell);
    }

    void numbers_data()
    {
        // A stored value reads as its leading number. A cell's text must be a
        // number as a whole, and shows grouped; a blank cell shows nothing.
        columns<QVariant, double, QString>("value", "number", "shown");
        const QString refused = u"refused"_s;
        QTest::newRow("unit after number") << QVariant(u"1200円"_s) << 1200.0 << refused;
        QTest::newRow("grouping") << QVariant(u" 1,234 "_s) << 1.0 << u"1,234"_s;
        QTest::newRow("full-width") << QVariant(u"－１２３４５６７．５"_s) << 0.0 << u"-1,234,567.5"_s;
        QTest::newRow("full-width plus") << QVariant(u"＋１，０００"_s) << 0.0 << u"1,000"_s;
        QTest::newRow("no comma after the sign") << QVariant(u"-999"_s) << -999.0 << u"-999"_s;
        QTest::newRow("exponent") << QVariant(u"1E+20"_s) << 1e20 << u"100,000,000,000,000,000,000"_s;
        QTest::newRow("exponent without digits") << QVariant(u"1e"_s) << 1.0 << refused;
        QTest::newRow("binary noise hidden") << QVariant(0.1 + 0.2) << 0.1 + 0.2 << u"0.3"_s;
        QTest::newRow("overflow") << QVariant(u"-1e400"_s) << -std::numeric_limits<double>::infinity() << refused;
        QTest::newRow("NaN value") << QVariant(std::nan("")) << 0.0 << refused;
        QTest::newRow("Null") << QVariant() << 0.0 << QString();
    }

    void numbers()
    {
        QFETCH(QVariant, value);
        QFETCH(double, number);
        QFETCH(QString, shown);
        const QString text = FieldValue::Text(value);
        QCOMPARE(FieldValue::NumberOf(value), number);
        QCOMPARE(FieldValue::Number(text), number);
        const std::optional<double> cell = CellText::parseNumber(text);
        QCOMPARE(cell ? CellText::groupedNumber(*cell) : u"refused"_s, shown);
        if (cell)
            QCOMPARE(CellText::plainNumber(*cell), QString(shown).remove(u','));
    }

    void integers()
    {
        // An order number is a whole number as written, or none: read any
        // other way it could name another order.
        const std::pair<QVariant, std::optional<qint64>> cases[] = {
            {u" +42\t"_s, 42}, {u"-9223372036854775808"_s, std::numeric_limits<qint64>::min()},
            {u"9223372036854775808"_s, {}}, {u"4 2"_s, {}}, {u"４２"_s, {}}, {u"42.0"_s, {}},
            {9007199254740992.0, 9007199254740992}, {9007199254740994.0, {}}, {0.5, {}}};
        for (const auto &[value, integer] : cases)
            QCOMPARE(FieldValue::IntegerOf(value), integer);
    }
};

QTEST_GUILESS_MAIN(tst_Values)
#include "tst_values.moc"
