#include "import/PayerNames.h"

#include "core/data/DbConnection.h"
#include "core/data/SqlCatalog.h"
#include "import/MatchKeys.h"

using namespace Qt::StringLiterals;

QString PayerNames::normalised(const QString &payer)
{
    // NFKC makes half-width kana full-width (ﾀﾞ as ダ) and brackets ASCII.
    const QString folded = payer.normalized(QString::NormalizationForm_KC);
    QString name;
    name.reserve(folded.size());
    for (QChar c : folded) {
        if (c.unicode() >= u'ぁ' && c.unicode() <= u'ゖ')
            c = QChar(c.unicode() + (u'ァ' - u'ぁ'));
        // Spaces and long-vowel marks go, small kana are written large.
        if (c.isSpace() || QStringView(u"ー-‐‑–—―−～〜").contains(c))
            continue;
        const qsizetype small = QStringView(u"ァィゥェォッャュョヮヵヶ").indexOf(c);
        name += small < 0 ? c : QStringView(u"アイウエオツヤユヨワカケ").at(small);
    }
    // Banks abbreviate 株式会社 as カ) before the name or (カ after it.
    name.replace(u"株式会社"_s, u"(カ)"_s).replace(u"有限会社"_s, u"(ユ)"_s);
    for (const auto &[mark, whole] : {std::pair{u"カ"_s, u"(カ)"_s}, std::pair{u"ユ"_s, u"(ユ)"_s}}) {
        if (name.startsWith(mark + u')'))
            name = whole + name.sliced(2);
        if (name.endsWith(u'(' + mark))
            name = name.chopped(2) + whole;
    }
    return name;
}

PayerNames PayerNames::Load(DbConnection &connection)
{
    PayerNames names;
    try {
        const auto records = connection.Execute(SqlCatalog::PayerNames(connection.Dialect()));
        for (; !records->Eof(); records->MoveNext())
            names.teach(records->TextAt(0), {MatchKeys::phoneKey(records->TextAt(1)), records->TextAt(2)});
        records->Close();
    } catch (const DbError &error) {
        // A table another program holds locked is there all the same: only
        // the catalogue saying it is not makes it missing.
        Learning learning = Learning::Unreadable;
        try {
            const auto tables = connection.Execute(SqlCatalog::TableCount(u"NYUKIN_MEIGI"_s, connection.Dialect()));
            if (!tables->Eof() && tables->IntegerAt(0) == 0)
                learning = Learning::NoTable;
            tables->Close();
        } catch (const DbError &) {
        }
        names.setUnavailable(error.description(), learning);
    }
    return names;
}

const PayerNames::Customer *PayerNames::find(const QString &normalisedPayer) const
{
    const auto found = m_names.constFind(normalisedPayer);
    return found == m_names.cend() ? nullptr : &*found;
}

void PayerNames::teach(const QString &normalisedPayer, const Customer &customer)
{
    if (!normalisedPayer.isEmpty())
        m_names.insert(normalisedPayer, customer);
}

void PayerNames::setUnavailable(const QString &why, Learning learning)
{
    m_learning = learning;
    m_why = why;
    m_names.clear();
}

void PayerNames::Write(DbConnection &connection, const QList<Lesson> &lessons, const QString &today)
{
    const SqlDialect dialect = connection.Dialect();
    for (const Lesson &lesson : lessons) {
        connection.Execute(SqlCatalog::ForgetPayerName(lesson.payer, dialect))->Close();
        connection.Execute(SqlCatalog::TeachPayerName(lesson.payer, lesson.phone, lesson.name, today, dialect))->Close();
    }
}
