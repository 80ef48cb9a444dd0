#include "core/settings/SuiteSettings.h"

#include "core/data/FieldValue.h"
#include "core/settings/ProfileString.h"
#include "core/settings/RegistryStore.h"
#include "core/settings/StoredText.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>

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
    {u"BDBPath", M}, {u"AttachPath", M}, {u"TimeOut"}, {u"SavePathB"}, {u"SavePathT"}, // 1-5
    {u"TDBPath", M}, {u"DBPath", M}, {u"Tax"}, {u"AutoDelete"}, {u"WaveFile"}, // 6-10
    {u"SendLog"}, {u"GetLog"}, {u"LogPath", M}, {u"NoAttach"}, {u"SendBox", M}, // 11-15
    {u"SendPreview"}, {u"PrevSiwake"}, {u"PrevTemplate"}, {u""}, {u"BackUpPath"}, // 16-20
    {u"UidlPath", M}, {u"WindowSize"}, {u"WindowSizeIndex"}, {u"SelectedShop"}, {u"PrevLoginUser"}, // 21-25
    {u"SearchMode"}, {u"SearchWindow"}, {u"SearchWindowPos"}, {u"DMKbnInitValue"}, {u"", M}, // 26-30
    {u""}, {u"RFormatPath", M}, {u"SiwakeSkipOverFlowMsg"}, {u"ListSort"}, // 31-34
}};

constexpr QStringView kSection = u"Parlow6";
constexpr QStringView kUserKey = u"Software\\VB and VBA Program Settings\\Veltrane\\Parlow6";
constexpr QStringView kMachineKey = u"SOFTWARE\\Veltrane\\Parlow6";
// 1023 bytes of text and the closing NUL.
constexpr qsizetype kIniBufferBytes = 1024;
// A machine-store text longer than its 255-byte buffer gives the default.
constexpr qsizetype kRegTextBytes = 256;

// The stored type is not checked: the value's raw data is read as text.
QString readMachineStore(const QString &name, const QString &defaultValue)
{
    const std::optional<RegistryValue> value =
        RegistryStore::load(RegRoot::LocalMachine).value(kMachineKey.toString(), name);
    return value && value->data.size() <= kRegTextBytes ? value->text() : defaultValue;
}

} // namespace

QString SuiteSettings::setting(qint32 slot, const QString &defaultValue, const QString &valueName) const
{
    const SlotEntry *entry = slot >= 1 && slot <= qint32(kSlots.size()) ? &kSlots[size_t(slot - 1)] : nullptr;
    const QString name = entry && !entry->name.isEmpty() ? entry->name.toString() : valueName;
    if (name.isEmpty())
        return QString();

    if (const RegistryStore user = RegistryStore::load(RegRoot::CurrentUser); user.hasKey(kUserKey.toString())) {
        // A text or a 32-bit number (as its decimal text) of the user's key.
        const std::optional<RegistryValue> value = user.value(kUserKey.toString(), name);
        if (value && value->type == RegistryValue::kString)
            return value->text();
        if (value && value->type == RegistryValue::kNumber && value->data.size() == 4)
            return QString::number(qFromLittleEndian<qint32>(value->data.constData()));
        return defaultValue;
    }
    if (entry && entry->machineStore)
        return readMachineStore(name, defaultValue);
    if (slot == 0) {
        const QString fromIni = ini(name, QString());
        return fromIni.isEmpty() ? readMachineStore(name, defaultValue) : fromIni;
    }
    return ini(name, defaultValue);
}

int SuiteSettings::lockTimeoutMs(int defaultMs) const
{
    const QString text = ini(u"LockTimeout"_s, QString()).trimmed();
    const FieldValue::NumberRead seconds = FieldValue::ReadNumber(text);
    if (text.isEmpty() || seconds.length != text.size() || !(seconds.value >= 0 && seconds.value <= 3600))
        return defaultMs;
    return int(seconds.value * 1000);
}

QString SuiteSettings::ini(const QString &key, const QString &defaultValue) const
{
    // The text stops at a NUL, as a C string does; left(-1) keeps it whole.
    const QString value = ReadProfileString(kSection.toString(), key, defaultValue, kIniBufferBytes, iniPath());
    return value.left(value.indexOf(QChar(u'\0')));
}

bool SuiteSettings::writeIni(const QString &key, const QString &value) const
{
    const QString path = iniPath();
    if (path.isEmpty())
        return false;
    QByteArray bytes;
    if (QFile file(path); file.exists()) {
        if (!file.open(QIODevice::ReadOnly))
            return false;
        bytes = file.readAll();
    }
    const DecodedText stored = DecodedText::decode(bytes);
    const QString text = withKey(stored.text(), kSection.toString(), key, value);
    // The file stays in the encoding it had: the suite's other programs read it too.
    const QByteArray bom = stored.encoding() == TextEncoding::Utf8 && bytes.startsWith("\xEF\xBB\xBF")
                               ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    const QByteArray out = bom + QByteArray(StoredText::EncoderFor(stored.encoding()).encode(text));
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size() && file.commit();
}

QString SuiteSettings::withKey(const QString &ini, const QString &section, const QString &key, const QString &value)
{
    const QString eol = ini.contains(u"\r\n"_s) || ini.isEmpty() ? u"\r\n"_s : u"\n"_s;
    const bool endsInBreak = ini.endsWith(u'\n');
    QList<QStringView> lines = QStringView(ini).split(u'\n');
    if (endsInBreak)
        lines.removeLast();
    // Found as the reader finds it, so what is written is what is read back.
    const ProfileSpot spot = FindProfileKey(lines, section, key);
    if (spot.section < 0)
        return ini + (ini.isEmpty() || endsInBreak ? QString() : eol) + u'[' + section + u']' + eol + key + u'='
               + value + eol;
    QStringList out;
    for (const QStringView line : lines)
        out.append(line.toString());
    const QString entry = key + u'=' + value + (eol == u"\r\n" ? u"\r"_s : QString());
    if (spot.key >= 0)
        out[spot.key] = entry;
    else
        out.insert(spot.lastInSection + 1, entry);
    return out.join(u'\n') + (endsInBreak ? u"\n"_s : QString());
}
