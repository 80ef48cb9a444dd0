#include "import/NameReadings.h"

#include "import/KanaFold.h"

#include <mecab.h>

#include <QList>


using namespace Qt::StringLiterals;

namespace {

// The IPA dictionary's features: the reading is the eighth.
constexpr int ReadingField = 7;

struct Arc
{
    int end{0}; // in characters
    QString reading;
};

QString readingOf(const char *feature)
{
    const QList<QByteArray> fields = QByteArray(feature).split(',');
    if (fields.size() <= ReadingField || fields.at(ReadingField) == "*")
        return QString();
    return KanaFold::bankKana(QString::fromUtf8(fields.at(ReadingField)));
}

} // namespace

NameReadings::NameReadings(const QString &arguments)
{
    const QByteArray args = arguments.toUtf8();
    m_model.reset(MeCab::createModel(args.constData()));
    if (!m_model) {
        m_why = u"MeCab の辞書が開けません（%1）"_s.arg(QString::fromLocal8Bit(MeCab::getLastError()).trimmed());
        return;
    }
    const MeCab::DictionaryInfo *info = m_model->dictionary_info();
    const QByteArray charset = info ? QByteArray(info->charset).toLower() : QByteArray();
    if (charset != "utf-8" && charset != "utf8") {
        m_why = u"MeCab の辞書が UTF-8 ではありません（%1）"_s.arg(QString::fromLatin1(charset));
        m_model.reset();
        return;
    }
    // A dictionary whose features do not hold readings where the IPA one does is of no use.
    if (!Reader(*this).readings(u"田中"_s).contains(u"ﾀﾅｶ"_s)) {
        m_why = u"MeCab の辞書が読みを返しません（IPA 辞書ではありません）"_s;
        m_model.reset();
    }
}

NameReadings::~NameReadings() = default;

std::shared_ptr<const NameReadings> NameReadings::shared()
{
    // A static's first use is thread-safe: the dictionary loads once.
    static const std::shared_ptr<const NameReadings> reader = std::make_shared<const NameReadings>();
    return reader;
}

NameReadings::Reader::Reader(const NameReadings &readings)
{
    if (!readings.m_model)
        return;
    m_tagger.reset(readings.m_model->createTagger());
    m_lattice.reset(readings.m_model->createLattice());
    if (!m_tagger || !m_lattice) {
        m_tagger.reset();
        m_lattice.reset();
    }
}

NameReadings::Reader::~Reader() = default;

QStringList NameReadings::Reader::readings(const QString &name) const
{
    if (!m_lattice || name.isEmpty() || name.size() > MaxLength)
        return {};
    const QByteArray utf8 = name.toUtf8();
    // Byte offsets of the characters, to turn MeCab's positions into ours.
    QList<int> charAt(utf8.size() + 1, -1);
    int chars = 0;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        if ((uchar(utf8.at(i)) & 0xC0) != 0x80)
            charAt[i] = chars++;
    }
    charAt[utf8.size()] = chars;
    QList<QList<Arc>> arcs(chars);

    MeCab::Lattice *lattice = m_lattice.get();
    lattice->clear();
    lattice->set_sentence(utf8.constData(), size_t(utf8.size()));
    lattice->add_request_type(MECAB_ALL_MORPHS);
    if (!m_tagger->parse(lattice))
        return {};
    for (size_t pos = 0; pos < size_t(utf8.size()); ++pos) {
        for (const MeCab::Node *node = lattice->begin_nodes(pos); node; node = node->bnext) {
            if (node->stat != MECAB_NOR_NODE || node->length == 0)
                continue;
            const int begin = charAt.value(qsizetype(pos), -1);
            const int end = charAt.value(qsizetype(pos + node->length), -1);
            const QString reading = readingOf(node->feature);
            if (begin < 0 || end <= begin || reading.isEmpty())
                continue;
            QList<Arc> &from = arcs[begin];
            if (!std::any_of(from.cbegin(), from.cend(), [&](const Arc &arc) { return arc.end == end && arc.reading == reading; }))
                from.append({end, reading});
        }
    }
    // Kana and letters read as themselves, whether the dictionary knows them or not.
    int at = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name.at(i).isLowSurrogate())
            continue;
        // After a kana, so that a long vowel mark reads as one too.
        const QString own = KanaFold::bankKana(QString(QString(QChar(u'ｱ')) + name.at(i))).sliced(1);
        if (!own.isEmpty() && own.size() <= 2 && std::all_of(own.cbegin(), own.cend(), KanaFold::isReadingChar))
            arcs[at].append({at + 1, own});
        ++at;
    }

    // Every path from the start, fewer words first, as far as MaxReadings at each position.
    QList<QStringList> reach(chars + 1);
    reach[0] = QStringList{QString()};
    for (int pos = 0; pos < chars; ++pos) {
        for (const QString &before : std::as_const(reach.at(pos))) {
            for (const Arc &arc : std::as_const(arcs.at(pos))) {
                QStringList &after = reach[arc.end];
                if (after.size() >= MaxReadings)
                    continue;
                const QString reading = before + arc.reading;
                if (!after.contains(reading))
                    after.append(reading);
            }
        }
    }
    return reach.at(chars);
}
