// Settings files that are not small regular files count as missing, and the
// lock timeout is read from parlow.ini.
#include "core/settings/SuiteSettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

class tst_SettingsFiles final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;

    QString iniPath() const { return DataFolder() + u"/parlow.ini"_s; }

    void writeIni(const QByteArray &content)
    {
        QFile::remove(iniPath());
        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    // The read on a thread of its own, so a read that hangs fails the test
    // instead of the whole run.
    static QString readWithin(int ms)
    {
        auto done = std::make_shared<std::atomic<bool>>(false);
        auto value = std::make_shared<QString>();
        std::thread([=] {
            *value = GetSuiteSetting(SettingSlot::WindowSizeIndex, u"default"_s);
            *done = true;
        }).detach();
        return QTest::qWaitFor([&] { return done->load(); }, ms) ? *value : u"hung"_s;
    }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("PARLOW6_APPDATA", m_home.path().toLocal8Bit());
        ResolveDataFolder();
    }

    void notRegularFilesAreMissing_data()
    {
        QTest::addColumn<bool>("registry");
        QTest::newRow("per-user registry is a pipe") << true;
        QTest::newRow("parlow.ini is a pipe") << false;
    }
    void notRegularFilesAreMissing()
    {
        QFETCH(bool, registry);
        const QString pipe = m_home.filePath(u"pipe"_s);
        QFile::remove(pipe);
        QFile::remove(iniPath());
        QCOMPARE(mkfifo(QFile::encodeName(registry ? pipe : iniPath()).constData(), 0600), 0);
        qputenv("PARLOW6_USER_REGISTRY", registry ? pipe.toLocal8Bit() : QByteArray());
        QCOMPARE(readWithin(3000), u"default"_s);
    }

    void oversizedIniIsMissing()
    {
        qputenv("PARLOW6_USER_REGISTRY", QByteArray());
        writeIni("[Parlow6]\nWindowSizeIndex=2\n" + QByteArray(2 * 1024 * 1024, ';'));
        QCOMPARE(readWithin(3000), u"default"_s);
        writeIni("[Parlow6]\nWindowSizeIndex=2\n");
        QCOMPARE(readWithin(3000), u"2"_s);
    }

    void lockTimeout_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("ms");
        QTest::newRow("seconds") << QByteArray("12") << 12000;
        QTest::newRow("fraction") << QByteArray("0.5") << 500;
        QTest::newRow("zero") << QByteArray("0") << 0;
        QTest::newRow("negative") << QByteArray("-3") << 5000;
        QTest::newRow("text") << QByteArray("10秒") << 5000;
        QTest::newRow("past an hour") << QByteArray("7200") << 5000;
    }
    void lockTimeout()
    {
        QFETCH(QByteArray, value);
        QFETCH(int, ms);
        writeIni("[Parlow6]\nLockTimeout=" + value + "\n");
        QCOMPARE(LockTimeoutMs(5000), ms);
    }
};

QTEST_GUILESS_MAIN(tst_SettingsFiles)
#include "tst_settingsfiles.moc"
