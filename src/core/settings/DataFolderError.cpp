#include "core/settings/DataFolderError.h"

using namespace Qt::StringLiterals;

namespace {

QString describe(const QString &path)
{
    return u"データフォルダ %1 を作成できません。"_s.arg(path);
}

} // namespace

DataFolderError::DataFolderError(const QString &path)
    : std::runtime_error(describe(path).toStdString()), m_path(path)
{
}

QString DataFolderError::description() const
{
    return describe(m_path);
}
