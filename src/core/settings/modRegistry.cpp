#include "core/settings/modRegistry.h"

#include "core/settings/RegistryStore.h"

#include <QtEndian>

#include <cstring>
#include <optional>

namespace {

constexpr qsizetype kTextBufferBytes = 256;
constexpr qsizetype kNumberBytes = 4;

} // namespace

QVariant RegReadValue(RegRoot root, const QString &keyPath, const QString &valueName, qint32 kind,
                      const QVariant &defaultValue)
{
    const RegistryStore store = RegistryStore::load(root);
    if (!store.hasKey(keyPath))
        return defaultValue;
    if (kind != kRegKindString && kind != kRegKindNumber)
        return defaultValue;
    const std::optional<RegistryValue> value = store.value(keyPath, valueName);
    if (!value)
        return defaultValue;

    if (kind == kRegKindString) {
        if (value->data.size() > kTextBufferBytes)
            return defaultValue;
        return value->text();
    }

    if (value->data.size() > kNumberBytes)
        return defaultValue;
    // Shorter data fills the low bytes of a number that starts at 0.
    char bytes[kNumberBytes]{};
    std::memcpy(bytes, value->data.constData(), static_cast<size_t>(value->data.size()));
    return qFromLittleEndian<qint32>(bytes);
}

bool RegKeyExists(RegRoot root, const QString &keyPath)
{
    return RegistryStore::load(root).hasKey(keyPath);
}
