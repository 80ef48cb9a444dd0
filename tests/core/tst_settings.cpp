// The suite's settings stores. Each test has a temporary folder of its own
// that the registry files and the application-data folder point into.
#include "CoreTest.h"

#include "core/settings/DataFolderError.h"
#include "core/settings/ProfileString.h"
#include "core/settings/RegistryStore.h"
#include "core/settings/SuiteSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <atomic>
#include <memory>
#include <thread>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

class tst_Settings final : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir().mkdir(at(u"@/appdata"_s)));
        // Naming a folder, the variables mean user.reg and machine.reg in it.
        setEnv("PARLOW6_USER_REGISTRY", u"@"_s);
        setEnv("PARLOW6_MACHINE_REGISTRY", u"@"_s);
    }

    void suiteSetting_data()
    {
        // The files there: u the user key with values, k the bare user key, c a key below it,
        // o another program's user key, m the machine store, i parlow.ini. The default is "d".
        columns<QString, int, QString, QString>("stores", "slot", "name", "expected");
        QTest::newRow("user key with the value") << u"umi"_s << 23 << QString() << u"1"_s;
        QTest::newRow("user key without it") << u"kmi"_s << 23 << QString() << u"d"_s;
        QTest::newRow("user number as decimal text") << u"u"_s << 0 << u"Count"_s << u"-2"_s;
        QTest::newRow("user key hides the machine store") << u"kmi"_s << 1 << QString() << u"d"_s;
        QTest::newRow("a child key makes the user key") << u"cmi"_s << 23 << QString() << u"d"_s;
        QTest::newRow("another program's user key") << u"omi"_s << 23 << QString() << u"2"_s;
        QTest::newRow("slot 23 from the INI by its own name") << u"mi"_s << 23 << u"Free"_s << u"2"_s;
        QTest::newRow("slot 23 never from the machine store") << u"m"_s << 23 << QString() << u"d"_s;
        QTest::newRow("slot 1 from the machine store") << u"mi"_s << 1 << QString() << u"hklm"_s;
        QTest::newRow("slot 1 never from the INI") << u"i"_s << 1 << QString() << u"d"_s;
        QTest::newRow("slot 0 without a name reads nothing") << u"umi"_s << 0 << QString() << QString();
        QTest::newRow("slot 0 from the INI first") << u"mi"_s << 0 << u"Free"_s << u"ini"_s;
        QTest::newRow("slot 0 empty in the INI") << u"mi"_s << 0 << u"Blank"_s << u"hklm"_s;
        QTest::newRow("INI value cut at a NUL") << u"i"_s << 0 << u"Nul"_s << u"2"_s;
        QTest::newRow("INI value cut to 1023 bytes") << u"i"_s << 0 << u"Long"_s << QString(1023, u'9');
        QTest::newRow("slot 19 names its value") << u"mi"_s << 19 << u"Free"_s << u"ini"_s;
        QTest::newRow("slot 30 names its value") << u"mi"_s << 30 << u"Free"_s << u"hklm"_s;
        QTest::newRow("escapes") << u"m"_s << 30 << u"Path"_s << u"a\"b\\c\\d"_s;
        QTest::newRow("256 bytes do not") << u"m"_s << 30 << u"Long"_s << u"d"_s;
        QTest::newRow("later line wins, names in any case") << u"m"_s << 30 << u"v"_s << u"two"_s;
        // The stored type is not checked: the raw data is read as text.
        QTest::newRow("number read as text") << u"m"_s << 30 << u"Two"_s << u"2"_s;
        QTest::newRow("root named, CRLF") << u"m"_s << 30 << u"Crlf"_s << u"x"_s;
        QTest::newRow("the other root's section") << u"m"_s << 30 << u"User"_s << u"d"_s;
    }

    void suiteSetting()
    {
        QFETCH(QString, stores);
        QFETCH(int, slot);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        const QByteArray userKey = "[Software\\VB and VBA Program Settings\\Veltrane\\Parlow6]\n";
        const QString user = u"@/user.reg"_s;
        const QMap<QChar, std::pair<QString, QByteArray>> files{
            {u'u', {user, userKey + "\"WindowSizeIndex\"=\"1\"\n\"Count\"=dword:fffffffe\n"}},
            {u'k', {user, userKey}},
            {u'c', {user, "[Software\\VB and VBA Program Settings\\Veltrane\\Parlow6\\Sub]\n"}},
            {u'o', {user, "[Software\\VB and VBA Program Settings\\Veltrane\\Parlow5]\n"}},
            {u'm', {u"@/machine.reg"_s,
                    "[SOFTWARE\\Veltrane\\Parlow6]\n\"BDBPath\"=\"hklm\"\n\"Free\"=\"hklm\"\n\"Blank\"=\"hklm\"\n"
                    "\"WindowSizeIndex\"=\"7\"\n\"Path\"=\"a\\\"b\\\\c\\d\"\n\"V\"=\"one\"\n\"Long\"=\""
                        + QByteArray(256, 'a') + "\"\n"
                        "\"Two\"=dword:00000032\n[software\\veltrane\\PARLOW6]\n"
                        "\"v\"=\"two\"\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Veltrane\\Parlow6]\r\n\"Crlf\" = \"x\"\r\n"
                        "[HKCU\\SOFTWARE\\Veltrane\\Parlow6]\n\"User\"=\"x\"\n"}},
            {u'i', {u"@/parlow.ini"_s, "[Parlow6]\nWindowSizeIndex=2\nBDBPath=ini\nFree=ini\nBlank=\nNul=2"
                                           + QByteArray(1, '\0') + " 5\nLong=" + QByteArray(1024, '9') + '\n'}}};
        for (const QChar store : stores)
            write(files[store].first, files[store].second);
        QCOMPARE(SuiteSettings(at(u"@"_s)).setting(slot, u"d"_s, name), expected);
    }

    void iniFiles_data()
    {
        columns<QByteArray, QString, QString>("file", "defaultValue", "expected");
        const auto cp932 = [](const QString &text) -> QByteArray { return QStringEncoder("windows-31j").encode(text); };
        const QByteArray head = "[Parlow6]\nKey=";
        const QString nyu341(341, u'入');
        QTest::newRow("any case, blanks") << QByteArray("[ parlow6 ]\r\n\tkey = a b \r\n") << u"d"_s << u"a b"_s;
        QTest::newRow("missing file") << QByteArray() << u" d "_s << u" d"_s;
        QTest::newRow("empty value beats the default") << head + '\n' << u"d"_s << QString();
        QTest::newRow("only the first section of the name")
            << QByteArray("Key=x\n[Parlow6]\n[Other]\nKey=x\n[PARLOW6]\nKey=x\n") << u"d"_s << u"d"_s;
        QTest::newRow("first key wins") << head + "first\nKEY=second\n" << u"d"_s << u"first"_s;
        QTest::newRow("one pair of quotes goes") << head + "\"\" x \"\"" << u"d"_s << u"\" x \""_s;
        QTest::newRow("CP932") << head + cp932(u"入金～①ﾆｭｳｷﾝ"_s) << u"d"_s << u"入金～①ﾆｭｳｷﾝ"_s;
        QTest::newRow("neither: Latin-1") << head + "caf\xE9!" << u"d"_s << u"café!"_s;
        QTest::newRow("UTF-8 character not split") << head + "a" + nyu341.toUtf8() << u"d"_s
                                                   << u"a"_s + nyu341.left(340);
        // No settings file is that big; one that is was never meant to be read whole.
        QTest::newRow("over 1 MiB") << head + "x\n" + QByteArray(1024 * 1024, ';') << u"d"_s << u"d"_s;
        QTest::newRow("CP932 character not split") << head + cp932(u"ab"_s + QString(511, u'入')) << u"d"_s
                                                   << u"ab"_s + QString(510, u'入');
    }

    void iniFiles()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, defaultValue);
        QFETCH(QString, expected);
        write(u"@/parlow.ini"_s, file);
        QCOMPARE(ReadProfileString(u"Parlow6"_s, u"Key"_s, defaultValue, 1024, at(u"@/parlow.ini"_s)), expected);
    }

    void pipeIsNoFile()
    {
        // Read on a thread of its own, so a read that hangs fails this test, not the run.
        const QString path = at(u"@/parlow.ini"_s);
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        auto done = std::make_shared<std::atomic<bool>>(false);
        std::thread([done, path] {
            ReadProfileString(u"Parlow6"_s, u"Key"_s, u"d"_s, 1024, path);
            *done = true;
        }).detach();
        QVERIFY(QTest::qWaitFor([&] { return done->load(); }, 3000));
    }

    void lockTimeout_data()
    {
        // A fraction of a second is read whole: the server test's 1.5 s is sent as 1500ms.
        columns<QByteArray, int>("value", "ms");
        QTest::newRow("negative") << QByteArray("-3") << 5000;
        QTest::newRow("text after it") << QByteArray("10秒") << 5000;
        QTest::newRow("past an hour") << QByteArray("7200") << 5000;
    }

    void lockTimeout()
    {
        QFETCH(QByteArray, value);
        QFETCH(int, ms);
        write(u"@/parlow.ini"_s, "[Parlow6]\nLockTimeout=" + value + '\n');
        QCOMPARE(SuiteSettings(at(u"@"_s)).lockTimeoutMs(5000), ms);
    }

    void dataFolder_data()
    {
        // appData "-" is unset, so the XDG data home counts; file is there beforehand; no
        // expected folder means the component's own.
        columns<QString, QString, QString, bool>("appData", "file", "expected", "fails");
        const QString made = u"@/appdata/Veltrane/Parlow6"_s;
        QTest::newRow("both made") << u"@/appdata/"_s << QString() << made << false;
        QTest::newRow("parent there") << u"@/appdata"_s << u"appdata/Veltrane/x"_s << made << false;
        QTest::newRow("a file in the parent's place") << u"@/appdata"_s << u"appdata/Veltrane"_s << made << true;
        QTest::newRow("fresh data home") << u"@/home/.local/share"_s << QString()
                                         << u"@/home/.local/share/Veltrane/Parlow6"_s << false;
        QTest::newRow("XDG data home") << u"-"_s << QString() << u"@/xdg/Veltrane/Parlow6"_s << false;
        QTest::newRow("set to nothing") << QString() << QString() << QString() << false;
        QTest::newRow("relative") << u"relative"_s << QString() << QString() << false;
    }

    void dataFolder()
    {
        QFETCH(QString, appData);
        QFETCH(QString, file);
        QFETCH(QString, expected);
        QFETCH(bool, fails);
        if (!file.isEmpty())
            write(u"@/"_s + file, "x");
        setEnv("XDG_DATA_HOME", u"@/xdg"_s);
        setEnv("PARLOW6_APPDATA", appData);
        QString failed;
        SuiteSettings settings;
        try {
            settings = SuiteSettings::Resolve();
        } catch (const DataFolderError &error) {
            failed = error.path();
        }
        QCOMPARE(failed, fails ? at(expected) : QString());
        if (expected.isEmpty()) {
            QCOMPARE(QFileInfo(settings.dataFolder()).canonicalFilePath(),
                     QFileInfo(QCoreApplication::applicationDirPath()).canonicalFilePath());
            return;
        }
        if (fails)
            return;
        QCOMPARE(settings.dataFolder(), at(expected));
        QVERIFY(QFileInfo::exists(settings.dataFolder()));
        // A data home made here is the user's alone, as the XDG rules ask.
        if (appData.contains(u".local"))
            QCOMPARE(QFileInfo(at(appData)).permissions() & (QFile::ReadGroup | QFile::ReadOther),
                     QFile::Permissions());
    }

    void storeLocation()
    {
        // Unset, the variables leave the stores to the XDG folders, where a
        // machine store in the user's own config home does not count.
        setEnv("PARLOW6_USER_REGISTRY", u"-"_s);
        setEnv("PARLOW6_MACHINE_REGISTRY", u"-"_s);
        setEnv("XDG_CONFIG_HOME", u"@/home"_s);
        setEnv("XDG_CONFIG_DIRS", u"@/sys1:@/sys2"_s);
        write(u"@/home/Veltrane/machine.reg"_s, "x");
        write(u"@/sys2/Veltrane/machine.reg"_s, "x");
        QCOMPARE(RegistryStore::filePath(RegRoot::CurrentUser), at(u"@/home/Veltrane/user.reg"_s));
        QCOMPARE(RegistryStore::filePath(RegRoot::LocalMachine), at(u"@/sys2/Veltrane/machine.reg"_s));
    }

private:
    // "@" stands for the test's folder.
    QString at(QString path) const { return path.replace(u'@', m_dir->path()); }

    // "-" unsets the variable.
    void setEnv(const char *name, const QString &value) const
    {
        if (value == u"-")
            qunsetenv(name);
        else
            qputenv(name, QFile::encodeName(at(value)));
    }

    // A null array writes nothing.
    void write(const QString &path, const QByteArray &bytes) const
    {
        if (bytes.isNull())
            return;
        QVERIFY(QDir().mkpath(QFileInfo(at(path)).absolutePath()));
        QFile file(at(path));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
