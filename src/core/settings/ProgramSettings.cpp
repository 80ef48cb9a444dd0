#include "core/settings/ProgramSettings.h"

#include "core/settings/RegistryStore.h"

#include <QtEndian>

#include <optional>

using namespace Qt::StringLiterals;

QString ProgramSettingsKey(const QString &appName, const QString &section)
{
    return u"Software\\VB and VBA Program Settings\\"_s % appName % u'\\' % section;
}

QString GetSetting(const QString &appName, const QString &section, const QString &key,
                   const QString &defaultValue)
{
    const std::optional<RegistryValue> value =
        RegistryStore::load(RegRoot::CurrentUser).value(ProgramSettingsKey(appName, section), key);
    if (!value)
        return defaultValue;
    if (value->type == RegistryValue::kString)
        return value->text();
    if (value->type == RegistryValue::kNumber && value->data.size() == 4)
        return QString::number(qFromLittleEndian<qint32>(value->data.constData()));
    return defaultValue;
}
