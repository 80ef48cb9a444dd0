#include "core/data/NamedRecordset.h"

using namespace Qt::StringLiterals;

QVariant NamedRecordset::Fields(const QString &name) const
{
    requireRow();
    return ValueAt(FieldIndex(name));
}

int NamedRecordset::FieldIndex(const QString &name) const
{
    for (qsizetype i = 0; i < m_names.size(); ++i) {
        if (m_names.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    throw DbError(u"項目 %1 は結果にありません。"_s.arg(name));
}

void NamedRecordset::requireRow() const
{
    if (!m_onRow)
        throw DbError(u"現在の行がありません。"_s);
}

void NamedRecordset::requireColumn(int index) const
{
    requireRow();
    if (index < 0 || index >= m_names.size())
        throw DbError(u"項目番号 %1 は結果にありません。"_s.arg(index));
}
