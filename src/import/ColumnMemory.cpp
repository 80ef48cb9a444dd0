#include "import/ColumnMemory.h"

#include "core/settings/SuiteSettings.h"


namespace ColumnMemory {

std::optional<CsvColumns> recall(const SuiteSettings &settings, const QString &key)
{
    if (settings.dataFolder().isEmpty())
        return std::nullopt;
    return CsvColumns::fromText(settings.ini(key, QString()));
}

bool remember(const SuiteSettings &settings, const QString &key, const CsvColumns &columns)
{
    return settings.writeIni(key, columns.toText());
}

} // namespace ColumnMemory
