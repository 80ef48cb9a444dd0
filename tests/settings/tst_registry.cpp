#include "core/settings/ProgramSettings.h"
#include "core/settings/RegistryStore.h"
#include "core/settings/modRegistry.h"

#include "SettingsSandbox.h"

#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(RegRoot)

namespace {

const QString kKey = u"SOFTWARE\\Veltrane\\Parlow6"_s;

QByteArray section(const QByteArray &lines)
{
    return "[SOFTWARE\\Veltrane\\Parlow6]\n" + lines;
}

} // namespace

class tst_Registry final : public QObject
{
    Q_OBJECT

private slots:
    void readValue_data();
    void readValue();
    void keyExists_data();
    void keyExists();
    void programSetting_data();
    void programSetting();
    void storeLocation_data();
    void storeLocation();
};

void tst_Registry::readValue_data()
{
    QTest::addColumn<QByteArray>("store");
    QTest::addColumn<RegRoot>("root");
    QTest::addColumn<QString>("keyPath");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QVariant>("defaultValue");
    QTest::addColumn<QVariant>("expected");

    const RegRoot hklm = RegRoot::LocalMachine;
    const QVariant dflt = u"dflt"_s;
    const QByteArray values = section("\"Text\"=\"abc\"\n\"Num\"=dword:0000001A\n\"Neg\"=dword:ffffffff\n"
                                      "\"Two\"=dword:00000032\n\"Short\"=\"12\"\n\"Long\"=\"123456\"\n"
                                      "@=\"unnamed\"\n\"Jp\"=\"入金\"\n");
    QTest::newRow("text") << values << hklm << kKey << u"Text"_s << 1 << dflt << QVariant(u"abc"_s);
    QTest::newRow("number") << values << hklm << kKey << u"Num"_s << 4 << QVariant(-9) << QVariant(26);
    QTest::newRow("number is signed") << values << hklm << kKey << u"Neg"_s << 4 << QVariant(0) << QVariant(-1);
    QTest::newRow("unnamed value") << values << hklm << kKey << QString() << 1 << dflt << QVariant(u"unnamed"_s);
    QTest::newRow("Japanese text") << values << hklm << kKey << u"Jp"_s << 1 << dflt << QVariant(u"入金"_s);
    QTest::newRow("names in other case") << values << hklm << u"software\\VELTRANE\\parlow6"_s << u"TEXT"_s << 1
                                         << dflt << QVariant(u"abc"_s);
    QTest::newRow("missing text value") << values << hklm << kKey << u"Nowhere"_s << 1 << dflt << dflt;
    QTest::newRow("missing number value") << values << hklm << kKey << u"Nowhere"_s << 4 << QVariant(7)
                                          << QVariant(7);
    QTest::newRow("missing key") << values << hklm << u"SOFTWARE\\Veltrane\\Other"_s << u"Text"_s << 1 << dflt
                                 << dflt;
    QTest::newRow("missing store") << QByteArray() << hklm << kKey << u"Text"_s << 1 << dflt << dflt;
    QTest::newRow("other root") << values << RegRoot::CurrentUser << kKey << u"Text"_s << 1 << dflt << dflt;
    QTest::newRow("kind 2 reads nothing") << values << hklm << kKey << u"Text"_s << 2 << dflt << dflt;
    // The stored type is not checked: the raw data is read as asked.
    QTest::newRow("number read as text") << values << hklm << kKey << u"Two"_s << 1 << dflt << QVariant(u"2"_s);
    QTest::newRow("short text read as number") << values << hklm << kKey << u"Short"_s << 4 << QVariant(0)
                                               << QVariant(0x3231);
    QTest::newRow("long text too big for a number") << values << hklm << kKey << u"Long"_s << 4 << QVariant(5)
                                                    << QVariant(5);

    const QByteArray a255(255, 'a');
    QTest::newRow("255 bytes fit") << section("\"Path\"=\"" + a255 + "\"\n") << hklm << kKey << u"Path"_s << 1
                                   << dflt << QVariant(QString::fromLatin1(a255));
    QTest::newRow("256 bytes too long") << section("\"Path\"=\"" + a255 + "b\"\n") << hklm << kKey << u"Path"_s
                                        << 1 << dflt << dflt;
    QTest::newRow("escapes") << section(R"("Path"="a\"b\\c\d")" "\n") << hklm << kKey << u"Path"_s << 1 << dflt
                             << QVariant(uR"(a"b\c\d)"_s);
    QTest::newRow("later line wins") << section("\"V\"=\"one\"\n") + section("\"v\"=\"two\"\n") << hklm << kKey
                                     << u"V"_s << 1 << dflt << QVariant(u"two"_s);
    QTest::newRow("root named in section")
        << QByteArray("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Veltrane\\Parlow6]\r\n\"V\" = \"x\"\r\n") << hklm << kKey
        << u"V"_s << 1 << dflt << QVariant(u"x"_s);
    QTest::newRow("section of the other root skipped")
        << QByteArray("[HKCU\\SOFTWARE\\Veltrane\\Parlow6]\n\"V\"=\"x\"\n") << hklm << kKey << u"V"_s << 1 << dflt
        << dflt;
    QTest::newRow("unterminated text skipped") << section("\"V\"=\"open\n\"W\"=\"fine\"\n") << hklm << kKey
                                               << u"V"_s << 1 << dflt << dflt;
    QTest::newRow("line after a bad one read") << section("\"V\"=\"open\n\"W\"=\"fine\"\n") << hklm << kKey
                                               << u"W"_s << 1 << dflt << QVariant(u"fine"_s);
    QTest::newRow("nine hex digits skipped") << section("\"N\"=dword:000000001\n") << hklm << kKey << u"N"_s
                                             << 4 << QVariant(3) << QVariant(3);
    QTest::newRow("other data types skipped") << section("\"N\"=hex:01,02\n") << hklm << kKey << u"N"_s << 4
                                              << QVariant(3) << QVariant(3);
}

void tst_Registry::readValue()
{
    QFETCH(QByteArray, store);
    QFETCH(RegRoot, root);
    QFETCH(QString, keyPath);
    QFETCH(QString, name);
    QFETCH(int, kind);
    QFETCH(QVariant, defaultValue);
    QFETCH(QVariant, expected);

    SettingsSandbox sandbox;
    QVERIFY(sandbox.isValid());
    QVERIFY(SettingsSandbox::writeFile(sandbox.machineStore(), store));

    const QVariant value = RegReadValue(root, keyPath, name, kind, defaultValue);
    QCOMPARE(value.typeId(), expected.typeId());
    QCOMPARE(value, expected);
}

void tst_Registry::keyExists_data()
{
    QTest::addColumn<QByteArray>("store");
    QTest::addColumn<RegRoot>("root");
    QTest::addColumn<QString>("keyPath");
    QTest::addColumn<bool>("expected");

    const RegRoot hkcu = RegRoot::CurrentUser;
    const QByteArray store = "[Software\\VB and VBA Program Settings\\Veltrane\\Parlow6]\n\"A\"=\"1\"\n"
                             "[Software\\Empty]\n";
    const QString user = u"Software\\VB and VBA Program Settings\\Veltrane\\Parlow6"_s;
    QTest::newRow("listed key") << store << hkcu << user << true;
    QTest::newRow("other case") << store << hkcu << user.toUpper() << true;
    QTest::newRow("parent of a listed key") << store << hkcu << u"Software\\VB and VBA Program Settings"_s << true;
    QTest::newRow("key without values") << store << hkcu << u"Software\\Empty"_s << true;
    QTest::newRow("root itself") << store << hkcu << QString() << true;
    QTest::newRow("part of a name is no key") << store << hkcu << u"Software\\VB"_s << false;
    QTest::newRow("child of a listed key") << store << hkcu << user + u"\\Sub"_s << false;
    QTest::newRow("sibling") << store << hkcu << u"Software\\VB and VBA Program Settings\\Veltrane\\Parlow5"_s
                             << false;
    QTest::newRow("other root") << store << RegRoot::LocalMachine << user << false;
    QTest::newRow("missing store") << QByteArray() << hkcu << user << false;
    QTest::newRow("unclosed section is no key") << QByteArray("[Software\\Open\n") << hkcu << u"Software\\Open"_s
                                                << false;
}

void tst_Registry::keyExists()
{
    QFETCH(QByteArray, store);
    QFETCH(RegRoot, root);
    QFETCH(QString, keyPath);
    QFETCH(bool, expected);

    SettingsSandbox sandbox;
    QVERIFY(sandbox.isValid());
    QVERIFY(SettingsSandbox::writeFile(sandbox.userStore(), store));

    QCOMPARE(RegKeyExists(root, keyPath), expected);
}

void tst_Registry::programSetting_data()
{
    QTest::addColumn<QByteArray>("store");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    const QByteArray store = "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Veltrane\\Parlow6]\n"
                             "\"WindowSizeIndex\"=\"2\"\n\"Count\"=dword:fffffffe\n\"Empty\"=\"\"\n";
    QTest::newRow("text") << store << u"WindowSizeIndex"_s << u"2"_s;
    QTest::newRow("number as decimal text") << store << u"Count"_s << u"-2"_s;
    QTest::newRow("empty text is no default") << store << u"Empty"_s << QString();
    QTest::newRow("missing value") << store << u"Nowhere"_s << u"dflt"_s;
    QTest::newRow("missing store") << QByteArray() << u"WindowSizeIndex"_s << u"dflt"_s;
}

void tst_Registry::programSetting()
{
    QFETCH(QByteArray, store);
    QFETCH(QString, key);
    QFETCH(QString, expected);

    SettingsSandbox sandbox;
    QVERIFY(sandbox.isValid());
    QVERIFY(SettingsSandbox::writeFile(sandbox.userStore(), store));

    QCOMPARE(GetSetting(u"Veltrane"_s, u"Parlow6"_s, key, u"dflt"_s), expected);
}

void tst_Registry::storeLocation_data()
{
    QTest::addColumn<RegRoot>("root");
    QTest::addColumn<QString>("variable");
    QTest::addColumn<QString>("expected");

    // Relative to the sandbox; "-" leaves the variable unset.
    QTest::newRow("user variable names a file") << RegRoot::CurrentUser << u"own/u.reg"_s << u"own/u.reg"_s;
    QTest::newRow("user variable names a folder") << RegRoot::CurrentUser << u"own"_s << u"own/user.reg"_s;
    QTest::newRow("machine variable names a folder") << RegRoot::LocalMachine << u"own"_s
                                                     << u"own/machine.reg"_s;
    QTest::newRow("user store in the config home") << RegRoot::CurrentUser << u"-"_s
                                                   << u"home/Veltrane/user.reg"_s;
    QTest::newRow("machine store in the first config dir that has one")
        << RegRoot::LocalMachine << u"-"_s << u"sys2/Veltrane/machine.reg"_s;
}

void tst_Registry::storeLocation()
{
    QFETCH(RegRoot, root);
    QFETCH(QString, variable);
    QFETCH(QString, expected);

    SettingsSandbox sandbox;
    QVERIFY(sandbox.isValid());
    QVERIFY(SettingsSandbox::writeFile(sandbox.path(u"own/placeholder"_s), ""));
    // A machine store in the user's own config home must not count.
    QVERIFY(SettingsSandbox::writeFile(sandbox.path(u"home/Veltrane/machine.reg"_s), ""));
    QVERIFY(SettingsSandbox::writeFile(sandbox.path(u"sys2/Veltrane/machine.reg"_s), ""));
    sandbox.setEnv("XDG_CONFIG_HOME", sandbox.path(u"home"_s));
    sandbox.setEnv("XDG_CONFIG_DIRS", sandbox.path(u"sys1"_s) + u':' + sandbox.path(u"sys2"_s));
    const char *name = root == RegRoot::CurrentUser ? "PARLOW6_USER_REGISTRY" : "PARLOW6_MACHINE_REGISTRY";
    if (variable == u"-")
        sandbox.unsetEnv(name);
    else
        sandbox.setEnv(name, sandbox.path(variable));

    QCOMPARE(RegistryStore::filePath(root), sandbox.path(expected));
}

QTEST_GUILESS_MAIN(tst_Registry)
#include "tst_registry.moc"
