#include "core/data/SqliteBatch.h"

#include "core/data/DbConnection.h"

#include <sqlite3.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

struct Finalize
{
    void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
};

int bind(sqlite3_stmt *statement, int at, const QVariant &value)
{
    if (value.isNull())
        return sqlite3_bind_null(statement, at);
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
        return sqlite3_bind_int64(statement, at, value.toLongLong());
    case QMetaType::Double:
        return sqlite3_bind_double(statement, at, value.toDouble());
    default: {
        // Never a null pointer: SQLite would take that for Null.
        const QByteArray text = value.toString().toUtf8();
        return sqlite3_bind_text(statement, at, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
    }
}

} // namespace

void SqliteBatch::Run(sqlite3 *handle, const QString &statement, const QList<QVariantList> &rows)
{
    if (rows.isEmpty())
        return;
    const QByteArray sql = statement.toUtf8();
    sqlite3_stmt *raw = nullptr;
    if (sqlite3_prepare_v2(handle, sql.constData(), int(sql.size()), &raw, nullptr) != SQLITE_OK)
        throw DbError(QString::fromUtf8(sqlite3_errmsg(handle)));
    if (!raw)
        throw DbError(u"実行する文がありません。"_s);
    const std::unique_ptr<sqlite3_stmt, Finalize> prepared(raw);
    const int parameters = sqlite3_bind_parameter_count(raw);
    for (const QVariantList &values : rows) {
        if (values.size() != parameters)
            throw DbError(u"値の数 %1 が文の ? の数 %2 と合いません。"_s.arg(values.size()).arg(parameters));
        sqlite3_reset(raw);
        for (int i = 0; i < parameters; ++i) {
            if (bind(raw, i + 1, values.at(i)) != SQLITE_OK)
                throw DbError(QString::fromUtf8(sqlite3_errmsg(handle)));
        }
        int result = SQLITE_ROW;
        while (result == SQLITE_ROW)
            result = sqlite3_step(raw);
        if (result != SQLITE_DONE)
            throw DbError(QString::fromUtf8(sqlite3_errmsg(handle)));
    }
}
