#include "core/settings/SuiteSettings.h"

#include "SettingsSandbox.h"

#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kUserKey = "[Software\\VB and VBA Program Settings\\Veltrane\\Parlow6]\n";
const QByteArray kMachineKey = "[SOFTWARE\\Veltrane\\Parlow6]\n";

// A sandbox whose data folder is resolved and whose stores hold the given files.
bool prepare(SettingsSandbox &sandbox, const QByteArray &user, const QByteArray &machine, const QByteArray &ini)
{
    ResolveDataFolder();
    return sandbox.isValid() && DataFolder() == sandbox.appData() + u"/Veltrane/Parlow6"_s
           && SettingsSandbox::writeFile(sandbox.userStore(), user)
           && SettingsSandbox::writeFile(sandbox.machineStore(), machine)
           && SettingsSandbox::writeFile(DataFolder() + u"/parlow.ini"_s, ini);
}

} // namespace

class tst_SuiteSettings final : public QObject
{
    Q_OBJECT

private slots:
    void storeChoice_data();
    void storeChoice();
    void readsAfresh();
    void suiteIni_data();
    void suiteIni();
};

void tst_SuiteSettings::storeChoice_data()
{
    QTest::addColumn<QByteArray>("user");
    QTest::addColumn<QByteArray>("machine");
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("defaultValue");
    QTest::addColumn<QString>("expected");

    const QByteArray none;
    const QByteArray ini = "[Parlow6]\nWindowSizeIndex=2\nBDBPath=ini-bdb\nFree=ini-free\nBlank=\n";
    const QByteArray machine = kMachineKey + "\"BDBPath\"=\"hklm-bdb\"\n\"Free\"=\"hklm-free\"\n"
                                             "\"Blank\"=\"hklm-blank\"\n\"WindowSizeIndex\"=\"7\"\n";
    const QByteArray user = kUserKey + "\"WindowSizeIndex\"=\"1\"\n\"Free\"=\"user-free\"\n"
                                       "\"Count\"=dword:00000002\n";

    QTest::newRow("user key without the value: default, not the INI")
        << kUserKey << machine << ini << 23 << QString() << u"0"_s << u"0"_s;
    QTest::newRow("user key with the value") << user << machine << ini << 23 << QString() << u"0"_s << u"1"_s;
    QTest::newRow("user number as text") << user << none << none << 0 << u"Count"_s << u"d"_s << u"2"_s;
    QTest::newRow("user key hides the machine store")
        << kUserKey << machine << ini << 1 << QString() << u"d"_s << u"d"_s;
    QTest::newRow("user key of another program does not count")
        << QByteArray("[Software\\VB and VBA Program Settings\\Veltrane\\Parlow5]\n") << machine << ini << 23
        << QString() << u"0"_s << u"2"_s;
    QTest::newRow("parent of the user key does not count")
        << QByteArray("[Software\\VB and VBA Program Settings\\Veltrane]\n") << machine << ini << 23 << QString()
        << u"0"_s << u"2"_s;

    QTest::newRow("slot 23 from the INI") << none << machine << ini << 23 << QString() << u"0"_s << u"2"_s;
    QTest::newRow("slot 23 without INI file") << none << machine << none << 23 << QString() << u"0"_s << u"0"_s;
    QTest::newRow("slot 23 with empty default") << none << machine << none << 23 << QString() << QString()
                                                << QString();
    QTest::newRow("slot 23 never from the machine store")
        << none << machine << QByteArray("[Parlow6]\n") << 23 << QString() << u"0"_s << u"0"_s;
    QTest::newRow("slot 23 ignores the caller's name") << none << machine << ini << 23 << u"Free"_s << u"0"_s
                                                       << u"2"_s;

    QTest::newRow("slot 1 from the machine store") << none << machine << ini << 1 << QString() << u"d"_s
                                                   << u"hklm-bdb"_s;
    QTest::newRow("slot 1 never from the INI") << none << kMachineKey << ini << 1 << QString() << u"d"_s << u"d"_s;
    QTest::newRow("slot 1 without machine store") << none << none << ini << 1 << QString() << u"d"_s << u"d"_s;

    QTest::newRow("slot 0 without a name reads nothing") << user << machine << ini << 0 << QString() << u"d"_s
                                                         << QString();
    QTest::newRow("slot 0 from the INI first") << none << machine << ini << 0 << u"Free"_s << u"d"_s
                                               << u"ini-free"_s;
    QTest::newRow("slot 0 empty INI value falls to the machine store")
        << none << machine << ini << 0 << u"Blank"_s << u"d"_s << u"hklm-blank"_s;
    QTest::newRow("slot 0 found nowhere") << none << machine << ini << 0 << u"Nowhere"_s << u"d"_s << u"d"_s;
    QTest::newRow("slot 0 with the user key") << user << machine << ini << 0 << u"Free"_s << u"d"_s
                                              << u"user-free"_s;

    QTest::newRow("slot 19 with a name reads the INI") << none << machine << ini << 19 << u"Free"_s << u"d"_s
                                                       << u"ini-free"_s;
    QTest::newRow("slot 19 without a name reads nothing") << none << machine << ini << 19 << QString() << u"d"_s
                                                          << QString();
    QTest::newRow("slot 19 empty INI value") << none << machine << ini << 19 << u"Blank"_s << u"d"_s << QString();
    QTest::newRow("slot 30 with a name reads the machine store")
        << none << machine << ini << 30 << u"Free"_s << u"d"_s << u"hklm-free"_s;
    QTest::newRow("slot 30 without a name reads nothing") << none << machine << ini << 30 << QString() << u"d"_s
                                                          << QString();
    QTest::newRow("slot 31 with a name reads the INI") << none << machine << ini << 31 << u"Free"_s << u"d"_s
                                                       << u"ini-free"_s;
    QTest::newRow("slot 35 reads the INI") << none << machine << ini << 35 << u"Free"_s << u"d"_s
                                           << u"ini-free"_s;
    QTest::newRow("negative slot reads the INI") << none << machine << ini << -1 << u"Free"_s << u"d"_s
                                                 << u"ini-free"_s;
    QTest::newRow("lowest slot without a name") << none << machine << ini << std::numeric_limits<int>::min()
                                                << QString() << u"d"_s << QString();
}

void tst_SuiteSettings::storeChoice()
{
    QFETCH(QByteArray, user);
    QFETCH(QByteArray, machine);
    QFETCH(QByteArray, ini);
    QFETCH(int, slot);
    QFETCH(QString, name);
    QFETCH(QString, defaultValue);
    QFETCH(QString, expected);

    SettingsSandbox sandbox;
    QVERIFY(prepare(sandbox, user, machine, ini));
    const QStringList before = sandbox.entries();

    QCOMPARE(GetSuiteSetting(slot, defaultValue, name), expected);
    // The stores are only read.
    QCOMPARE(sandbox.entries(), before);
}

void tst_SuiteSettings::readsAfresh()
{
    SettingsSandbox sandbox;
    QVERIFY(prepare(sandbox, QByteArray(), QByteArray(), "[Parlow6]\nWindowSizeIndex=2\n"));
    QCOMPARE(GetSuiteSetting(23, u"0"_s), u"2"_s);

    QVERIFY(SettingsSandbox::writeFile(DataFolder() + u"/parlow.ini"_s, "[Parlow6]\nWindowSizeIndex=1\n"));
    QCOMPARE(GetSuiteSetting(23, u"0"_s), u"1"_s);

    QVERIFY(SettingsSandbox::writeFile(sandbox.userStore(), kUserKey));
    QCOMPARE(GetSuiteSetting(23, u"0"_s), u"0"_s);

    QVERIFY(QFile::remove(sandbox.userStore()));
    QCOMPARE(GetSuiteSetting(23, u"0"_s), u"1"_s);
}

void tst_SuiteSettings::suiteIni_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("defaultValue");
    QTest::addColumn<QString>("expected");

    QTest::newRow("value") << QByteArray("[parlow6]\nwindowsizeindex = 2 \n") << u"0"_s << u"2"_s;
    QTest::newRow("cut at a NUL") << QByteArray("[Parlow6]\nWindowSizeIndex=2") + '\0' + "5\n" << u"0"_s << u"2"_s;
    QTest::newRow("value of 1024 bytes") << "[Parlow6]\nWindowSizeIndex=" + QByteArray(1024, '9') << u"0"_s
                                         << QString(1023, u'9');
    QTest::newRow("default of 1024 bytes") << QByteArray() << QString(1024, u'9') << QString(1023, u'9');
}

void tst_SuiteSettings::suiteIni()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, defaultValue);
    QFETCH(QString, expected);

    SettingsSandbox sandbox;
    QVERIFY(prepare(sandbox, QByteArray(), QByteArray(), ini));

    QCOMPARE(ReadSuiteIni(u"Parlow6"_s, u"WindowSizeIndex"_s, defaultValue), expected);
    QCOMPARE(GetSuiteSetting(23, defaultValue), expected);
}

QTEST_GUILESS_MAIN(tst_SuiteSettings)
#include "tst_suitesettings.moc"
