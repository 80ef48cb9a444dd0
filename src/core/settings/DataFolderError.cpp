#include "core/settings/DataFolderError.h"

using namespace Qt::StringLiterals;

DataFolderError::DataFolderError(const QString &path)
    : std::runtime_error(u"データフォルダ %1 を作成できません。"_s.arg(path).toStdString()), m_path(path)
{
}

QString DataFolderError::description() const
{
    return QString::fromUtf8(what());
}
