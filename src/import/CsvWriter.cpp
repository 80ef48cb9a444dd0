#include "import/CsvWriter.h"

using namespace Qt::StringLiterals;

QString CsvWriter::field(const QString &written)
{
    const QString value = !written.isEmpty() && QStringView(u"=+-@\t\r").contains(written.front())
                              ? u'\'' + written
                              : written;
    const bool quote = value.contains(u',') || value.contains(u'"') || value.contains(u'\n')
                       || value.contains(u'\r') || value != value.trimmed();
    if (!quote)
        return value;
    QString quoted = value;
    quoted.replace(u"\""_s, u"\"\""_s);
    return u'"' + quoted + u'"';
}

QByteArray CsvWriter::document(const QList<QStringList> &rows)
{
    QString text;
    for (const QStringList &row : rows) {
        QStringList fields;
        fields.reserve(row.size());
        for (const QString &value : row)
            fields.append(field(value));
        text += fields.join(u',') + u"\r\n"_s;
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}
