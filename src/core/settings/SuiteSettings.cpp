#include "core/settings/SuiteSettings.h"

#include "core/data/FieldValue.h"
#include "core/settings/ProfileString.h"
#include "core/settings/ProgramSettings.h"
#include "core/settings/modRegistry.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {

struct SlotEntry
{
    QStringView name;
    bool machineStore{false};
};

// Slots 1..34 of the suite's settings. An empty name means the caller names
// the value; M marks the paths that are the same for every user of a machine.
constexpr bool M = true;
constexpr std::array<SlotEntry, 34> kSlots{{
    {u"BDBPath", M},
    {u"AttachPath", M},
    {u"TimeOut"},
    {u"SavePathB"},
    {u"SavePathT"},
    {u"TDBPath", M},
    {u"DBPath", M},
    {u"Tax"},
    {u"AutoDelete"},
    {u"WaveFile"},
    {u"SendLog"},
    {u"GetLog"},
    {u"LogPath", M},
    {u"NoAttach"},
    {u"SendBox", M},
    {u"SendPreview"},
    {u"PrevSiwake"},
    {u"PrevTemplate"},
    {u""},
    {u"BackUpPath"},
    {u"UidlPath", M},
    {u"WindowSize"},
    {u"WindowSizeIndex"},
    {u"SelectedShop"},
    {u"PrevLoginUser"},
    {u"SearchMode"},
    {u"SearchWindow"},
    {u"SearchWindowPos"},
    {u"DMKbnInitValue"},
    {u"", M},
    {u""},
    {u"RFormatPath", M},
    {u"SiwakeSkipOverFlowMsg"},
    {u"ListSort"},
}};

constexpr QStringView kAppName = u"Veltrane";
constexpr QStringView kSection = u"Parlow6";
constexpr QStringView kMachineKey = u"SOFTWARE\\Veltrane\\Parlow6";
constexpr QStringView kIniFileName = u"parlow.ini";
// 1023 bytes of text and the closing NUL.
constexpr qsizetype kIniBufferBytes = 1024;

const SlotEntry *slotEntry(qint32 slot)
{
    if (slot < 1 || slot > static_cast<qint32>(kSlots.size()))
        return nullptr;
    return &kSlots[static_cast<size_t>(slot - 1)];
}

QString readMachineStore(const QString &name, const QString &defaultValue)
{
    return RegReadValue(RegRoot::LocalMachine, kMachineKey.toString(), name, kRegKindString,
                        defaultValue)
        .toString();
}

} // namespace

QString GetSuiteSetting(qint32 slot, const QString &defaultValue, const QString &valueName)
{
    const SlotEntry *entry = slotEntry(slot);
    const QString name = entry && !entry->name.isEmpty() ? entry->name.toString() : valueName;
    if (name.isEmpty())
        return QString();

    const QString app = kAppName.toString();
    const QString section = kSection.toString();
    if (RegKeyExists(RegRoot::CurrentUser, ProgramSettingsKey(app, section)))
        return GetSetting(app, section, name, defaultValue);

    if (entry && entry->machineStore)
        return readMachineStore(name, defaultValue);
    if (slot == 0) {
        const QString fromIni = ReadSuiteIni(section, name, QString());
        return fromIni.isEmpty() ? readMachineStore(name, defaultValue) : fromIni;
    }
    return ReadSuiteIni(section, name, defaultValue);
}

int LockTimeoutMs(int defaultMs)
{
    const QString text = ReadSuiteIni(kSection.toString(), u"LockTimeout"_s, QString()).trimmed();
    const FieldValue::NumberRead seconds = FieldValue::ReadNumber(text);
    if (text.isEmpty() || seconds.length != text.size() || !(seconds.value >= 0 && seconds.value <= 3600))
        return defaultMs;
    return int(seconds.value * 1000);
}

QString ReadSuiteIni(const QString &section, const QString &key, const QString &defaultValue)
{
    // Before the data folder is known there is no parlow.ini to read.
    const QString folder = DataFolder();
    const QString file = folder.isEmpty() ? QString() : folder % u'/' % kIniFileName;
    QString value = ReadProfileString(section, key, defaultValue, kIniBufferBytes, file);
    const qsizetype nul = value.indexOf(QChar(u'\0'));
    if (nul >= 0)
        value.truncate(nul);
    return value;
}
