#include "core/data/FieldValue.h"

#include <QDateTime>
#include <QTest>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

class TestFieldValue final : public QObject
{
    Q_OBJECT

private slots:
    void text_data();
    void text();
    void number_data();
    void number();
    void numberOf_data();
    void numberOf();
    void numberOutOfRange_data();
    void numberOutOfRange();
    void parseDate_data();
    void parseDate();
    void dateText_data();
    void dateText();
    void formatDate_data();
    void formatDate();
};

void TestFieldValue::text_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no value") << QVariant() << QString();
    QTest::newRow("typed null text") << QVariant(QMetaType::fromType<QString>()) << QString();
    QTest::newRow("typed null number") << QVariant(QMetaType::fromType<qlonglong>()) << QString();
    QTest::newRow("text") << QVariant(u"山田　花子"_s) << u"山田　花子"_s;
    QTest::newRow("empty text") << QVariant(QString()) << QString();
    QTest::newRow("integer") << QVariant(qlonglong(-1200)) << u"-1200"_s;
    QTest::newRow("int") << QVariant(42) << u"42"_s;
    QTest::newRow("large integer") << QVariant(qlonglong(9007199254740993)) << u"9007199254740993"_s;
    QTest::newRow("whole double") << QVariant(1000.0) << u"1000"_s;
    QTest::newRow("fractional double") << QVariant(1234.5) << u"1234.5"_s;
    QTest::newRow("date") << QVariant(QDate(2014, 2, 3)) << u"2014/02/03"_s;
    QTest::newRow("invalid date") << QVariant(QDate()) << QString();
    QTest::newRow("date-time at midnight")
        << QVariant(QDateTime(QDate(2014, 12, 31), QTime(0, 0))) << u"2014/12/31"_s;
    QTest::newRow("date-time with a time")
        << QVariant(QDateTime(QDate(2014, 2, 3), QTime(9, 5, 7))) << u"2014/02/03 09:05:07"_s;
}

void TestFieldValue::text()
{
    QFETCH(QVariant, value);
    QFETCH(QString, expected);
    QCOMPARE(FieldValue::Text(value), expected);
}

void TestFieldValue::number_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("whole") << u"1200"_s << 1200.0;
    QTest::newRow("negative") << u"-1200"_s << -1200.0;
    QTest::newRow("plus sign") << u"+15"_s << 15.0;
    QTest::newRow("decimal") << u"12.75"_s << 12.75;
    QTest::newRow("leading point") << u".5"_s << 0.5;
    QTest::newRow("negative leading point") << u"-.25"_s << -0.25;
    QTest::newRow("trailing point") << u"7."_s << 7.0;
    QTest::newRow("money text") << u"1200.0000"_s << 1200.0;
    QTest::newRow("second point stops") << u"1.2.3"_s << 1.2;
    QTest::newRow("unit after number") << u"1200円"_s << 1200.0;
    QTest::newRow("grouping comma stops") << u"1,200"_s << 1.0;
    QTest::newRow("leading blanks skipped") << u"  \t42"_s << 42.0;
    QTest::newRow("blank after sign stops") << u"- 5"_s << 0.0;
    QTest::newRow("trailing blanks ignored") << u"42  "_s << 42.0;
    QTest::newRow("exponent") << u"1e3"_s << 1000.0;
    QTest::newRow("capital exponent with sign") << u"2.5E+2"_s << 250.0;
    QTest::newRow("negative exponent") << u"5e-1"_s << 0.5;
    QTest::newRow("exponent without digits") << u"1e"_s << 1.0;
    QTest::newRow("exponent sign without digits") << u"1e+"_s << 1.0;
    QTest::newRow("exponent then text") << u"3e2x"_s << 300.0;
    QTest::newRow("double minus") << u"--1"_s << 0.0;
    QTest::newRow("plus minus") << u"+-1"_s << 0.0;
    QTest::newRow("only plus") << u"+"_s << 0.0;
    QTest::newRow("only minus") << u"-"_s << 0.0;
    QTest::newRow("only point") << u"."_s << 0.0;
    QTest::newRow("point then exponent") << u".e5"_s << 0.0;
    QTest::newRow("letters") << u"abc"_s << 0.0;
    QTest::newRow("leading letter") << u"x12"_s << 0.0;
    QTest::newRow("hex prefix not read") << u"0x1F"_s << 0.0;
    QTest::newRow("full-width digits") << u"１２"_s << 0.0;
    QTest::newRow("full-width minus") << u"－５"_s << 0.0;
    QTest::newRow("ascii then full-width") << u"3４"_s << 3.0;
    QTest::newRow("full-width space not blank") << u"　5"_s << 0.0;
    QTest::newRow("Arabic-Indic digits") << u"\u0661\u0662"_s << 0.0;
    QTest::newRow("date text") << u"2014/02/03"_s << 2014.0;
    QTest::newRow("leading zeros") << u"0007"_s << 7.0;
    QTest::newRow("long digit run")
        << u"00000000000000000000000000000000000000000000000000000000000000000000000012"_s << 12.0;
    QTest::newRow("fifteen digits") << u"123456789012345"_s << 123456789012345.0;
    QTest::newRow("sixteen digits") << u"1234567890123456"_s << 1234567890123456.0;
    QTest::newRow("beyond exact doubles") << u"9007199254740993"_s << 9007199254740992.0;
    QTest::newRow("twenty digits") << u"12345678901234567890"_s << 12345678901234567890.0;
    QTest::newRow("negative zero reads as zero") << u"-0"_s << 0.0;
    QTest::newRow("decimal with fifteen digits") << u"1234567.8901234"_s << 1234567.8901234;
}

void TestFieldValue::number()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(FieldValue::Number(text), expected);
}

// The shortcut for numeric values must agree with reading their text.
void TestFieldValue::numberOf_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::newRow("null") << QVariant();
    QTest::newRow("long long") << QVariant(qlonglong(9999999999));
    QTest::newRow("negative int") << QVariant(-42);
    QTest::newRow("double") << QVariant(1000.5);
    QTest::newRow("nan") << QVariant(std::nan(""));
    QTest::newRow("infinity") << QVariant(std::numeric_limits<double>::infinity());
    QTest::newRow("text") << QVariant(u"12abc"_s);
    QTest::newRow("bool") << QVariant(true);
}

void TestFieldValue::numberOf()
{
    QFETCH(QVariant, value);
    QCOMPARE(FieldValue::NumberOf(value), FieldValue::Number(FieldValue::Text(value)));
}

void TestFieldValue::numberOutOfRange_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("overflow") << u"1e400"_s << inf;
    QTest::newRow("negative overflow") << u"-1e400"_s << -inf;
    QTest::newRow("underflow") << u"1e-400"_s << 0.0;
}

void TestFieldValue::numberOutOfRange()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    const double value = FieldValue::Number(text);
    QCOMPARE(std::isinf(value), std::isinf(expected));
    QCOMPARE(value, expected);
}

void TestFieldValue::parseDate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("expected"); // invalid: not a date

    QTest::newRow("slashes") << u"2014/02/03"_s << QDate(2014, 2, 3);
    QTest::newRow("one-digit month and day") << u"2014/2/3"_s << QDate(2014, 2, 3);
    QTest::newRow("dashes") << u"2014-02-03"_s << QDate(2014, 2, 3);
    QTest::newRow("dots") << u"2014.2.3"_s << QDate(2014, 2, 3);
    QTest::newRow("midnight time") << u"2014/02/03 00:00:00"_s << QDate(2014, 2, 3);
    QTest::newRow("ISO time") << u"2014-02-03T10:20:30"_s << QDate(2014, 2, 3);
    QTest::newRow("time without seconds") << u"2014/02/03 9:05"_s << QDate(2014, 2, 3);
    QTest::newRow("time with fraction") << u"2014-02-03 23:59:59.997"_s << QDate(2014, 2, 3);
    QTest::newRow("surrounding blanks") << u"  2014/02/03 "_s << QDate(2014, 2, 3);
    QTest::newRow("leap day in leap year") << u"2016/02/29"_s << QDate(2016, 2, 29);
    QTest::newRow("leap day in 2000") << u"2000/02/29"_s << QDate(2000, 2, 29);
    QTest::newRow("last day of year") << u"9999/12/31"_s << QDate(9999, 12, 31);
    QTest::newRow("earliest year") << u"0100/01/01"_s << QDate(100, 1, 1);

    QTest::newRow("empty") << QString() << QDate();
    QTest::newRow("blanks only") << u"   "_s << QDate();
    QTest::newRow("February 30") << u"2014/02/30"_s << QDate();
    QTest::newRow("leap day in common year") << u"2014/02/29"_s << QDate();
    QTest::newRow("leap day in 1900") << u"1900/02/29"_s << QDate();
    QTest::newRow("April 31") << u"2014/04/31"_s << QDate();
    QTest::newRow("month 13") << u"2014/13/01"_s << QDate();
    QTest::newRow("month 0") << u"2014/00/10"_s << QDate();
    QTest::newRow("day 0") << u"2014/01/00"_s << QDate();
    QTest::newRow("all zeros") << u"0000/00/00"_s << QDate();
    QTest::newRow("year below 100") << u"0099/01/01"_s << QDate();
    QTest::newRow("two-digit year") << u"14/02/03"_s << QDate();
    QTest::newRow("five-digit year") << u"20140/02/03"_s << QDate();
    QTest::newRow("three-digit day") << u"2014/02/003"_s << QDate();
    QTest::newRow("three-digit month") << u"2014/002/03"_s << QDate();
    QTest::newRow("mixed separators") << u"2014/02-03"_s << QDate();
    QTest::newRow("other separator") << u"2014_02_03"_s << QDate();
    QTest::newRow("missing day") << u"2014/02"_s << QDate();
    QTest::newRow("missing day after separator") << u"2014/02/"_s << QDate();
    QTest::newRow("no separators") << u"20140203"_s << QDate();
    QTest::newRow("day first") << u"03/02/2014"_s << QDate();
    QTest::newRow("sign before year") << u"+2014/02/03"_s << QDate();
    QTest::newRow("trailing text") << u"2014/02/03x"_s << QDate();
    QTest::newRow("hour 24") << u"2014/02/03 24:00:00"_s << QDate();
    QTest::newRow("minute 60") << u"2014/02/03 10:60"_s << QDate();
    QTest::newRow("one-digit minute") << u"2014/02/03 10:5"_s << QDate();
    QTest::newRow("hour only") << u"2014/02/03 10"_s << QDate();
    QTest::newRow("fraction without digits") << u"2014/02/03 10:00:00."_s << QDate();
    QTest::newRow("full-width digits") << u"２０１４/０２/０３"_s << QDate();
    QTest::newRow("Japanese era text") << u"平成26年2月3日"_s << QDate();
    QTest::newRow("word") << u"未定"_s << QDate();
}

void TestFieldValue::parseDate()
{
    QFETCH(QString, text);
    QFETCH(QDate, expected);
    const std::optional<QDate> date = FieldValue::ParseDate(text);
    QCOMPARE(date.has_value(), expected.isValid());
    if (date)
        QCOMPARE(*date, expected);
}

void TestFieldValue::dateText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("already in form") << u"2014/02/03"_s << u"2014/02/03"_s;
    QTest::newRow("padded") << u"2014/2/3"_s << u"2014/02/03"_s;
    QTest::newRow("from date-time text") << u"2014-12-01 00:00:00"_s << u"2014/12/01"_s;
    QTest::newRow("one-digit day and a blank") << u"2014/02/3 "_s << u"2014/02/03"_s;
    QTest::newRow("one-digit month and day, blanks") << u" 2014/2/3 "_s << u"2014/02/03"_s;
    QTest::newRow("dashes, same length") << u"2014-02-03"_s << u"2014/02/03"_s;
    QTest::newRow("not a date") << u"2014/02/30"_s << QString();
    QTest::newRow("empty") << QString() << QString();
}

void TestFieldValue::dateText()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(FieldValue::DateText(text), expected);
}

void TestFieldValue::formatDate_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("expected");
    QTest::newRow("padded month and day") << QDate(2014, 2, 3) << u"2014/02/03"_s;
    QTest::newRow("two-digit month and day") << QDate(2014, 12, 31) << u"2014/12/31"_s;
    QTest::newRow("padded year") << QDate(800, 1, 9) << u"0800/01/09"_s;
    QTest::newRow("invalid") << QDate() << QString();
}

void TestFieldValue::formatDate()
{
    QFETCH(QDate, date);
    QFETCH(QString, expected);
    QCOMPARE(FieldValue::FormatDate(date), expected);
}

QTEST_APPLESS_MAIN(TestFieldValue)
#include "tst_fieldvalue.moc"
