// Database values and grid cell texts as the screens read and show them.
#include "core/data/CellText.h"
#include "core/data/FieldValue.h"
#include "core/receipt/ReceiptRules.h"

#include <QDateTime>
#include <QTest>

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
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("cell");
        const QString d = u"2014/02/03"_s;
        QTest::newRow("short parts, blanks") << QVariant(u" 2014/2/3 "_s) << d << d;
        QTest::newRow("dashes and a time") << QVariant(u"2014-02-03T10:20:30"_s) << d << d;
        QTest::newRow("date and time value") << QVariant(QDateTime(QDate(2014, 2, 3), QTime(9, 5, 7))) << d << d;
        QTest::newRow("leap day") << QVariant(u"2016.02.29"_s) << u"2016/02/29"_s << u"2016/02/29"_s;
        QTest::newRow("no leap day in 1900") << QVariant(u"1900/02/29"_s) << QString() << QString();
        QTest::newRow("February 30") << QVariant(u"2014/02/30"_s) << QString() << QString();
        QTest::newRow("hour 24") << QVariant(u"2014/02/03 24:00"_s) << QString() << QString();
        QTest::newRow("mixed separators") << QVariant(u"2014/02-03"_s) << QString() << QString();
        QTest::newRow("before the cells' range") << QVariant(QDate(800, 1, 9)) << u"0800/01/09"_s << QString();
        QTest::newRow("after the cells' range") << QVariant(u"2100/01/01"_s) << u"2100/01/01"_s << QString();
        QTest::newRow("full-width") << QVariant(u"２０１４／０２／０３"_s) << QString() << d;
        QTest::newRow("typed Null") << QVariant(QMetaType::fromType<QDate>()) << QString() << QString();
    }

    void dates()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, stored);
        QFETCH(QString, cell);
        const QString text = FieldValue::Text(value);
        QCOMPARE(FieldValue::DateText(text), stored);
        QCOMPARE(FieldValue::FormatDate(FieldValue::ParseDate(text).value_or(QDate())), stored);
        QCOMPARE(CellText::dateText(CellText::parseDate(text)), cell);
    }

    void numbers_data()
    {
        // A stored value reads as its leading number. A cell's text must be a
        // number as a whole (none: refused, NaN: blank) and shows grouped.
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<double>("number");
        QTest::addColumn<std::optional<double>>("whole");
        QTest::addColumn<QString>("shown");
        const auto none = std::optional<double>();
        QTest::newRow("unit after number") << QVariant(u"1200円"_s) << 1200.0 << none << QString();
        QTest::newRow("grouping") << QVariant(u" 1,234 "_s) << 1.0 << std::optional(1234.0) << u"1,234"_s;
        QTest::newRow("full-width") << QVariant(u"－１２３４５６７．５"_s) << 0.0 << std::optional(-1234567.5)
                                    << u"-1,234,567.5"_s;
        QTest::newRow("no comma after the sign") << QVariant(u"-999"_s) << -999.0 << std::optional(-999.0)
                                                 << u"-999"_s;
        QTest::newRow("exponent") << QVariant(u"1E+20"_s) << 1e20 << std::optional(1e20)
                                  << u"100,000,000,000,000,000,000"_s;
        QTest::newRow("exponent without digits") << QVariant(u"1e"_s) << 1.0 << none << QString();
        QTest::newRow("exponent then text") << QVariant(u"3e2x"_s) << 300.0 << none << QString();
        QTest::newRow("second point") << QVariant(u"1.2.3"_s) << 1.2 << none << QString();
        QTest::newRow("binary noise hidden") << QVariant(0.1 + 0.2) << 0.1 + 0.2 << std::optional(0.1 + 0.2)
                                             << u"0.3"_s;
        QTest::newRow("tiny negative shows as zero") << QVariant(u"-1e-12"_s) << -1e-12 << std::optional(-1e-12)
                                                     << u"0"_s;
        QTest::newRow("overflow") << QVariant(u"-1e400"_s) << -std::numeric_limits<double>::infinity() << none
                                  << QString();
        QTest::newRow("integer value") << QVariant(qlonglong(-1200)) << -1200.0 << std::optional(-1200.0)
                                       << u"-1,200"_s;
        QTest::newRow("NaN value") << QVariant(std::nan("")) << 0.0 << none << QString();
        QTest::newRow("Null") << QVariant() << 0.0 << std::optional(std::nan("")) << QString();
    }

    void numbers()
    {
        QFETCH(QVariant, value);
        QFETCH(double, number);
        QFETCH(std::optional<double>, whole);
        QFETCH(QString, shown);
        const QString text = FieldValue::Text(value);
        QCOMPARE(FieldValue::NumberOf(value), number);
        QCOMPARE(FieldValue::Number(text), number);
        const std::optional<double> parsed = CellText::parseNumber(text);
        QCOMPARE(parsed.has_value(), whole.has_value());
        if (!parsed)
            return;
        QCOMPARE(*parsed, *whole);
        QCOMPARE(CellText::groupedNumber(*parsed), shown);
        QCOMPARE(CellText::plainNumber(*parsed), QString(shown).remove(u','));
    }

    void codePointOrder_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("order");
        QTest::newRow("prefix first") << u"ab"_s << u"abc"_s << -1;
        QTest::newRow("hiragana before katakana") << u"あ"_s << u"ア"_s << -1;
        QTest::newRow("beyond the basic plane after U+FF21") << u"𠀋"_s << u"Ａ"_s << 1;
        QTest::newRow("two beyond the basic plane") << u"𠀋"_s << u"𠮷"_s << -1;
    }

    void codePointOrder()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, order);
        QCOMPARE(CellText::compareCodePoints(a, b), order);
        QCOMPARE(CellText::compareCodePoints(b, a), -order);
    }

    void shopIdOf_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("shopId");
        QTest::newRow("separator twice") << u"A'1 / 本店 / 2"_s << u"A'1"_s;
        QTest::newRow("empty id") << u" / 名無し"_s << QString();
        QTest::newRow("no separator") << u"S01/本店"_s << u"S01/本店"_s;
    }

    void shopIdOf()
    {
        QFETCH(QString, item);
        QFETCH(QString, shopId);
        QCOMPARE(ReceiptRules::ShopIdOf(item), shopId);
    }
};

QTEST_GUILESS_MAIN(tst_Values)
#include "tst_values.moc"
