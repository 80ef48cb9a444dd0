#include "core/settings/ProfileString.h"

#include "SettingsSandbox.h"

#include <QStringEncoder>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kBuffer = 1024;

QByteArray cp932(const QString &text)
{
    QStringEncoder encoder("windows-31j");
    return encoder.encode(text);
}

QByteArray iniWith(const QByteArray &value)
{
    return "[Parlow6]\nKey=" + value + '\n';
}

} // namespace

class tst_ProfileString final : public QObject
{
    Q_OBJECT

private slots:
    void lookup_data();
    void lookup();
    void lengthLimit_data();
    void lengthLimit();
};

void tst_ProfileString::lookup_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("defaultValue");
    QTest::addColumn<QString>("expected");

    const QByteArray plain = "[Parlow6]\nWindowSizeIndex=2\nEmpty=\nBare\n";
    QTest::newRow("plain") << plain << u"Parlow6"_s << u"WindowSizeIndex"_s << u"d"_s << u"2"_s;
    QTest::newRow("section in other case") << plain << u"PARLOW6"_s << u"WindowSizeIndex"_s << u"d"_s << u"2"_s;
    QTest::newRow("key in other case") << plain << u"Parlow6"_s << u"windowsizeindex"_s << u"d"_s << u"2"_s;
    QTest::newRow("asked with blanks") << plain << u" Parlow6 "_s << u"\tWindowSizeIndex "_s << u"d"_s << u"2"_s;
    QTest::newRow("blanks in the file") << QByteArray(" [ Parlow6 ] \n \t Key \t=  two words  \n")
                                        << u"Parlow6"_s << u"Key"_s << u"d"_s << u"two words"_s;
    QTest::newRow("CRLF lines") << QByteArray("[Parlow6]\r\nKey=crlf\r\nNext=x\r\n") << u"Parlow6"_s
                                << u"Key"_s << u"d"_s << u"crlf"_s;
    QTest::newRow("UTF-8 byte-order mark") << QByteArray("\xEF\xBB\xBF[Parlow6]\nKey=bom\n") << u"Parlow6"_s
                                           << u"Key"_s << u"d"_s << u"bom"_s;

    QTest::newRow("missing file") << QByteArray() << u"Parlow6"_s << u"Key"_s << u"d"_s << u"d"_s;
    QTest::newRow("missing section") << plain << u"Other"_s << u"WindowSizeIndex"_s << u"d"_s << u"d"_s;
    QTest::newRow("missing key") << plain << u"Parlow6"_s << u"Nowhere"_s << u"d"_s << u"d"_s;
    QTest::newRow("empty key beats default") << plain << u"Parlow6"_s << u"Empty"_s << u"d"_s << QString();
    QTest::newRow("line without equals is no key") << plain << u"Parlow6"_s << u"Bare"_s << u"d"_s << u"d"_s;
    QTest::newRow("default loses trailing blanks") << plain << u"Parlow6"_s << u"Nowhere"_s << u"  d  "_s
                                                   << u"  d"_s;
    QTest::newRow("key of another section") << QByteArray("[Other]\nKey=other\n[Parlow6]\nX=1\n")
                                            << u"Parlow6"_s << u"Key"_s << u"d"_s << u"d"_s;
    QTest::newRow("key before any section") << QByteArray("Key=top\n[Parlow6]\n") << u"Parlow6"_s << u"Key"_s
                                            << u"d"_s << u"d"_s;
    QTest::newRow("first section of a name only")
        << QByteArray("[Parlow6]\nA=1\n[Other]\n[parlow6]\nKey=late\n") << u"Parlow6"_s << u"Key"_s << u"d"_s
        << u"d"_s;
    QTest::newRow("first key wins") << QByteArray("[Parlow6]\nKey=first\nKEY=second\n") << u"Parlow6"_s
                                    << u"Key"_s << u"d"_s << u"first"_s;
    QTest::newRow("comment line") << QByteArray("[Parlow6]\n;Key=commented\n") << u"Parlow6"_s << u"Key"_s
                                  << u"d"_s << u"d"_s;
    QTest::newRow("equals inside the value") << iniWith("a=b") << u"Parlow6"_s << u"Key"_s << u"d"_s
                                             << u"a=b"_s;

    QTest::newRow("double quotes") << iniWith("\" inner \"") << u"Parlow6"_s << u"Key"_s << u"d"_s
                                   << u" inner "_s;
    QTest::newRow("single quotes") << iniWith("'x'") << u"Parlow6"_s << u"Key"_s << u"d"_s << u"x"_s;
    QTest::newRow("empty quotes") << iniWith("\"\"") << u"Parlow6"_s << u"Key"_s << u"d"_s << QString();
    QTest::newRow("one quote") << iniWith("\"") << u"Parlow6"_s << u"Key"_s << u"d"_s << u"\""_s;
    QTest::newRow("quotes that differ") << iniWith("\"x'") << u"Parlow6"_s << u"Key"_s << u"d"_s << u"\"x'"_s;
    QTest::newRow("only one pair goes") << iniWith("\"\"x\"\"") << u"Parlow6"_s << u"Key"_s << u"d"_s
                                        << u"\"x\""_s;

    QTest::newRow("UTF-8 Japanese") << QByteArray("[Parlow6]\n店舗=入金\n") << u"Parlow6"_s << u"店舗"_s
                                    << u"d"_s << u"入金"_s;
    QTest::newRow("CP932 Japanese") << cp932(u"[Parlow6]\n店舗=入金～①\n"_s) << u"Parlow6"_s << u"店舗"_s
                                    << u"d"_s << u"入金～①"_s;
    QTest::newRow("CP932 half-width kana") << cp932(u"[ｾｸｼｮﾝ]\nｷｰ=ﾆｭｳｷﾝ\n"_s) << u"ｾｸｼｮﾝ"_s << u"ｷｰ"_s
                                           << u"d"_s << u"ﾆｭｳｷﾝ"_s;
    // Not UTF-8 (lone E9) and not CP932 (E9 wants a second byte of 40..FC).
    QTest::newRow("neither: Latin-1") << iniWith("caf\xE9!") << u"Parlow6"_s << u"Key"_s << u"d"_s
                                      << u"café!"_s;
    QTest::newRow("damaged file keeps other keys")
        << QByteArray("[Parlow6]\nBad=\xFF\xFE\x81\nKey=fine\n") << u"Parlow6"_s << u"Key"_s << u"d"_s
        << u"fine"_s;
}

void tst_ProfileString::lookup()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, defaultValue);
    QFETCH(QString, expected);

    SettingsSandbox sandbox;
    QVERIFY(sandbox.isValid());
    const QString path = sandbox.path(u"parlow.ini"_s);
    QVERIFY(SettingsSandbox::writeFile(path, file));

    QCOMPARE(ReadProfileString(section, key, defaultValue, kBuffer, path), expected);
}

void tst_ProfileString::lengthLimit_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("defaultValue");
    QTest::addColumn<QString>("expected");

    const QString a1023(1023, u'a');
    const QString nyu341 = QString(341, u'入');
    const QString emoji = u"😀"_s;
    const QString emoji255 = emoji.repeated(255);

    QTest::newRow("1023 bytes whole") << iniWith(a1023.toUtf8()) << u"d"_s << a1023;
    QTest::newRow("1024 bytes cut") << iniWith(a1023.toUtf8() + 'b') << u"d"_s << a1023;
    QTest::newRow("far longer cut") << iniWith(QByteArray(5000, 'z')) << u"d"_s << QString(1023, u'z');
    QTest::newRow("quoted 1023 bytes whole") << iniWith('"' + a1023.toUtf8() + '"') << u"d"_s << a1023;
    QTest::newRow("UTF-8 exactly 1023") << iniWith(nyu341.toUtf8()) << u"d"_s << nyu341;
    QTest::newRow("UTF-8 character not split") << iniWith("a" + nyu341.toUtf8()) << u"d"_s
                                               << u"a"_s + nyu341.left(340);
    QTest::newRow("four-byte characters fit") << iniWith("abc" + emoji255.toUtf8()) << u"d"_s
                                              << u"abc"_s + emoji255;
    QTest::newRow("four-byte character not split") << iniWith("abcd" + emoji255.toUtf8()) << u"d"_s
                                                   << u"abcd"_s + emoji.repeated(254);
    // In CP932 a kanji is two bytes: 511 of them and one letter are 1023.
    QTest::newRow("CP932 exactly 1023") << iniWith(cp932(QString(511, u'入') + u'a')) << u"d"_s
                                        << QString(511, u'入') + u'a';
    QTest::newRow("CP932 character not split") << iniWith(cp932(u"ab"_s + QString(511, u'入'))) << u"d"_s
                                               << u"ab"_s + QString(510, u'入');
    QTest::newRow("CP932 half-width kana are one byte")
        << iniWith(cp932(QString(1023, u'ｱ') + u'ｲ')) << u"d"_s << QString(1023, u'ｱ');
    QTest::newRow("long default cut") << QByteArray() << QString(1100, u'd') << QString(1023, u'd');
    QTest::newRow("default not split") << QByteArray() << u"ab"_s + nyu341 << u"ab"_s + nyu341.left(340);
}

void tst_ProfileString::lengthLimit()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, defaultValue);
    QFETCH(QString, expected);

    SettingsSandbox sandbox;
    QVERIFY(sandbox.isValid());
    const QString path = sandbox.path(u"parlow.ini"_s);
    QVERIFY(SettingsSandbox::writeFile(path, file));

    const QString value = ReadProfileString(u"Parlow6"_s, u"Key"_s, defaultValue, kBuffer, path);
    QCOMPARE(value.size(), expected.size());
    QCOMPARE(value, expected);
}

QTEST_GUILESS_MAIN(tst_ProfileString)
#include "tst_profilestring.moc"
