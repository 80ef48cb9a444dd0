#include "core/settings/DataFolderError.h"
#include "core/settings/SuiteSettings.h"

#include "SettingsSandbox.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_DataFolder final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void appDataFolder_data();
    void appDataFolder();
    void resolve_data();
    void resolve();
    void unresolvable_data();
    void unresolvable();
};

void tst_DataFolder::initTestCase()
{
    // Before the first resolution there is no folder, and so no parlow.ini.
    QCOMPARE(DataFolder(), QString());
    SettingsSandbox sandbox;
    QCOMPARE(ReadSuiteIni(u"Parlow6"_s, u"WindowSizeIndex"_s, u"0"_s), u"0"_s);
}

void tst_DataFolder::appDataFolder_data()
{
    QTest::addColumn<QString>("appData");
    QTest::addColumn<QString>("xdgDataHome");
    QTest::addColumn<QString>("expected");

    // "-" leaves the variable unset; "@" stands for the sandbox.
    QTest::newRow("own variable") << u"@/mine"_s << u"@/xdg"_s << u"@/mine"_s;
    QTest::newRow("trailing separator dropped") << u"@/mine/"_s << u"-"_s << u"@/mine"_s;
    QTest::newRow("XDG data home") << u"-"_s << u"@/xdg"_s << u"@/xdg"_s;
    QTest::newRow("set to nothing") << QString() << u"@/xdg"_s << QString();
    QTest::newRow("relative path") << u"relative/dir"_s << u"@/xdg"_s << QString();
}

void tst_DataFolder::appDataFolder()
{
    QFETCH(QString, appData);
    QFETCH(QString, xdgDataHome);
    QFETCH(QString, expected);

    SettingsSandbox sandbox;
    QVERIFY(sandbox.isValid());
    const QString root = QDir::cleanPath(sandbox.path(QString()));
    auto place = [&root](QString text) { return text.replace(u'@', root); };
    if (appData == u"-")
        sandbox.unsetEnv("PARLOW6_APPDATA");
    else
        sandbox.setEnv("PARLOW6_APPDATA", place(appData));
    if (xdgDataHome == u"-")
        sandbox.unsetEnv("XDG_DATA_HOME");
    else
        sandbox.setEnv("XDG_DATA_HOME", place(xdgDataHome));

    QCOMPARE(GetAppDataFolder(), place(expected));
}

void tst_DataFolder::resolve_data()
{
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("fails");
    QTest::addColumn<QStringList>("expected");

    // Relative to the application-data folder.
    QTest::newRow("both missing") << QStringList() << QStringList() << false
                                  << QStringList{u"Veltrane/"_s, u"Veltrane/Parlow6/"_s};
    QTest::newRow("parent there") << QStringList{u"Veltrane"_s} << QStringList{u"Veltrane/other.txt"_s} << false
                                  << QStringList{u"Veltrane/"_s, u"Veltrane/Parlow6/"_s, u"Veltrane/other.txt"_s};
    QTest::newRow("folder there") << QStringList{u"Veltrane/Parlow6"_s}
                                  << QStringList{u"Veltrane/Parlow6/parlow.ini"_s} << false
                                  << QStringList{u"Veltrane/"_s, u"Veltrane/Parlow6/"_s,
                                                 u"Veltrane/Parlow6/parlow.ini"_s};
    QTest::newRow("file in the way") << QStringList{u"Veltrane"_s} << QStringList{u"Veltrane/Parlow6"_s} << false
                                     << QStringList{u"Veltrane/"_s, u"Veltrane/Parlow6"_s};
    QTest::newRow("file in place of the parent") << QStringList() << QStringList{u"Veltrane"_s} << true
                                                 << QStringList{u"Veltrane"_s};
}

void tst_DataFolder::resolve()
{
    QFETCH(QStringList, folders);
    QFETCH(QStringList, files);
    QFETCH(bool, fails);
    QFETCH(QStringList, expected);

    SettingsSandbox sandbox;
    QVERIFY(sandbox.isValid());
    QDir appData(sandbox.appData());
    for (const QString &folder : folders)
        QVERIFY(appData.mkpath(folder));
    for (const QString &file : files)
        QVERIFY(SettingsSandbox::writeFile(appData.filePath(file), "x"));

    const QString folder = sandbox.appData() + u"/Veltrane/Parlow6"_s;
    QString failedPath;
    try {
        ResolveDataFolder();
    } catch (const DataFolderError &error) {
        failedPath = error.path();
    }
    QCOMPARE(failedPath, fails ? folder : QString());

    QCOMPARE(DataFolder(), folder);
    QStringList found;
    for (const QString &entry : sandbox.entries()) {
        if (entry.startsWith(u"appdata/") && entry != u"appdata/")
            found << entry.mid(8);
    }
    QCOMPARE(found, expected);
}

void tst_DataFolder::unresolvable_data()
{
    QTest::addColumn<QString>("appData");

    QTest::newRow("missing application-data folder") << u"@/home/.local/share"_s;
    QTest::newRow("unresolvable application-data folder") << QString();
}

void tst_DataFolder::unresolvable()
{
    QFETCH(QString, appData);

    SettingsSandbox sandbox;
    QVERIFY(sandbox.isValid());
    const QString root = QDir::cleanPath(sandbox.path(QString()));
    const QString resolved = QString(appData).replace(u'@', root);
    sandbox.setEnv("PARLOW6_APPDATA", resolved);
    // Away from the program's folder, so the working folder cannot pass for it.
    const QString workingFolder = QDir::currentPath();
    QVERIFY(QDir::setCurrent(sandbox.appData()));
    const auto back = qScopeGuard([&workingFolder] { QDir::setCurrent(workingFolder); });

    ResolveDataFolder();

    if (resolved.isEmpty()) {
        // The folder of the file holding the component: here, the test program.
        QCOMPARE(QFileInfo(DataFolder()).canonicalFilePath(),
                 QFileInfo(QCoreApplication::applicationDirPath()).canonicalFilePath());
        QCOMPARE(sandbox.entries(), QStringList{u"appdata/"_s});
    } else {
        // A fresh account's data home is made as the XDG rules ask, private to the user.
        QCOMPARE(DataFolder(), resolved + u"/Veltrane/Parlow6"_s);
        QVERIFY(QFileInfo(DataFolder()).isDir());
        QCOMPARE(QFileInfo(resolved).permissions() & (QFile::ReadGroup | QFile::ReadOther),
                 QFile::Permissions());
    }
}

QTEST_GUILESS_MAIN(tst_DataFolder)
#include "tst_datafolder.moc"
